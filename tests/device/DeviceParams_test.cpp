#include "device/DeviceParams.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const QLocale C(QLocale::C);

TParamSlot Slot(int first, int hi, int lo)
{
    return TParamSlot{uint8_t(first), uint8_t(hi), uint8_t(lo)};
}

TEST(DeviceParams, Decoding)
{
    EXPECT_EQ(DecodeValue(0x00, 0x23), 35);
    EXPECT_EQ(DecodeValue(0x80, 0x23), -35);
    EXPECT_EQ(DecodeValue(0x80, 0x00), 0);
    EXPECT_EQ(DecodeValue(0xFF, 0xFF), NoValueMarker);
    EXPECT_EQ(DecodeValue(0x7F, 0xFF), 32767);
    for (int v : {0, 1, -1, 35, -35, 255, 256, -32767, 32767})
        EXPECT_EQ(DecodeValue(EncodeValue(v)), v);
    EXPECT_EQ(DecodeValue(EncodeValue(40000)), 32767);
}

TEST(DeviceParams, PowersShowTheMarkerOthersDoNot)
{
    EXPECT_EQ(PowerText(Slot(0x99, 0x00, 0x23), C), "3.5dBm");
    EXPECT_EQ(PowerText(Slot(0x00, 0x80, 0x23), C), "-3.5dBm");
    EXPECT_EQ(PowerText(Slot(0x00, 0x80, 0x00), C), "0.0dBm");
    EXPECT_EQ(PowerText(Slot(0x00, 0xFF, 0xFF), C), "无");
    EXPECT_EQ(PowerText(Slot(0x00, 0xFF, 0xFE), C), "-3276.6dBm");
    EXPECT_EQ(VoltageText(Slot(0, 0x00, 0xF0), 1, C), "24.0V");
    EXPECT_EQ(VoltageText(Slot(0, 0xFF, 0xFF), 1, C), "-3276.7V");
    EXPECT_EQ(VoltageText(Slot(0, 0x01, 0xF4), 2, C), "5.00V");
    EXPECT_EQ(VoltageText(Slot(0, 0x00, 0x05), 2, C), "0.05V");
    EXPECT_EQ(TemperatureText(Slot(0, 0x00, 0x19)), "25℃");
    EXPECT_EQ(TemperatureText(Slot(0, 0x80, 0x05)), "-5℃");
    EXPECT_EQ(TemperatureText(Slot(0, 0xFF, 0xFF)), "-32767℃");
}

TEST(DeviceParams, StateTexts)
{
    EXPECT_EQ(LidText(1), "打开");
    EXPECT_EQ(LidText(0), "闭合");
    EXPECT_EQ(LidText(2), "闭合");
    EXPECT_EQ(PathText(0x81), "B路");
    EXPECT_EQ(ModeText(0x81), "自动");
    EXPECT_EQ(PathText(0x00), "A路");
    EXPECT_EQ(ModeText(0x00), "手动");
    EXPECT_EQ(PathText(0x7E), "A路");
    EXPECT_EQ(ModeText(0x7E), "手动");
}

TEST(DeviceParams, WholeRecordFromTheWireWithTheLocaleSeparator)
{
    const uint8_t wire[26] = {0xEE, 0x00, 0x23, 0xEE, 0x00, 0x51, 0xEE, 0x01, 0xF4, 0xEE, 0x00, 0x98, 0xEE,
                              0x00, 0xF0, 0xEE, 0xFF, 0xFF, 0xEE, 0x80, 0x0C, 0xEE, 0x00, 0x19, 0x01, 0x81};
    TDeviceParams p;
    std::memcpy(&p, wire, sizeof p);
    const TParamsTexts t = ParamsTexts(p, C);
    EXPECT_EQ(t.ReversePower, "3.5dBm");
    EXPECT_EQ(t.Supply8V, "8.1V");
    EXPECT_EQ(t.TransceiverSupply, "5.00V");
    EXPECT_EQ(t.Supply15V, "15.2V");
    EXPECT_EQ(t.Supply24V, "24.0V");
    EXPECT_EQ(t.InputPowerA, "无");
    EXPECT_EQ(t.InputPowerB, "-1.2dBm");
    EXPECT_EQ(t.Temperature, "25℃");
    EXPECT_EQ(t.LidState, "打开");
    EXPECT_EQ(t.OutputPath, "B路");
    EXPECT_EQ(t.SwitchMode, "自动");

    const TParamsTexts de = ParamsTexts(p, QLocale(QLocale::German));
    EXPECT_EQ(de.ReversePower, "3,5dBm");
    EXPECT_EQ(de.TransceiverSupply, "5,00V");
    EXPECT_EQ(de.Temperature, "25℃");
}

} // namespace
