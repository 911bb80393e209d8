#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"
#include "support/PortTree.h"
#include "support/PtyPair.h"
#include "support/QtPrinters.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using lumora::test::TPortTree;
using lumora::test::TPtyPair;

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class PortMapTest : public ::testing::Test {
protected:
    QString Resolve(const QString &name) { return PortDevicePath(name, Store); }
    QString StoreText() const { return QString::fromUtf8(ReadFile(Store.FilePath())); }

    // Nothing stored and no devices before the tree is built.
    bool Fresh = (lumora::test::ResetConfigHome(), true);
    TSettingsStore Store{TSettingsStore::DefaultPath()};
    TPortTree Tree;
    TPtyPair A, B, C;
};

TEST_F(PortMapTest, UserEntryThenUartThenAssignedAdapter)
{
    const QString uart = Tree.AddUart(0, A.SlavePath());
    Tree.AddUart(1, B.SlavePath(), false); // a ttyS node with no UART behind it
    const QString ftdi = Tree.AddAdapter("usb-FTDI_FT232R_A50285BI-if00-port0", B.SlavePath());
    const QString acm = Tree.AddAdapter("usb-Lumora_Board_0042-if00", C.SlavePath());

    EXPECT_EQ(Resolve("COM1"), uart);
    // The adapters take the lowest numbers the UART leaves free, in name order.
    EXPECT_EQ(Resolve("COM2"), ftdi);
    EXPECT_EQ(Resolve("com3"), acm);
    EXPECT_EQ(StoreText(), "[Adapters]\n" + ftdi + "=2\n" + acm + "=3\n");
    for (const char *none : {"COM4", "COM0", "COM-1", "COM$1", "COM", "LPT1"})
        EXPECT_EQ(Resolve(none), QString()) << none;

    // The user's entry wins over all, for any name; an empty one does not count.
    WriteFile(Store.FilePath(),
              ReadFile(Store.FilePath()) + "[Ports]\ncom1 = /dev/ttyUSB7\nCOM0=/tmp/zero\nCOM3=\n");
    EXPECT_EQ(Resolve("COM1"), "/dev/ttyUSB7");
    EXPECT_EQ(Resolve("COM0"), "/tmp/zero");
    EXPECT_EQ(Resolve("COM3"), acm);

    TPortMap map(Store);
    const auto all = map.ResolveAll();
    ASSERT_EQ(all.size(), 3U) << "COM0 is no COM number";
    EXPECT_EQ(all[0].Source, TPortSource::User);
    EXPECT_EQ(all[1].Source, TPortSource::Adapter);
    EXPECT_EQ(all[2].Path, acm);
    EXPECT_EQ(map.UartNumbers(), std::vector<int32_t>{1});
}

TEST_F(PortMapTest, NumbersSurviveUnplugAndNeverChangeByThemselves)
{
    const QString a = Tree.AddAdapter("usb-A", A.SlavePath());
    EXPECT_EQ(Resolve("COM1"), a);
    Tree.Unplug("usb-A");
    const QString b = Tree.AddAdapter("usb-B", B.SlavePath());
    EXPECT_EQ(Resolve("COM1"), a) << "an unplugged adapter keeps its number";
    EXPECT_EQ(Resolve("COM2"), b);

    // A UART and a user entry appearing later take precedence, but the
    // adapters' records stay as they were.
    Tree.AddUart(0, C.SlavePath());
    WriteFile(Store.FilePath(), ReadFile(Store.FilePath()) + "[Ports]\nCOM2=/dev/ttyUSB9\n");
    const QByteArray before = ReadFile(Store.FilePath());
    Tree.AddAdapter("usb-A", C.SlavePath()); // plugged back, behind another tty
    EXPECT_EQ(Resolve("COM1"), Tree.AddUart(0, C.SlavePath()));
    EXPECT_EQ(ReadFile(Store.FilePath()), before) << "nothing new, nothing written";
    TPortMap map(Store);
    const auto numbers = map.AdapterNumbers();
    ASSERT_EQ(numbers.size(), 2U);
    EXPECT_TRUE(numbers[0].Present && numbers[0].Shadowed && numbers[0].Number == 1);
    EXPECT_TRUE(numbers[1].Shadowed && numbers[1].Number == 2);

    // An adapter the user pinned by its path gets no number of its own; the
    // next new one gets the lowest number nobody holds.
    const QString pinned = Tree.AddAdapter("usb-Pinned", A.SlavePath());
    WriteFile(Store.FilePath(), ReadFile(Store.FilePath()) + "COM5=" + pinned.toUtf8() + "\n");
    const QString d = Tree.AddAdapter("usb-D", A.SlavePath());
    EXPECT_EQ(Resolve("COM5"), pinned);
    EXPECT_EQ(Resolve("COM3"), d);
    EXPECT_FALSE(StoreText().contains(pinned + "="));
}

TEST_F(PortMapTest, StoreThatCannotBeWrittenStillResolvesWhatIsKnown)
{
    const QString uart = Tree.AddUart(2, A.SlavePath());
    Tree.AddAdapter("usb-A", B.SlavePath());
    // The settings folder cannot be created below a regular file, not even by root.
    WriteFile(lumora::test::ConfigHome() + "/blocker", "x");
    TSettingsStore blocked(lumora::test::ConfigHome() + "/blocker/lumora/ComSetup.INI");
    EXPECT_EQ(PortDevicePath("COM3", blocked), uart);
    EXPECT_EQ(PortDevicePath("COM1", blocked), QString());
    TPortMap map(blocked);
    EXPECT_EQ(map.TryAssignAdapters(), "Failed to create key Adapters");
    EXPECT_EQ(map.PresentAdapters(), QStringList{Tree.ById("usb-A")});
}

} // namespace
