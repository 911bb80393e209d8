#include "LinkFixture.h"
#include "base/LumoraError.h"
#include "platform/store/SettingsStore.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono;

QByteArray DataReply(const QByteArray &record, int lead0 = 0xAA, int lead1 = 0x55)
{
    uint8_t sum = 0;
    for (char c : record)
        sum = uint8_t(sum + uint8_t(c));
    return Bytes({lead0, lead1}) + record + char(sum);
}

QByteArray InfoRecord()
{
    QByteArray r(84, 0);
    for (int i = 0; i < 84; ++i)
        r[i] = char(i * 3 + 1);
    return r;
}

TEST(FrameConstants, HeadTailTypesAndFrames)
{
    EXPECT_EQ(FrameHead, (std::array<uint8_t, 2>{0xAA, 0x55}));
    EXPECT_EQ(FrameTail, (std::array<uint8_t, 2>{0xFB, 0xFF}));
    EXPECT_EQ(DeviceTypeName(1), "发射机");
    EXPECT_EQ(DeviceTypeName(5), "EDFA(Double)");
    EXPECT_EQ(DeviceTypeName(6), "EDFA(Single)");
    EXPECT_EQ(DeviceTypeName(9), "通信板");
    EXPECT_EQ(DeviceTypeName(0), QString());
    EXPECT_EQ(DeviceTypeName(10), QString());

    EXPECT_EQ(BuildFrame(0, {}), Bytes({0xAA, 0x55, 0x00, 0x00, 0x00, 0xFB, 0xFF}));
    EXPECT_EQ(BuildFrame(3, {}), Bytes({0xAA, 0x55, 0x03, 0x00, 0x03, 0xFB, 0xFF}));
    const uint8_t zeros[17] = {};
    EXPECT_EQ(BuildFrame(1, zeros),
              Bytes({0xAA, 0x55, 0x01, 0x11}) + QByteArray(17, 0) + Bytes({0x12, 0xFB, 0xFF}));
    const uint8_t ff[255] = {0xFF};
    EXPECT_EQ(uint8_t(BuildFrame(7, std::span<const uint8_t>(ff, 255)).at(259)), uint8_t(7 + 255 + 255));
}

TEST_F(LinkTest, NewInstanceHasTheLineDefaultsAndIsClosed)
{
    TTestCom com(&Label);
    EXPECT_EQ(com.FBaudRate, 115200u);
    EXPECT_EQ(com.FParity, 0);
    EXPECT_EQ(com.FStopBits, 0);
    EXPECT_EQ(com.FByteSize, 8);
    EXPECT_EQ(com.FTimeout, 1000);
    EXPECT_FALSE(com.Opened());
    EXPECT_TRUE(com.PortName().isEmpty());
    EXPECT_TRUE(Label.Reports.empty());
    EXPECT_EQ(com.GetPortNumber(), 1) << "nothing stored";
}

TEST_F(LinkTest, ClosedInstanceSendsNothing)
{
    TTestCom com(&Label);
    uint8_t dest[84];
    std::memset(dest, 0x5A, sizeof dest);
    EXPECT_FALSE(com.ReadInfo(dest, 84));
    EXPECT_EQ(Label.Reports,
              (std::vector{Red("Port not open,command fail!"), Red("Device no response,command fail.")}));
    EXPECT_FALSE(com.WriteCommand(dest, 17));
    EXPECT_EQ(Label.Last(), Red("Couldn't open device!"));
    EXPECT_EQ(Label.Reports.size(), 4u);
    EXPECT_EQ(dest[0], 0x5A);
    EXPECT_EQ(Pty.ReadMaster(1, 200), QByteArray());
}

TEST_F(LinkTest, OpenReportsAndStoresTheNumberFirst)
{
    TTestCom com(&Label);
    EXPECT_TRUE(com.Open(1));
    EXPECT_TRUE(com.Opened());
    EXPECT_EQ(com.PortName(), "COM1");
    EXPECT_EQ(Label.Reports, (std::vector{Green("PortCOM1already open")}));

    // COM7 is mapped nowhere and /dev/ttyS6 does not exist here.
    lumora::test::MapPort(7, "/nonexistent/tty7");
    EXPECT_FALSE(com.Open(7));
    EXPECT_FALSE(com.Opened());
    EXPECT_EQ(com.PortName(), "COM7");
    EXPECT_EQ(Label.Last(), Red("Couldn't open the port COM7,maybe already being occupied or not existed!"));
    EXPECT_EQ(com.GetPortNumber(), 7) << "stored although the open failed";
    EXPECT_EQ(TSettingsStore(TSettingsStore::DefaultPath()).ReadString("COMSetup", "COM"), QString("7"));
    EXPECT_EQ(TSettingsStore(TSettingsStore::DefaultPath()).ReadString("Ports", "COM1"), Pty.SlavePath())
        << "the mapping survives the write";

    EXPECT_FALSE(com.Open(0));
    EXPECT_EQ(Label.Last(), Red("Couldn't open the port COM0,maybe already being occupied or not existed!"));
}

