#include "base/IntConv.h"

namespace {

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool IsDecimalDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

} // namespace

bool TryStrToInt(QStringView Text, int32_t &Value)
{
    qsizetype i = 0;
    const qsizetype n = Text.size();
    while (i < n && Text[i] == u' ')
        ++i;

    bool hex = false;
    if (i < n && (Text[i] == u'$' || Text[i] == u'x' || Text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && Text[i] == u'0' && (Text[i + 1] == u'x' || Text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }

    if (hex) {
        if (i == n)
            return false;
        uint64_t acc = 0;
        for (; i < n; ++i) {
            const int d = HexDigitValue(Text[i]);
            if (d < 0)
                return false;
            acc = acc * 16 + uint64_t(d);
            if (acc > 0xFFFFFFFFull)
                return false;
        }
        Value = int32_t(uint32_t(acc));
        return true;
    }

    bool negative = false;
    if (i < n && (Text[i] == u'+' || Text[i] == u'-')) {
        negative = Text[i] == u'-';
        ++i;
    }
    if (i == n)
        return false;
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t acc = 0;
    for (; i < n; ++i) {
        if (!IsDecimalDigit(Text[i]))
            return false;
        acc = acc * 10 + uint64_t(Text[i].unicode() - '0');
        if (acc > limit)
            return false;
    }
    Value = negative ? int32_t(-int64_t(acc)) : int32_t(acc);
    return true;
}
