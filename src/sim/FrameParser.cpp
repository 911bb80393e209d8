#include "FrameParser.h"

#include "device/ComUnit.h"

void TFrameParser::Feed(const uint8_t *Data, size_t Length)
{
    FBuffer.append(reinterpret_cast<const char *>(Data), qsizetype(Length));
}

void TFrameParser::Reset()
{
    Drop(FBuffer.size());
}

void TFrameParser::Drop(qsizetype Count)
{
    FSkipped += size_t(Count);
    FBuffer.remove(0, Count);
}

std::optional<TRequest> TFrameParser::Next()
{
    const char head[2] = {char(FrameHead[0]), char(FrameHead[1])};
    for (;;) {
        const qsizetype start = FBuffer.indexOf(QByteArrayView(head, 2));
        if (start < 0) {
            // Keep a trailing first head byte: its partner may come next.
            const bool keepLast = !FBuffer.isEmpty() && uint8_t(FBuffer.back()) == FrameHead[0];
            Drop(FBuffer.size() - (keepLast ? 1 : 0));
            return std::nullopt;
        }
        Drop(start);
        if (FBuffer.size() < 4)
            return std::nullopt;
        const auto *b = reinterpret_cast<const uint8_t *>(FBuffer.constData());
        const int n = b[3];
        const qsizetype total = n + 7;
        if (FBuffer.size() < total)
            return std::nullopt;
        const uint8_t sum = uint8_t(b[2] + n + ByteSum(std::span<const uint8_t>(b + 4, size_t(n))));
        if (sum == b[4 + n] && b[5 + n] == FrameTail[0] && b[6 + n] == FrameTail[1]) {
            TRequest request{b[2], FBuffer.mid(4, n)};
            FBuffer.remove(0, total);
            return request;
        }
        Drop(1); // a false start: look for the next head
    }
}
