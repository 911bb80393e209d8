#include "CliRun.h"
#include "platform/serial/PortProbe.h"
#include "platform/serial/SerialPort.h"
#include "platform/store/SettingsStore.h"
#include "support/PortTree.h"
#include "support/PtyPair.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using lumora::test::TPortTree;
using lumora::test::TPtyPair;

class PortsTest : public ::testing::Test {
protected:
    bool Fresh = (lumora::test::ResetConfigHome(), true);
    TPortTree Tree;

    QString StoreText() const
    {
        QFile f(TSettingsStore::DefaultPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

// A process that the system lists under the command name ModemManager.
class TFakeModemManager {
public:
    TFakeModemManager()
    {
        const QString copy = FDir.filePath("ModemManager");
        QFile::copy("/bin/sleep", copy);
        FProcess.start(copy, {"30"});
        FProcess.waitForStarted();
    }
    ~TFakeModemManager()
    {
        FProcess.kill();
        FProcess.waitForFinished();
    }

private:
    QTemporaryDir FDir;
    QProcess FProcess;
};

TEST_F(PortsTest, ShowsEveryNumberWithItsReasonAndTheDevicesPresent)
{
    lumora::test::TSimLine device;
    TPtyPair uartLine, pinned;
    const QString uart = Tree.AddUart(0, uartLine.SlavePath());
    const QString adapter = Tree.AddAdapter("usb-FTDI_FT232R-if00-port0", device.SlavePath(), "0403", "6001");
    const QString gone = Tree.AddAdapter("usb-Old-if00", pinned.SlavePath());
    ASSERT_EQ(RunTool({"port", "map", "COM4", pinned.SlavePath()}).Exit, 0);
    Tree.Unplug("usb-Old-if00");

    TCliRun run = RunTool({"ports"});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    const QStringList lines = run.Out.split('\n');
    ASSERT_GE(lines.size(), 11) << run.Out.toStdString();
    EXPECT_EQ(lines[1], "  COM1  " + uart + " -> " + uartLine.SlavePath() + " (UART): ok, can be opened");
    EXPECT_EQ(lines[2],
              "  COM2  " + adapter + " -> " + device.SlavePath() + " (assigned adapter): ok, can be opened");
    EXPECT_EQ(lines[3], "  COM3  " + gone + " (assigned adapter): missing, no such device");
    EXPECT_EQ(lines[4], "  COM4  " + pinned.SlavePath() + " (your entry in [Ports]): ok, can be opened");
    EXPECT_EQ(lines[7],
              "  COM2  usb-FTDI_FT232R-if00-port0 -> " + device.SlavePath() + ": ok, can be opened");
    EXPECT_EQ(lines[8], "  COM3  usb-Old-if00: unplugged, keeps its number");
    EXPECT_EQ(lines[10], "  COM1  " + uart + " -> " + uartLine.SlavePath() + ": ok, can be opened");
    EXPECT_FALSE(run.Out.contains("ModemManager")) << "not running";

    {
        TFakeModemManager mm;
        run = RunTool({"ports"});
        EXPECT_TRUE(run.Out.contains("ModemManager is running")) << run.Out.toStdString();
        EXPECT_TRUE(run.Out.contains(
            "\n  ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n"));
        Tree.MarkModemManagerIgnore(device.SlavePath());
        const QJsonObject o = RunTool({"--json", "ports"}).Json();
        EXPECT_EQ(o["modemManager"].toObject()["running"], QJsonValue(true));
        EXPECT_TRUE(o["modemManager"].toObject()["rules"].toArray().isEmpty()) << "the adapter is marked";
        EXPECT_EQ(o["adapters"].toArray()[0].toObject()["modemManagerIgnores"], QJsonValue(true));
        EXPECT_EQ(o["ports"].toArray()[1].toObject()["source"].toString(), "adapter");
    }

    // Nothing was sent to any device.
    EXPECT_TRUE(device.Received().empty());
}

TEST_F(PortsTest, MapAndUnmapGoThroughTheStore)
{
    TPtyPair line;
    Tree.AddAdapter("usb-A", line.SlavePath());
    TCliRun run = RunTool({"port", "map", "COM3", "rel/ttyX"});
    EXPECT_EQ(run.Exit, 0);
    const QString absolute = QDir::currentPath() + "/rel/ttyX";
    EXPECT_EQ(run.Out, "COM3: mapped to " + absolute + " (your entry in [Ports])\n");
    EXPECT_EQ(StoreText(), "[Adapters]\n" + Tree.ById("usb-A") + "=1\n[Ports]\nCOM3=" + absolute + "\n");

    run = RunTool({"port", "unmap", "com3"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(StoreText(), "[Adapters]\n" + Tree.ById("usb-A") + "=1\n[Ports]\n");
    // An adapter gone for good gives its number back.
    Tree.Unplug("usb-A");
    run = RunTool({"port", "unmap", "COM1"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(StoreText(), "[Adapters]\n[Ports]\n");
    run = RunTool({"port", "unmap", "COM1"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: COM1 has no entry in [Ports] and no adapter assigned\n");

    for (const QStringList &bad : {QStringList{"port", "map", "COM0", "/x"},
                                   {"port", "map", "COM2"},
                                   {"port", "unmap"},
                                   {"port", "unmap", "LPT1"},
                                   {"port", "2", "3"}})
        EXPECT_EQ(RunTool(bad).Exit, 2) << bad.join(' ').toStdString();
}

TEST_F(PortsTest, ScanAsksEveryPortOnceAndSaysWhyOthersDoNotAnswer)
{
    lumora::test::TSimLine first, second;
    TPtyPair silent, held;
    Tree.AddAdapter("usb-A", first.SlavePath());
    Tree.AddAdapter("usb-B", second.SlavePath());
    Tree.AddAdapter("usb-C", silent.SlavePath());
    ASSERT_EQ(RunTool({"port", "map", "COM7", held.SlavePath()}).Exit, 0);
    TSerialPort holder;
    ASSERT_TRUE(holder.Open(held.SlavePath()));

    const TCliRun run = RunTool({"scan"});
    EXPECT_EQ(run.Exit, 0);
    const QString serial = QString::fromLatin1(first.Config().Info.SerialNo, 10);
    const QStringList lines = run.Out.split('\n');
    ASSERT_EQ(lines.size(), 5) << run.Out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("COM1   " + Tree.ById("usb-A") + ": type ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(", serial number " + serial.left(serial.indexOf(QChar(0)))));
    EXPECT_TRUE(lines[1].startsWith("COM2   " + Tree.ById("usb-B") + ": type "));
    EXPECT_EQ(lines[2], "COM3   " + Tree.ById("usb-C") + ": no answer (Device response timeout!)");
    EXPECT_TRUE(lines[3].startsWith("COM7   " + held.SlavePath() +
                                    ": cannot be opened: busy, in use by another program: "))
        << lines[3].toStdString();
    EXPECT_TRUE(lines[3].endsWith(QString("(pid %1)").arg(::getpid())));
    // One information request each, nothing else.
    ASSERT_EQ(first.Received().size(), 1U);
    EXPECT_EQ(first.Received()[0].Command, 0);
    ASSERT_EQ(second.Received().size(), 1U);
    EXPECT_EQ(silent.ReadMaster(8, 200), QByteArray::fromHex("AA55000000FBFF"));

    // Only the ports named; the busy one's holder is named in the tool's error output too.
    const QJsonObject o = RunTool({"--json", "scan", "COM2"}).Json();
    EXPECT_EQ(o["ports"].toArray().size(), 1);
    EXPECT_EQ(o["ports"].toArray()[0].toObject()["answered"], QJsonValue(true));
    const TCliRun busy = RunTool({"--port", "COM7", "info"});
    EXPECT_EQ(busy.Exit, 1);
    EXPECT_TRUE(busy.Err.contains(held.SlavePath() + " is held by ")) << busy.Err.toStdString();

    // A device named twice (by number, by name, by path) is asked once; a
    // device that opens but is no serial line says so.
    const TCliRun twice = RunTool({"scan", "COM2", "2", Tree.ById("usb-B")});
    EXPECT_EQ(twice.Out.count('\n'), 1) << twice.Out.toStdString();
    EXPECT_EQ(second.Received().size(), 3U);
    const TCliRun null = RunTool({"scan", "/dev/null"});
    EXPECT_EQ(null.Exit, 1);
    EXPECT_EQ(null.Out, "/dev/null  /dev/null: /dev/null is not a serial device\n");
}

// Makes a pty slave that this process cannot open, and undoes what it did.
// As root, permission bits do not stop us: the node goes to group dialout
// with mode 0660 and the effective user becomes nobody for the check. As
// any other user, mode 0060 shuts out the owner while the group (tty) could
// still open it.
class TUnopenableNode {
public:
    explicit TUnopenableNode(const QString &path) : FPath(QFile::encodeName(path))
    {
        if (::geteuid() == 0) {
            const group *dialout = ::getgrnam("dialout");
            if (!dialout)
                return;
            FGroup = QString::fromLocal8Bit(dialout->gr_name);
            if (::chown(FPath.constData(), 0, dialout->gr_gid) != 0 || ::chmod(FPath.constData(), 0660) != 0)
                return;
            FDropped = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
            FReady = FDropped;
        } else {
            struct stat st {};
            if (::stat(FPath.constData(), &st) != 0 || ::chmod(FPath.constData(), 0060) != 0)
                return;
            const group *g = ::getgrgid(st.st_gid);
            FGroup = g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
            FReady = true;
        }
    }
    ~TUnopenableNode()
    {
        if (FDropped) {
            [[maybe_unused]] const int a = ::seteuid(0);
            [[maybe_unused]] const int b = ::setegid(0);
        }
    }
    bool Ready() const { return FReady; }
    const QString &Group() const { return FGroup; }

private:
    QByteArray FPath;
    QString FGroup;
    bool FDropped = false;
    bool FReady = false;
};

// Lets another user read the test's settings store.
void ShareConfigHome()
{
    const QString config = lumora::test::ConfigHome();
    for (const QString &dir : {QFileInfo(config).path(), config, config + "/lumora"})
        ::chmod(QFile::encodeName(dir).constData(), 0755);
    ::chmod(QFile::encodeName(TSettingsStore::DefaultPath()).constData(), 0644);
}

TEST(PortsCommand, PermissionFailureNamesTheGroupAndTheCommand)
{
    lumora::test::ResetConfigHome();
    TPtyPair pty;
    lumora::test::MapPort(2, pty.SlavePath());
    ShareConfigHome();

    TUnopenableNode node(pty.SlavePath());
    if (!node.Ready())
        GTEST_SKIP() << "cannot make a device node this process cannot open";
    const QString advice = "sudo usermod -aG " + node.Group() + " $USER";
    const QString message = "permission denied: the device belongs to group '" + node.Group() +
                            "'; add yourself with: " + advice + " (then log out and back in)";

    const TPortProbe p = ProbePort(pty.SlavePath());
    EXPECT_EQ(p.Access, TPortAccess::PermissionDenied);
    EXPECT_EQ(p.Group, node.Group());
    EXPECT_EQ(GroupAdvice(p), advice);
    EXPECT_EQ(DescribeAccess(p), message);

    TCliRun run = RunTool({"ports"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_TRUE(
        run.Out.contains("\n  COM2  " + pty.SlavePath() + " (your entry in [Ports]): " + message + "\n"))
        << run.Out.toStdString();

    run = RunTool({"ports", "--json"});
    const QJsonObject com2 = run.Json()["ports"].toArray()[1].toObject();
    EXPECT_EQ(com2["name"].toString(), "COM2");
    EXPECT_EQ(com2["source"].toString(), "user");
    EXPECT_EQ(com2["access"].toString(), "permission-denied");
    EXPECT_EQ(com2["group"].toString(), node.Group());
    EXPECT_EQ(com2["advice"].toString(), advice);

    // The link itself cannot open it either, and says so.
    run = RunTool({"--port", "COM2", "info"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err,
              "lumora-cli: Couldn't open the port COM2,maybe already being occupied or not existed!\n");
}

} // namespace
