#include "platform/files/LineFile.h"

#include "platform/store/RegKey_win.h"

struct TLineFile::TSystem {
    HANDLE Handle = INVALID_HANDLE_VALUE;
};

namespace {

// The whole file's range, which LockFileEx locks for one append.
constexpr DWORD WholeRange = MAXDWORD;

// Holds the file's lock for one append; waits for another writer's.
class TAppendLock {
public:
    explicit TAppendLock(HANDLE Handle) : FHandle(Handle)
    {
        FLocked = LockFileEx(FHandle, LOCKFILE_EXCLUSIVE_LOCK, 0, WholeRange, WholeRange, &FRange) != FALSE;
    }
    ~TAppendLock()
    {
        if (FLocked)
            UnlockFileEx(FHandle, 0, WholeRange, WholeRange, &FRange);
    }
    TAppendLock(const TAppendLock &) = delete;
    TAppendLock &operator=(const TAppendLock &) = delete;
    bool Locked() const { return FLocked; }

private:
    HANDLE FHandle;
    OVERLAPPED FRange{}; // from offset 0
    bool FLocked = false;
};

OVERLAPPED At(LONGLONG Offset)
{
    OVERLAPPED at{};
    at.Offset = DWORD(Offset & 0xFFFFFFFF);
    at.OffsetHigh = DWORD(Offset >> 32);
    return at;
}

// True when the file's last byte is a line break (or the file is empty).
bool EndsWithLineBreak(HANDLE Handle, LONGLONG Size)
{
    if (Size == 0)
        return true;
    char last = '\n';
    DWORD got = 0;
    OVERLAPPED at = At(Size - 1);
    return ReadFile(Handle, &last, 1, &got, &at) && got == 1 && last == '\n';
}

// Writes all of Data at Offset.
bool WriteAllAt(HANDLE Handle, const QByteArray &Data, LONGLONG Offset)
{
    const char *data = Data.constData();
    qsizetype left = Data.size();
    while (left > 0) {
        DWORD written = 0;
        OVERLAPPED at = At(Offset);
        if (!WriteFile(Handle, data, DWORD(std::min<qsizetype>(left, 1 << 30)), &written, &at))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        left -= written;
        Offset += written;
    }
    return true;
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

bool TLineFile::Append(QByteArray Line, QString &Reason)
{
    auto fail = [&](DWORD Code) {
        Reason = WindowsErrorText(Code);
        return false;
    };
    if (FFile->Handle == INVALID_HANDLE_VALUE)
        return fail(ERROR_INVALID_HANDLE);
    const HANDLE handle = FFile->Handle;
    const TAppendLock lock(handle);
    if (!lock.Locked())
        return fail(GetLastError());
    LARGE_INTEGER before{};
    if (!GetFileSizeEx(handle, &before))
        return fail(GetLastError());
    if (!EndsWithLineBreak(handle, before.QuadPart))
        Line.prepend('\n');
    if (WriteAllAt(handle, Line, before.QuadPart) && FlushFileBuffers(handle))
        return true;
    // Whatever part of the line reached the file goes again.
    const DWORD code = GetLastError();
    if (SetFilePointerEx(handle, before, nullptr, FILE_BEGIN) && SetEndOfFile(handle))
        FlushFileBuffers(handle);
    return fail(code);
}
