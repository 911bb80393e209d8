#include "platform/serial/PortOpen.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

TPortOpening OpenHeldPort(const QString &Path)
{
    TPortOpening opening;
    // O_NONBLOCK so that a line without carrier cannot block the open.
    const int fd = ::open(QFile::encodeName(Path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        opening.SystemError = uint32_t(errno);
        return opening;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        opening.Failure = TPortOpenFailure::NotCharDevice;
    // The lock keeps out everyone who locks, root included, across
    // descriptors and processes.
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        opening.Failure = TPortOpenFailure::Held;
    else
        opening.Failure = TPortOpenFailure::None;
    if (opening.Ok())
        opening.Handle = fd;
    else
        ::close(fd);
    return opening;
}
