// The video renderer's windowless control: the picture in the clipping window at the
// destination rectangle, letter-boxing, source rectangle, repaint through a painter, and the
// life of the surface widget with its window.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/RendererTestBed.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <thread>

#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr LONG kWidth = 64;
constexpr LONG kHeight = 48;
const QColor kHostColor(30, 60, 90);

// A host window with a plain background colour.
std::unique_ptr<QWidget> MakeHost(int width = 320, int height = 240) {
    auto host = std::make_unique<QWidget>();
    host->resize(width, height);
    QPalette palette = host->palette();
    palette.setColor(QPalette::Window, kHostColor);
    host->setPalette(palette);
    host->setAutoFillBackground(true);
    host->show();
    return host;
}

// What the window shows once the events posted to the GUI thread have run.
QImage Shown(QWidget& host) {
    for (int i = 0; i < 5; ++i)
        PumpUntil([] { return false; }, 5);
    return host.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

RECT Rect(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

// Shows the whole picture at `destination`.
HRESULT Place(IVMRWindowlessControl9* renderer, RECT destination) {
    return renderer->SetVideoPosition(nullptr, &destination);
}

// A paused graph of a pattern clip shown in a host window.
struct Windowed : TVideoBed {
    explicit Windowed(TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth,
                                                                  kHeight, 10))
        : TVideoBed(std::move(config)) {
        EXPECT_EQ(connected, S_OK);
        EXPECT_EQ(renderer->SetVideoClippingWindow(host.get()), S_OK);
        EXPECT_TRUE(PauseAndWait());
    }
    std::unique_ptr<QWidget> host = MakeHost();
};

// A clip of one colour per quadrant.
TRendererSourceConfig QuadrantVideo(LONG width, LONG height) {
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, width, height, 4);
    config.fill = [=](int, BYTE* data, LONG size) {
        QImage image(width, height, QImage::Format_RGB32);
        QPainter p(&image);
        p.fillRect(0, 0, width / 2, height / 2, QColor(255, 0, 0));
        p.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(0, 255, 0));
        p.fillRect(0, height / 2, width / 2, height - height / 2, QColor(0, 0, 255));
        p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2,
                   QColor(255, 255, 255));
        p.end();
        return WriteBitmap(image, data, size, 4, false);
    };
    return config;
}

// Empty when every pixel of `area` in `image` has the colour, else the first that has not.
std::string AreaDifference(const QImage& image, const QRect& area, QColor color) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (color.rgb() & 0xFFFFFF))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                       QColor(image.pixel(x, y)).name().toStdString() + ", expected " +
                       color.name().toStdString();
    return {};
}

TEST(VideoRendererWindow, ThePictureIsShownAtTheDestinationInTheWindow) {
    Windowed w;
    ASSERT_EQ(Place(w.renderer.Get(), Rect(20, 30, kWidth, kHeight)), S_OK);
    const QImage shown = Shown(*w.host);
    EXPECT_EQ(
        ImageDifference(shown.copy(20, 30, kWidth, kHeight), PatternImage(0, kWidth, kHeight)), "");
    EXPECT_EQ(AreaDifference(shown, QRect(0, 0, 320, 30), kHostColor), "");
    EXPECT_EQ(AreaDifference(shown, QRect(0, 30, 20, kHeight), kHostColor), "");
    EXPECT_EQ(AreaDifference(shown, QRect(20 + kWidth, 30, 100, kHeight), kHostColor), "");
    // A new frame is painted there without being asked.
    ASSERT_TRUE(w.SeekAndWait(5));
    EXPECT_EQ(ImageDifference(Shown(*w.host).copy(20, 30, kWidth, kHeight),
                              PatternImage(5, kWidth, kHeight)),
              "");
    RECT src, dst;
    ASSERT_EQ(w.renderer->GetVideoPosition(&src, &dst), S_OK);
    EXPECT_EQ(src, Rect(0, 0, kWidth, kHeight));
    EXPECT_EQ(dst, Rect(20, 30, kWidth, kHeight));
}

struct AspectCase {
    const char* name;
    DWORD mode;
    RECT destination;
    QRect picture; // where the picture lands
};

