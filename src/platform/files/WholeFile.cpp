#include "platform/files/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

QString SystemErrorText(int Code)
{
    return QString::fromLocal8Bit(std::strerror(Code));
}

bool WriteAllTo(int Fd, const char *Data, qsizetype Size)
{
    while (Size > 0) {
        const ssize_t n = ::write(Fd, Data, size_t(Size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        Data += n;
        Size -= n;
    }
    return true;
}
