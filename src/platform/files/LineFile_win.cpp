#include "platform/files/LineFile.h"

#include "platform/files/HandleWrite_win.h"
#include "platform/store/RegKey_win.h"

struct TLineFile::TSystem {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    OVERLAPPED LockRange{}; // from offset 0
};

namespace {

// The whole file's range, which LockFileEx locks for one append.
constexpr DWORD WholeRange = MAXDWORD;

OVERLAPPED At(LONGLONG Offset)
{
    OVERLAPPED at{};
    at.Offset = DWORD(Offset & 0xFFFFFFFF);
    at.OffsetHigh = DWORD(Offset >> 32);
    return at;
}

} // namespace

TLineFile::TLineFile() : FFile(std::make_unique<TSystem>()) {}

TLineFile::~TLineFile()
{
    if (FFile->Handle != INVALID_HANDLE_VALUE)
        CloseHandle(FFile->Handle);
}

bool TLineFile::Open(const QString &Path, QString &Reason)
{
    // Others may read and append too; the lock orders the appends.
    FFile->Handle = CreateFileW(Path.toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FFile->Handle == INVALID_HANDLE_VALUE) {
        Reason = WindowsErrorText(GetLastError());
        return false;
    }
    return true;
}

bool TLineFile::IsOpen() const
{
    return FFile->Handle != INVALID_HANDLE_VALUE;
}

bool TLineFile::Lock()
{
    FFile->LockRange = OVERLAPPED{};
    return LockFileEx(FFile->Handle, LOCKFILE_EXCLUSIVE_LOCK, 0, WholeRange, WholeRange, &FFile->LockRange) !=
           FALSE;
}

void TLineFile::Unlock()
{
    UnlockFileEx(FFile->Handle, 0, WholeRange, WholeRange, &FFile->LockRange);
}

bool TLineFile::FileSize(int64_t &Size)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(FFile->Handle, &size))
        return false;
    Size = size.QuadPart;
    return true;
}

bool TLineFile::EndsWithLineBreak(int64_t Size)
{
    if (Size == 0)
        return true;
    char last = '\n';
    DWORD got = 0;
    OVERLAPPED at = At(Size - 1);
    return ReadFile(FFile->Handle, &last, 1, &got, &at) && got == 1 && last == '\n';
}

bool TLineFile::WriteAt(int64_t Offset, const QByteArray &Data)
{
    return WriteToHandle(FFile->Handle, Data, Offset);
}

bool TLineFile::Sync()
{
    return FlushFileBuffers(FFile->Handle) != FALSE;
}

bool TLineFile::CutTo(int64_t Size)
{
    LARGE_INTEGER size{};
    size.QuadPart = Size;
    return SetFilePointerEx(FFile->Handle, size, nullptr, FILE_BEGIN) && SetEndOfFile(FFile->Handle);
}

uint32_t TLineFile::LastError()
{
    return uint32_t(GetLastError());
}

uint32_t TLineFile::NotOpenError()
{
    return ERROR_INVALID_HANDLE;
}

QString TLineFile::ErrorText(uint32_t Code)
{
    return WindowsErrorText(DWORD(Code));
}
