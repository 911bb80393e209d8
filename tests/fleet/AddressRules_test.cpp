#include "fleet/AddressRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

using TAddress = std::optional<std::array<uint8_t, 4>>;

QString Fault(TAddress Local, TAddress Mask, TAddress Gateway = std::nullopt)
{
    return AddressFault({Local ? Local->data() : nullptr, Mask ? Mask->data() : nullptr,
                         Gateway ? Gateway->data() : nullptr});
}

// Every rule where it starts to hold and where it stops: the subnet's own
// ends only for masks of 30 bits and fewer, a gateway of 0.0.0.0 as none.
TEST(AddressRules, EachRuleHoldsWhereItsAddressesAreGivenAndNoFurther)
{
    using A = std::array<uint8_t, 4>;
    const A mask24{255, 255, 255, 0};
    EXPECT_EQ(Fault(std::nullopt, A{255, 0, 255, 0}),
              "Invalid subnet mask: 255.0.255.0 is no subnet mask (its ones must come first, as in "
              "255.255.255.0)");
    EXPECT_EQ(Fault(A{0, 0, 0, 0}, std::nullopt), "Invalid local IP: 0.0.0.0 cannot be a unit's own address");
    EXPECT_EQ(Fault(A{255, 255, 255, 255}, std::nullopt),
              "Invalid local IP: 255.255.255.255 is the broadcast address");
    EXPECT_EQ(Fault(A{127, 0, 0, 1}, std::nullopt),
              "Invalid local IP: 127.0.0.1 is a loopback address (127.0.0.0/8)");
    EXPECT_EQ(Fault(A{239, 1, 2, 3}, std::nullopt),
              "Invalid local IP: 239.1.2.3 is a multicast address (224.0.0.0/4)");
    EXPECT_EQ(Fault(A{10, 0, 1, 255}, mask24),
              "Invalid local IP: 10.0.1.255 is the broadcast address of its subnet (mask 255.255.255.0)");
    EXPECT_EQ(Fault(A{192, 168, 1, 0}, mask24),
              "Invalid local IP: 192.168.1.0 is the network address of its subnet (mask 255.255.255.0)");
    EXPECT_EQ(
        Fault(A{192, 168, 1, 103}, A{255, 255, 255, 252}),
        "Invalid local IP: 192.168.1.103 is the broadcast address of its subnet (mask 255.255.255.252)");
    EXPECT_EQ(Fault(A{10, 0, 0, 255}, std::nullopt), "") << "no mask, no subnet";
    EXPECT_EQ(Fault(A{10, 0, 0, 255}, A{255, 255, 254, 0}), "") << "inside a wider subnet";
    EXPECT_EQ(Fault(A{10, 0, 0, 1}, A{255, 255, 255, 254}), "") << "a /31 has neither end";
    EXPECT_EQ(Fault(A{10, 0, 0, 0}, A{255, 255, 255, 255}), "") << "nor has a /32";

    EXPECT_EQ(Fault(A{10, 0, 0, 5}, std::nullopt, A{10, 0, 0, 5}),
              "Invalid gateway IP: 10.0.0.5 is the unit's own local IP");
    EXPECT_EQ(Fault(A{10, 0, 0, 5}, mask24, A{10, 0, 1, 1}),
              "Invalid gateway IP: 10.0.1.1 is outside the unit's subnet (local IP 10.0.0.5, mask "
              "255.255.255.0)");
    EXPECT_EQ(Fault(A{10, 0, 0, 5}, std::nullopt, A{10, 9, 0, 1}), "") << "no mask, no subnet";
    EXPECT_EQ(Fault(A{10, 0, 0, 5}, mask24, A{0, 0, 0, 0}), "") << "no gateway";
    EXPECT_EQ(Fault(std::nullopt, mask24, A{10, 0, 0, 5}), "") << "nothing to compare the gateway with";

    // Settings about to be sent: the address and mask in force (DHCP off,
    // which the main window takes any flag but 1 for); never the gateway.
    TNetSettings settings{0, {10, 0, 0, 0}, {0, 0, 0, 0}, {10, 0, 0, 0}, {255, 255, 255, 0}};
    EXPECT_EQ(SettingsFault(settings),
              "Invalid local IP: 10.0.0.0 is the network address of its subnet (mask 255.255.255.0)");
    settings.DhcpFlag = 2;
    EXPECT_FALSE(SettingsFault(settings).isEmpty());
    settings.DhcpFlag = 1;
    EXPECT_EQ(SettingsFault(settings), "");
    settings = {0, {10, 0, 0, 5}, {0, 0, 0, 0}, {10, 0, 0, 5}, {255, 255, 255, 0}};
    EXPECT_EQ(SettingsFault(settings), "");
}

} // namespace
