#include "taps/deinter.h"

#include <cstring>
#include <random>

#include <gtest/gtest.h>

namespace {

QImage Filled(int w, int h, QRgb colour, QImage::Format format = QImage::Format_ARGB32) {
    QImage img(w, h, format);
    img.fill(colour);
    return img;
}

void SetPixel(QImage& img, int x, int y, int r, int g, int b, int a = 255) {
    img.setPixel(x, y, qRgba(r, g, b, a));
}

bool SameBytes(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y),
                        size_t(a.width()) * size_t(a.depth() / 8)) != 0)
            return false;
    return true;
}

QImage FilterBoth(const QImage& src) {
    TDeinterlacer d;
    QImage fast, plain;
    d.Deinterlace(src, fast);
    d.DeinterlaceReference(src, plain);
    EXPECT_TRUE(SameBytes(fast, plain)) << "fast path and reference differ";
    return fast;
}

} // namespace

TEST(Deinterlace, CopiesPicturesItDoesNotFilter) {
    QImage rgb24(6, 6, QImage::Format_RGB888);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            rgb24.setPixel(x, y, y % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    EXPECT_TRUE(SameBytes(FilterBoth(rgb24), rgb24));
    for (int h : {1, 2}) {
        QImage img = Filled(5, h, qRgb(255, 255, 255));
        if (h == 2)
            for (int x = 0; x < 5; ++x)
                SetPixel(img, x, 1, 0, 0, 0);
        EXPECT_TRUE(SameBytes(FilterBoth(img), img)) << "height " << h;
    }
    EXPECT_TRUE(FilterBoth(QImage()).isNull());
    const QImage uniform = Filled(9, 7, qRgba(12, 200, 99, 17));
    EXPECT_TRUE(SameBytes(FilterBoth(uniform), uniform));
}

TEST(Deinterlace, AlternatingRowsBecomeTheEvenRows) {
    for (int w : {2, 3, 16}) {
        QImage img = Filled(w, 7, qRgba(255, 255, 255, 40));
        for (int y = 1; y < 7; y += 2)
            for (int x = 0; x < w; ++x)
                SetPixel(img, x, y, 0, 0, 0, 200);
        const QImage out = FilterBoth(img);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(qRed(out.pixel(x, y)), 255) << x << "," << y;
                EXPECT_EQ(qAlpha(out.pixel(x, y)), y % 2 ? 200 : 40) << "fourth byte kept";
            }
    }
}

TEST(Deinterlace, LastRowOfAnEvenHeightAndSingleColumnsStay) {
    QImage img = Filled(4, 4, qRgb(255, 255, 255));
    for (int x = 0; x < 4; ++x) {
        SetPixel(img, x, 1, 0, 0, 0);
        SetPixel(img, x, 3, 0, 0, 0);
    }
    const QImage out = FilterBoth(img);
    EXPECT_EQ(qRed(out.pixel(0, 1)), 255);
    EXPECT_EQ(qRed(out.pixel(0, 3)), 0) << "row H-1 has no row below";

    QImage column = Filled(1, 5, qRgb(255, 255, 255));
    SetPixel(column, 0, 1, 0, 0, 0);
    SetPixel(column, 0, 3, 0, 0, 0);
    EXPECT_TRUE(SameBytes(FilterBoth(column), column))
        << "no horizontal neighbour, nothing blended";
}

TEST(Deinterlace, OnlyConfirmedPixelsAreBlended) {
    // One combed pixel alone: left alone.
    QImage single = Filled(5, 3, qRgb(200, 200, 200));
    SetPixel(single, 2, 1, 0, 0, 0);
    EXPECT_TRUE(SameBytes(FilterBoth(single), single));
    // Two neighbours comb: both are blended, each from its own rows above and below.
    QImage pair = Filled(5, 3, qRgb(200, 200, 200));
    SetPixel(pair, 1, 1, 0, 0, 0);
    SetPixel(pair, 2, 1, 0, 0, 0);
    SetPixel(pair, 2, 0, 100, 100, 100);
    const QImage out = FilterBoth(pair);
    EXPECT_EQ(out.pixel(1, 1), qRgb(200, 200, 200));
    EXPECT_EQ(out.pixel(2, 1), qRgb(150, 150, 150));
    EXPECT_EQ(out.pixel(3, 1), qRgb(200, 200, 200));
    // Averages round down.
    QImage odd = Filled(2, 3, qRgb(255, 255, 255));
    SetPixel(odd, 0, 2, 250, 251, 252);
    SetPixel(odd, 1, 2, 250, 251, 252);
    SetPixel(odd, 0, 1, 0, 0, 0);
    SetPixel(odd, 1, 1, 0, 0, 0);
    EXPECT_EQ(FilterBoth(odd).pixel(0, 1), qRgb(252, 253, 253));
}

