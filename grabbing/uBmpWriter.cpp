#include "grabbing/uBmpWriter.h"

#include "platform/os/AtomicFile.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(char*& p, uint16_t v) {
    *p++ = char(v & 0xFF);
    *p++ = char(v >> 8);
}

void Put32(char*& p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        *p++ = char((v >> (8 * i)) & 0xFF);
}

// One row of 32-bit pixels (blue, green, red, x in memory) as blue, green, red.
void PackRow(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x) {
        dst[3 * x] = src[4 * x];
        dst[3 * x + 1] = src[4 * x + 1];
        dst[3 * x + 2] = src[4 * x + 2];
    }
}

QImage AsRgb32(const QImage& picture) {
    const QImage::Format f = picture.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32)
        return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QByteArray EncodeBmp24(const QImage& picture) {
    if (picture.isNull())
        return {};
    const QImage img = AsRgb32(picture);
    const uint64_t w = uint64_t(img.width()), h = uint64_t(img.height());
    const uint64_t stride = (w * 3 + 3) & ~uint64_t(3);
    const uint64_t imageSize = stride * h;
    const uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + imageSize;
    if (fileSize > UINT32_MAX || fileSize > uint64_t(INT32_MAX))
        return {};
    QByteArray bytes(qsizetype(fileSize), '\0');
    char* p = bytes.data();
    Put16(p, 0x4D42); // "BM"
    Put32(p, uint32_t(fileSize));
    Put32(p, 0);
    Put32(p, kFileHeaderSize + kInfoHeaderSize);
    Put32(p, kInfoHeaderSize);
    Put32(p, uint32_t(w));
    Put32(p, uint32_t(h)); // positive: rows bottom-up
    Put16(p, 1);
    Put16(p, 24);
    Put32(p, 0); // BI_RGB
    Put32(p, uint32_t(imageSize));
    Put32(p, uint32_t(img.dotsPerMeterX() > 0 ? img.dotsPerMeterX() : 3780));
    Put32(p, uint32_t(img.dotsPerMeterY() > 0 ? img.dotsPerMeterY() : 3780));
    Put32(p, 0);
    Put32(p, 0);
    auto* pixels = reinterpret_cast<uint8_t*>(bytes.data()) + kFileHeaderSize + kInfoHeaderSize;
    for (uint64_t y = 0; y < h; ++y)
        PackRow(img.constScanLine(int(h - 1 - y)), pixels + y * stride, int(w));
    return bytes;
}

TPictureWriteResult WriteBmp24(const QImage& picture, const QString& fileName) {
    const QByteArray bytes = EncodeBmp24(picture);
    if (bytes.isEmpty())
        return TPictureWriteResult::Failure(
            picture.isNull() ? QStringLiteral("There is no picture to save")
                             : QStringLiteral("The picture is too large for a BMP file"));
    QString error;
    return AtomicFile::Write(fileName, bytes, &error) ? TPictureWriteResult::Success()
                                                      : TPictureWriteResult::Failure(error);
}
