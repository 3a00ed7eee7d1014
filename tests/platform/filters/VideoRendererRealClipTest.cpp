// The renderers on a real clip: the numbers clip of kelvara-mksample (H.264 and AAC in MP4),
// opened by the "LAV Splitter Source", decoded by the decoders that intelligent connect picks,
// and played in real time into the windowless video renderer (in an offscreen window) and the
// audio renderer, whose clock times the graph.
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"
#include "tests/platform/filters/support/RendererTestBed.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

TRgbImage RgbImageOf(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    TRgbImage out;
    out.width = rgb.width();
    out.height = rgb.height();
    out.pixels.resize(size_t(out.width) * size_t(out.height) * 4);
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.pixels.data() + size_t(y) * size_t(out.width) * 4, rgb.constScanLine(y),
                    size_t(out.width) * 4);
    return out;
}

TRgbImage Mirrored(const TRgbImage& image) {
    TRgbImage out = image;
    const size_t row = size_t(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(out.pixels.data() + size_t(y) * row,
                    image.pixels.data() + size_t(image.height - 1 - y) * row, row);
    return out;
}

TEST(VideoRendererRealClip, ANumbersClipPlaysInRealTimeIntoBothRenderers) {
    const QString path = Clip(QStringLiteral("renderers-numbers.mp4"), QStringLiteral("numbers"),
                              {QStringLiteral("--seconds"), QStringLiteral("1")});
    ASSERT_FALSE(path.isEmpty());
    const TReference count = DecodeReference(path.toStdString(), {});
    ASSERT_GT(count.frameCount, 10);
    const int middle = count.frameCount / 2;
    const TReference ref = DecodeReference(path.toStdString(), {middle});

    RegisterPlatformFilters();
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<CVideoMixingRenderer9> video = MakeComObject<CVideoMixingRenderer9>();
    ComPtr<CAudioRenderer> audio = MakeComObject<CAudioRenderer>();
    ASSERT_EQ(video->SetRenderingMode(VMR9Mode_Windowless), S_OK);
    ASSERT_EQ(video->SetNumberOfStreams(4), S_OK);
    QWidget window;
    window.resize(400, 300);
    window.show();
    ASSERT_EQ(video->SetVideoClippingWindow(&window), S_OK);
    ComPtr<IBaseFilter> source = CreateInstanceOf<IBaseFilter>(CLSID_LAVSplitterSource);
    ASSERT_TRUE(source);
    ASSERT_EQ(source.As<IFileSourceFilter>()->Load(WStr(path), nullptr), S_OK);
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(video.Get(), u"Zv VideoWindow");
    graph->AddFilter(audio.Get(), u"Zv Audio Renderer");
    for (int i = 0; ComPtr<IPin> pin = PinOf(source.Get(), PINDIR_OUTPUT, i); ++i)
        EXPECT_TRUE(SUCCEEDED(graph->Render(pin.Get()))) << "output " << i;
    ASSERT_TRUE(video->InputPin()->IsConnected());
    ASSERT_TRUE(audio->InputPin()->IsConnected());
    LONG width = 0, height = 0;
    ASSERT_EQ(video->GetNativeVideoSize(&width, &height, nullptr, nullptr), S_OK);
    ASSERT_EQ(width, ref.pictures.at(middle).width);
    ASSERT_EQ(height, ref.pictures.at(middle).height);
    const RECT whole{0, 0, width, height};
    ASSERT_EQ(video->SetVideoPosition(nullptr, &whole), S_OK);

    // Played in real time against the audio renderer's clock: every frame is drawn, the last
    // one stays on show in the window.
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(graph.As<IMediaFilter>()->GetSyncSource(clock.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(clock.Get(), audio.As<IReferenceClock>().Get());
    ASSERT_EQ(WaitForCompletion(graph.Get(), 60000), EC_COMPLETE);
    int drawn = 0;
    ASSERT_EQ(video->get_FramesDrawn(&drawn), S_OK);
    EXPECT_EQ(drawn, count.frameCount);
    PumpUntil([] { return false; }, 50);
    const QImage shown = window.grab(QRect(0, 0, width, height)).toImage();
    EXPECT_EQ(ReadNumber(RgbImageOf(shown)), count.frameCount - 1);

    // Paused on the middle frame, flipped vertically: the current image is that frame of an
    // independent decode, mirrored.
    const VMR9NormalizedRect flip{0, 1, 1, 0};
    ASSERT_EQ(video->SetOutputRect(0, &flip), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    LONGLONG at = ref.pts[size_t(middle)] - ref.pts[0];
    ASSERT_EQ(graph.As<IMediaSeeking>()->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                                      AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return StateOf(graph.Get(), 0).result == S_OK; }, 30000));
    BYTE* dib = nullptr;
    ASSERT_EQ(video->GetCurrentImage(&dib), S_OK);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const TRgbImage current = ImageOfDib(dib, header->biSize + size_t(header->biSizeImage));
    CoTaskMemFree(dib);
    const TRgbImage expected = Mirrored(ref.pictures.at(middle));
    EXPECT_GT(Psnr(current, expected), 45.0);
    EXPECT_EQ(ReadNumber(Mirrored(current)), middle);
    control->Stop();
}

} // namespace
