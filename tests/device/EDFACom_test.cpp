#include "device/EDFACom.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(DeviceInfoRecord, FieldsReadFromTheWire)
{
    const uint8_t wire[84] = {6, '0', '6', 0, 0, 0, 0, 0, 0, 0, 0, 0x03, 0x01, 0x0A, 0x00};
    TDeviceInfo info;
    std::memcpy(&info, wire, sizeof info);
    EXPECT_EQ(VersionToStr(info.FirmwareVersion), "3.1");
    EXPECT_EQ(VersionToStr(info.HardwareVersion), "10.0");
    const uint8_t addr[4] = {0xC0, 0xA8, 0x01, 0x64};
    std::memcpy(reinterpret_cast<uint8_t *>(&info) + 36, addr, 4);
    EXPECT_EQ(IPToStr(info.LocalAddr), "192.168.1.100");
}

TEST(Formatters, VersionsHexAndAddresses)
{
    EXPECT_EQ(VersionToStr(0x0001), "1.0") << "low byte first, no leading zeros";
    EXPECT_EQ(VersionToStr(0xFFFF), "255.255");
    EXPECT_EQ(VersionToStr(0), "0.0");
    EXPECT_EQ(ByteToHex(0x5C), "5c");
    EXPECT_EQ(ByteToHex(0x07), "07");
    EXPECT_EQ(ByteToHex(0xFF), "ff");
    EXPECT_EQ(ByteToHex(0x00), "00");
    EXPECT_EQ(QString::fromLatin1(HexDigits[10]), "a");
    EXPECT_EQ(IPToStr(0x00FFFFFF), "255.255.255.0");
    EXPECT_EQ(IPToStr(0), "0.0.0.0");
}

TEST(Formatters, UpdateTimeStopsAtTheFirstZeroByte)
{
    DeviceInfo = TDeviceInfo{};
    EXPECT_EQ(UpdateTimeToStr(), "");
    std::memcpy(DeviceInfo.UpdateTime, "2024-05-17 10:30", 16);
    EXPECT_EQ(UpdateTimeToStr(), "2024-05-17 10:30");
    std::memcpy(DeviceInfo.UpdateTime, "ABCDEFGHIJKLMNOPQRST", 20);
    DeviceInfo.DhcpFlag = '!'; // the byte after the field must not leak in
    EXPECT_EQ(UpdateTimeToStr(), "ABCDEFGHIJKLMNOPQRST");
    DeviceInfo.UpdateTime[0] = 0;
    EXPECT_EQ(UpdateTimeToStr(), "");
    DeviceInfo = TDeviceInfo{};
    EXPECT_EQ(RecordText("06123456\0\0", 10), "06123456");
}

TEST(MacFromSerial, WorkedExamples)
{
    EXPECT_EQ(MacFromSerial("0612345678"), "0008086cb26e");
    EXPECT_EQ(MacFromSerial("0512399999"), "0008085c869f");
    EXPECT_EQ(MacFromSerial("0000000000"), "000808000000");
    EXPECT_EQ(MacFromSerial(QByteArrayView("06123456\0\0", 10)), "0008086cb010");
}

TEST(MacFromSerial, FirstByteWrapsAndFifthCharacterIsIgnored)
{
    EXPECT_EQ(MacFromSerial("0507000000").mid(6, 2), "57");
    EXPECT_EQ(MacFromSerial("1012000000").mid(6, 2), "ac");
    EXPECT_EQ(MacFromSerial("9999000000").mid(6, 2), "93");
    EXPECT_EQ(MacFromSerial("0612X45678"), MacFromSerial("0612345678"));
}

TEST(MacFromSerial, AnyTenBytesGiveTwelveDigitsOtherLengthsNone)
{
    EXPECT_EQ(MacFromSerial(QByteArrayView("\0\0\0\0\0\0\0\0\0\0", 10)).size(), 12);
    EXPECT_EQ(MacFromSerial("\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff").size(), 12);
    EXPECT_EQ(MacFromSerial("zzzzzzzzzz").size(), 12);
    EXPECT_EQ(MacFromSerial(""), "");
    EXPECT_EQ(MacFromSerial("061234567"), "");
    EXPECT_EQ(MacFromSerial("06123456789"), "");
}

} // namespace
