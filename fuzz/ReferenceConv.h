#pragma once

// A reference for the integer conversion that the settings store and the
// address entry share, written from its contract in a different way from the
// program's: digits are counted after leading zeros are dropped, instead of
// an accumulator being watched for overflow. Used by the differential fuzz
// targets.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace reference {

inline int HexValue(char16_t c)
{
    constexpr std::u16string_view digits = u"0123456789abcdef";
    const char16_t lower = (c >= u'A' && c <= u'F') ? char16_t(c - u'A' + u'a') : c;
    const std::size_t at = digits.find(lower);
    return at == std::u16string_view::npos ? -1 : int(at);
}

inline bool IsDecimal(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

inline std::u16string_view DropLeadingZeros(std::u16string_view digits)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove_prefix(1);
    return digits;
}

inline std::optional<int32_t> StrToInt(std::u16string_view s)
{
    while (!s.empty() && s.front() == u' ')
        s.remove_prefix(1);
    // "0x" before "x": the two-character prefix wins over a decimal zero.
    for (const std::u16string_view prefix : {u"0x", u"0X", u"$", u"x", u"X"}) {
        if (!s.starts_with(prefix))
            continue;
        std::u16string_view digits = s.substr(prefix.size());
        if (digits.empty() ||
            !std::all_of(digits.begin(), digits.end(), [](char16_t c) { return HexValue(c) >= 0; }))
            return std::nullopt;
        digits = DropLeadingZeros(digits);
        if (digits.size() > 8)
            return std::nullopt;
        uint32_t v = 0;
        for (const char16_t c : digits)
            v = v * 16 + uint32_t(HexValue(c));
        return int32_t(v); // the 32-bit pattern: $FFFFFFFF is -1
    }
    bool negative = false;
    if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s.remove_prefix(1);
    }
    if (s.empty() || !std::all_of(s.begin(), s.end(), IsDecimal))
        return std::nullopt;
    s = DropLeadingZeros(s);
    if (s.size() > 10)
        return std::nullopt;
    int64_t v = 0;
    for (const char16_t c : s)
        v = v * 10 + (c - u'0');
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return int32_t(v);
}

} // namespace reference
