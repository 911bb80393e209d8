#include "platform/serial/SerialTrace.h"

#include <QTime>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool TraceFromEnvironment()
{
    const char *v = std::getenv("LUMORA_TRACE");
    return v != nullptr && std::strcmp(v, "1") == 0;
}

std::atomic<bool> &TraceFlag()
{
    static std::atomic<bool> flag{TraceFromEnvironment()};
    return flag;
}

} // namespace

void SetSerialTrace(bool On)
{
    TraceFlag().store(On);
}

bool SerialTraceEnabled()
{
    return TraceFlag().load(std::memory_order_relaxed);
}

QByteArray HexBytes(const uint8_t *Data, size_t Length)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(qsizetype(Length) * 3);
    for (size_t i = 0; i < Length; ++i) {
        if (i > 0)
            out.append(' ');
        out.append(digits[Data[i] >> 4]);
        out.append(digits[Data[i] & 0x0F]);
    }
    return out;
}

QByteArray TraceTimestamp()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
}

void TraceBytes(TTraceDirection Direction, const uint8_t *Data, size_t Length, const char *Note)
{
    if (!SerialTraceEnabled())
        return;
    QByteArray line = TraceTimestamp();
    line += Direction == TTraceDirection::Sent ? " TX " : " RX ";
    line += QByteArray::number(qulonglong(Length));
    line += ':';
    if (Length > 0) {
        line += ' ';
        line += HexBytes(Data, Length);
    }
    if (Note != nullptr && *Note != '\0') {
        line += " (";
        line += Note;
        line += ')';
    }
    line += '\n';
    // One write per line so that lines of several threads never interleave.
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}
