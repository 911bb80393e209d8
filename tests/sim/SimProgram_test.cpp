#include "device/DeviceParams.h"
#include "device/EDFACom.h"
#include "device/LinkFixture.h"

#include <QFileInfo>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using namespace std::chrono;

// lumora-sim as a child process, its standard output on a pipe.
class TSimProcess {
public:
    explicit TSimProcess(const QStringList &args)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        const QByteArray program = qgetenv("LUMORA_BUILD_DIR") + "/lumora-sim";
        std::vector<QByteArray> store{program};
        store.reserve(size_t(args.size()) + 1);
        for (const QString &a : args)
            store.push_back(a.toLocal8Bit());
        std::vector<char *> argv;
        argv.reserve(store.size() + 1);
        for (QByteArray &s : store)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (::posix_spawn(&FPid, program.constData(), &actions, nullptr, argv.data(), environ) != 0)
            FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        FOut = out[0];
    }
    ~TSimProcess()
    {
        if (FPid > 0) {
            ::kill(FPid, SIGKILL);
            ::waitpid(FPid, nullptr, 0);
        }
        if (FOut >= 0)
            ::close(FOut);
    }
    // Everything the program printed until its output closed or a newline
    // came, within two seconds.
    QByteArray ReadLine()
    {
        QByteArray line;
        const auto deadline = steady_clock::now() + seconds(2);
        while (!line.endsWith('\n') && steady_clock::now() < deadline) {
            pollfd pfd{FOut, POLLIN, 0};
            if (::poll(&pfd, 1, 100) <= 0)
                continue;
            char c;
            if (::read(FOut, &c, 1) != 1)
                break;
            line.append(c);
        }
        return line;
    }
    // Exit status after Signal (0 for none), or -1 when it did not end in time.
    int Finish(int Signal)
    {
        if (FPid <= 0)
            return -1;
        if (Signal != 0)
            ::kill(FPid, Signal);
        const auto deadline = steady_clock::now() + seconds(3);
        while (steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(FPid, &status, WNOHANG) == FPid) {
                FPid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(10000);
        }
        return -1;
    }
    pid_t Pid() const { return FPid; }

private:
    pid_t FPid = -1;
    int FOut = -1;
};

class SimProgramTest : public ::testing::Test {
protected:
    void SetUp() override { lumora::test::ResetConfigHome(); }
    QString LinkPath() const { return lumora::test::ConfigHome() + "/sim-tty"; }
    TRecordingLabel Label;
};

TEST_F(SimProgramTest, PrintsThePathMakesTheLinkAndEndsCleanly)
{
    TSimProcess sim({"--link", LinkPath(), "--type", "9", "--serial", "0512399999", "--firmware", "1.0"});
    const QByteArray line = sim.ReadLine();
    ASSERT_TRUE(line.startsWith("/dev/pts/")) << line.toStdString();
    EXPECT_EQ(QFileInfo(LinkPath()).symLinkTarget(), QString::fromLocal8Bit(line.trimmed()));

    lumora::test::MapPort(2, LinkPath()); // a stable path through the link
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(2));
    TDeviceInfo info{};
    ASSERT_TRUE(com.ReadInfo(&info, 84));
    EXPECT_EQ(info.DeviceType, 9);
    EXPECT_EQ(MacFromSerial(QByteArrayView(info.SerialNo, 10)), "0008085c869f");
    EXPECT_EQ(VersionToStr(info.FirmwareVersion), "1.0");

    EXPECT_EQ(sim.Finish(SIGTERM), 0);
    EXPECT_FALSE(QFileInfo(LinkPath()).isSymLink()) << "the link goes with the program";
}

TEST_F(SimProgramTest, InterruptEndsItToo)
{
    TSimProcess sim({});
    ASSERT_FALSE(sim.ReadLine().isEmpty());
    EXPECT_EQ(sim.Finish(SIGINT), 0);
}

TEST_F(SimProgramTest, SimulatorVanishingMidWaitEndsTheWaitAtOnce)
{
    TSimProcess sim({"--silent"});
    const QString path = QString::fromLocal8Bit(sim.ReadLine().trimmed());
    lumora::test::MapPort(1, path);
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    const pid_t pid = sim.Pid();
    ASSERT_GT(pid, 0);
    std::thread killer([pid] {
        std::this_thread::sleep_for(milliseconds(300));
        ::kill(pid, SIGKILL);
    });
    TDeviceInfo info{};
    const auto start = steady_clock::now();
    EXPECT_FALSE(com.ReadInfo(&info, 84));
    killer.join();
    EXPECT_LT(steady_clock::now() - start, milliseconds(1050));
    EXPECT_EQ(Label.Last(), Red("Device response timeout!"));
    EXPECT_FALSE(com.WriteCommand(&info, 17));
    EXPECT_EQ(Label.Last(), Red("Couldn't open device!"));
}

