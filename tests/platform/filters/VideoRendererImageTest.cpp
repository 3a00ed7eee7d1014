// The video renderer's current image: the frame sent, in every input layout, as the mixer
// places it (flips, output rectangles) and with the alpha bitmap blended over it.
#include "platform/filters/VideoRendererFormat.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/RendererTestBed.h"

#include <cmath>
#include <vector>

#include <QPainter>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr LONG kWidth = 64;
constexpr LONG kHeight = 48;

// A paused graph showing frame 0 of a pattern clip.
struct PausedVideo : TVideoBed {
    explicit PausedVideo(TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth,
                                                                     kHeight))
        : TVideoBed(std::move(config)) {
        EXPECT_EQ(connected, S_OK);
        EXPECT_TRUE(PauseAndWait());
    }
};

struct LayoutCase {
    const char* name;
    GUID subtype;
    LONG height; // negative: top-down
};

TEST(VideoRendererImage, TheCurrentImageIsTheFrameSentInEveryLayout) {
    const LayoutCase cases[] = {
        {"RGB32 bottom-up", MEDIASUBTYPE_RGB32, kHeight},
        {"RGB32 top-down", MEDIASUBTYPE_RGB32, -kHeight},
        {"ARGB32 bottom-up", MEDIASUBTYPE_ARGB32, kHeight},
        {"RGB24 bottom-up", MEDIASUBTYPE_RGB24, kHeight},
        {"RGB24 top-down", MEDIASUBTYPE_RGB24, -kHeight},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        // An odd width makes RGB24 rows need padding.
        const LONG width = c.subtype == MEDIASUBTYPE_RGB24 ? kWidth - 1 : kWidth;
        PausedVideo v(PatternVideo(c.subtype, width, c.height));
        BYTE* dib = nullptr;
        ASSERT_EQ(v.renderer->GetCurrentImage(&dib), S_OK);
        BITMAPINFOHEADER header;
        std::memcpy(&header, dib, sizeof header);
        EXPECT_EQ(header.biSize, 40u);
        EXPECT_EQ(header.biWidth, width);
        EXPECT_EQ(header.biHeight, kHeight); // always bottom-up
        EXPECT_EQ(header.biBitCount, 32);
        EXPECT_EQ(header.biCompression, BI_RGB);
        EXPECT_EQ(header.biSizeImage, DWORD(width * kHeight * 4));
        EXPECT_EQ(ImageDifference(ImageOfDib(dib), PatternImage(0, width, kHeight)), "");
        CoTaskMemFree(dib);
    }
}

TEST(VideoRendererImage, OnlyThePictureRectangleOfTheBitmapIsShown) {
    // A decoder that pads its rows says where the picture is through rcSource.
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight);
    auto vih = config.type.ReadFormat<VIDEOINFOHEADER>();
    vih->rcSource = {8, 4, 40, 36};
    config.type.SetFormat(*vih);
    PausedVideo v(config);
    LONG w = 0, h = 0, ax = 0, ay = 0;
    ASSERT_EQ(v.renderer->GetNativeVideoSize(&w, &h, &ax, &ay), S_OK);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(
        ImageDifference(v.CurrentImage(), PatternImage(0, kWidth, kHeight).copy(8, 4, 32, 32)), "");
}

TEST(VideoRendererImage, TheNativeSizeCarriesThePictureAspectOfAVideoInfo2) {
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, 72, 56);
    const auto vih = *config.type.ReadFormat<VIDEOINFOHEADER>();
    VIDEOINFOHEADER2 vih2;
    vih2.AvgTimePerFrame = vih.AvgTimePerFrame;
    vih2.bmiHeader = vih.bmiHeader;
    vih2.dwPictAspectRatioX = 16;
    vih2.dwPictAspectRatioY = 9;
    config.type.formattype = FORMAT_VideoInfo2;
    config.type.SetFormat(vih2);
    PausedVideo v(config);
    LONG w = 0, h = 0, ax = 0, ay = 0;
    ASSERT_EQ(v.renderer->GetNativeVideoSize(&w, &h, &ax, &ay), S_OK);
    EXPECT_EQ(std::vector<LONG>({w, h, ax, ay}), std::vector<LONG>({72, 56, 16, 9}));
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(0, 72, 56)), "");
}

