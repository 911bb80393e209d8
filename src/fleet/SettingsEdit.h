#pragma once

#include "device/NetSettings.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Some of the four addresses of a unit as typed, keyed localIp, serverIp,
// gatewayIp and subnetMask. An address typed in its plain dotted form (as
// "10.0.1.5") is held as its four numbers and any other text as typed, so
// that the rows of a plan of many thousand units hold no text for their
// addresses.
class TAddressTexts {
public:
    // Gives the address of Key (one of the four) as Text.
    void insert(const QString &Key, const QString &Text);
    bool contains(const QString &Key) const;
    // The text given for Key, empty when none was.
    QString value(const QString &Key) const;
    bool isEmpty() const { return FGiven == 0; }
    bool operator==(const TAddressTexts &Other) const = default;

private:
    QStringList FTyped;      // by key, the texts held as typed; empty when there are none
    uint32_t FPlain[4] = {}; // by key, the address given in plain form (first number lowest)
    uint8_t FGiven = 0;      // a bit per key given, in the order above
    uint8_t FGivenPlain = 0; // a bit per key given in plain form
};

// A change to a unit's network settings: some of the four addresses as typed
// and perhaps the DHCP flag. Whatever is not given keeps the unit's own
// value.
struct TSettingsEdit {
    TAddressTexts Addresses;
    std::optional<bool> Dhcp;

    bool IsEmpty() const { return Addresses.isEmpty() && !Dhcp.has_value(); }
};

// Checks every given address with the main window's rules and messages, in
// its order (local, gateway, mask, server), whatever the DHCP flag: an address
// given while DHCP is on is stored for when it goes off. Then the given local
// address, mask and gateway by AddressFault: only what the edit gives, since
// the unit's own values are not known yet. Returns the message of the first
// address that fails, empty text when all pass.
QString SettingsEditFault(const TSettingsEdit &Edit);

// The settings to send: Current's bytes with the given addresses and flag put
// in place. An address that does not pass SettingsEditFault is left as
// Current holds it.
TNetSettings ApplySettingsEdit(const TSettingsEdit &Edit, const TNetSettings &Current);

// "on"/"off" (any case) or 1/0 as a DHCP flag; nothing for any other text.
std::optional<bool> ParseOnOff(const QString &Text);

// "Local IP 192.168.1.100 -> 10.0.1.5, Gateway IP ..." between two settings
// as NetworkJson gives them; "no change" when none differ.
QString SettingsChangeText(const QJsonObject &Before, const QJsonObject &After);
