// The video window as the user sees it: where the picture goes in the host and on the full
// screen, the frame and the bands around it in the host's pixels, the flips in the mixer's output
// rectangle, the full-screen hint and the separate window's close box.
#include "presentation/uWindowLessMan.h"

#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "media/uDecoders.h"
#include "media/uMediaFactory.h"
#include "media/uNavMan.h"
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/ProcessMessages.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class WindowLessMan : public testing::Test {
protected:
    void SetUp() override {
        man.BuildActions();
        host.resize(400, 300);
        QPalette p = host.palette();
        p.setColor(QPalette::Window, QColor(10, 90, 30));
        host.setPalette(p);
        host.setAutoFillBackground(true);
        host.show();
        man.SetWindow(&host);
    }
    struct TRegistered {
        TRegistered() { RegisterPlatformFilters(); }
    };
    TRegistered registered; // before the component makes its renderer
    QWidget host;
    TWindowLessMan man;
};

TEST_F(WindowLessMan, A16To9PictureSitsInItsFrameInTheHost) {
    ASSERT_TRUE(man.Windowless());
    man.SetAspect(16, 9);
    const TRect r = man.WindowVideoRect();
    EXPECT_EQ(r, (TRect{8, 42, 392, 258})); // 384 x 216 in the 384 x 284 box
    RECT src{}, dst{};
    ASSERT_EQ(man.Windowless()->GetVideoPosition(&src, &dst), S_OK);
    EXPECT_EQ(dst.left, 8);
    EXPECT_EQ(dst.top, 42);
    EXPECT_EQ(dst.right, 392);
    EXPECT_EQ(dst.bottom, 258);

    // The host's pixels: its colour outside the frame, the frame's colour around the picture.
    const QImage shot = host.grab().toImage();
    const QRgb hostColour = qRgb(10, 90, 30), frame = qRgb(192, 192, 192);
    EXPECT_EQ(shot.pixel(200, 10), hostColour);
    EXPECT_EQ(shot.pixel(200, 290), hostColour);
    EXPECT_EQ(shot.pixel(4, 150), frame);
    EXPECT_EQ(shot.pixel(396, 150), frame);
    EXPECT_EQ(shot.pixel(200, 38), frame);
    EXPECT_EQ(shot.pixel(200, 261), frame);
    shot.save(QStringLiteral("windowless-host-16x9.png"));

    // A resize of the host places the picture again; a wider frame too.
    host.resize(800, 300);
    QApplication::processEvents();
    EXPECT_EQ(man.WindowVideoRect(), (TRect{148, 8, 652, 292})); // 504 x 284, centred
    man.iaWinBorderWidth->SetValue(20);
    EXPECT_EQ(man.WindowVideoRect(), (TRect{169, 20, 631, 280})); // 462 x 260
}

TEST_F(WindowLessMan, TheFlipsTurnTheMixersOutputRectangle) {
    ASSERT_TRUE(man.Mixer());
    VMR9NormalizedRect r;
    man.caFlipVertical->SetChecked(true);
    man.caFlipHorizontal->SetChecked(true);
    ASSERT_EQ(man.Mixer()->GetOutputRect(0, &r), S_OK);
    EXPECT_EQ(r.left, 1.0f);
    EXPECT_EQ(r.top, 1.0f);
    EXPECT_EQ(r.right, 0.0f);
    EXPECT_EQ(r.bottom, 0.0f);
    man.caFlipVertical->SetChecked(false);
    ASSERT_EQ(man.Mixer()->GetOutputRect(0, &r), S_OK);
    EXPECT_EQ(r.top, 0.0f);
    EXPECT_EQ(r.bottom, 1.0f);
    EXPECT_EQ(r.left, 1.0f);
}

