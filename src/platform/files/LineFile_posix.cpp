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

bool TLineFile::IsOpen() const
{
    return FFile->Fd >= 0;
}

bool TLineFile::Lock()
{
    int r = -1;
    do {
        r = ::flock(FFile->Fd, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

void TLineFile::Unlock()
{
    ::flock(FFile->Fd, LOCK_UN);
}

bool TLineFile::FileSize(int64_t &Size)
{
    struct stat st {};
    if (::fstat(FFile->Fd, &st) != 0)
        return false;
    Size = st.st_size;
    return true;
}

bool TLineFile::EndsWithLineBreak(int64_t Size)
{
    char last = '\n';
    return Size == 0 || (::pread(FFile->Fd, &last, 1, off_t(Size - 1)) == 1 && last == '\n');
}

bool TLineFile::WriteAt(int64_t, const QByteArray &Data)
{
    // Opened for appending: every write lands at the end.
    return WriteAllTo(FFile->Fd, Data.constData(), Data.size());
}

bool TLineFile::Sync()
{
    return ::fsync(FFile->Fd) == 0;
}

bool TLineFile::CutTo(int64_t Size)
{
    return ::ftruncate(FFile->Fd, off_t(Size)) == 0;
}

uint32_t TLineFile::LastError()
{
    return uint32_t(errno);
}

uint32_t TLineFile::NotOpenError()
{
    return EBADF;
}

QString TLineFile::ErrorText(uint32_t Code)
{
    return SystemErrorText(int(Code));
}
