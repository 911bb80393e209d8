#include "platform/serial/PortUsers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QByteArray ReadSmallFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(4096).trimmed() : QByteArray();
}

QStringList ProcessIds(const QString &procRoot)
{
    QStringList pids;
    for (const QString &name : QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) { return c.isDigit(); }))
            pids << name;
    }
    return pids;
}

bool HasOpen(const QByteArray &fdFolder, const QByteArray &target)
{
    DIR *dir = ::opendir(fdFolder.constData());
    if (!dir)
        return false; // another user's process
    bool found = false;
    char link[4096];
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray entry = fdFolder + '/' + e->d_name;
        const ssize_t n = ::readlink(entry.constData(), link, sizeof link);
        if (n > 0 && QByteArrayView(link, n) == target) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

QStringList PortHolders(const QString &Path, const QString &ProcRoot)
{
    QStringList holders;
    const QString canonical = QFileInfo(Path).canonicalFilePath();
    if (canonical.isEmpty())
        return holders;
    const QByteArray target = QFile::encodeName(canonical);
    for (const QString &pid : ProcessIds(ProcRoot)) {
        const QString folder = ProcRoot + QLatin1Char('/') + pid;
        if (HasOpen(QFile::encodeName(folder + QStringLiteral("/fd")), target))
            holders << QStringLiteral("%1 (pid %2)")
                           .arg(QString::fromLocal8Bit(ReadSmallFile(folder + QStringLiteral("/comm"))), pid);
    }
    return holders;
}

bool ProcessRunning(const QString &Name, const QString &ProcRoot)
{
    const QByteArray name = Name.toLocal8Bit();
    for (const QString &pid : ProcessIds(ProcRoot)) {
        if (ReadSmallFile(ProcRoot + QLatin1Char('/') + pid + QStringLiteral("/comm")) == name)
            return true;
    }
    return false;
}

TAdapterUdev AdapterUdev(const QString &Path, const TPortScanRoots &Roots)
{
    TAdapterUdev adapter;
    struct stat st {};
    if (::stat(QFile::encodeName(Path).constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
        const QString record =
            Roots.UdevData + QStringLiteral("/c%1:%2").arg(major(st.st_rdev)).arg(minor(st.st_rdev));
        QFile f(record);
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : f.readAll().split('\n'))
                adapter.MmIgnored = adapter.MmIgnored || line.trimmed() == "E:ID_MM_DEVICE_IGNORE=1";
        }
    }
    // The USB device is the tty's device folder or one of its parents
    // (interface, then device for USB serial converters).
    const QString kernelName = QFileInfo(QFileInfo(Path).canonicalFilePath()).fileName();
    QString folder = QFileInfo(Roots.SysTty + QLatin1Char('/') + kernelName + QStringLiteral("/device"))
                         .canonicalFilePath();
    for (int level = 0; level < 4 && !folder.isEmpty(); ++level) {
        const QByteArray vendor = ReadSmallFile(folder + QStringLiteral("/idVendor"));
        if (!vendor.isEmpty()) {
            adapter.Vendor = QString::fromLatin1(vendor);
            adapter.Product = QString::fromLatin1(ReadSmallFile(folder + QStringLiteral("/idProduct")));
            break;
        }
        const QString parent = QFileInfo(folder).path();
        folder = parent == folder ? QString() : parent;
    }
    return adapter;
}

QString ModemManagerRule(const TAdapterUdev &Adapter)
{
    if (Adapter.Vendor.isEmpty() || Adapter.Product.isEmpty())
        return QString();
    return QStringLiteral(R"(ATTRS{idVendor}=="%1", ATTRS{idProduct}=="%2", ENV{ID_MM_DEVICE_IGNORE}="1")")
        .arg(Adapter.Vendor, Adapter.Product);
}
