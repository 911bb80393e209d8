// The JPEG loader on any bytes: a picture decodes completely or not at all.
// A decoded picture has a sane size in the program's pixel format, and
// decoding is deterministic (no uninitialised memory reaches the pixels). The
// corpus replay also feeds every seed cut short.

#include "FuzzCheck.h"
#include "ui/JpegImage.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QImage image = DecodeJpeg(bytes);
    if (image.isNull())
        return 0;
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    FUZZ_CHECK(image == DecodeJpeg(bytes));
    return 0;
}
