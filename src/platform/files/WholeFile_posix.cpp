#include "platform/files/WholeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The process's file creation mask, read without changing it for good.
mode_t CurrentUmask()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Syncs the folder so that the rename itself survives a power loss.
bool SyncFolder(const QByteArray &Folder)
{
    const int fd = ::open(Folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

} // namespace

bool WriteWholeFile(const QString &Path, const QByteArray &Data, QString &Error)
{
    const QFileInfo given(Path);
    const QString target = given.isSymLink() ? given.symLinkTarget() : given.absoluteFilePath();
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    QByteArray temp = folder + "/." + QFile::encodeName(QFileInfo(target).fileName()) + ".XXXXXX";

    auto fail = [&](int Code) {
        Error = QStringLiteral("cannot write %1: %2").arg(Path, SystemErrorText(Code));
        return false;
    };
    // A file the user may not write is not replaced behind its back.
    if (::access(targetName.constData(), F_OK) == 0 && ::access(targetName.constData(), W_OK) != 0)
        return fail(errno);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    struct stat old {};
    const mode_t mode =
        ::stat(targetName.constData(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
    bool ok = ::fchmod(fd, mode) == 0 && WriteAllTo(fd, Data.constData(), Data.size()) && ::fsync(fd) == 0;
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && ::rename(temp.constData(), targetName.constData()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return fail(code);
    }
    if (!SyncFolder(folder))
        return fail(errno);
    return true;
}