TEST(VideoRendererImage, TypesTheRendererCannotShowAreRefused) {
    ComPtr<CVideoMixingRenderer9> renderer = MakeComObject<CVideoMixingRenderer9>();
    AM_MEDIA_TYPE compressed = RgbVideoType(MEDIASUBTYPE_RGB32, 16, 16, 400000);
    compressed.subtype = MEDIASUBTYPE_dvsd;
    AM_MEDIA_TYPE wrongBits = RgbVideoType(MEDIASUBTYPE_RGB32, 16, 16, 400000);
    wrongBits.FormatAs<VIDEOINFOHEADER>()->bmiHeader.biBitCount = 24;
    AM_MEDIA_TYPE noWidth = RgbVideoType(MEDIASUBTYPE_RGB32, 0, 16, 400000);
    AM_MEDIA_TYPE huge = RgbVideoType(MEDIASUBTYPE_RGB32, 100000, 16, 400000);
    AM_MEDIA_TYPE shortBlock = RgbVideoType(MEDIASUBTYPE_RGB32, 16, 16, 400000);
    const std::vector<BYTE> head(shortBlock.pbFormat(), shortBlock.pbFormat() + 40);
    shortBlock.SetFormat(head.data(), head.size());
    AM_MEDIA_TYPE audio = PcmAudioType(2, 48000, 16);
    const std::pair<const char*, const AM_MEDIA_TYPE*> refused[] = {
        {"compressed", &compressed},  {"bit count", &wrongBits},
        {"no width", &noWidth},       {"huge", &huge},
        {"short block", &shortBlock}, {"audio", &audio}};
    for (const auto& [name, type] : refused)
        EXPECT_EQ(renderer->CheckMediaType(type), VFW_E_TYPE_NOT_ACCEPTED) << name;
    const AM_MEDIA_TYPE rgb = RgbVideoType(MEDIASUBTYPE_RGB32, 16, -16, 400000);
    EXPECT_EQ(renderer->CheckMediaType(&rgb), S_OK);
}

TEST(VideoRendererImage, WithoutAFrameThereIsNoImage) {
    ComPtr<CVideoMixingRenderer9> renderer = MakeComObject<CVideoMixingRenderer9>();
    BYTE* dib = reinterpret_cast<BYTE*>(1);
    EXPECT_EQ(renderer->GetCurrentImage(&dib), E_FAIL);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(renderer->GetCurrentImage(nullptr), E_POINTER);
}

TEST(VideoRendererImage, APayloadShorterThanTheFormatShowsNothing) {
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight, 3);
    config.fill = [](int, BYTE*, LONG) { return LONG(100); };
    TVideoBed v(config);
    ASSERT_EQ(v.connected, S_OK);
    v.graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    v.control->Run();
    ASSERT_EQ(WaitForCompletion(v.graph.Get(), 30000), EC_COMPLETE);
    EXPECT_TRUE(v.CurrentImage().isNull());
}

struct FlipCase {
    const char* name;
    VMR9NormalizedRect rect;
    bool mirrorX, mirrorY;
};

TEST(VideoRendererImage, TheOutputRectangleFlipsTheImage) {
    const FlipCase cases[] = {
        {"none", {0, 0, 1, 1}, false, false},
        {"horizontal", {1, 0, 0, 1}, true, false},
        {"vertical", {0, 1, 1, 0}, false, true},
        {"both", {1, 1, 0, 0}, true, true},
    };
    PausedVideo v;
    for (const FlipCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(v.renderer->SetOutputRect(0, &c.rect), S_OK);
        VMR9NormalizedRect back;
        ASSERT_EQ(v.renderer->GetOutputRect(0, &back), S_OK);
        EXPECT_EQ(back, c.rect);
        const QImage expected = PatternImage(0, kWidth, kHeight).mirrored(c.mirrorX, c.mirrorY);
        EXPECT_EQ(ImageDifference(v.CurrentImage(), expected), "");
    }
}

