#include "JpegImage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// libjpeg reports errors through a callback that must not return. It jumps
// back into DecodeRaw, which holds no C++ objects, so nothing is skipped that
// would need a destructor.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Escape;
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegError *>(info->err)->Escape, 1);
}

// Warnings (a truncated stream, a corrupt marker) count as errors: a picture
// with grey rows where the data ran out is not worth showing.
void OnJpegMessage(j_common_ptr info, int level)
{
    if (level < 0)
        std::longjmp(reinterpret_cast<TJpegError *>(info->err)->Escape, 1);
}

void OnJpegOutput(j_common_ptr) {}

// Far above any picture the program ships; keeps a hostile header from
// asking for gigabytes.
constexpr JDIMENSION MaxSide = 8192;

struct TRawPicture {
    unsigned char *Pixels = nullptr; // malloc'd, Width * 4 bytes per row
    int Width = 0;
    int Height = 0;
};

// Plain C data only between setjmp and the end of the function.
bool DecodeRaw(const unsigned char *data, unsigned long size, TRawPicture *out)
{
    jpeg_decompress_struct info;
    TJpegError error;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = OnJpegError;
    error.Manager.emit_message = OnJpegMessage;
    error.Manager.output_message = OnJpegOutput;
    out->Pixels = nullptr;
    if (setjmp(error.Escape)) {
        jpeg_destroy_decompress(&info);
        std::free(out->Pixels);
        out->Pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.image_width > MaxSide || info.image_height > MaxSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA; // byte order of QImage::Format_RGB32 on little-endian machines
    jpeg_start_decompress(&info);
    const unsigned long stride = static_cast<unsigned long>(info.output_width) * 4;
    out->Width = static_cast<int>(info.output_width);
    out->Height = static_cast<int>(info.output_height);
    out->Pixels = static_cast<unsigned char *>(std::malloc(stride * info.output_height));
    if (!out->Pixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->Pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    TRawPicture raw;
    if (!DecodeRaw(reinterpret_cast<const unsigned char *>(data.constData()),
                   static_cast<unsigned long>(data.size()), &raw))
        return {};
    QImage image(raw.Width, raw.Height, QImage::Format_RGB32);
    if (!image.isNull()) {
        for (int y = 0; y < raw.Height; ++y)
            std::memcpy(image.scanLine(y), raw.Pixels + static_cast<size_t>(y) * raw.Width * 4,
                        static_cast<size_t>(raw.Width) * 4);
    }
    std::free(raw.Pixels);
    return image;
}

QImage LoadJpeg(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}
