// The serial port on Windows' own calls, over COM ports that lead to
// lumora-sim on pseudo-terminals.
#include "WinTestPorts.h"
#include "platform/serial/SerialPort.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::array<uint8_t, 7> ReadInfoFrame = {0xAA, 0x55, 0x00, 0x00, 0x00, 0xFB, 0xFF};

TSerialPort &OpenedPort(TSerialPort &Port, const char *Variable)
{
    EXPECT_TRUE(Port.Open(TestComPath(Variable)));
    EXPECT_TRUE(Port.Configure(115200, 8, 0, 0));
    return Port;
}

TEST(SerialPortWin, OpensOnlyExistingCharacterDevices)
{
    TSerialPort port;
    EXPECT_FALSE(port.Open(QStringLiteral("\\\\.\\COM199")));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open(QStringLiteral("C:\\windows\\win.ini"))) << "a file is not a serial port";
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(port.Open(QStringLiteral("NUL")));
    EXPECT_FALSE(port.IsSerialLine()) << "a character device that is no serial line";
    port.Close();
    EXPECT_EQ(port.ReadQueued(nullptr, 0, 10), 0);
    EXPECT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), -1);
}

TEST(SerialPortWin, ExchangesAWholeReplyInOneWait)
{
    TSerialPort port;
    OpenedPort(port, "LUMORA_COM_SIM");
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    std::array<uint8_t, 256> reply{};
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 1000), 87);
    EXPECT_EQ(port.BytesWaiting(), 0);

    // A reply larger than the buffer: the buffer fills, the rest stays queued.
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    EXPECT_EQ(port.ReadQueued(reply.data(), 12, 1000), 12);
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 1000), 75);

    // What is left of a reply is discarded: the next one comes alone.
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    EXPECT_EQ(port.ReadQueued(reply.data(), 12, 1000), 12);
    port.DiscardInput();
    EXPECT_EQ(port.BytesWaiting(), 0);
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 1000), 87);
    EXPECT_TRUE(port.IsSerialLine());
    EXPECT_FALSE(port.LineLost());

    // A negative bound does not wait at all.
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), -1), 0);
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 1000), 87);
}

TEST(SerialPortWin, SilentDeviceEndsTheWaitEmpty)
{
    TSerialPort port;
    OpenedPort(port, "LUMORA_COM_SILENT");
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    std::array<uint8_t, 256> reply{};
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 300), 0);
    EXPECT_EQ(port.BytesWaiting(), 0);
    EXPECT_FALSE(port.LineLost()) << "a silent line is not a lost one";
}

// The device is removed while the port waits for its reply: the wait ends
// with nothing instead of sitting out its bound (a minute here, far beyond
// the test's own time limit).
TEST(SerialPortWin, RemovedUnitEndsTheWait)
{
    TSerialPort port;
    OpenedPort(port, "LUMORA_COM_REMOVED");
    ASSERT_EQ(port.Write(ReadInfoFrame.data(), ReadInfoFrame.size()), 7);
    std::array<uint8_t, 256> reply{};
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 60000), 0);
    EXPECT_TRUE(port.LineLost());
    EXPECT_EQ(port.BytesWaiting(), 0);
    EXPECT_EQ(port.ReadQueued(reply.data(), int(reply.size()), 60000), 0);
    port.DiscardInput();
    EXPECT_TRUE(port.LineLost());
}

} // namespace