TEST(VideoRendererImage, FlipsStayOnTheFramesThatFollow) {
    PausedVideo v;
    const VMR9NormalizedRect both{1, 1, 0, 0};
    ASSERT_EQ(v.renderer->SetOutputRect(0, &both), S_OK);
    ASSERT_TRUE(v.SeekAndWait(6));
    EXPECT_EQ(
        ImageDifference(v.CurrentImage(), PatternImage(6, kWidth, kHeight).mirrored(true, true)),
        "");
}

TEST(VideoRendererImage, AnOutputRectangleInsideTheOutputLeavesTheBackgroundAround) {
    PausedVideo v;
    ASSERT_EQ(v.renderer->SetBackgroundClr(RGB(10, 200, 30)), S_OK);
    // The right half, mirrored.
    const VMR9NormalizedRect right{1, 0, 0.5f, 1};
    ASSERT_EQ(v.renderer->SetOutputRect(0, &right), S_OK);
    const QImage image = v.CurrentImage();
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
    for (int y = 0; y < kHeight; y += 7)
        for (int x = 0; x < kWidth / 2; x += 5)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0x0AC81Eu) << x << ", " << y;
    // Scaled to half the width and mirrored: the frame's left edge (red 0, rising by 7 a
    // column) lands on the right edge, its right edge (red 185) next to the background.
    EXPECT_LE(qRed(image.pixel(kWidth - 1, 20)), 12);
    EXPECT_GE(qRed(image.pixel(kWidth / 2, 20)), 170);
}

TEST(VideoRendererImage, OutputRectanglesAndStreamsAreChecked) {
    PausedVideo v;
    const VMR9NormalizedRect outside{0, 0, 1.5f, 1};
    const VMR9NormalizedRect empty{0.5f, 0, 0.5f, 1};
    const VMR9NormalizedRect whole{0, 0, 1, 1};
    EXPECT_EQ(v.renderer->SetOutputRect(0, &outside), E_INVALIDARG);
    EXPECT_EQ(v.renderer->SetOutputRect(0, &empty), E_INVALIDARG);
    EXPECT_EQ(v.renderer->SetOutputRect(0, nullptr), E_POINTER);
    // One stream until the configuration asks for more (before connecting).
    EXPECT_EQ(v.renderer->SetOutputRect(1, &whole), E_INVALIDARG);
    EXPECT_EQ(v.renderer->SetNumberOfStreams(4), VFW_E_WRONG_STATE);
    EXPECT_EQ(v.renderer->SetAlpha(0, 1.5f), E_INVALIDARG);
}

// What a bitmap laid over `video` gives: outside `area` and at key-coloured bitmap pixels the
// video, elsewhere alpha x bitmap + (1 - alpha) x video.
QImage Blend(const QImage& video, const QImage& bitmap, QRect area, float alpha,
             std::optional<QRgb> key) {
    QImage out = video.copy();
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const QRgb b = bitmap.pixel(x * bitmap.width() / area.width(),
                                        y * bitmap.height() / area.height());
            if (key && (b & 0xFFFFFF) == (*key & 0xFFFFFF))
                continue;
            const QRgb v = video.pixel(area.x() + x, area.y() + y);
            auto mix = [&](int bc, int vc) {
                return int(std::lround(alpha * bc + (1 - alpha) * vc));
            };
            out.setPixel(
                area.x() + x, area.y() + y,
                qRgb(mix(qRed(b), qRed(v)), mix(qGreen(b), qGreen(v)), mix(qBlue(b), qBlue(v))));
        }
    return out;
}

// An inlay-like bitmap: the key colour everywhere but a few coloured blocks.
QImage InlayBitmap(int width, int height, QRgb key) {
    QImage bitmap(width, height, QImage::Format_RGB32);
    bitmap.fill(key);
    QPainter p(&bitmap);
    // Even edges: scaled to half size by nearest pixels, each block keeps its place exactly.
    p.fillRect(4, 4, 20, 12, QColor(255, 255, 0));
    p.fillRect(width / 2, height / 2, 16, 16, QColor(0, 0, 128));
    return bitmap;
}

