#include "grabbing/uJpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared first.
#include "platform/os/AtomicFile.h"

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// compressing function with the message. Only plain C objects live between setjmp and longjmp.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->Message);
    std::longjmp(e->Jump, 1);
}

struct TJpegInput {
    const unsigned char* Pixels;
    int Width;
    int Height;
    qsizetype BytesPerLine;
    J_COLOR_SPACE Space;
    int Components;
};

// Compresses into a buffer that libjpeg allocates with malloc (the caller frees it). Returns
// false with the message in error->Message.
bool Compress(const TJpegInput& in, int quality, const QByteArray& exif, unsigned char** out,
              unsigned long* outSize, TJpegError* error) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&error->Manager);
    error->Manager.error_exit = OnJpegError;
    if (setjmp(error->Jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = JDIMENSION(in.Width);
    cinfo.image_height = JDIMENSION(in.Height);
    cinfo.input_components = in.Components;
    cinfo.in_color_space = in.Space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE); // TRUE: baseline quantisation tables
    jpeg_start_compress(&cinfo, TRUE);
    if (!exif.isEmpty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.constData()),
                          unsigned(exif.size()));
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(in.Pixels + qsizetype(cinfo.next_scanline) * in.BytesPerLine);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// The picture in a layout libjpeg reads directly: 32-bit blue-green-red-x, or 24-bit RGB.
QImage CompressibleImage(const QImage& picture, J_COLOR_SPACE& space, int& components) {
    const QImage::Format f = picture.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32) {
        space = JCS_EXT_BGRX;
        components = 4;
        return picture;
    }
    space = JCS_RGB;
    components = 3;
    return f == QImage::Format_RGB888 ? picture : picture.convertToFormat(QImage::Format_RGB888);
}

} // namespace

void TJpegWriter::SetQuality(int setting) {
    FQuality = std::clamp(setting & 0xFF, 1, 100);
}

bool TJpegWriter::Encode(const QImage& picture, QByteArray& bytes, QString& error) const {
    if (picture.isNull() || picture.width() > JPEG_MAX_DIMENSION ||
        picture.height() > JPEG_MAX_DIMENSION) {
        error = picture.isNull() ? QStringLiteral("There is no picture to save")
                                 : QStringLiteral("The picture is too large for a JPEG file");
        return false;
    }
    J_COLOR_SPACE space = JCS_RGB;
    int components = 3;
    const QImage img = CompressibleImage(picture, space, components);
    const TJpegInput in{img.constBits(),    img.width(), img.height(),
                        img.bytesPerLine(), space,       components};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    TJpegError jpegError{};
    const bool ok = Compress(in, FQuality, FExif, &buffer, &size, &jpegError);
    if (ok)
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    else
        error = QString::fromLocal8Bit(jpegError.Message);
    std::free(buffer);
    return ok;
}

TPictureWriteResult TJpegWriter::Write(const QImage& picture, const QString& fileName) const {
    QByteArray bytes;
    QString error;
    if (!Encode(picture, bytes, error))
        return TPictureWriteResult::Failure(error);
    QString writeError;
    return AtomicFile::Write(fileName, bytes, &writeError)
               ? TPictureWriteResult::Success()
               : TPictureWriteResult::Failure(writeError);
}
