#include "grabbing/uBmpWriter.h"
#include "grabbing/uJpegWriter.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/platform/rtl/QtPrinters.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <random>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A picture like a decoded video frame: smooth colour (video chroma is already subsampled) and
// hard luminance edges.
QImage NaturalPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = 128 + int(100 * std::sin(x / 23.0) * std::cos(y / 31.0));
            const int g = (x * 255) / std::max(1, w - 1);
            const int b = 120 + int(80 * std::cos((x + y) / 40.0));
            const int edge = (x / 64 + y / 64) % 2 ? 40 : -40; // the same on every channel
            img.setPixel(x, y,
                         qRgb(std::clamp(r + edge, 0, 255), std::clamp(g + edge, 0, 255),
                              std::clamp(b + edge, 0, 255)));
        }
    return img;
}

QImage NoisePicture(int w, int h, QImage::Format format, unsigned seed) {
    QImage img(w, h, QImage::Format_ARGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(
                x, y,
                qRgba(int(rng() & 0xFF), int(rng() & 0xFF), int(rng() & 0xFF), int(rng() & 0xFF)));
    return img.convertToFormat(format);
}

// Decodes a JPEG file with libjpeg into 24-bit RGB; a null image when it cannot.
struct TDecodeError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void OnDecodeError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TDecodeError*>(cinfo->err)->Jump, 1);
}

bool DecodeInto(const QByteArray& data, QImage* out, bool* baseline) {
    jpeg_decompress_struct cinfo;
    TDecodeError error;
    cinfo.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = OnDecodeError;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    *baseline = !cinfo.progressive_mode && cinfo.arith_code == FALSE;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    *out = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

QImage DecodeJpeg(const QString& path, bool* baseline = nullptr) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QImage img;
    bool isBaseline = false;
    if (!DecodeInto(f.readAll(), &img, &isBaseline))
        return {};
    if (baseline)
        *baseline = isBaseline;
    return img;
}

double Psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

uint32_t U32(const QByteArray& b, int at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

class PictureWriters : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    QStringList Entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(PictureWriters, BmpRoundTripsPixelForPixel) {
    const int sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {17, 5}, {641, 479}};
    unsigned seed = 1;
    for (const auto& s : sizes) {
        const QImage picture = NoisePicture(s[0], s[1], QImage::Format_RGB32, seed++);
        const QString path = Path(QStringLiteral("p%1x%2.bmp").arg(s[0]).arg(s[1]));
        const TPictureWriteResult r = WriteBmp24(picture, path);
        ASSERT_TRUE(r.Ok) << r.ErrorText.toStdString();
        const QImage back(path);
        ASSERT_EQ(back.size(), picture.size());
        for (int y = 0; y < s[1]; ++y)
            for (int x = 0; x < s[0]; ++x)
                ASSERT_EQ(
                    qRgb(qRed(back.pixel(x, y)), qGreen(back.pixel(x, y)), qBlue(back.pixel(x, y))),
                    picture.pixel(x, y))
                    << s[0] << "x" << s[1] << " at " << x << "," << y;
    }
}

TEST_F(PictureWriters, BmpHeaderAndRowLayout) {
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    picture.setPixel(2, 1, qRgb(7, 8, 9));
    const QByteArray b = EncodeBmp24(picture);
    const uint32_t stride = 12; // 9 bytes padded to 12
    ASSERT_EQ(b.size(), 54 + 2 * int(stride));
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(U32(b, 2), uint32_t(b.size()));
    EXPECT_EQ(U32(b, 10), 54u);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), 3u);
    EXPECT_EQ(U32(b, 22), 2u) << "positive height: bottom-up rows";
    EXPECT_EQ(uint8_t(b[26]), 1);
    EXPECT_EQ(uint8_t(b[28]), 24);
    EXPECT_EQ(U32(b, 30), 0u) << "BI_RGB";
    EXPECT_EQ(U32(b, 34), 2 * stride);
    // The last row comes first; pixels are blue, green, red; padding is zero.
    EXPECT_EQ(uint8_t(b[54 + 6]), 9);
    EXPECT_EQ(uint8_t(b[54 + 8]), 7);
    EXPECT_EQ(uint8_t(b[54 + 9]), 0);
    EXPECT_EQ(uint8_t(b[54 + stride]), 3);
    EXPECT_EQ(uint8_t(b[54 + stride + 2]), 1);
    EXPECT_TRUE(EncodeBmp24(QImage()).isEmpty());
}

TEST_F(PictureWriters, BmpTakesAnyPictureFormat) {
    for (QImage::Format format :
         {QImage::Format_ARGB32, QImage::Format_RGB888, QImage::Format_RGBA8888,
          QImage::Format_RGB16, QImage::Format_ARGB32_Premultiplied}) {
        const QImage picture = NoisePicture(9, 4, format, 7);
        const QString path = Path(QStringLiteral("f%1.bmp").arg(int(format)));
        ASSERT_TRUE(WriteBmp24(picture, path).Ok);
        const QImage back(path);
        const QImage expected = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(back.pixel(x, y) & 0xFFFFFF, expected.pixel(x, y) & 0xFFFFFF)
                    << "format " << int(format);
    }
}

