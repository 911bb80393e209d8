// An adapter pulled out in the middle of an exchange and plugged back: the
// wait ends with the failure, and the next Open finds the adapter under the
// same COM number through its unchanged by-id link, now leading to another
// tty.

#include "device/LinkFixture.h"
#include "platform/store/SettingsStore.h"
#include "support/PortTree.h"
#include "support/SimLine.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

namespace {

TEST(Replug, NextOpenFindsTheAdapterUnderItsNumber)
{
    lumora::test::ResetConfigHome();
    lumora::test::TPortTree tree;
    const QString name = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    TRecordingLabel label;
    TCOMMan link(&label);
    std::array<uint8_t, 84> info{};
    {
        lumora::test::TPtyPair first;
        tree.AddAdapter(name, first.SlavePath());
        ASSERT_TRUE(link.Open(1));
        // Unplugged once the request is out, while the link waits for the reply.
        std::thread unplug([&] {
            first.ReadMaster(7);
            first.CloseMaster();
            tree.Unplug(name);
        });
        EXPECT_FALSE(link.ReadInfo(info.data(), int(info.size())));
        unplug.join();
        EXPECT_EQ(label.Last().Text, "Device response timeout!");
    }
    EXPECT_FALSE(link.Open(1)) << "unplugged";

    lumora::test::TSimLine device;
    tree.AddAdapter(name, device.SlavePath());
    ASSERT_TRUE(link.Open(1));
    EXPECT_TRUE(link.ReadInfo(info.data(), int(info.size())));
    EXPECT_EQ(TSettingsStore(TSettingsStore::DefaultPath()).ReadSection("Adapters"),
              (std::vector<std::pair<QString, QString>>{{tree.ById(name), "1"}}));
}

} // namespace
