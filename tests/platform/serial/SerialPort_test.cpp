#include "platform/serial/SerialPort.h"
#include "platform/serial/SerialTrace.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using lumora::test::TPtyPair;
using namespace std::chrono;

QByteArray AllByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

// Collects Expected bytes from the port with as many reads as it takes.
QByteArray ReadAll(TSerialPort &port, int expected)
{
    QByteArray got;
    uint8_t buf[512];
    while (got.size() < expected) {
        const int n = port.ReadQueued(buf, sizeof buf, 1000);
        if (n == 0)
            break;
        got.append(reinterpret_cast<const char *>(buf), n);
    }
    return got;
}

TEST(SerialPort, OpensOnlyExistingCharacterDevices)
{
    TSerialPort port;
    EXPECT_FALSE(port.Open(""));
    EXPECT_FALSE(port.Open("/nonexistent/ttyX"));
    const QString file = lumora::test::ConfigHome() + "/plain-file";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_FALSE(port.Open(file));
    EXPECT_FALSE(port.Open(lumora::test::ConfigHome())) << "a folder";
    const QString fifo = lumora::test::ConfigHome() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(port.Open(fifo));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(QFile::exists(lumora::test::ConfigHome() + "/nonexistent")) << "nothing is created";

    TPtyPair pty;
    EXPECT_TRUE(port.Open(pty.SlavePath()));
    EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPort, HeldExclusivelyInThisAndOtherProcesses)
{
    TPtyPair pty;
    TSerialPort first;
    ASSERT_TRUE(first.Open(pty.SlavePath()));
    TSerialPort second;
    EXPECT_FALSE(second.Open(pty.SlavePath()));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TSerialPort other;
        ::_exit(other.Open(pty.SlavePath()) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process must be refused";

    first.Close();
    EXPECT_TRUE(second.Open(pty.SlavePath())) << "free again once closed";
}

TEST(SerialPort, RawBinaryBothWaysAfterConfigure)
{
    TPtyPair pty(/*Raw=*/false); // starts cooked: echo, ICANON, IXON, ONLCR
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    ASSERT_TRUE(port.Configure(115200, 8, 0, 0));

    pty.WriteMaster(AllByteValues());
    EXPECT_EQ(ReadAll(port, 256), AllByteValues())
        << "XON/XOFF, CR, NL and control characters pass unchanged";
    ASSERT_EQ(port.Write(reinterpret_cast<const uint8_t *>(AllByteValues().constData()), 256), 256);
    EXPECT_EQ(pty.ReadMaster(256), AllByteValues()) << "no output processing";
    EXPECT_EQ(pty.ReadMaster(1, 100), QByteArray()) << "no echo";
}

TEST(SerialPort, HardwareFlowControlStaysAsTheLineHadIt)
{
    TPtyPair pty;
    const QByteArray slave = QFile::encodeName(pty.SlavePath());
    const auto flowControl = [&] {
        const int fd = ::open(slave.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio{};
        const bool on = fd >= 0 && ::tcgetattr(fd, &tio) == 0 && (tio.c_cflag & CRTSCTS) != 0;
        ::close(fd);
        return on;
    };
    {
        const int fd = ::open(slave.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        tio.c_cflag |= CRTSCTS; // left on by another program
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &tio), 0);
        ::close(fd);
    }
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    ASSERT_TRUE(port.Configure(115200, 8, 0, 0));
    port.Close();
    EXPECT_TRUE(flowControl()) << "neither Configure nor Close turn it off";
}

TEST(SerialPort, OneReadNeverExceedsTheBuffer)
{
    TPtyPair pty;
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    pty.WriteMaster(QByteArray(100, 'x'));
    ASSERT_TRUE(pty.WaitQueued(100));
    EXPECT_EQ(port.BytesWaiting(), 100);
    uint8_t buf[16] = {};
    buf[12] = 0xEE;
    EXPECT_EQ(port.ReadQueued(buf, 12, 1000), 12);
    EXPECT_EQ(buf[12], 0xEE);
    EXPECT_EQ(port.BytesWaiting(), 88) << "the rest stays queued";
}

TEST(SerialPort, NegativeBoundReadsNothing)
{
    TPtyPair pty;
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    pty.WriteMaster("abc");
    ASSERT_TRUE(pty.WaitQueued(3));
    uint8_t buf[8];
    EXPECT_EQ(port.ReadQueued(buf, 8, -1), 0);
    EXPECT_EQ(port.BytesWaiting(), 3);
}

// The waits here are far longer than the test takes: only the hang-up can
// end them before the guard.
TEST(SerialPort, HangUpEndsAWaitUnderWayAndEveryLaterOne)
{
    TPtyPair pty;
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    uint8_t buf[8];
    std::thread closer([&] {
        std::this_thread::sleep_for(milliseconds(100)); // most likely inside the wait; before it is fine too
        pty.CloseMaster();
    });
    const auto start = steady_clock::now();
    EXPECT_EQ(port.ReadQueued(buf, 8, 60000), 0);
    closer.join();
    EXPECT_TRUE(port.LineLost());
    EXPECT_EQ(port.ReadQueued(buf, 8, 60000), 0);
    EXPECT_LT(steady_clock::now() - start, seconds(30))
        << "the waits ran out instead of ending at the hang-up";
    const uint8_t frame[] = {0xAA, 0x55};
    EXPECT_NE(port.Write(frame, 2), 2);
}

TEST(SerialPort, DiscardInputDropsWhatWaitsAndALostLineIsToldFromASilentOne)
{
    TPtyPair pty;
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    EXPECT_TRUE(port.IsSerialLine());
    pty.WriteMaster(QByteArray(3000, 'x')); // more than one read of the discard takes
    ASSERT_TRUE(pty.WaitQueued(3000));
    port.DiscardInput();
    EXPECT_EQ(port.BytesWaiting(), 0);
    pty.WriteMaster("ok");
    uint8_t buf[8];
    EXPECT_EQ(port.ReadQueued(buf, 8, 1000), 2) << "what arrives after the discard is read";
    EXPECT_EQ(port.ReadQueued(buf, 8, 50), 0);
    EXPECT_FALSE(port.LineLost()) << "a wait that runs out of time is no hang-up";

    pty.CloseMaster();
    EXPECT_EQ(port.ReadQueued(buf, 8, 1000), 0);
    EXPECT_TRUE(port.LineLost());
    port.DiscardInput();
    EXPECT_TRUE(port.LineLost()) << "lost until opened again";

    TSerialPort null;
    ASSERT_TRUE(null.Open(QStringLiteral("/dev/null")));
    EXPECT_FALSE(null.IsSerialLine());
}

TEST(SerialTrace, PrintsEveryWriteAndReadWhenOn)
{
    TPtyPair pty;
    TSerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    const uint8_t frame[] = {0xAA, 0x55, 0x00, 0x00, 0x00, 0xFB, 0xFF};
    uint8_t buf[8];

    ::testing::internal::CaptureStderr();
    port.Write(frame, sizeof frame);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "off by default";

    SetSerialTrace(true);
    ::testing::internal::CaptureStderr();
    port.Write(frame, sizeof frame);
    pty.WriteMaster(QByteArray("\x01\x9c", 2));
    port.ReadQueued(buf, sizeof buf, 1000);
    port.ReadQueued(buf, sizeof buf, 20);
    const QString out = QString::fromStdString(::testing::internal::GetCapturedStderr());
    SetSerialTrace(false);

    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    const QString ts = R"(^\d\d:\d\d:\d\d\.\d\d\d )";
    EXPECT_TRUE(QRegularExpression(ts + R"(TX 7: AA 55 00 00 00 FB FF$)").match(lines[0]).hasMatch())
        << lines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(ts + R"(RX 2: 01 9C$)").match(lines[1]).hasMatch())
        << lines[1].toStdString();
    EXPECT_TRUE(QRegularExpression(ts + R"(RX 0: \(timeout\)$)").match(lines[2]).hasMatch())
        << lines[2].toStdString();
}

} // namespace
