#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>

// The network settings record: the payload of command 1, sent as it lies in
// memory. Each address holds the numbers of its dotted form in the order
// written (192.168.1.10 is C0 A8 01 0A). The field order and byte layout are
// those of bytes 35 to 51 of the device information record.
#pragma pack(push, 1)
struct TNetSettings {
    uint8_t DhcpFlag;       // 1 when DHCP is on, 0 when not
    uint8_t LocalAddr[4];   // the device's own address
    uint8_t ServerAddr[4];  // management server
    uint8_t GatewayAddr[4]; // gateway
    uint8_t SubnetMask[4];  // subnet mask
};
#pragma pack(pop)
static_assert(sizeof(TNetSettings) == 17, "TNetSettings is a 17-byte wire record");
static_assert(offsetof(TNetSettings, LocalAddr) == 1 && offsetof(TNetSettings, ServerAddr) == 5 &&
                  offsetof(TNetSettings, GatewayAddr) == 9 && offsetof(TNetSettings, SubnetMask) == 13,
              "TNetSettings's fields lie where the wire puts them");

// Whether two records hold the same bytes (the unit takes them as they lie).
inline bool SameSettings(const TNetSettings &A, const TNetSettings &B)
{
    return std::memcmp(&A, &B, sizeof A) == 0;
}

// The program's one record: all zero at start, kept for the whole run,
// written by the collection of the address edits and by every successful
// device read (so that a save with DHCP on resends the device's own static
// addresses rather than zeros).
extern TNetSettings NetSettings;

// The four validation messages, in the order they are checked.
inline const QString InvalidLocalIpText = QStringLiteral("Invalid local IP！");
inline const QString InvalidGatewayIpText = QStringLiteral("Invalid gateway IP!");
inline const QString InvalidSubnetMaskText = QStringLiteral("Invalid subnet mask!");
inline const QString InvalidServerIpText = QStringLiteral("Invalid server IP!");

// Cuts Text at every ".": "1.2.3.4" and "1.2.3.4." give four parts, ".1"
// gives an empty first part, "1..2" an empty middle part, "" no parts.
QStringList SplitDotted(const QString &Text);

// True when Text is a dotted IPv4 address: exactly four parts, each reading
// as an integer (TryStrToInt: blanks before, sign, $ / 0x hex) from 0 to 255.
bool IsValidIP(const QString &Text);

// The four numbers of Text in the order written when IsValidIP(Text) holds
// (so "1.2.3.4." gives 1, 2, 3, 4); false, Address untouched, when not.
bool DottedToAddress(const QString &Text, uint8_t (&Address)[4]);

// The texts a collection reads. A getter is only called for an address that
// the collection reaches: with DHCP on, the local, gateway and mask edits are
// not read at all.
class INetSettingsSource {
public:
    virtual bool DhcpChecked() = 0;
    virtual QString LocalIpText() = 0;
    virtual QString ServerIpText() = 0;
    virtual QString GatewayIpText() = 0;
    virtual QString SubnetMaskText() = 0;

protected:
    ~INetSettingsSource() = default;
};

// A source that holds its texts, for callers that have them at hand rather
// than in edits.
class TNetSettingsTexts final : public INetSettingsSource {
public:
    bool Dhcp = false;
    QString Local, Server, Gateway, Mask;

    bool DhcpChecked() override { return Dhcp; }
    QString LocalIpText() override { return Local; }
    QString ServerIpText() override { return Server; }
    QString GatewayIpText() override { return Gateway; }
    QString SubnetMaskText() override { return Mask; }
};

// Validates and stores the addresses into Settings in the order local,
// gateway, mask (only with DHCP off), then server, then the DHCP flag. The
// first invalid address raises ELumoraError with its message; whatever was
// stored before that stays stored, nothing after it is touched.
void CollectNetSettings(INetSettingsSource &Source, TNetSettings &Settings);

// Copies the network fields (bytes 35 to 51) of an 84-byte device
// information record into Settings.
void NetSettingsFromRecord(const uint8_t *Record, TNetSettings &Settings);
