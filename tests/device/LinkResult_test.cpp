// The typed exchanges beneath the reporting operations: every outcome comes
// back as a value, and nothing is shown in the status label.

#include "LinkFixture.h"
#include "device/EDFACom.h"
#include "device/NetSettings.h"
#include "faults/ScriptedDevice.h"

#include <thread>

namespace {

TEST_F(LinkTest, TypedExchangesReturnEachOutcomeWithoutReporting)
{
    TCOMMan com(&Label);
    const TNetSettings settings{};
    const TRecordResult<TDeviceInfo> closed = com.ReadRecord<TDeviceInfo>(CmdReadInfo);
    EXPECT_EQ(closed.Error, TLinkError::PortNotOpen);
    EXPECT_FALSE(closed.Sent);
    EXPECT_EQ(com.WriteRecord(settings).Error, TLinkError::PortNotOpen);
    EXPECT_TRUE(Label.Reports.empty());

    ASSERT_TRUE(com.Open(1));
    const size_t reportsAfterOpen = Label.Reports.size();
    Reply(DeviceReply(PatternRecord(84, 1)));
    const TRecordResult<TDeviceInfo> good = com.ReadRecord<TDeviceInfo>(CmdReadInfo);
    EXPECT_TRUE(good.Ok());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(&good.Record), 84), PatternRecord(84, 1));
    EXPECT_EQ(Pty.ReadMaster(7), Bytes({0xAA, 0x55, 0x00, 0x00, 0x00, 0xFB, 0xFF}));

    QByteArray wrongSum = DeviceReply(PatternRecord(84, 1));
    wrongSum[86] = char(wrongSum[86] ^ 1);
    Reply(wrongSum);
    EXPECT_EQ(com.ReadRecord<TDeviceInfo>(CmdReadInfo).Error, TLinkError::BadChecksum);
    Reply(DeviceReply(PatternRecord(84, 1)).left(86));
    const TRecordResult<TDeviceInfo> shortReply = com.ReadRecord<TDeviceInfo>(CmdReadInfo);
    EXPECT_EQ(shortReply.Error, TLinkError::NoReply);
    EXPECT_TRUE(shortReply.Sent);
    EXPECT_FALSE(shortReply.LineLost()) << "a wrong reply is no unplug";

    struct Case {
        QByteArray Ack;
        TLinkError Error;
        int Code;
    };
    const Case cases[] = {
        {Bytes({0, 0, 0, 0}), TLinkError::None, 0},
        {Bytes({0, 0, 1, 1}), TLinkError::NotSupported, 1},
        {Bytes({0, 0, 0x7F, 0x7F}), TLinkError::CommandFailed, 0x7F},
        {Bytes({0, 0, 0, 1}), TLinkError::MalformedAck, -1},
        {Bytes({0, 0, 0, 0, 0}), TLinkError::MalformedAck, -1},
        {QByteArray(), TLinkError::NoReply, -1},
    };
    for (const Case &c : cases) {
        Reply(c.Ack);
        const TLinkResult ack = com.WriteRecord(settings);
        EXPECT_EQ(ack.Error, c.Error) << c.Ack.toHex().toStdString();
        EXPECT_EQ(ack.AckCode, c.Code) << c.Ack.toHex().toStdString();
        Pty.ReadMaster(24, 200);
    }
    EXPECT_EQ(Label.Reports.size(), reportsAfterOpen) << "typed exchanges report nothing";

    // The line goes while the link waits for the reply, then stays gone.
    std::thread unplug([this] {
        Pty.ReadMaster(7, 3000);
        Pty.CloseMaster();
    });
    const TRecordResult<TDeviceInfo> during = com.ReadRecord<TDeviceInfo>(CmdReadInfo);
    unplug.join();
    EXPECT_EQ(during.Error, TLinkError::HungUp);
    EXPECT_TRUE(during.Sent);
    const TLinkResult after = com.WriteRecord(settings);
    EXPECT_TRUE(after.LineLost());
    EXPECT_FALSE(after.Sent);
    com.ShowOutcome(TLinkOperation::Write, after);
    EXPECT_EQ(Label.Last(), Red("Couldn't open device!"))
        << "the described text for a write that did not go out";
}

} // namespace
