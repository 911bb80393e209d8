// Devices that answer late, in pieces, or leave stray bytes on the line: each
// gives the outcome the link promises (one read of whatever is queued once
// the pause is over, waiting at most 1000 ms for the first byte).

#include "ScriptedDevice.h"
#include "device/LinkFixture.h"

#include <QByteArray>

#include <cstring>

namespace {

class SlowDeviceTest : public LinkTest {
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        ASSERT_TRUE(Com.Open(1));
    }

    // ReadInfo; on success the record that arrived.
    bool ReadInfo(QByteArray *record = nullptr)
    {
        char dest[84];
        std::memset(dest, 0x5A, sizeof dest);
        const bool ok = Com.ReadInfo(dest, 84);
        if (record)
            *record = QByteArray(dest, 84);
        return ok;
    }
    bool WriteSettings()
    {
        const uint8_t payload[17] = {0, 192, 168, 1, 10};
        return Com.WriteCommand(payload, 17);
    }

    TTestCom Com{&Label};
    TScriptedDevice Device{Pty};
};

TEST_F(SlowDeviceTest, ReplyDuringThePauseOrTheWaitIsRead)
{
    for (const int delay : {50, 99, 150}) {
        const QByteArray record = PatternRecord(84, delay);
        Device.Answer(ReadRequestLength, DeviceReply(record), delay);
        QByteArray got;
        EXPECT_TRUE(ReadInfo(&got)) << "reply after " << delay << " ms";
        EXPECT_EQ(got, record);
        EXPECT_EQ(Device.Finish(), Bytes({0xAA, 0x55, 0x00, 0x00, 0x00, 0xFB, 0xFF}));

        Device.Answer(WriteRequestLength, DeviceAck(0), delay);
        EXPECT_TRUE(WriteSettings()) << "acknowledgement after " << delay << " ms";
        EXPECT_EQ(Label.Last(), Green("Command success!"));
        EXPECT_EQ(Device.Finish().size(), WriteRequestLength);
    }
}

// 1100 ms is the bound itself (pause plus wait), where the outcome is a race;
// 1150 ms lies clearly beyond it.
TEST_F(SlowDeviceTest, ReplyBeyondTheBoundTimesOutAndSpoilsTheNextExchange)
{
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 1)), 1150);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();

    // The late reply still lies in the queue: read with the next one, the
    // length is wrong. The exchange after that is clean again.
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 2)), 10);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 3)), 10);
    QByteArray got;
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 3));
    Device.Finish();

    Device.Answer(WriteRequestLength, DeviceAck(0), 1150);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
    Device.Answer(WriteRequestLength, DeviceAck(0), 10);
    EXPECT_FALSE(WriteSettings()) << "eight bytes queued: the late one and this one";
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
}

TEST_F(SlowDeviceTest, SplitReplyCountsOnlyWhenWholeBeforeTheRead)
{
    // Both pieces arrive within the pause: one read takes them together.
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 4)), 20, 40, 30);
    QByteArray got;
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 4));
    Device.Finish();

    // The first piece wakes the wait and is read alone; the second is left
    // over and spoils the next exchange.
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 5)), 150, 40, 40);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 6)), 10);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();

    // An acknowledgement split during the wait: two bytes are not four.
    Device.Answer(WriteRequestLength, DeviceAck(0), 150, 2, 40);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
}

TEST_F(SlowDeviceTest, StrayBytesBetweenExchangesFailOnlyTheNextOne)
{
    const QByteArray stray = Bytes({0x00, 0xFF, 0x55});
    Reply(stray);
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 7)), 10);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 8)), 10);
    EXPECT_TRUE(ReadInfo());
    Device.Finish();

    // A stray byte in front of a valid acknowledgement makes it five bytes.
    Reply(stray.left(1));
    Device.Answer(WriteRequestLength, DeviceAck(0), 10);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
    Device.Answer(WriteRequestLength, DeviceAck(1), 10);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command not support!"));
    Device.Finish();
}

// With stale input discarded before each request (the command line's link),
// a late reply or line noise no longer spoils the next exchange, and the
// acknowledgement read is the one the device sent for this write.
TEST_F(SlowDeviceTest, DiscardingStaleInputKeepsTheNextExchangeClean)
{
    Com.SetDiscardStaleInput(true);
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 11)), 1150);
    EXPECT_FALSE(ReadInfo());
    Device.Finish();
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 12)), 10);
    QByteArray got;
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 12));
    Device.Finish();

    Reply(Bytes({0x00, 0xFF, 0x55}));
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 13)), 10);
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 13));
    Device.Finish();

    Reply(DeviceAck(1)); // an acknowledgement nobody asked for
    Device.Answer(WriteRequestLength, DeviceAck(0), 10);
    const uint8_t payload[17] = {0, 192, 168, 1, 10};
    const TLinkResult ack = Com.WriteRecord(std::span<const uint8_t>(payload));
    EXPECT_TRUE(ack.Ok());
    EXPECT_EQ(ack.AckCode, 0);
    Device.Finish();
}

} // namespace