struct BitmapCase {
    const char* name;
    float alpha;
    VMR9NormalizedRect dest;
    bool keyed;
    int tolerance;
};

TEST(VideoRendererImage, TheAlphaBitmapIsBlendedWithItsKeyAndOpacity) {
    const QRgb key = qRgb(255, 0, 255);
    const BitmapCase cases[] = {
        {"opaque, keyed", 1.0f, {0, 0, 1, 1}, true, 0},
        {"half, keyed", 0.5f, {0, 0, 1, 1}, true, 1},
        {"quarter opacity, keyed", 0.25f, {0, 0, 1, 1}, true, 1},
        {"opaque, not keyed", 1.0f, {0, 0, 1, 1}, false, 0},
        {"invisible", 0.0f, {0, 0, 1, 1}, true, 0},
        {"bottom-right quarter", 1.0f, {0.5f, 0.5f, 1, 1}, true, 0},
    };
    PausedVideo v;
    const QImage video = PatternImage(0, kWidth, kHeight);
    const QImage bitmap = InlayBitmap(kWidth, kHeight, key);
    for (const BitmapCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage canvas = bitmap.copy();
        QPainter painter(&canvas);
        VMR9AlphaBitmap ab;
        ab.dwFlags = VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_FilterMode |
                     (c.keyed ? VMR9AlphaBitmap_SrcColorKey : 0);
        ab.hdc = &painter;
        ab.rSrc = {0, 0, kWidth, kHeight};
        ab.rDest = c.dest;
        ab.fAlpha = c.alpha;
        ab.clrSrcKey = RGB(255, 0, 255);
        ab.dwFilterMode = MixerPref9_PointFiltering;
        ASSERT_EQ(v.renderer->SetAlphaBitmap(&ab), S_OK);
        const QRect area(QPoint(int(c.dest.left * kWidth), int(c.dest.top * kHeight)),
                         QPoint(int(c.dest.right * kWidth) - 1, int(c.dest.bottom * kHeight) - 1));
        const QImage expected =
            Blend(video, bitmap, area, c.alpha, c.keyed ? std::optional<QRgb>(key) : std::nullopt);
        EXPECT_EQ(ImageDifference(v.CurrentImage(), expected, c.tolerance), "");
    }
}

TEST(VideoRendererImage, TheBitmapIsCopiedWhenSetAndGoesWhenDisabled) {
    const QRgb key = qRgb(255, 0, 255);
    PausedVideo v;
    QImage canvas = InlayBitmap(kWidth, kHeight, key);
    const QImage original = canvas.copy();
    QPainter painter(&canvas);
    VMR9AlphaBitmap ab;
    ab.dwFlags = VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcColorKey;
    ab.hdc = &painter;
    ab.rSrc = {0, 0, kWidth, kHeight};
    ab.clrSrcKey = RGB(255, 0, 255);
    ab.dwFlags |= VMR9AlphaBitmap_FilterMode;
    ab.dwFilterMode = MixerPref9_PointFiltering;
    ASSERT_EQ(v.renderer->SetAlphaBitmap(&ab), S_OK);
    // Drawing on the canvas afterwards changes nothing until the bitmap is set again.
    painter.fillRect(0, 0, kWidth, kHeight, Qt::red);
    const QImage video = PatternImage(0, kWidth, kHeight);
    const QRect all(0, 0, kWidth, kHeight);
    EXPECT_EQ(ImageDifference(v.CurrentImage(), Blend(video, original, all, 1.0f, key)), "");
    // The bitmap lies over the next frames too.
    ASSERT_TRUE(v.SeekAndWait(3));
    EXPECT_EQ(ImageDifference(v.CurrentImage(),
                              Blend(PatternImage(3, kWidth, kHeight), original, all, 1.0f, key)),
              "");
    // New parameters without a new bitmap.
    VMR9AlphaBitmap update = ab;
    update.fAlpha = 0.5f;
    ASSERT_EQ(v.renderer->UpdateAlphaBitmapParameters(&update), S_OK);
    VMR9AlphaBitmap read;
    ASSERT_EQ(v.renderer->GetAlphaBitmapParameters(&read), S_OK);
    EXPECT_FLOAT_EQ(read.fAlpha, 0.5f);
    EXPECT_EQ(read.clrSrcKey, RGB(255, 0, 255));
    EXPECT_TRUE(read.dwFlags & VMR9AlphaBitmap_SrcColorKey);
    EXPECT_EQ(ImageDifference(v.CurrentImage(),
                              Blend(PatternImage(3, kWidth, kHeight), original, all, 0.5f, key), 1),
              "");
    VMR9AlphaBitmap off;
    off.dwFlags = VMR9AlphaBitmap_Disable;
    ASSERT_EQ(v.renderer->SetAlphaBitmap(&off), S_OK);
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(3, kWidth, kHeight)), "");
    ASSERT_EQ(v.renderer->GetAlphaBitmapParameters(&read), S_OK);
    EXPECT_EQ(read.dwFlags, VMR9AlphaBitmap_Disable);
}

