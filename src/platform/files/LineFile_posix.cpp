#include "platform/files/LineFile.h"

#include "platform/files/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

struct TLineFile::TSystem {
    int Fd = -1;
};

namespace {

// Holds the file's lock for one append.
class TAppendLock {
public:
    explicit TAppendLock(int Fd) : FFd(Fd)
    {
        int r = -1;
        do {
            r = ::flock(FFd, LOCK_EX);
        } while (r != 0 && errno == EINTR);
        FLocked = r == 0;
    }
    ~TAppendLock()
    {
        if (FLocked)
            ::flock(FFd, LOCK_UN);
    }
    TAppendLock(const TAppendLock &) = delete;
    TAppendLock &operator=(const TAppendLock &) = delete;
    bool Locked() const { return FLocked; }

private:
    int FFd;
    bool FLocked = false;
};

// True when the file's last byte is a line break (or the file is empty).
bool EndsWithLineBreak(int Fd, off_t Size)
{
    char last = '\n';
    return Size == 0 || (::pread(Fd, &last, 1, Size - 1) == 1 && last == '\n');
}

} // namespace

TLineFile::TLineFile() : FFile(std::make_unique<TSystem>()) {}

TLineFile::~TLineFile()
{
    if (FFile->Fd >= 0)
        ::close(FFile->Fd);
}

bool TLineFile::Open(const QString &Path, QString &Reason)
{
    FFile->Fd = ::open(QFile::encodeName(Path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (FFile->Fd < 0) {
        Reason = SystemErrorText(errno);
        return false;
    }
    return true;
}

bool TLineFile::Append(QByteArray Line, QString &Reason)
{
    auto fail = [&](int Code) {
        Reason = SystemErrorText(Code);
        return false;
    };
    if (FFile->Fd < 0)
        return fail(EBADF);
    const int fd = FFile->Fd;
    const TAppendLock lock(fd);
    if (!lock.Locked())
        return fail(errno);
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return fail(errno);
    if (!EndsWithLineBreak(fd, before.st_size))
        Line.prepend('\n');
    if (WriteAllTo(fd, Line.constData(), Line.size()) && ::fsync(fd) == 0)
        return true;
    // Whatever part of the line reached the file goes again.
    const int code = errno;
    if (::ftruncate(fd, before.st_size) == 0)
        ::fsync(fd);
    return fail(code);
}