TEST(VideoRendererWindow, TheAspectRatioModeLetterBoxesInTheBorderColour) {
    // 64 x 48 is 4:3.
    const AspectCase cases[] = {
        {"stretched", VMR9ARMode_None, Rect(10, 10, 200, 100), QRect(10, 10, 200, 100)},
        {"bars left and right", VMR9ARMode_LetterBox, Rect(10, 10, 200, 100),
         QRect(43, 10, 133, 100)},
        {"bars above and below", VMR9ARMode_LetterBox, Rect(10, 10, 100, 200),
         QRect(10, 72, 100, 75)},
        {"exact fit", VMR9ARMode_LetterBox, Rect(0, 0, 128, 96), QRect(0, 0, 128, 96)},
    };
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight, 2);
    config.fill = [](int, BYTE* data, LONG size) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(QColor(200, 100, 50));
        return WriteBitmap(image, data, size, 4, false);
    };
    Windowed w(config);
    const QColor border(0, 128, 255);
    ASSERT_EQ(w.renderer->SetBorderColor(RGB(0, 128, 255)), S_OK);
    COLORREF read = 0;
    ASSERT_EQ(w.renderer->GetBorderColor(&read), S_OK);
    EXPECT_EQ(read, RGB(0, 128, 255));
    for (const AspectCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(w.renderer->SetAspectRatioMode(c.mode), S_OK);
        DWORD mode = 99;
        ASSERT_EQ(w.renderer->GetAspectRatioMode(&mode), S_OK);
        EXPECT_EQ(mode, c.mode);
        ASSERT_EQ(w.renderer->SetVideoPosition(nullptr, &c.destination), S_OK);
        const QImage shown = Shown(*w.host);
        EXPECT_EQ(AreaDifference(shown, c.picture.adjusted(1, 1, -1, -1), QColor(200, 100, 50)),
                  "");
        const QRect dst(QPoint(c.destination.left, c.destination.top),
                        QPoint(c.destination.right - 1, c.destination.bottom - 1));
        const QRegion bars = QRegion(dst).subtracted(c.picture.adjusted(-1, -1, 1, 1));
        for (const QRect& bar : bars)
            EXPECT_EQ(AreaDifference(shown, bar, border), "");
        EXPECT_EQ(AreaDifference(shown, QRect(dst.right() + 1, 0, 2, 240), kHostColor), "");
    }
    EXPECT_EQ(w.renderer->SetAspectRatioMode(2), E_INVALIDARG);
}

TEST(VideoRendererWindow, TheSourceRectangleChoosesThePartShown) {
    Windowed w(QuadrantVideo(kWidth, kHeight));
    // The top-left quadrant over the whole destination.
    const RECT src = Rect(0, 0, kWidth / 2, kHeight / 2);
    const RECT dst = Rect(0, 0, kWidth, kHeight);
    ASSERT_EQ(w.renderer->SetVideoPosition(&src, &dst), S_OK);
    EXPECT_EQ(AreaDifference(Shown(*w.host), QRect(2, 2, kWidth - 4, kHeight - 4), Qt::red), "");
    RECT readSrc;
    ASSERT_EQ(w.renderer->GetVideoPosition(&readSrc, nullptr), S_OK);
    EXPECT_EQ(readSrc, src);
    // The current image is the whole picture whatever part the window shows.
    EXPECT_EQ(w.CurrentImage().size(), QSize(kWidth, kHeight));
}