TEST_F(LinkTest, RegularFileOrBusyPortDoesNotOpen)
{
    const QString file = lumora::test::ConfigHome() + "/not-a-tty";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    lumora::test::MapPort(2, file);
    TTestCom com(&Label);
    EXPECT_FALSE(com.Open(2));
    EXPECT_EQ(Label.Last(), Red("Couldn't open the port COM2,maybe already being occupied or not existed!"));

    TRecordingLabel otherLabel;
    TTestCom holder(&otherLabel);
    ASSERT_TRUE(holder.Open(1));
    EXPECT_FALSE(com.Open(1)) << "busy";
    EXPECT_EQ(Label.Last(), Red("Couldn't open the port COM1,maybe already being occupied or not existed!"));
}

TEST_F(LinkTest, OpenOnAnOpenInstanceReleasesTheOldPortFirst)
{
    lumora::test::TPtyPair second;
    lumora::test::MapPort(2, second.SlavePath());
    auto com = std::make_unique<TTestCom>(&Label);
    ASSERT_TRUE(com->Open(1));
    ASSERT_TRUE(com->Open(1)) << "reopening the same port is not refused by its own lock";
    ASSERT_TRUE(com->Open(2));
    EXPECT_EQ(com->GetPortNumber(), 2);
    TSerialPort probe;
    EXPECT_TRUE(probe.Open(Pty.SlavePath())) << "COM1 was let go";
    probe.Close();
    EXPECT_FALSE(probe.Open(second.SlavePath())) << "COM2 is held";
    com.reset();
    EXPECT_TRUE(probe.Open(second.SlavePath())) << "the destructor closes the port";
}

TEST_F(LinkTest, StoreErrorsReachTheCallerOfOpen)
{
    QDir(lumora::test::ConfigHome()).removeRecursively();
    QFile blocker(lumora::test::ConfigHome());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the config folder should be
    blocker.close();
    TTestCom com(&Label);
    EXPECT_EQ(com.GetPortNumber(), 1);
    try {
        com.Open(1);
        FAIL() << "expected the store's error";
    } catch (const ELumoraError &e) {
        EXPECT_EQ(e.Message(), "Failed to create key COMSetup");
    }
    EXPECT_TRUE(Label.Reports.empty()) << "the error comes before the port is tried";
    QFile::remove(lumora::test::ConfigHome());
}

TEST_F(LinkTest, ReadCommandsGoOutByteForByte)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    uint8_t dest[84];
    com.ReadInfo(dest, 84);
    EXPECT_EQ(Pty.ReadMaster(7), Bytes({0xAA, 0x55, 0x00, 0x00, 0x00, 0xFB, 0xFF}));
    com.ReadParams(dest, 26);
    EXPECT_EQ(Pty.ReadMaster(7), Bytes({0xAA, 0x55, 0x03, 0x00, 0x03, 0xFB, 0xFF}));
    const uint8_t payload[17] = {0x00, 0xC0, 0xA8, 0x01, 0x0A, 0xC0, 0xA8, 0x01, 0x01,
                                 0xC0, 0xA8, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0x00};
    com.WriteCommand(payload, 17);
    uint8_t sum = 0x12;
    for (uint8_t b : payload)
        sum = uint8_t(sum + b);
    EXPECT_EQ(Pty.ReadMaster(24), Bytes({0xAA, 0x55, 0x01, 0x11}) +
                                      QByteArray(reinterpret_cast<const char *>(payload), 17) +
                                      Bytes({sum, 0xFB, 0xFF}));
}

TEST_F(LinkTest, ValidReplyIsCopiedWhateverItsLeadingBytes)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    const size_t reportsAfterOpen = Label.Reports.size();
    const QByteArray record = InfoRecord();
    for (auto lead : {std::pair{0xAA, 0x55}, std::pair{0x00, 0x00}, std::pair{0x13, 0x11}}) {
        uint8_t dest[84] = {};
        Reply(DataReply(record, lead.first, lead.second));
        EXPECT_TRUE(com.ReadInfo(dest, 84));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dest), 84), record);
    }
    EXPECT_EQ(Label.Reports.size(), reportsAfterOpen) << "success reports nothing";

    uint8_t dest[84];
    Reply(DataReply(QByteArray(84, 0)));
    EXPECT_TRUE(com.ReadInfo(dest, 84));
    const QByteArray allFF(84, char(0xFF));
    ASSERT_EQ(uint8_t(DataReply(allFF).back()), 0xAC);
    Reply(DataReply(allFF));
    EXPECT_TRUE(com.ReadInfo(dest, 84));
    EXPECT_EQ(dest[83], 0xFF);
}

