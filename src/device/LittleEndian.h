#pragma once

#include <cstddef>
#include <cstdint>

// A little-endian number stored as plain bytes, so that it can sit at any
// offset of a packed wire record without alignment requirements. Reads and
// writes convert explicitly, whatever the host's byte order.
template <typename T> struct TLittleEndian {
    uint8_t Bytes[sizeof(T)];

    constexpr operator T() const
    {
        T value = 0;
        for (size_t i = sizeof(T); i-- > 0;)
            value = T(value << 8 | Bytes[i]);
        return value;
    }
    constexpr TLittleEndian &operator=(T Value)
    {
        for (size_t i = 0; i < sizeof(T); ++i)
            Bytes[i] = uint8_t(Value >> (8 * i));
        return *this;
    }
};

using TLE16 = TLittleEndian<uint16_t>;
using TLE32 = TLittleEndian<uint32_t>;
static_assert(sizeof(TLE16) == 2 && alignof(TLE16) == 1);
static_assert(sizeof(TLE32) == 4 && alignof(TLE32) == 1);
