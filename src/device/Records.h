#pragma once

#include "LittleEndian.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstddef>
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
static_assert(offsetof(TDeviceInfo, SerialNo) == 1 && offsetof(TDeviceInfo, FirmwareVersion) == 11 &&
                  offsetof(TDeviceInfo, HardwareVersion) == 13 && offsetof(TDeviceInfo, UpdateTime) == 15 &&
                  offsetof(TDeviceInfo, DhcpFlag) == 35 && offsetof(TDeviceInfo, LocalAddr) == 36 &&
                  offsetof(TDeviceInfo, ServerAddr) == 40 && offsetof(TDeviceInfo, GatewayAddr) == 44 &&
                  offsetof(TDeviceInfo, SubnetMask) == 48 && offsetof(TDeviceInfo, Reserved) == 52,
              "TDeviceInfo's fields lie where the wire puts them");

// Whether the unit has network settings: a communication board (device type
// 9) has none, and its record's DHCP flag and addresses mean nothing.
inline bool HasNetworkSettings(const TDeviceInfo &Info)
{
    constexpr uint8_t CommunicationBoard = 9;
    return Info.DeviceType != CommunicationBoard;
}

// Lower-case hexadecimal digits indexed 0 to 15.
inline constexpr std::array<const char *, 16> HexDigits = {"0", "1", "2", "3", "4", "5", "6", "7",
                                                           "8", "9", "a", "b", "c", "d", "e", "f"};

// "3.1": the low byte, a dot, the high byte, in decimal without leading zeros.
QString VersionToStr(uint16_t Version);
// Two lower-case hexadecimal digits: 0x5C gives 5c.
QString ByteToHex(uint8_t Value);
// "192.168.1.100": the address's bytes from the lowest to the highest.
QString IPToStr(uint32_t Address);
// A device text field up to its first zero byte, at most Size characters.
QString RecordText(const char *Field, int Size);
// "000808" and six digits computed from a ten-character serial number; empty
// text for any other length. Any ten bytes give twelve digits.
QString MacFromSerial(QByteArrayView Serial);
