#include "TinyDisk.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace lumora::test {

namespace {

const char FillerName[] = ".filler";

} // namespace

TTinyDisk::TTinyDisk()
{
    if (!FDir.isValid()) {
        FRefusal = QStringLiteral("no temporary folder");
        return;
    }
    FMounted = ::mount("tmpfs", QFile::encodeName(FDir.path()).constData(), "tmpfs", 0, "size=64k") == 0;
    if (!FMounted)
        FRefusal = QString::fromLocal8Bit(std::strerror(errno));
}

TTinyDisk::~TTinyDisk()
{
    if (FMounted)
        ::umount2(QFile::encodeName(FDir.path()).constData(), MNT_DETACH);
}

void TTinyDisk::Fill()
{
    const int fd = ::open(QFile::encodeName(FilePath(FillerName)).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // Whole pages first, then single bytes for what is left of the last one.
    const QByteArray page(4096, 'f');
    while (::write(fd, page.constData(), size_t(page.size())) > 0) {
    }
    while (::write(fd, "f", 1) == 1) {
    }
    ::close(fd);
}

void TTinyDisk::Free()
{
    QFile::remove(FilePath(FillerName));
}

bool FullDiskRequired()
{
    return qgetenv("CI") == "true";
}

QByteArray TTinyDisk::ReadFile(const QString &Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace lumora::test
