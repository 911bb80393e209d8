#include "fleet/SettingsEdit.h"

#include "support/QtPrinters.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

using TGiven = std::initializer_list<std::pair<const char *, const char *>>;

TSettingsEdit Edit(TGiven Addresses, std::optional<bool> Dhcp = std::nullopt)
{
    TSettingsEdit edit;
    for (const auto &[key, text] : Addresses)
        edit.Addresses.insert(QString::fromLatin1(key), QString::fromLatin1(text));
    edit.Dhcp = Dhcp;
    return edit;
}

QByteArray Bytes(const TNetSettings &Settings)
{
    return QByteArray(reinterpret_cast<const char *>(&Settings), sizeof Settings).toHex(' ');
}

// An edit is judged as the main window judges it, first fault first, and
// lands on the unit's own bytes, the rest left as the unit holds it.
TEST(SettingsEdit, FaultsComeInTheWindowsOrderAndTheEditLandsOnTheUnitsBytes)
{
    // The texts stay apart whatever lengths replace each other.
    TAddressTexts texts;
    texts.insert("gatewayIp", "10.0.0.1");
    texts.insert("localIp", "192.168.100.200");
    texts.insert("gatewayIp", "1.2.3.4");
    texts.insert("subnetMask", "");
    texts.insert("port", "7");
    EXPECT_EQ(texts.value("localIp"), "192.168.100.200");
    EXPECT_EQ(texts.value("gatewayIp"), "1.2.3.4");
    EXPECT_TRUE(texts.contains("subnetMask") && texts.value("subnetMask").isEmpty());
    EXPECT_FALSE(texts.contains("serverIp") || texts.contains("port"));

    const std::pair<TSettingsEdit, QString> faults[] = {
        {Edit({{"localIp", "1.2.3"}}), "Invalid local IP！"},
        {Edit({{"gatewayIp", "1.2.3.4 "}}), "Invalid gateway IP!"},
        {Edit({{"subnetMask", "256.0.0.0"}}), "Invalid subnet mask!"},
        {Edit({{"serverIp", "1..3.4"}}), "Invalid server IP!"},
        // In the order local, gateway, mask, server, whatever the flag.
        {Edit({{"serverIp", "x"}, {"subnetMask", "x"}, {"gatewayIp", "x"}}), "Invalid gateway IP!"},
        {Edit({{"serverIp", "-1.0.0.0"}, {"localIp", "+$10.0.0.1"}}), "Invalid local IP！"},
        {Edit({{"localIp", "a.b.c.d"}}, true), "Invalid local IP！"},
        // Then the rules between the addresses given, only those.
        {Edit({{"localIp", "10.0.0.5"}, {"gatewayIp", "10.0.0.5"}}),
         "Invalid gateway IP: 10.0.0.5 is the unit's own local IP"},
        {Edit({{"localIp", "10.0.0.5"}, {"gatewayIp", "10.9.0.1"}}), ""},
    };
    for (const auto &[edit, fault] : faults)
        EXPECT_EQ(SettingsEditFault(edit), fault) << edit.Addresses.value("localIp").toStdString();

    // The unit's odd DHCP flag goes back as it is unless one is given; an
    // address that does not pass stays as the unit holds it.
    const TNetSettings unit{2, {192, 168, 1, 100}, {192, 168, 1, 1}, {192, 168, 1, 254}, {255, 255, 255, 0}};
    EXPECT_EQ(Bytes(ApplySettingsEdit(Edit({{"localIp", "$0A.0.0.5"}, {"serverIp", "1.2.3"}}), unit)),
              "02 0a 00 00 05 c0 a8 01 01 c0 a8 01 fe ff ff ff 00");
    EXPECT_EQ(ApplySettingsEdit(Edit({}, true), unit).DhcpFlag, 1);
    EXPECT_EQ(ApplySettingsEdit(Edit({{"subnetMask", "255.255.0.0"}}, false), unit).DhcpFlag, 0);

    EXPECT_EQ(ParseOnOff(" On "), true);
    EXPECT_EQ(ParseOnOff("0"), false);
    EXPECT_EQ(ParseOnOff("yes"), std::nullopt);
}

} // namespace
