#include "CliRun.h"
#include "cli/PortProbe.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using lumora::test::TPtyPair;

void Touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(PortProbe, TellsWhatIsBehindAPath)
{
    TPtyPair pty;
    TPortProbe p = ProbePort(pty.SlavePath());
    EXPECT_EQ(p.Access, TPortAccess::Ok);
    EXPECT_EQ(DescribeAccess(p), "ok, can be opened");
    EXPECT_TRUE(p.Target.isEmpty());

    p = ProbePort("/nonexistent/ttyUSB0");
    EXPECT_EQ(p.Access, TPortAccess::Missing);
    EXPECT_EQ(DescribeAccess(p), "missing, no such device");

    QTemporaryDir dir;
    Touch(dir.filePath("ttyUSB0"));
    p = ProbePort(dir.filePath("ttyUSB0"));
    EXPECT_EQ(p.Access, TPortAccess::NotCharDevice);
    EXPECT_EQ(AccessKey(p.Access), "not-a-device");

    // A by-id style link shows where it leads.
    ASSERT_TRUE(QFile::link(pty.SlavePath(), dir.filePath("usb-Adapter-if00")));
    p = ProbePort(dir.filePath("usb-Adapter-if00"));
    EXPECT_EQ(p.Access, TPortAccess::Ok);
    EXPECT_EQ(p.Target, QFileInfo(pty.SlavePath()).canonicalFilePath());
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("dangling")));
    EXPECT_EQ(ProbePort(dir.filePath("dangling")).Access, TPortAccess::Missing);

    // Held by the link (another opener): busy, and the probe does not
    // disturb the holder.
    TSerialPort holder;
    ASSERT_TRUE(holder.Open(pty.SlavePath()));
    p = ProbePort(pty.SlavePath());
    EXPECT_EQ(p.Access, TPortAccess::Busy);
    // The holder is this very process.
    EXPECT_EQ(p.Holders.size(), 1);
    EXPECT_TRUE(p.Holders.value(0).endsWith(QString(" (pid %1)").arg(::getpid())));
    EXPECT_EQ(DescribeAccess(p), "busy, in use by another program: " + p.Holders.value(0));
    EXPECT_TRUE(holder.IsOpen());
    TSerialPort second;
    EXPECT_FALSE(second.Open(pty.SlavePath()));
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

TEST(PortProbe, PermissionFailureNamesTheGroupAndTheCommand)
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
    EXPECT_EQ(run.Err, "Couldn't open the port COM2,maybe already being occupied or not existed!\n");
}

TEST(PortProbe, OwnerOnlyNodesGetNoGroupAdvice)
{
    TPortProbe p;
    p.Path = "/dev/ttyS0";
    p.Access = TPortAccess::PermissionDenied;
    p.Owner = "root";
    p.Group = "root";
    p.Mode = 0600;
    EXPECT_EQ(GroupAdvice(p), "");
    EXPECT_EQ(DescribeAccess(p),
              "permission denied (owner root, group root, mode 0600); only its owner can open "
              "it, ask your administrator");
    p.GroupGrantsAccess = true;
    p.Group = "dialout";
    p.InGroupNotSession = true;
    EXPECT_EQ(DescribeAccess(p),
              "permission denied: you are in group 'dialout' but this login session is not yet; "
              "log out and back in, or run: newgrp dialout");
}

} // namespace
