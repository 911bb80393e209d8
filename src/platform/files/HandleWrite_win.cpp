#include "platform/files/HandleWrite_win.h"

#include <algorithm>

bool WriteToHandle(HANDLE File, const QByteArray &Data, std::optional<int64_t> Offset)
{
    const char *data = Data.constData();
    qsizetype left = Data.size();
    while (left > 0) {
        DWORD written = 0;
        OVERLAPPED at{};
        if (Offset) {
            at.Offset = DWORD(*Offset & 0xFFFFFFFF);
            at.OffsetHigh = DWORD(*Offset >> 32);
        }
        if (!WriteFile(File, data, DWORD(std::min<qsizetype>(left, 1 << 30)), &written,
                       Offset ? &at : nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        left -= written;
        if (Offset)
            *Offset += written;
    }
    return true;
}
