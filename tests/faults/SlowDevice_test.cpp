// Devices that answer late, in pieces, or leave stray bytes on the line: each
// gives the outcome the link promises (one read of whatever is queued once
// the pause is over, waiting at most 1000 ms for the first byte). What comes
// late comes after the link has given up, not after some time, so that no
// outcome rides on how fast the machine is.

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

    // Bytes the device sent before the request, one write per piece, all of
    // them queued on the line before the test goes on.
    void Queue(std::initializer_list<QByteArray> pieces)
    {
        int count = 0;
        for (const QByteArray &piece : pieces) {
            Reply(piece);
            count += int(piece.size());
        }
        ASSERT_TRUE(Pty.WaitQueued(count));
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

// A reply that comes after the link gave up stays queued and, read together
// with the next reply, makes its length wrong; the exchange after that is
// clean again. The same for an acknowledgement.
TEST_F(SlowDeviceTest, LateReplySpoilsOnlyTheNextExchange)
{
    Device.Answer(ReadRequestLength, QByteArray(), 0); // silent until the link gave up
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();
    Queue({DeviceReply(PatternRecord(84, 1)), DeviceReply(PatternRecord(84, 2))});
    Device.Answer(ReadRequestLength, QByteArray(), 0);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 3)), 10);
    QByteArray got;
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 3));
    Device.Finish();

    Device.Answer(WriteRequestLength, QByteArray(), 0);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
    Queue({DeviceAck(0), DeviceAck(0)});
    Device.Answer(WriteRequestLength, QByteArray(), 0);
    EXPECT_FALSE(WriteSettings()) << "eight bytes queued: the late one and this one";
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
    Device.Answer(WriteRequestLength, DeviceAck(1), 10);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command not support!")) << "the acknowledgement of this write";
    Device.Finish();
}

// One read takes whatever is queued once the pause is over: pieces that are
// all there by then are read together, and a first piece is read alone,
// without waiting for the rest.
TEST_F(SlowDeviceTest, PiecesCountOnlyWhenWholeBeforeTheRead)
{
    const QByteArray reply = DeviceReply(PatternRecord(84, 4));
    Queue({reply.left(40), reply.mid(40)});
    Device.Answer(ReadRequestLength, QByteArray(), 0);
    QByteArray got;
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 4));
    Device.Finish();

    Device.Answer(ReadRequestLength, reply, 0, 40);
    EXPECT_FALSE(ReadInfo());
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    Device.Finish();

    // An acknowledgement in two pieces: two bytes are not four. (The rest of
    // the reply above is discarded before the request.)
    Com.SetDiscardStaleInput(true);
    Device.Answer(WriteRequestLength, DeviceAck(0), 0, 2);
    EXPECT_FALSE(WriteSettings());
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
    Device.Finish();
}

// With stale input discarded before each request (the command line's link),
// a late reply or line noise no longer spoils the next exchange, and the
// acknowledgement read is the one the device sent for this write.
TEST_F(SlowDeviceTest, DiscardingStaleInputKeepsTheNextExchangeClean)
{
    Com.SetDiscardStaleInput(true);
    Device.Answer(ReadRequestLength, QByteArray(), 0);
    EXPECT_FALSE(ReadInfo());
    Device.Finish();
    Queue({DeviceReply(PatternRecord(84, 11))}); // late
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 12)), 10);
    QByteArray got;
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 12));
    Device.Finish();

    Queue({Bytes({0x00, 0xFF, 0x55})}); // line noise
    Device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 13)), 10);
    EXPECT_TRUE(ReadInfo(&got));
    EXPECT_EQ(got, PatternRecord(84, 13));
    Device.Finish();

    Queue({DeviceAck(1)}); // an acknowledgement nobody asked for
    Device.Answer(WriteRequestLength, DeviceAck(0), 10);
    const uint8_t payload[17] = {0, 192, 168, 1, 10};
    const TLinkResult ack = Com.WriteRecord(std::span<const uint8_t>(payload));
    EXPECT_TRUE(ack.Ok());
    EXPECT_EQ(ack.AckCode, 0);
    Device.Finish();
}

} // namespace
