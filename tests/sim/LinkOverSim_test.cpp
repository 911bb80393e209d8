#include "SimHarness.h"
#include "device/DeviceParams.h"
#include "device/EDFACom.h"

#include <chrono>
#include <cstring>

namespace {

using namespace std::chrono;

const uint8_t Settings[17] = {0x00, 0xC0, 0xA8, 0x01, 0x0A, 0xC0, 0xA8, 0x01, 0x01,
                              0xC0, 0xA8, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0x00};

TEST_F(SimLinkTest, ReadsBothRecordsAndStoresTheSettings)
{
    StartSim();
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    TDeviceInfo info{};
    ASSERT_TRUE(com.ReadInfo(&info, 84));
    const TSimConfig config = Sim->Config();
    EXPECT_EQ(std::memcmp(&info, &config.Info, 84), 0);
    EXPECT_EQ(RecordText(info.SerialNo, 10), "0612345678");
    EXPECT_EQ(MacFromSerial(QByteArrayView(info.SerialNo, 10)), "0008086cb26e");
    EXPECT_EQ(IPToStr(info.LocalAddr), "192.168.1.100");

    TDeviceParams params{};
    ASSERT_TRUE(com.ReadParams(&params, 26));
    const TParamsTexts t = ParamsTexts(params, QLocale::c());
    EXPECT_EQ(t.ReversePower, "3.5dBm");
    EXPECT_EQ(t.InputPowerB, "无");
    EXPECT_EQ(t.TransceiverSupply, "5.00V");
    EXPECT_EQ(t.SwitchMode, "自动");
    EXPECT_EQ(Label.Reports, (std::vector{Green("PortCOM1already open")}))
        << "reads report nothing on success";

    ASSERT_TRUE(com.WriteCommand(Settings, 17));
    EXPECT_EQ(Label.Last(), Green("Command success!"));
    ASSERT_TRUE(com.ReadInfo(&info, 84));
    EXPECT_EQ(std::memcmp(reinterpret_cast<uint8_t *>(&info) + 35, Settings, 17), 0);
    EXPECT_EQ(IPToStr(info.GatewayAddr), "192.168.1.254");
    EXPECT_EQ(Sim->FramesAnswered(), 4);
}

TEST_F(SimLinkTest, RefusedWriteStoresNothing)
{
    TSimFaults f;
    f.AckCode = 1;
    StartSim(f);
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    EXPECT_FALSE(com.WriteCommand(Settings, 17));
    EXPECT_EQ(Label.Last(), Red("Command not support!"));
    EXPECT_EQ(Sim->Config().Info.SubnetMask, SampleDevice().Info.SubnetMask);
}

struct TFailureRow {
    const char *Name;
    TSimFaults Faults;
    TRecordingLabel::TReport Read;  // after ReadInfo
    TRecordingLabel::TReport Write; // after WriteCommand
};

TSimFaults With(void (*set)(TSimFaults &))
{
    TSimFaults f;
    set(f);
    return f;
}

TEST_F(SimLinkTest, EveryFailureOfTheLinkReachesTheStatusLine)
{
    const TFailureRow rows[] = {
        {"silent", With([](TSimFaults &f) { f.Silent = true; }), Red("Device response timeout!"),
         Red("Command fail!")},
        {"bad checksum", With([](TSimFaults &f) { f.BadChecksum = true; }), Red("Receive error data."),
         Green("Command success!")},
        {"one byte short", With([](TSimFaults &f) { f.Short = true; }), Red("Device response timeout!"),
         Red("Command fail!")},
        {"one byte long", With([](TSimFaults &f) { f.Long = true; }), Red("Device response timeout!"),
         Red("Command fail!")},
        {"ack code 1",
         With([](TSimFaults &f) { f.AckCode = 1; }),
         {StatusInfoColor, "unchanged"},
         Red("Command not support!")},
        {"ack code 2",
         With([](TSimFaults &f) { f.AckCode = 2; }),
         {StatusInfoColor, "unchanged"},
         Red("Command fail!")},
        {"malformed ack",
         With([](TSimFaults &f) { f.BadAck = true; }),
         {StatusInfoColor, "unchanged"},
         Red("Command fail!")},
        {"stray bytes", With([](TSimFaults &f) { f.StrayBytes = 3; }), Red("Device response timeout!"),
         Red("Command fail!")},
    };
    for (const TFailureRow &row : rows) {
        SCOPED_TRACE(row.Name);
        StartSim(row.Faults);
        Label.Reports.clear();
        TTestCom com(&Label);
        ASSERT_TRUE(com.Open(1));
        TDeviceInfo info{};
        const bool readOk = com.ReadInfo(&info, 84);
        if (row.Read.Text == "unchanged") {
            EXPECT_TRUE(readOk);
            EXPECT_EQ(Label.Last(), Green("PortCOM1already open"));
        } else {
            EXPECT_FALSE(readOk);
            EXPECT_EQ(Label.Last(), row.Read);
            EXPECT_EQ(info.DeviceType, 0) << "destination untouched";
        }
        EXPECT_EQ(com.WriteCommand(Settings, 17), row.Write.Color == StatusInfoColor);
        EXPECT_EQ(Label.Last(), row.Write);
    }
}

TEST_F(SimLinkTest, ShortDelayIsStillInTime)
{
    TSimFaults f;
    f.DelayMs = 40;
    StartSim(f);
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    TDeviceInfo info{};
    EXPECT_TRUE(com.ReadInfo(&info, 84));
}

TEST_F(SimLinkTest, SurvivesGarbageAndTheProgramClosingAndReopening)
{
    StartSim();
    {
        TSerialPort raw;
        ASSERT_TRUE(raw.Open(Sim->SlavePath()));
        const uint8_t junk[] = {0xAA, 0x13, 0x11, 0x55, 0xAA, 0x55, 0x00, 0x00, 0x07, 0xFB, 0xFF};
        raw.Write(junk, sizeof junk);
    }
    for (int round = 0; round < 3; ++round) {
        TTestCom com(&Label);
        ASSERT_TRUE(com.Open(1)) << "round " << round;
        TDeviceInfo info{};
        EXPECT_TRUE(com.ReadInfo(&info, 84)) << "round " << round;
    }
    EXPECT_EQ(Sim->FramesAnswered(), 3);
}

TEST_F(SimLinkTest, LogsEveryFrameAndTakesANewDeviceWhileServing)
{
    StartSim(With([](TSimFaults &f) { f.Silent = true; }));
    {
        TSerialPort raw;
        ASSERT_TRUE(raw.Open(Sim->SlavePath()));
        const QByteArray frame = BuildFrame(CmdReadParams, {});
        raw.Write(reinterpret_cast<const uint8_t *>(frame.constData()), size_t(frame.size()));
        ASSERT_TRUE(Sim->WaitForReceived(1, seconds(5))) << "an unanswered frame is logged too";
    }
    EXPECT_FALSE(Sim->WaitForReceived(2, milliseconds(0)));
    EXPECT_EQ(Sim->Received().front().Command, CmdReadParams);

    TSimConfig other = SampleDevice(); // answering again, as another type
    other.Info.DeviceType = 9;
    Sim->SetConfig(other);
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    TDeviceInfo info{};
    ASSERT_TRUE(com.ReadInfo(&info, 84));
    EXPECT_EQ(info.DeviceType, 9);
    EXPECT_EQ(Sim->CountOf(CmdReadInfo), 1);
    Sim->ClearReceived();
    EXPECT_TRUE(Sim->Received().empty());
}

TEST_F(SimLinkTest, BusyPortRefusesASecondOpener)
{
    StartSim();
    TTestCom first(&Label);
    ASSERT_TRUE(first.Open(1));
    TRecordingLabel other;
    TTestCom second(&other);
    EXPECT_FALSE(second.Open(1));
    EXPECT_EQ(other.Last(), Red("Couldn't open the port COM1,maybe already being occupied or not existed!"));
    TDeviceInfo info{};
    EXPECT_TRUE(first.ReadInfo(&info, 84)) << "the holder is not disturbed";
}

} // namespace
