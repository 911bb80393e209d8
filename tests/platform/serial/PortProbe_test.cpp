#include "platform/serial/PortProbe.h"

#include "platform/serial/SerialPort.h"
#include "support/PtyPair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