TEST(Deinterlace, ThresholdAndChannelWeights) {
    struct Case {
        const char* what;
        QRgb p, c, n;
        bool combed;
    } cases[] = {
        {"D = 2000 exactly", qRgb(10, 10, 10), qRgb(0, 0, 0), qRgb(20, 20, 20), false},
        {"D = 2100", qRgb(10, 10, 10), qRgb(0, 0, 0), qRgb(21, 21, 21), true},
        {"red only, 3 x 700", qRgb(35, 0, 0), qRgb(0, 0, 0), qRgb(20, 0, 0), true},
        {"green only, 6 x 350", qRgb(0, 35, 0), qRgb(0, 0, 0), qRgb(0, 10, 0), true},
        {"blue only, 1 x 700", qRgb(0, 0, 35), qRgb(0, 0, 0), qRgb(0, 0, 20), false},
        {"blue only, 1 x 2025", qRgb(0, 0, 45), qRgb(0, 0, 0), qRgb(0, 0, 45), true},
        {"between the neighbours", qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255), false},
        {"largest D", qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 255), true},
    };
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB32,
                                  QImage::Format_RGBA8888, QImage::Format_RGBX8888}) {
        for (const auto& c : cases) {
            QImage img(3, 3, format);
            for (int x = 0; x < 3; ++x) {
                img.setPixel(x, 0, c.p);
                img.setPixel(x, 1, c.c);
                img.setPixel(x, 2, c.n);
            }
            const QImage out = FilterBoth(img);
            EXPECT_EQ(out.pixel(1, 1) != img.pixel(1, 1), c.combed)
                << c.what << " in format " << int(format);
        }
    }
}

TEST(Deinterlace, FastPathEqualsReferenceOnRandomPictures) {
    std::mt19937 rng(42);
    const int sizes[][2] = {{1, 1}, {1, 9}, {2, 3}, {17, 13}, {64, 48}, {33, 32}, {721, 577}};
    for (const auto& s : sizes) {
        for (bool interlaced : {false, true}) {
            QImage img(s[0], s[1], QImage::Format_ARGB32);
            for (int y = 0; y < s[1]; ++y) {
                auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
                for (int x = 0; x < s[0]; ++x) {
                    const uint32_t v = uint32_t(rng());
                    // Interlaced-looking content: bright fields over dark ones, with noise.
                    line[x] = interlaced ? (y % 2 ? v & 0xFF3F3F3F : v | 0x00C0C0C0) : v;
                }
            }
            TDeinterlacer d;
            QImage fast, plain;
            d.Deinterlace(img, fast);
            d.DeinterlaceReference(img, plain);
            ASSERT_TRUE(SameBytes(fast, plain)) << s[0] << "x" << s[1] << " " << interlaced;
            if (interlaced && s[0] > 1 && s[1] > 2) {
                EXPECT_FALSE(SameBytes(fast, img)) << "something must have been blended";
            }
        }
    }
}

TEST(Deinterlace, ReusesTheDestinationAndItsMasksAcrossSizes) {
    TDeinterlacer d;
    QImage dst;
    for (int w : {8, 3, 40, 8}) {
        QImage src = Filled(w, 5, qRgb(255, 255, 255));
        for (int x = 0; x < w; ++x)
            SetPixel(src, x, 1, 0, 0, 0);
        d.Deinterlace(src, dst);
        ASSERT_EQ(dst.size(), src.size());
        EXPECT_EQ(qRed(dst.pixel(w / 2, 1)), 255);
        EXPECT_EQ(qRed(src.pixel(w / 2, 1)), 0) << "the source is never written";
    }
    QImage program;
    QImage src = Filled(4, 3, qRgb(9, 9, 9));
    Deinterlace(src, program);
    EXPECT_TRUE(SameBytes(program, src));
}

TEST(Deinterlace, SourceAndDestinationMayBeTheSamePicture) {
    QImage img = Filled(6, 5, qRgb(255, 255, 255));
    for (int x = 0; x < 6; ++x)
        SetPixel(img, x, 1, 0, 0, 0);
    QImage expected;
    TDeinterlacer d;
    d.DeinterlaceReference(img, expected);
    QImage shared = img; // implicitly shared with img
    d.Deinterlace(shared, shared);
    EXPECT_TRUE(SameBytes(shared, expected));
    d.DeinterlaceReference(img, img);
    EXPECT_TRUE(SameBytes(img, expected));
}