TEST_F(LinkTest, ReplyOfWrongLengthOrChecksumFails)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    const QByteArray good = DataReply(InfoRecord());
    uint8_t dest[84];
    std::memset(dest, 0x77, sizeof dest);

    for (const QByteArray &bad : {good.left(86), good + '\0', QByteArray()}) {
        Reply(bad);
        EXPECT_FALSE(com.ReadInfo(dest, 84));
        EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
        EXPECT_EQ(dest[0], 0x77);
    }
    // Count+2 bytes whose last byte is the checksum of the shorter record.
    QByteArray shortButSummed = DataReply(InfoRecord().left(83));
    Reply(shortButSummed);
    EXPECT_FALSE(com.ReadInfo(dest, 84));
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));

    QByteArray wrongSum = good;
    wrongSum[86] = char(wrongSum[86] + 1);
    Reply(wrongSum);
    EXPECT_FALSE(com.ReadInfo(dest, 84));
    EXPECT_EQ(Label.Last(), Red("Receive error data."));
    EXPECT_EQ(dest[0], 0x77) << "destination untouched";
}

TEST_F(LinkTest, StaleBytesSpoilTheNextExchange)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    uint8_t dest[84];
    Reply(DataReply(InfoRecord()) + DataReply(InfoRecord())); // two replies queued at once
    EXPECT_FALSE(com.ReadInfo(dest, 84));
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));

    Reply("\x01");
    Reply(Bytes({0xAA, 0x55, 0x00, 0x00}));
    EXPECT_FALSE(com.WriteCommand(dest, 17));
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
}

TEST_F(LinkTest, RecordTooLongForTheReplyBufferTouchesNothing)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    Reply(QByteArray(300, char(1))); // a queue that holds more than the reply buffer
    std::this_thread::sleep_for(milliseconds(30));
    uint8_t dest[300];
    std::memset(dest, 0x33, sizeof dest);
    EXPECT_FALSE(com.Query(0, dest, 254));
    EXPECT_EQ(Label.Last(), Red("Receive error data."));
    EXPECT_EQ(dest[0], 0x33);
    EXPECT_EQ(Pty.ReadMaster(1, 150), QByteArray()) << "nothing sent";

    // 253 is the largest record. The one read takes 256 of the 300 queued
    // bytes: the length is right, so it is the checksum (253 * 1 against 1)
    // that fails, and nothing overflows.
    EXPECT_FALSE(com.Query(0, dest, 253));
    EXPECT_EQ(Label.Last(), Red("Receive error data."));
    EXPECT_EQ(dest[0], 0x33);
}

TEST_F(LinkTest, AcknowledgementCodes)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    const uint8_t payload[17] = {};
    struct Case {
        QByteArray Ack;
        bool Result;
        TRecordingLabel::TReport Report;
    };
    const Case cases[] = {
        {Bytes({0, 0, 0, 0}), true, Green("Command success!")},
        {Bytes({0xAA, 0x55, 0, 0}), true, Green("Command success!")},
        {Bytes({0, 0, 1, 1}), false, Red("Command not support!")},
        {Bytes({0, 0, 2, 2}), false, Red("Command fail!")},
        {Bytes({0, 0, 0x7F, 0x7F}), false, Red("Command fail!")},
        {Bytes({0, 0, 0, 1}), false, Red("Command fail!")},
        {Bytes({0, 0, 0}), false, Red("Command fail!")},
        {Bytes({0, 0, 0, 0, 0}), false, Red("Command fail!")},
        {QByteArray(), false, Red("Command fail!")},
    };
    for (const Case &c : cases) {
        Reply(c.Ack);
        EXPECT_EQ(com.WriteCommand(payload, 17), c.Result) << c.Ack.toHex().toStdString();
        EXPECT_EQ(Label.Last(), c.Report) << c.Ack.toHex().toStdString();
        Pty.ReadMaster(24, 200);
    }
}

TEST_F(LinkTest, ReadReplyAndReadAckStayWithinTheirBuffers)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    Reply(QByteArray(40, char(0x42)));
    std::this_thread::sleep_for(milliseconds(30));
    uint8_t buf[32];
    std::memset(buf, 0, sizeof buf);
    EXPECT_TRUE(com.ReadReply(std::span<uint8_t>(buf, 16), 16));
    EXPECT_EQ(buf[16], 0) << "no byte beyond the given buffer";
    EXPECT_FALSE(com.ReadReply(std::span<uint8_t>(buf, 16), -1)) << "a negative count never matches";
    EXPECT_EQ(com.ReadAck(), 2) << "the 8 bytes left: not an acknowledgement";
    Reply(Bytes({0, 0, 1, 1}));
    EXPECT_EQ(com.ReadAck(), 1) << "nothing left over once the queue was read";
}

TEST_F(LinkTest, HangUpEndsAWaitWithinItsBound)
{
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    std::thread unplug([this] {
        std::this_thread::sleep_for(milliseconds(250));
        Pty.CloseMaster();
    });
    uint8_t dest[84];
    const auto start = steady_clock::now();
    EXPECT_FALSE(com.ReadInfo(dest, 84));
    unplug.join();
    EXPECT_LT(steady_clock::now() - start, milliseconds(1100));
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    EXPECT_FALSE(com.ReadInfo(dest, 84));
    EXPECT_EQ(Label.Last(), Red("Device no response,command fail.")) << "the write to a dead line fails";
    EXPECT_FALSE(com.WriteCommand(dest, 17));
    EXPECT_EQ(Label.Last(), Red("Couldn't open device!"));
}

} // namespace