TEST_F(SimProgramTest, CommandLineMistakesAndHelp)
{
    TSimProcess help({"--help"});
    EXPECT_TRUE(help.ReadLine().startsWith("Usage: lumora-sim"));
    EXPECT_EQ(help.Finish(0), 0);
    for (const QStringList &bad :
         {QStringList{"--bogus"}, QStringList{"--type"}, QStringList{"--local-ip", "1.2.3"},
          QStringList{"--lid", "ajar"}, QStringList{"--delay=-5"}}) {
        TSimProcess sim(bad);
        EXPECT_EQ(sim.ReadLine(), QByteArray()) << bad.join(' ').toStdString();
        EXPECT_EQ(sim.Finish(0), 2) << bad.join(' ').toStdString();
    }
}

TEST_F(SimProgramTest, ValueOptionsShapeTheRecords)
{
    TSimProcess sim({"--dhcp",
                     "1",
                     "--local-ip",
                     "10.0.0.7",
                     "--netmask=255.255.0.0",
                     "--update-time",
                     "2025-01-02",
                     "--reverse-power",
                     "-3.5",
                     "--power-a",
                     "none",
                     "--transceiver-supply",
                     "3.3",
                     "--temperature",
                     "-5",
                     "--lid",
                     "open",
                     "--path",
                     "B",
                     "--mode",
                     "manual",
                     "--ack-code",
                     "2"});
    lumora::test::MapPort(1, QString::fromLocal8Bit(sim.ReadLine().trimmed()));
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    TDeviceInfo info{};
    ASSERT_TRUE(com.ReadInfo(&info, 84));
    EXPECT_EQ(info.DhcpFlag, 1);
    EXPECT_EQ(IPToStr(info.LocalAddr), "10.0.0.7");
    EXPECT_EQ(IPToStr(info.SubnetMask), "255.255.0.0");
    EXPECT_EQ(RecordText(info.UpdateTime, 20), "2025-01-02");
    TDeviceParams p{};
    ASSERT_TRUE(com.ReadParams(&p, 26));
    const TParamsTexts t = ParamsTexts(p, QLocale::c());
    EXPECT_EQ(t.ReversePower, "-3.5dBm");
    EXPECT_EQ(t.InputPowerA, "无");
    EXPECT_EQ(t.TransceiverSupply, "3.30V");
    EXPECT_EQ(t.Temperature, "-5℃");
    EXPECT_EQ(t.LidState, "打开");
    EXPECT_EQ(t.OutputPath, "B路");
    EXPECT_EQ(t.SwitchMode, "手动");
    EXPECT_FALSE(com.WriteCommand(&info.DhcpFlag, 17));
    EXPECT_EQ(Label.Last(), Red("Command fail!"));
}

// Another unit on the same line: taken after the given frames, and back and
// forth on SIGUSR1.
TEST_F(SimProgramTest, SwapsToTheOtherUnitAfterFramesAndOnSignal)
{
    TSimProcess sim({"--serial", "0600000001", "--swap-to", "0600000002:7", "--swap-after", "2"});
    lumora::test::MapPort(1, QString::fromLocal8Bit(sim.ReadLine().trimmed()));
    TTestCom com(&Label);
    ASSERT_TRUE(com.Open(1));
    auto serial = [&] {
        TDeviceInfo info{};
        return com.ReadInfo(&info, 84)
                   ? RecordText(info.SerialNo, 10) + "/" + QString::number(info.DeviceType)
                   : QString();
    };
    EXPECT_EQ(serial(), "0600000001/6");
    EXPECT_EQ(serial(), "0600000001/6");
    EXPECT_EQ(serial(), "0600000002/7");
    ::kill(sim.Pid(), SIGUSR1);
    // The signal arrives in its own time: a bounded number of looks.
    QString now = serial();
    for (int i = 0; i < 50 && now != "0600000001/6"; ++i)
        now = serial();
    EXPECT_EQ(now, "0600000001/6");
}

} // namespace