TEST(VideoRendererImage, TheBitmapLiesOverTheFlippedImageUnflipped) {
    const QRgb key = qRgb(255, 0, 255);
    PausedVideo v;
    const VMR9NormalizedRect flipped{1, 0, 0, 1};
    ASSERT_EQ(v.renderer->SetOutputRect(0, &flipped), S_OK);
    const QImage bitmap = InlayBitmap(kWidth, kHeight, key);
    VMR9AlphaBitmap ab;
    ab.dwFlags = VMR9AlphaBitmap_SrcColorKey | VMR9AlphaBitmap_EntireDDS;
    ab.pDDS = &bitmap;
    ab.clrSrcKey = RGB(255, 0, 255);
    ASSERT_EQ(v.renderer->SetAlphaBitmap(&ab), S_OK);
    const QImage video = PatternImage(0, kWidth, kHeight).mirrored(true, false);
    EXPECT_EQ(ImageDifference(v.CurrentImage(),
                              Blend(video, bitmap, QRect(0, 0, kWidth, kHeight), 1.0f, key)),
              "");
}

TEST(VideoRendererImage, ASurfaceWithAlphaBlendsByItsOwnAlphaToo) {
    PausedVideo v;
    QImage surface(kWidth, kHeight, QImage::Format_ARGB32);
    surface.fill(Qt::transparent);
    surface.setPixel(10, 10, qRgba(0, 0, 255, 255));
    surface.setPixel(20, 10, qRgba(0, 0, 255, 0));
    VMR9AlphaBitmap ab;
    ab.dwFlags = VMR9AlphaBitmap_EntireDDS;
    ab.pDDS = &surface;
    ASSERT_EQ(v.renderer->SetAlphaBitmap(&ab), S_OK);
    const QImage image = v.CurrentImage();
    const QImage video = PatternImage(0, kWidth, kHeight);
    EXPECT_EQ(image.pixel(10, 10) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(image.pixel(20, 10), video.pixel(20, 10));
    EXPECT_EQ(image.pixel(30, 30), video.pixel(30, 30));
}

TEST(VideoRendererImage, BadBitmapParametersAreRefused) {
    PausedVideo v;
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    QPainter inactive;
    VMR9AlphaBitmap good;
    good.dwFlags = VMR9AlphaBitmap_hDC;
    good.hdc = &painter;
    good.rSrc = {0, 0, kWidth, kHeight};
    struct Case {
        const char* name;
        std::function<void(VMR9AlphaBitmap&)> spoil;
    };
    const Case cases[] = {
        {"hDC and EntireDDS", [](VMR9AlphaBitmap& b) { b.dwFlags |= VMR9AlphaBitmap_EntireDDS; }},
        {"no painter", [](VMR9AlphaBitmap& b) { b.hdc = nullptr; }},
        {"inactive painter", [&](VMR9AlphaBitmap& b) { b.hdc = &inactive; }},
        {"no surface", [](VMR9AlphaBitmap& b) { b.dwFlags = VMR9AlphaBitmap_EntireDDS; }},
        {"opacity above 1", [](VMR9AlphaBitmap& b) { b.fAlpha = 1.5f; }},
        {"opacity below 0", [](VMR9AlphaBitmap& b) { b.fAlpha = -0.1f; }},
        {"source outside", [](VMR9AlphaBitmap& b) { b.rSrc.right = kWidth + 1; }},
        {"empty source", [](VMR9AlphaBitmap& b) { b.rSrc.right = 0; }},
        {"destination outside", [](VMR9AlphaBitmap& b) { b.rDest.right = 2; }},
        {"empty destination", [](VMR9AlphaBitmap& b) { b.rDest.top = b.rDest.bottom; }},
    };
    for (const Case& c : cases) {
        VMR9AlphaBitmap bad = good;
        c.spoil(bad);
        EXPECT_EQ(v.renderer->SetAlphaBitmap(&bad), E_INVALIDARG) << c.name;
    }
    EXPECT_EQ(v.renderer->SetAlphaBitmap(nullptr), E_POINTER);
    // No bitmap yet: parameters alone cannot be updated.
    EXPECT_EQ(v.renderer->UpdateAlphaBitmapParameters(&good), E_INVALIDARG);
    EXPECT_EQ(v.renderer->SetAlphaBitmap(&good), S_OK);
}

} // namespace

