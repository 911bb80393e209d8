#include "base/LumoraError.h"
#include "device/NetSettings.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringList>

#include <cstddef>

namespace {

QByteArray Bytes(const TNetSettings &s)
{
    return QByteArray(reinterpret_cast<const char *>(&s), sizeof s);
}

// Edits as a window would hold them; records which texts were read.
struct TFakeEdits : INetSettingsSource {
    bool Dhcp = false;
    QString Local, Server, Gateway, Mask;
    QStringList Reads;

    bool DhcpChecked() override { return Dhcp; }
    QString LocalIpText() override { return Read("local", Local); }
    QString ServerIpText() override { return Read("server", Server); }
    QString GatewayIpText() override { return Read("gateway", Gateway); }
    QString SubnetMaskText() override { return Read("mask", Mask); }

    QString Read(const QString &name, const QString &text)
    {
        Reads << name;
        return text;
    }
};

QString CollectError(TFakeEdits &edits, TNetSettings &settings)
{
    try {
        CollectNetSettings(edits, settings);
    } catch (const ELumoraError &e) {
        return e.Message();
    }
    return {};
}

TEST(NetSettingsRecord, IsPackedInWireOrder)
{
    EXPECT_EQ(sizeof(TNetSettings), 17u);
    EXPECT_EQ(offsetof(TNetSettings, LocalAddr), 1u);
    EXPECT_EQ(offsetof(TNetSettings, ServerAddr), 5u);
    EXPECT_EQ(offsetof(TNetSettings, GatewayAddr), 9u);
    EXPECT_EQ(offsetof(TNetSettings, SubnetMask), 13u);
}

TEST(SplitDotted, CutsAtEveryDotWithoutTrailingEmptyPart)
{
    EXPECT_EQ(SplitDotted("1.2.3.4"), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(SplitDotted("1.2.3.4."), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(SplitDotted(".1"), QStringList({"", "1"}));
    EXPECT_EQ(SplitDotted("1..3"), QStringList({"1", "", "3"}));
    EXPECT_EQ(SplitDotted("1.2.."), QStringList({"1", "2", ""}));
    EXPECT_EQ(SplitDotted("."), QStringList({""}));
    EXPECT_TRUE(SplitDotted("").isEmpty());
    EXPECT_EQ(SplitDotted("abc"), QStringList({"abc"}));
}

TEST(IsValidIP, TypedTexts)
{
    for (const char *text : {"1.2.3.4.", "  1.2.3.4", "+1.2.3.4", "0x0A.0.0.1", "$C0.$A8.1.1", "-0.0.0.0",
                             "010.0.0.1", "255.255.255.255", "0.0.0.0", "X1f.0X1F.x0.0"})
        EXPECT_TRUE(IsValidIP(text)) << text;
    for (const char *text :
         {"", "1.2.3", "1.2.3.4.5", "1..3.4", "1.2.3.4 ", "256.1.1.1", "-1.0.0.0", "1.2.3.a", "+$10.0.0.1",
          ".1.2.3", "1.2.3.$", "1.2.3.0x", "1.2.3.4294967296", "1.2.3.$FFFFFFFF", "1. 2.3.4x", "...."})
        EXPECT_FALSE(IsValidIP(text)) << text;
}

TEST(CollectNetSettings, StaticAddressesGiveTheDocumentedPayload)
{
    TNetSettings settings{};
    TFakeEdits edits;
    edits.Local = "192.168.1.10";
    edits.Server = "192.168.1.1";
    edits.Gateway = "192.168.1.254";
    edits.Mask = "255.255.255.0";
    EXPECT_EQ(CollectError(edits, settings), "");
    EXPECT_EQ(Bytes(settings).toHex(' '), "00 c0 a8 01 0a c0 a8 01 01 c0 a8 01 fe ff ff ff 00");
}

TEST(CollectNetSettings, HexAndPaddedPartsStoreTheirValues)
{
    TNetSettings settings{};
    TFakeEdits edits;
    edits.Local = " $C0.0xA8.x1.010.";
    edits.Server = "+10.0.0.1";
    edits.Gateway = "-0.0.0.0";
    edits.Mask = "0XFF.255.255.0";
    EXPECT_EQ(CollectError(edits, settings), "");
    EXPECT_EQ(Bytes(settings).toHex(' '), "00 c0 a8 01 0a 0a 00 00 01 00 00 00 00 ff ff ff 00");
}

TEST(CollectNetSettings, DhcpOnReadsOnlyTheServerAndKeepsTheOtherAddresses)
{
    TNetSettings settings{};
    TFakeEdits edits;
    edits.Dhcp = true;
    edits.Local = "garbage";
    edits.Server = "10.0.0.1";
    EXPECT_EQ(CollectError(edits, settings), "");
    EXPECT_EQ(Bytes(settings).toHex(' '), "01 00 00 00 00 0a 00 00 01 00 00 00 00 00 00 00 00");
    EXPECT_EQ(edits.Reads, QStringList({"server"}));

    // After a save with DHCP off, DHCP on resends those addresses.
    TFakeEdits fixed;
    fixed.Local = "192.168.1.10";
    fixed.Server = "192.168.1.1";
    fixed.Gateway = "192.168.1.254";
    fixed.Mask = "255.255.255.0";
    ASSERT_EQ(CollectError(fixed, settings), "");
    edits.Reads.clear();
    EXPECT_EQ(CollectError(edits, settings), "");
    EXPECT_EQ(Bytes(settings).toHex(' '), "01 c0 a8 01 0a 0a 00 00 01 c0 a8 01 fe ff ff ff 00");
}

TEST(CollectNetSettings, FirstInvalidAddressDecidesAndEarlierOnesStayStored)
{
    TFakeEdits edits;
    edits.Local = "1.2.3.4";
    edits.Server = "5.6.7.8";
    edits.Gateway = "9.10.11.12";
    edits.Mask = "255.0.0.0";
    TNetSettings settings{};
    ASSERT_EQ(CollectError(edits, settings), "");
    const QByteArray before = Bytes(settings);
    edits.Reads.clear();

    TFakeEdits bad = edits;
    bad.Local = "";
    EXPECT_EQ(CollectError(bad, settings), QStringLiteral("Invalid local IP！"));
    EXPECT_EQ(Bytes(settings), before);
    EXPECT_EQ(bad.Reads, QStringList({"local"}));

    bad = edits;
    bad.Local = "21.22.23.24";
    bad.Gateway = "x";
    bad.Server = "also bad";
    EXPECT_EQ(CollectError(bad, settings), "Invalid gateway IP!");
    EXPECT_EQ(Bytes(settings).toHex(' '), "00 15 16 17 18 05 06 07 08 09 0a 0b 0c ff 00 00 00");

    bad = edits;
    bad.Mask = "255.255.255.256";
    EXPECT_EQ(CollectError(bad, settings), "Invalid subnet mask!");
    EXPECT_EQ(Bytes(settings), before);

    bad = edits;
    bad.Dhcp = true;
    bad.Server = "1.2.3";
    EXPECT_EQ(CollectError(bad, settings), "Invalid server IP!");
    EXPECT_EQ(settings.DhcpFlag, 0); // the flag is only set after every check passed
}

TEST(NetSettingsFromRecord, CopiesBytes35To51)
{
    uint8_t record[84];
    for (int i = 0; i < 84; ++i)
        record[i] = static_cast<uint8_t>(i);
    TNetSettings settings{};
    NetSettingsFromRecord(record, settings);
    EXPECT_EQ(Bytes(settings), QByteArray(reinterpret_cast<const char *>(record) + 35, 17));
}

} // namespace
