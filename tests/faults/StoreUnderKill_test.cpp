// The settings store written by a process that is killed (SIGKILL) at random
// moments, a thousand times: the file on disk always parses, holds either the
// value before the write or the value being written, and keeps every other
// section, line and comment exactly. And written by several processes at
// once: no write loses another's change.

#include "base/IntConv.h"
#include "platform/store/IniText_posix.h"
#include "platform/store/SettingsStore.h"
#include "support/TestEnv.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Everything but the port number is left alone by every write.
QByteArray StoreText(int port)
{
    return "; written by hand\r\n"
           "[Window]\r\nLeft=10\r\nTop = 20\r\n\r\n"
           "[COMSetup]\r\nCOM=" +
           QByteArray::number(port) +
           "\r\n"
           "[Ports]\r\nCOM1=/dev/ttyUSB0\r\nCOM2=/dev/pts/7\r\n"
           "[Tail]\r\nbroken line without equals\r\n";
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SettingsStoreUnderKillTest, KilledWritersLeaveTheOldOrTheNewFile)
{
    lumora::test::ResetConfigHome();
    const QString path = TSettingsStore::DefaultPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StoreText(0));
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> killAfterUs(0, 4000);
    int old = 0;
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 1; round <= 1000; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The writer: the same new value, again and again, until killed.
            try {
                TSettingsStore store(path);
                for (;;)
                    store.WriteInteger(QStringLiteral("COMSetup"), QStringLiteral("COM"), round);
            } catch (...) {
            }
            _exit(1);
        }
        usleep(useconds_t(killAfterUs(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself in round " << round;

        const QByteArray text = ReadAll(path);
        const auto value = FindIniValue(text, "COMSetup", "COM");
        ASSERT_TRUE(value.has_value()) << "round " << round << ":\n" << text.toStdString();
        int32_t port = -1;
        ASSERT_TRUE(TryStrToInt(QString::fromLatin1(*value), port)) << value->toStdString();
        ASSERT_TRUE(port == old || port == round) << "round " << round << " found " << port;
        ASSERT_EQ(text, StoreText(port)) << "round " << round;
        (port == old ? sawOld : sawNew)++;
        old = port;
    }
    // Both outcomes occurred, so kills landed before and after the rename.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

TEST(SettingsStoreUnderKillTest, WritersInSeveralProcessesLoseNothing)
{
    lumora::test::ResetConfigHome();
    const QString path = TSettingsStore::DefaultPath();
    constexpr int Writers = 3;
    constexpr int Keys = 100;
    std::vector<pid_t> children;
    for (int w = 0; w < Writers; ++w) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each writer its own keys, interleaved in one shared section.
            try {
                TSettingsStore store(path);
                for (int k = 0; k < Keys; ++k)
                    store.WriteInteger(QStringLiteral("Shared"), QStringLiteral("W%1K%2").arg(w).arg(k), k);
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QByteArray text = ReadAll(path);
    int missing = 0;
    for (int w = 0; w < Writers; ++w) {
        for (int k = 0; k < Keys; ++k) {
            if (FindIniValue(text, "Shared", QStringLiteral("W%1K%2").arg(w).arg(k).toLatin1()) !=
                QByteArray::number(k))
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(text.count("[Shared]"), 1);
}

} // namespace