TEST(VideoRendererWindow, PositionsAreChecked) {
    Windowed w;
    const RECT reversed{50, 10, 10, 50};
    const RECT outside = Rect(0, 0, kWidth + 1, kHeight);
    const RECT empty = Rect(5, 5, 0, 10);
    EXPECT_EQ(w.renderer->SetVideoPosition(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(w.renderer->SetVideoPosition(nullptr, &reversed), E_INVALIDARG);
    EXPECT_EQ(w.renderer->SetVideoPosition(&outside, nullptr), E_INVALIDARG);
    EXPECT_EQ(w.renderer->SetVideoPosition(&empty, nullptr), E_INVALIDARG);
    EXPECT_EQ(w.renderer->GetVideoPosition(nullptr, nullptr), E_POINTER);
    // An empty destination shows nothing.
    const RECT none{};
    ASSERT_EQ(w.renderer->SetVideoPosition(nullptr, &none), S_OK);
    EXPECT_EQ(AreaDifference(Shown(*w.host), QRect(0, 0, 320, 240), kHostColor), "");
}

TEST(VideoRendererWindow, RepaintVideoPaintsThroughTheGivenPainter) {
    Windowed w;
    ASSERT_EQ(Place(w.renderer.Get(), Rect(8, 16, kWidth, kHeight)), S_OK);
    QImage target(160, 120, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        ASSERT_EQ(w.renderer->RepaintVideo(w.host.get(), &painter), S_OK);
    }
    EXPECT_EQ(
        ImageDifference(target.copy(8, 16, kWidth, kHeight), PatternImage(0, kWidth, kHeight)), "");
    EXPECT_EQ(AreaDifference(target, QRect(0, 0, 160, 16), Qt::white), "");
    EXPECT_EQ(w.renderer->RepaintVideo(nullptr, nullptr), E_POINTER);
}

TEST(VideoRendererWindow, TheFlippedAndInlaidImageIsWhatTheWindowShows) {
    Windowed w;
    const VMR9NormalizedRect flip{0, 1, 1, 0};
    ASSERT_EQ(w.renderer->SetOutputRect(0, &flip), S_OK);
    QImage bitmap(kWidth, kHeight, QImage::Format_RGB32);
    bitmap.fill(QColor(255, 0, 255));
    bitmap.setPixel(3, 3, qRgb(0, 255, 0));
    VMR9AlphaBitmap ab;
    ab.dwFlags = VMR9AlphaBitmap_EntireDDS | VMR9AlphaBitmap_SrcColorKey;
    ab.pDDS = &bitmap;
    ab.clrSrcKey = RGB(255, 0, 255);
    ASSERT_EQ(w.renderer->SetAlphaBitmap(&ab), S_OK);
    ASSERT_EQ(Place(w.renderer.Get(), Rect(0, 0, kWidth, kHeight)), S_OK);
    QImage expected = PatternImage(0, kWidth, kHeight).mirrored(false, true);
    expected.setPixel(3, 3, qRgb(0, 255, 0));
    EXPECT_EQ(ImageDifference(w.CurrentImage(), expected), "");
    EXPECT_EQ(ImageDifference(Shown(*w.host).copy(0, 0, kWidth, kHeight), expected), "");
}

TEST(VideoRendererWindow, TheSurfaceFollowsItsWindowAndLetsTheMouseThrough) {
    Windowed w;
    ASSERT_EQ(Place(w.renderer.Get(), Rect(10, 10, kWidth, kHeight)), S_OK);
    Shown(*w.host);
    QWidget* surface = w.renderer->Surface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->parentWidget(), w.host.get());
    EXPECT_TRUE(surface->isVisible());
    // Clicks on the video reach the window itself.
    EXPECT_EQ(w.host->childAt(30, 30), nullptr);
    // Another window takes the surface along.
    std::unique_ptr<QWidget> other = MakeHost(200, 150);
    ASSERT_EQ(w.renderer->SetVideoClippingWindow(other.get()), S_OK);
    EXPECT_EQ(w.renderer->Surface()->parentWidget(), other.get());
    EXPECT_TRUE(w.host->findChildren<QWidget*>().isEmpty());
    EXPECT_EQ(ImageDifference(Shown(*other).copy(10, 10, kWidth, kHeight),
                              PatternImage(0, kWidth, kHeight)),
              "");
    // The window goes first: the renderer carries on without it.
    other.reset();
    EXPECT_EQ(w.renderer->Surface(), nullptr);
    EXPECT_TRUE(w.SeekAndWait(2));
    EXPECT_EQ(ImageDifference(w.CurrentImage(), PatternImage(2, kWidth, kHeight)), "");
    EXPECT_EQ(w.renderer->SetVideoClippingWindow(nullptr), S_OK);
}

TEST(VideoRendererWindow, ADisconnectedRendererLeavesTheWindowToItsOwner) {
    Windowed w;
    ASSERT_EQ(Place(w.renderer.Get(), Rect(0, 0, kWidth, kHeight)), S_OK);
    EXPECT_EQ(ImageDifference(Shown(*w.host).copy(0, 0, kWidth, kHeight),
                              PatternImage(0, kWidth, kHeight)),
              "");
    w.control->Stop();
    ASSERT_EQ(w.graph->RemoveFilter(w.renderer.Get()), S_OK);
    EXPECT_EQ(AreaDifference(Shown(*w.host), QRect(0, 0, 320, 240), kHostColor), "");
}

TEST(VideoRendererWindow, WindowCallsComeFromTheGuiThread) {
    Windowed w;
    HRESULT fromWorker = S_OK, repaintFromWorker = S_OK;
    std::thread worker([&] {
        fromWorker = w.renderer->SetVideoClippingWindow(w.host.get());
        repaintFromWorker = w.renderer->RepaintVideo(w.host.get(), nullptr);
    });
    worker.join();
    EXPECT_EQ(fromWorker, RPC_E_WRONG_THREAD);
    EXPECT_EQ(repaintFromWorker, RPC_E_WRONG_THREAD);
    // Positions may be set from any thread; the window follows on the GUI thread.
    HRESULT position = E_FAIL;
    std::thread setter([&] {
        const RECT dst = Rect(40, 40, kWidth, kHeight);
        position = w.renderer->SetVideoPosition(nullptr, &dst);
    });
    setter.join();
    EXPECT_EQ(position, S_OK);
    EXPECT_EQ(ImageDifference(Shown(*w.host).copy(40, 40, kWidth, kHeight),
                              PatternImage(0, kWidth, kHeight)),
              "");
}

} // namespace