TEST_F(WindowLessMan, FullScreenFillsTheMonitorAndShowsItsHintOnlyWithAnInterval) {
    man.SetAspect(4, 3);
    const QRect monitor = host.screen()->geometry();
    man.iaTimerInterval->SetValue(0);
    man.caFullscreen->SetChecked(true);
    ASSERT_TRUE(man.Plaque()->isVisible());
    EXPECT_FALSE(man.Plaque()->PanelQuit()->isVisible()) << "interval 0: no hint";
    const TRect r = man.FullScreenVideoRect();
    EXPECT_LE(r.Height(), monitor.height() - 16);
    EXPECT_NEAR(double(r.Width()) / r.Height(), 4.0 / 3.0, 0.01);
    EXPECT_EQ(r.Left + r.Right, monitor.width()); // centred
    EXPECT_EQ(man.Plaque()->Shape()->geometry(),
              QRect(r.Left - 8, r.Top - 8, r.Width() + 16, r.Height() + 16));
    man.caFullscreen->SetChecked(false);
    EXPECT_FALSE(man.Plaque()->isVisible());

    man.iaTimerInterval->SetValue(100);
    man.caFullscreen->SetChecked(true);
    EXPECT_TRUE(man.Plaque()->PanelQuit()->isVisible());
    EXPECT_TRUE(man.HintTimer().isActive());
    QElapsedTimer t;
    t.start();
    while (man.Plaque()->PanelQuit()->isVisible() && t.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(man.Plaque()->PanelQuit()->isVisible()) << "the hint goes when the timer fires";
    man.caFullscreen->SetChecked(false);
}

TEST_F(WindowLessMan, TheSeparateWindowsCloseBoxBringsTheVideoBack) {
    man.caPreviewform->SetChecked(true);
    ASSERT_TRUE(man.PreviewWindow()->isVisible());
    EXPECT_EQ(man.Host(), man.PreviewWindow());
    man.PreviewWindow()->close();
    EXPECT_FALSE(man.caPreviewform->Checked());
    EXPECT_FALSE(man.PreviewWindow()->isVisible());
    EXPECT_EQ(man.Host(), &host);
}

TEST_F(WindowLessMan, TheRendererMovesBetweenGraphs) {
    const ComPtr<IGraphBuilder> first = CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
    const ComPtr<IGraphBuilder> second = CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
    ASSERT_TRUE(first && second);
    man.SetRendererGraph(first.Get());
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(first->FindFilterByName(u"Zv VideoWindow", found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), man.Renderer());
    man.SetRendererGraph(second.Get());
    EXPECT_TRUE(FiltersOf(first.Get()).empty());
    EXPECT_EQ(FiltersOf(second.Get()).size(), 1u);
    man.SetRendererGraph(nullptr);
    EXPECT_TRUE(FiltersOf(second.Get()).empty());
}

// A 720 x 576 MPEG-2 clip of colour bars, paused on its first frame in the video window.
class WindowLessManOnClip : public WindowLessMan {
protected:
    void SetUp() override {
        WindowLessMan::SetUp();
        const QString path = dir.filePath(QStringLiteral("bars.mpg"));
        const kelvara::test::TRun made =
            kelvara::test::RunTool(QStringLiteral("kelvara-mksample"),
                                   {QStringLiteral("mpeg2"), path, QStringLiteral("--seconds"),
                                    QStringLiteral("1"), QStringLiteral("--no-audio")});
        ASSERT_EQ(made.ExitCode, 0) << made.Err.toStdString();
        factory.SetGrapheMan(&nav);
        TFileDevice* device = factory.GetDevice(path);
        ASSERT_TRUE(device && device->VideoSource(0));
        video = device->VideoSource(0);
        ASSERT_TRUE(video->Connect(&nav, man.Handle()));
        man.SetRendererGraph(nav.GraphBuilder());
        decoders.SetGraph(&nav);
        decoders.SetLinks(&VideoExclusions(), &VideoDecoderMemory(), NoVideoDecoder());
        ASSERT_TRUE(decoders.ConnectDecoder(video->TapFilter(), man.Renderer()));
        nav.SetRendererState(QueryInterfaceOf<IMediaFilter>(man.Renderer()).Get());
        man.SetAspect(16, 9);
        ASSERT_TRUE(nav.Pause());
        nav.WaitForRenderer();
        QApplication::processEvents();
    }
    void TearDown() override {
        nav.Stop();
        decoders.RemoveCurrentDecoder();
        man.SetRendererGraph(nullptr);
        if (video)
            video->Disconnect();
    }
    QTemporaryDir dir;
    TNavMan nav;
    TMediaFactory factory;
    TDecoderMan decoders;
    TVideoSource* video = nullptr;
};

// A paused clip shows its first frame inside the frame, flipped when asked.
TEST_F(WindowLessManOnClip, APausedClipsFrameFillsThePictureInsideTheFrame) {
    const QImage shown = host.grab().toImage();
    shown.save(QStringLiteral("windowless-host-paused-clip.png"));
    const TRect r = man.WindowVideoRect();
    const QRgb hostColour = qRgb(10, 90, 30), frame = qRgb(192, 192, 192);
    EXPECT_EQ(shown.pixel(r.Left - 4, (r.Top + r.Bottom) / 2), frame);
    // Colour bars: the picture covers the rectangle, left and right ends differ.
    const QRgb left = shown.pixel(r.Left + 10, (r.Top + r.Bottom) / 2);
    const QRgb right = shown.pixel(r.Right - 10, (r.Top + r.Bottom) / 2);
    EXPECT_NE(left, hostColour);
    EXPECT_NE(left, frame);
    EXPECT_NE(left, right);
    // Flipped horizontally, the ends change places.
    man.caFlipHorizontal->SetChecked(true);
    nav.RefreshFrame();
    QApplication::processEvents();
    const QImage flipped = host.grab().toImage();
    flipped.save(QStringLiteral("windowless-host-paused-clip-flipped.png"));
    EXPECT_EQ(flipped.pixel(r.Left + 10, (r.Top + r.Bottom) / 2), right);
}

// The bounding box of the pixels of an inlay bitmap that are not its key colour.
QRect Drawn(const QImage& bitmap, QRgb key) {
    QRect box;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if ((bitmap.pixel(x, y) & 0xFFFFFFu) != (key & 0xFFFFFFu))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool HasColour(const QImage& bitmap, QRgb colour) {
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if ((bitmap.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu))
                return true;
    return false;
}

TEST_F(WindowLessManOnClip, TheInlaySitsOnItsAnchorWithItsOutlineAndShowsOverTheVideo) {
    const QImage before = host.grab().toImage();
    man.SetAutoSize(true);
    man.SetInsertAlignLines(2);
    man.SetInsertPosition({5000, 8200});
    man.SetInsertBorderColor(QColor(0, 255, 0));
    man.caInsertTextOn->SetChecked(true);
    ASSERT_TRUE(man.InlayActive());
    EXPECT_EQ(man.InlayFontSize(), 20); // 720 div 36 = 576 div 28 = 20
    const QImage& bitmap = man.InlayBitmap();
    ASSERT_EQ(bitmap.size(), QSize(720, 576));
    const QRgb key = qRgb(255, 0, 255);
    const QRect drawn = Drawn(bitmap, key);
    ASSERT_FALSE(drawn.isEmpty());
    // Centred on x = 360 plus the border, its top at y = 472 plus the border (the outline
    // reaches the border width above it).
    EXPECT_NEAR(drawn.center().x(), 362, 3);
    EXPECT_GE(drawn.top(), 472);
    EXPECT_LE(drawn.top(), 472 + 2 + 12);
    EXPECT_TRUE(HasColour(bitmap, qRgb(0, 255, 0))) << "the outline";
    bitmap.save(QStringLiteral("inlay-bitmap.png"));

    // Over the video: the host's pixels change where the inlay lies, and not far above it.
    nav.RefreshFrame();
    QApplication::processEvents();
    const QImage after = host.grab().toImage();
    after.save(QStringLiteral("windowless-host-inlay.png"));
    const TRect r = man.WindowVideoRect();
    const auto toHost = [&](QPoint p) {
        return QPoint(r.Left + p.x() * r.Width() / 720, r.Top + p.y() * r.Height() / 576);
    };
    int changedInside = 0;
    for (int y = drawn.top(); y <= drawn.bottom(); y += 2)
        for (int x = drawn.left(); x <= drawn.right(); x += 2) {
            const QPoint p = toHost({x, y});
            changedInside += before.pixel(p) != after.pixel(p);
        }
    EXPECT_GT(changedInside, 10);
    const QPoint above = toHost({360, 200});
    EXPECT_EQ(before.pixel(above), after.pixel(above));

    // Without a border the text is drawn once: no outline colour anywhere.
    man.SetInsertBorderWidth(0);
    EXPECT_FALSE(HasColour(man.InlayBitmap(), qRgb(0, 255, 0)));
    // Off, the renderer drops the bitmap.
    man.caInsertTextOn->SetChecked(false);
    VMR9AlphaBitmap params;
    ASSERT_TRUE(man.MixerBitmap());
    man.MixerBitmap()->GetAlphaBitmapParameters(&params);
    EXPECT_TRUE(params.dwFlags & VMR9AlphaBitmap_Disable);
}

} // namespace