namespace {

// An RGB32 format of `width` x `height` written by hand, top-down.
TVideoFormat Rgb32Format(int width, int height) {
    TVideoFormat f;
    f.subtype = MEDIASUBTYPE_RGB32;
    f.bitmapWidth = width;
    f.bitmapHeight = height;
    f.topDown = true;
    f.stride = width * 4;
    f.picture = QRect(0, 0, width, height);
    return f;
}

} // namespace

TEST(VideoRendererFrameCopy, EveryPixelIsCopiedAndMadeOpaqueWhateverTheWidth) {
    for (int width : {1, 3, 4, 5, 17, 64}) {
        SCOPED_TRACE(width);
        const TVideoFormat f = Rgb32Format(width, 3);
        std::vector<BYTE> payload(size_t(f.BufferSize()));
        for (size_t i = 0; i < payload.size(); ++i)
            payload[i] = BYTE(i * 7 + 1); // the fourth byte of each pixel is anything but 0xFF
        QImage image;
        ASSERT_TRUE(f.CopyInto(payload.data(), qsizetype(payload.size()), image));
        ASSERT_EQ(image.size(), QSize(width, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) {
                const BYTE* p = payload.data() + (y * width + x) * 4;
                // The stored word, not pixel(), which would make any pixel look opaque.
                const uint32_t stored =
                    reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x];
                EXPECT_EQ(stored, qRgb(p[2], p[1], p[0])) << x << "," << y;
            }
    }
}

TEST(VideoRendererFrameCopy, AnImageSharedElsewhereIsNeverOverwritten) {
    const TVideoFormat f = Rgb32Format(8, 2);
    std::vector<BYTE> first(size_t(f.BufferSize()), 0x10);
    std::vector<BYTE> second(size_t(f.BufferSize()), 0x80);
    QImage image;
    ASSERT_TRUE(f.CopyInto(first.data(), qsizetype(first.size()), image));
    const QImage kept = image; // someone still holds the first frame, as a paint does
    ASSERT_TRUE(f.CopyInto(second.data(), qsizetype(second.size()), image));
    EXPECT_EQ(kept.pixel(0, 0), qRgb(0x10, 0x10, 0x10));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
    // An unshared image of the right size is filled in place.
    const uchar* pixels = image.constBits();
    ASSERT_TRUE(f.CopyInto(first.data(), qsizetype(first.size()), image));
    EXPECT_EQ(image.constBits(), pixels);
    EXPECT_FALSE(f.CopyInto(first.data(), qsizetype(first.size()) - 1, image));
}
