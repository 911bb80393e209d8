// Two instances of the link on one port, in two processes: the second is
// refused with the open failure while the first keeps reading the device
// and saving to it, before, during and after the second one's attempts.

#include "ScriptedDevice.h"
#include "device/LinkFixture.h"

#include <QString>

#include <chrono>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class TQuietLabel : public TStatusLabel {
public:
    void SetFontColor(uint32_t Color) override { LastColor = Color; }
    void SetCaption(const QString &Text) override { LastText = Text; }
    uint32_t LastColor = 0;
    QString LastText;
};

// The second instance: tries to open COM1 Attempts times, 100 ms apart.
// Exit status 0 when every attempt was refused with the open failure.
[[noreturn]] void SecondInstance(int Attempts)
{
    int unexpected = 0;
    for (int i = 0; i < Attempts; ++i) {
        TQuietLabel label;
        TCOMMan com(&label);
        if (com.Open(1) || label.LastColor != StatusErrorColor ||
            label.LastText != "Couldn't open the port COM1,maybe already being occupied or not existed!")
            ++unexpected;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    _exit(unexpected == 0 ? 0 : 10 + unexpected);
}

TEST_F(LinkTest, SecondInstanceIsRefusedWhileTheFirstKeepsWorking)
{
    TTestCom first(&Label);
    ASSERT_TRUE(first.Open(1));

    // Forked before the device thread starts, so that the child is a plain
    // single-threaded process.
    const pid_t second = fork();
    ASSERT_GE(second, 0);
    if (second == 0)
        SecondInstance(8);

    TScriptedDevice device(Pty);
    for (int round = 0; round < 3; ++round) {
        const QByteArray record = PatternRecord(84, round);
        device.Answer(ReadRequestLength, DeviceReply(record), 20);
        uint8_t dest[84] = {};
        EXPECT_TRUE(first.ReadInfo(dest, 84)) << "round " << round;
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dest), 84), record);
        device.Finish();

        device.Answer(WriteRequestLength, DeviceAck(0), 20);
        EXPECT_TRUE(first.WriteCommand(dest, 17)) << "round " << round;
        EXPECT_EQ(Label.Last(), Green("Command success!"));
        device.Finish();
    }

    int status = 0;
    ASSERT_EQ(waitpid(second, &status, 0), second);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second instance opened the port or reported otherwise";

    // After the second instance is gone the first still works.
    device.Answer(ReadRequestLength, DeviceReply(PatternRecord(84, 9)), 20);
    uint8_t dest[84] = {};
    EXPECT_TRUE(first.ReadInfo(dest, 84));
    device.Finish();
}

} // namespace