TEST_F(PictureWriters, JpegQualityNinetyIsCloseAndBaseline) {
    const QImage picture = NaturalPicture(320, 240);
    TJpegWriter writer;
    writer.SetQuality(90);
    const QString path = Path(QStringLiteral("q90.jpg"));
    ASSERT_TRUE(writer.Write(picture, path).Ok);
    bool baseline = false;
    const QImage back = DecodeJpeg(path, &baseline);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_TRUE(baseline);
    EXPECT_GT(Psnr(picture, back), 35.0);

    writer.SetQuality(10);
    const QString low = Path(QStringLiteral("q10.jpg"));
    ASSERT_TRUE(writer.Write(picture, low).Ok);
    EXPECT_LT(QFile(low).size(), QFile(path).size());
    EXPECT_LT(Psnr(picture, DecodeJpeg(low)), Psnr(picture, back));
}

TEST_F(PictureWriters, JpegQualityIsTheLowByteClampedForLibjpeg) {
    struct Case {
        int setting, quality;
    } cases[] = {{50, 50}, {0, 1},    {100, 100}, {101, 100}, {255, 100},
                 {256, 1}, {300, 44}, {-1, 100},  {1, 1}};
    TJpegWriter w;
    for (const auto& c : cases) {
        w.SetQuality(c.setting);
        EXPECT_EQ(w.Quality(), c.quality) << c.setting;
    }
    const QImage picture = NaturalPicture(64, 48);
    QByteArray a, b;
    QString error;
    w.SetQuality(300);
    ASSERT_TRUE(w.Encode(picture, a, error));
    w.SetQuality(44);
    ASSERT_TRUE(w.Encode(picture, b, error));
    EXPECT_EQ(a, b);
}

TEST_F(PictureWriters, JpegTakesAnyPictureFormat) {
    TJpegWriter w;
    w.SetQuality(95);
    const QImage natural = NaturalPicture(50, 30);
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888,
          QImage::Format_RGBA8888, QImage::Format_Grayscale8}) {
        const QImage picture = natural.convertToFormat(format);
        const QString path = Path(QStringLiteral("f%1.jpg").arg(int(format)));
        ASSERT_TRUE(w.Write(picture, path).Ok) << int(format);
        const QImage back = DecodeJpeg(path);
        ASSERT_EQ(back.size(), picture.size()) << int(format);
        EXPECT_GT(Psnr(picture.convertToFormat(QImage::Format_RGB32), back), 30.0) << int(format);
    }
}

TEST_F(PictureWriters, MissingFolderReportsTheSystemErrorAndLeavesNoFile) {
    const QImage picture = NaturalPicture(8, 8);
    const QString bmp = Path(QStringLiteral("missing/a.bmp"));
    const TPictureWriteResult r = WriteBmp24(picture, bmp);
    EXPECT_FALSE(r.Ok);
    EXPECT_FALSE(r.ErrorText.isEmpty());
    TJpegWriter w;
    const TPictureWriteResult j = w.Write(picture, Path(QStringLiteral("missing/a.jpg")));
    EXPECT_FALSE(j.Ok);
    EXPECT_FALSE(j.ErrorText.isEmpty());
    EXPECT_FALSE(QFile::exists(bmp));
    EXPECT_TRUE(Entries().isEmpty()) << Entries().join(u' ').toStdString();
    EXPECT_FALSE(QDir(Path(QStringLiteral("missing"))).exists()) << "folders are never created";
}

TEST_F(PictureWriters, FailuresKeepTheOldFile) {
    const QString path = Path(QStringLiteral("keep.bmp"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    EXPECT_FALSE(WriteBmp24(QImage(), path).Ok);
    TJpegWriter w;
    EXPECT_FALSE(w.Write(QImage(), path).Ok);
    EXPECT_FALSE(w.Write(QImage(70000, 1, QImage::Format_RGB32), path).Ok);
    // A folder in the way of the target: the write fails, the folder stays.
    QDir(dir.path()).mkdir(QStringLiteral("taken.jpg"));
    EXPECT_FALSE(w.Write(NaturalPicture(4, 4), Path(QStringLiteral("taken.jpg"))).Ok);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old contents"));
    EXPECT_EQ(Entries().size(), 2) << Entries().join(u' ').toStdString();
    // A successful write replaces it whole.
    ASSERT_TRUE(WriteBmp24(NaturalPicture(4, 4), path).Ok);
    EXPECT_EQ(QImage(path).size(), QSize(4, 4));
}

TEST_F(PictureWriters, AFullDiskFailsWithTheSystemTextAndLeavesNoPartPicture) {
    const QString path = Path(QStringLiteral("full.bmp"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old picture");
    }
    {
        // Writes stop after 1000 bytes, as on a disk that fills up during the picture.
        kelvara::test::FileSizeLimit limit(1000);
        const TPictureWriteResult bmp = WriteBmp24(NaturalPicture(64, 64), path);
        EXPECT_FALSE(bmp.Ok);
        EXPECT_TRUE(bmp.ErrorText.contains(QStringLiteral("large")) ||
                    bmp.ErrorText.contains(QStringLiteral("space")))
            << bmp.ErrorText.toStdString();
        TJpegWriter w;
        w.SetQuality(100);
        EXPECT_FALSE(w.Write(NoisePicture(128, 128, QImage::Format_RGB32, 7),
                             Path(QStringLiteral("full.jpg")))
                         .Ok);
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old picture"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("full.bmp")}) << "no temporary file is left";
}
