// What one stream may take: pictures larger than the program shows are refused where the
// decoder connects, with their own code, and the renderer takes none; a splitter sample whose
// packet cannot be made for want of memory says so instead of crashing.
#include "platform/filters/DecoderFamily.h"
#include "platform/filters/FilterGuids.h"
#include "platform/filters/PacketAllocator.h"
#include "platform/filters/VideoDecoder.h"
#include "platform/filters/VideoRendererFormat.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

CMediaType VideoType(REFGUID subtype, uint32_t compression, int width, int height) {
    CMediaType mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = compression == BI_RGB ? 32 : 24;
    vih.bmiHeader.biCompression = compression;
    vih.AvgTimePerFrame = 400000;
    mt.SetFormat(vih);
    return mt;
}

TEST(PictureLimits, PicturesLargerThanTheProgramShowsAreRefused) {
    struct TCase {
        int width, height;
        bool shown;
    };
    const TCase cases[] = {
        {1920, 1080, true},   {8192, 4352, true},  {4352, 8192, true},
        {8192, 4353, false},  {8193, 16, false},   {16, 8193, false},
        {16016, 1080, false}, {8192, 8192, false}, {12000, 12000, false},
    };
    ComPtr<TVideoDecoder> decoder = MakeComObject<TVideoDecoder>(
        "FFmpeg Video Decoder", CLSID_FFmpegVideoDecoder, TDecoderFamily::All);
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const CMediaType mjpeg =
            VideoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), c.width, c.height);
        EXPECT_EQ(decoder->CheckInputType(&mjpeg), c.shown ? S_OK : KELVARA_E_PICTURE_TOO_LARGE);
        const CMediaType rgb = VideoType(MEDIASUBTYPE_RGB32, BI_RGB, c.width, -c.height);
        EXPECT_EQ(TVideoFormat::FromMediaType(rgb).has_value(), c.shown);
    }
}

TEST(PictureLimits, AClipTooLargeToShowSaysSoWhenItsVideoConnects) {
    // Wider than the largest side, small in area: quick to make.
    TVideoClipRecipe recipe;
    recipe.encoder = "mjpeg";
    recipe.format = AV_PIX_FMT_YUVJ420P;
    recipe.width = 8200;
    recipe.height = 16;
    recipe.frames = 3;
    recipe.gop = 1;
    recipe.pattern = TPattern::Bars;
    const QString path = ClipFolder() + "/too-wide.avi";
    ASSERT_EQ(WriteClip(path.toStdString(), "avi", &recipe, nullptr), "");
    TPlaybackGraph graph;
    ASSERT_EQ(graph.OpenStreams(path, CLSID_AsyncReader, CLSID_AviSplitter), S_OK);
    ComPtr<IPin> video;
    for (const ComPtr<IPin>& pin : PinsOf(graph.Streams())) {
        const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(pin.Get());
        if (DirectionOf(pin.Get()) == PINDIR_OUTPUT && !types.empty() &&
            types[0].majortype == MEDIATYPE_Video)
            video = pin;
    }
    ASSERT_TRUE(video);
    ComPtr<TPixelSink> sink = MakeComObject<TPixelSink>();
    ASSERT_EQ(graph.Graph()->AddFilter(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(graph.Graph()->Connect(video.Get(), PinOf(sink.Get(), PINDIR_INPUT).Get()),
              KELVARA_E_PICTURE_TOO_LARGE);
}

TEST(OutOfMemory, ASplitterSampleWhosePacketCannotBeMadeSaysSo) {
    ComPtr<TPacketAllocator> allocator = MakeComObject<TPacketAllocator>();
    ALLOCATOR_PROPERTIES wanted, actual;
    wanted.cBuffers = 2;
    wanted.cbBuffer = 1 << 20;
    ASSERT_EQ(allocator->SetProperties(&wanted, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(allocator->GetBuffer(sample.ReleaseAndGetAddressOf(), nullptr, nullptr, 0), S_OK);
    kelvara::ff::TPacketPtr packet = kelvara::ff::NewPacket();
    ASSERT_EQ(av_new_packet(packet.get(), 100), 0);
    // FFmpeg's allocations fail while the limit is 0.
    av_max_alloc(0);
    const HRESULT starved = allocator->AttachPacket(sample.Get(), packet.get());
    av_max_alloc(INT_MAX);
    EXPECT_EQ(starved, E_OUTOFMEMORY);
    EXPECT_EQ(sample->GetActualDataLength(), 0);
    // With memory again the same sample takes the packet.
    EXPECT_EQ(allocator->AttachPacket(sample.Get(), packet.get()), S_OK);
    EXPECT_EQ(sample->GetActualDataLength(), 100);
}

} // namespace
