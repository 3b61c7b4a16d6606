#include "features/jpegwriter.h"

#include "features/atomicfile.h"
#include "platform/errors.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace jpeg {

namespace {

// libjpeg's fatal errors jump back to compress() instead of ending the process.
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

void quiet(j_common_ptr) {}

// The compression itself, kept free of objects with destructors so that the jump out of libjpeg
// skips nothing. On success *out holds a malloc'ed buffer that the caller frees; on failure the
// message is filled in and nothing is left allocated.
bool compress(const uchar *rgb, int width, int height, qsizetype stride, int quality, unsigned char **out,
              unsigned long *size, char *message)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = quiet;
    *out = nullptr;
    *size = 0;
    if (setjmp(err.jump)) {
        (*cinfo.err->format_message)(reinterpret_cast<j_common_ptr>(&cinfo), message);
        jpeg_destroy_compress(&cinfo);
        std::free(*out);
        *out = nullptr;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE); // baseline tables
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + qsizetype(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

QByteArray encode(const QImage &picture, int quality)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (!compress(rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), quality, &out, &size,
                  message))
        throw EError(QString::fromLocal8Bit(message));
    QByteArray data(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return data;
}

void save(const QImage &picture, const QString &path, int quality)
{
    atomicfile::write(path, encode(picture, quality));
}

} // namespace jpeg
