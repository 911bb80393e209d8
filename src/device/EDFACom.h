#pragma once

#include "LittleEndian.h"

#include "ComUnit.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

// The device information record, the reply to command 0, exactly as it
// arrives on the line. Multi-byte numbers are little-endian; an address holds
// the first number of its dotted form in its first byte.
#pragma pack(push, 1)
struct TDeviceInfo {
    uint8_t DeviceType;    // 1..9 name a type in DeviceTypeNames
    char SerialNo[10];     // text up to the first zero byte
    TLE16 FirmwareVersion; // low byte first: 03 01 is 3.1
    TLE16 HardwareVersion;
    char UpdateTime[20]; // text up to the first zero byte
    uint8_t DhcpFlag;    // 1 = DHCP enabled
    TLE32 LocalAddr;
    TLE32 ServerAddr;
    TLE32 GatewayAddr;
    TLE32 SubnetMask;
    uint8_t Reserved[32];
};
#pragma pack(pop)
static_assert(sizeof(TDeviceInfo) == 84, "TDeviceInfo is the 84-byte wire record");

// Whether the unit has network settings: a communication board (device type
// 9) has none, and its record's DHCP flag and addresses mean nothing.
inline bool HasNetworkSettings(const TDeviceInfo &Info)
{
    constexpr uint8_t CommunicationBoard = 9;
    return Info.DeviceType != CommunicationBoard;
}

// The program's one information record: zero until the first successful
// read, then the record of the last successful read.
extern TDeviceInfo DeviceInfo;

// Lower-case hexadecimal digits indexed 0 to 15.
inline constexpr std::array<const char *, 16> HexDigits = {"0", "1", "2", "3", "4", "5", "6", "7",
                                                           "8", "9", "a", "b", "c", "d", "e", "f"};

// "3.1": the low byte, a dot, the high byte, in decimal without leading zeros.
QString VersionToStr(uint16_t Version);
// Two lower-case hexadecimal digits: 0x5C gives 5c.
QString ByteToHex(uint8_t Value);
// "192.168.1.100": the address's bytes from the lowest to the highest.
QString IPToStr(uint32_t Address);
// The update time of DeviceInfo up to its first zero byte, at most 20 characters.
QString UpdateTimeToStr();
// A device text field up to its first zero byte, at most Size characters.
QString RecordText(const char *Field, int Size);
// "000808" and six digits computed from a ten-character serial number; empty
// text for any other length. Any ten bytes give twelve digits.
QString MacFromSerial(QByteArrayView Serial);

// The main window's controls that the device connection writes. The main
// window implements it; the device layer includes no widget header.
enum class TDeviceText { Sn, Mac, HardVersion, SoftVersion, LastUpdate, LocalIp, ManageIp, GateWay, NetMask };
enum class TDeviceControl { LocalIp, ManageIp, GateWay, NetMask, DHCP, SaveButton, ParamsButton };

class TDeviceView {
public:
    virtual void SetDeviceText(TDeviceText Field, const QString &Text) = 0;
    virtual void SetDeviceControlEnabled(TDeviceControl Control, bool Enabled) = 0;
    // Sets the DHCP box's checked state only: its click handler does not run.
    virtual void SetDHCPChecked(bool Checked) = 0;
    // Runs the handler assigned to the DHCP box's click event with no sender.
    virtual void RunDHCPClick() = 0;
    virtual void SetDeviceCaption(const QString &Caption) = 0;

protected:
    ~TDeviceView() = default;
};

// The program's main window as the device connection sees it; set by the
// main window before its creation handler runs.
extern TDeviceView *MainFormView;

// The device connection: a TCOMMan that reads the device information record
// every time the port has been opened and shows it in MainFormView.
class TEDFACom : public TCOMMan {
public:
    using TCOMMan::TCOMMan;

    // TCOMMan's Open, then ReadDevice when the port opened. A device that
    // does not answer does not make Open fail.
    bool Open(int32_t PortNumber) override;
    // Blanks the window, reads the record and shows it or the failure.
    void ReadDevice();

private:
    void ClearDeviceView();
    void ShowDeviceInfo();
};
