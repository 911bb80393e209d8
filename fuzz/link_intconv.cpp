// Differential check of the integer conversion that the settings store and
// the address entry share, against the reference in ReferenceConv.h.

#include "FuzzCheck.h"
#include "ReferenceConv.h"
#include "base/IntConv.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // UTF-8 lets the fuzzer reach look-alike characters (full-width digits,
    // other blanks and minus signs) that must all be refused.
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::u16string_view view(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));

    constexpr int32_t untouched = 0x5A5A5A5A;
    int32_t value = untouched;
    const bool ok = TryStrToInt(text, value);
    const std::optional<int32_t> expected = reference::StrToInt(view);
    FUZZ_CHECK(ok == expected.has_value());
    FUZZ_CHECK(ok ? value == *expected : value == untouched);
    return 0;
}
