// The device link on Windows: the stored port in the registry, and reads and
// a verified write through a COM port to lumora-sim.
#include "WinTestPorts.h"
#include "device/ComUnit.h"
#include "device/EDFACom.h"
#include "device/NetSettings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct TRecordedLabel : TStatusLabel {
    QString Text;
    uint32_t Color = 0;
    void SetFontColor(uint32_t C) override { Color = C; }
    void SetCaption(const QString &T) override { Text = T; }
};

TEST(ComUnitWin, OpenStoresThePortAndReadsTheDevice)
{
    TRecordedLabel label;
    TCOMMan link(&label);
    const int port = TestComPort("LUMORA_COM_SIM");
    ASSERT_TRUE(link.Open(port));
    EXPECT_EQ(label.Text, QStringLiteral("PortCOM%1already open").arg(port));
    EXPECT_EQ(link.GetPortNumber(), port);

    TDeviceInfo info{};
    ASSERT_TRUE(link.ReadInfo(&info, sizeof info));
    EXPECT_EQ(info.DeviceType, 6);
    EXPECT_EQ(QByteArray(info.SerialNo, 10), QByteArray("0612345678"));

    uint8_t params[26] = {};
    EXPECT_TRUE(link.ReadParams(params, sizeof params));
}

TEST(ComUnitWin, VerifiedWriteOfTheNetworkSettings)
{
    TRecordedLabel label;
    TCOMMan link(&label);
    ASSERT_TRUE(link.Open(TestComPort("LUMORA_COM_SIM")));
    TNetSettings settings{0, {10, 0, 0, 7}, {10, 0, 0, 1}, {10, 0, 0, 254}, {255, 255, 0, 0}};
    ASSERT_TRUE(link.WriteCommand(&settings, sizeof settings));
    EXPECT_EQ(label.Text, QStringLiteral("Command success!"));

    TDeviceInfo info{};
    ASSERT_TRUE(link.ReadInfo(&info, sizeof info));
    EXPECT_EQ(IPToStr(info.LocalAddr), QStringLiteral("10.0.0.7"));
    EXPECT_EQ(IPToStr(info.GatewayAddr), QStringLiteral("10.0.0.254"));
    EXPECT_EQ(IPToStr(info.SubnetMask), QStringLiteral("255.255.0.0"));
}

TEST(ComUnitWin, SilentDeviceAndMissingPortReportAsDescribed)
{
    TRecordedLabel label;
    TCOMMan link(&label);
    ASSERT_TRUE(link.Open(TestComPort("LUMORA_COM_SILENT")));
    TDeviceInfo info{};
    EXPECT_FALSE(link.ReadInfo(&info, sizeof info));
    EXPECT_EQ(label.Text, QStringLiteral("Device response timeout!"));
    EXPECT_EQ(label.Color, StatusErrorColor);

    EXPECT_FALSE(link.Open(198));
    EXPECT_EQ(label.Text,
              QStringLiteral("Couldn't open the port COM198,maybe already being occupied or not existed!"));
    EXPECT_EQ(link.GetPortNumber(), 198) << "stored before the port is tried";
}

} // namespace
