#include "PortTree.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace lumora::test {

namespace {

void WriteText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text);
}

} // namespace

TPortTree::TPortTree() : FRoot(PortRoot())
{
    QDir().mkpath(FRoot + "/dev/serial/by-id");
    QDir().mkpath(FRoot + "/sys/class/tty");
}

QString TPortTree::AddAdapter(const QString &Name, const QString &Target, const QString &Vendor,
                              const QString &Product)
{
    QString link = ById(Name);
    QFile::remove(link);
    QFile::link(Target, link);
    if (!Vendor.isEmpty()) {
        const QString device = FRoot + "/sys/class/tty/" +
                               QFileInfo(QFileInfo(Target).canonicalFilePath()).fileName() + "/device";
        WriteText(device + "/idVendor", Vendor.toLatin1() + '\n');
        WriteText(device + "/idProduct", Product.toLatin1() + '\n');
    }
    return link;
}

void TPortTree::Unplug(const QString &Name)
{
    QFile::remove(ById(Name));
}

QString TPortTree::AddUart(int Index, const QString &Target, bool Uart)
{
    QString node = FRoot + QString("/dev/ttyS%1").arg(Index);
    QFile::remove(node);
    QFile::link(Target, node);
    WriteText(FRoot + QString("/sys/class/tty/ttyS%1/type").arg(Index), Uart ? "4\n" : "0\n");
    return node;
}

void TPortTree::MarkModemManagerIgnore(const QString &Target)
{
    struct stat st {};
    if (::stat(QFile::encodeName(Target).constData(), &st) != 0)
        return;
    WriteText(FRoot + QString("/run/udev/data/c%1:%2").arg(major(st.st_rdev)).arg(minor(st.st_rdev)),
              "I:1\nE:ID_MM_CANDIDATE=1\nE:ID_MM_DEVICE_IGNORE=1\n");
}

} // namespace lumora::test
