// The timing rules the program relies on: media times count from the file's first frame
// whatever start time the container carries; frames leave the decoders in presentation order on
// the stream's frame grid, B-frames included; a seek to T sends NewSegment(T) and restarts at a
// key frame before T with preroll samples, which the decoder decodes and does not deliver, so
// that the first frame delivered is the one at T; a stop position ends the stream there.
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/filters/VideoDecoder.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"

#include <mutex>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr REFERENCE_TIME kFrame = 400000;

struct TGridCase {
    const char* name;
    std::function<QString()> make;
    CLSID source, splitter;
};

std::ostream& operator<<(std::ostream& os, const TGridCase& c) {
    return os << c.name;
}

class FrameGrid : public testing::TestWithParam<TGridCase> {};

TEST_P(FrameGrid, FramesStartAtZeroOnTheGrid) {
    const TGridCase& c = GetParam();
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(c.make(), c.source, c.splitter), S_OK);
    ASSERT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    const std::vector<TShownFrame> shown = graph.Video()->Shown();
    ASSERT_GT(shown.size(), 10u);
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(shown[i].hasTime);
        EXPECT_NEAR(double(shown[i].start), double(REFERENCE_TIME(i) * kFrame), 1.0);
        EXPECT_EQ(shown[i].stop - shown[i].start, kFrame);
    }
}

QString Mpeg2() {
    return Clip("grid.vob", "mpeg2", {"--seconds", "1"});
}

const TGridCase kGrid[] = {
    // The program stream starts at 0.5 s, the transport stream later still.
    {"MPEG-2 program stream", Mpeg2, CLSID_AsyncReader, CLSID_MMSPLITTER},
    {"MPEG-2 transport stream",
     [] {
         const QString ts = ClipFolder() + "/grid.ts";
         EXPECT_EQ(Remux(Mpeg2().toStdString(), ts.toStdString(), "mpegts"), "");
         return ts;
     },
     CLSID_LAVSplitterSource, GUID_NULL},
    {"H.264 with B-frames in MP4",
     [] {
         return Clip("grid.mp4", "h264-mp4", {"--seconds", "1", "--bframes", "3"});
     },
     CLSID_LAVSplitterSource, GUID_NULL},
    {"H.264 with B-frames in Matroska",
     [] {
         return Clip("grid.mkv", "h264-mkv", {"--seconds", "1", "--bframes", "3"});
     },
     CLSID_LAVSplitterSource, GUID_NULL},
};

INSTANTIATE_TEST_SUITE_P(Clips, FrameGrid, testing::ValuesIn(kGrid),
                         [](const testing::TestParamInfo<TGridCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

struct TSeen {
    REFERENCE_TIME start;
    bool timed, preroll, sync;
};

// source -> pass-through that records the compressed samples -> decoder -> pixel sink
struct TSeekBed {
    TSeekBed() {
        RegisterPlatformFilters();
        const QString path =
            Clip("seek.mp4", "h264-mp4", {"--seconds", "2", "--gop", "12", "--pattern", "numbers"});
        source = CreateInstanceOf<IBaseFilter>(CLSID_LAVSplitterSource);
        EXPECT_EQ(source.As<IFileSourceFilter>()->Load(WStr(path), nullptr), S_OK);
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
        pass->AcceptMajorType(MEDIATYPE_Video);
        pass->SetHook([this](IMediaSample* s) {
            TSeen seen{};
            REFERENCE_TIME stop = 0;
            seen.timed = SUCCEEDED(s->GetTime(&seen.start, &stop));
            seen.preroll = s->IsPreroll() == S_OK;
            seen.sync = s->IsSyncPoint() == S_OK;
            std::lock_guard lock(seenLock);
            this->seen.push_back(seen);
            return S_OK;
        });
        for (const ComPtr<IPin>& pin : PinsOf(source.Get())) {
            if (MediaTypesOf(pin.Get())[0].majortype != MEDIATYPE_Video)
                continue;
            EXPECT_EQ(
                graph->ConnectDirect(pin.Get(), PinOf(pass.Get(), PINDIR_INPUT).Get(), nullptr),
                S_OK);
        }
        EXPECT_EQ(graph->Connect(PinOf(pass.Get(), PINDIR_OUTPUT).Get(),
                                 PinOf(sink.Get(), PINDIR_INPUT).Get()),
                  S_OK);
        ComPtr<IPin> decoderOut;
        PinOf(sink.Get(), PINDIR_INPUT)->ConnectedTo(decoderOut.ReleaseAndGetAddressOf());
        decoder = static_cast<TVideoDecoder*>(FilterOf(decoderOut.Get()).Get());
    }
    ~TSeekBed() { graph.As<IMediaControl>()->Stop(); }

    bool PauseAt(REFERENCE_TIME t) {
        {
            std::lock_guard lock(seenLock);
            seen.clear();
        }
        sink->Clear();
        LONGLONG at = t;
        graph.As<IMediaSeeking>()->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                                AM_SEEKING_NoPositioning);
        graph.As<IMediaControl>()->Pause();
        OAFilterState state = 0;
        return graph.As<IMediaControl>()->GetState(30000, &state) == S_OK;
    }
    std::vector<TSeen> Seen() {
        std::lock_guard lock(seenLock);
        return seen;
    }
    int64_t ShownNumber() {
        TRgbImage image;
        image.width = sink->Width();
        image.height = sink->Height();
        image.pixels = sink->LastPixels();
        return ReadNumber(image);
    }

    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IBaseFilter> source;
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    ComPtr<TPixelSink> sink = MakeComObject<TPixelSink>();
    TVideoDecoder* decoder = nullptr;
    std::mutex seenLock;
    std::vector<TSeen> seen; // guarded by seenLock
};

TEST(Seeking, RestartsAtAKeyFrameWithPrerollAndShowsTheTarget) {
    TSeekBed bed;
    ASSERT_TRUE(bed.decoder);
    const REFERENCE_TIME target = 17 * kFrame; // key frames at 0, 12, 24, 36
    ASSERT_TRUE(bed.PauseAt(target));
    EXPECT_EQ(bed.ShownNumber(), 17);
    // The segment starts at the target and the frame shown is at its start.
    EXPECT_EQ(bed.sink->InputPin()->CurrentStartTime(), target);
    EXPECT_EQ(bed.pass->Segments().back().start, target);
    const std::vector<TShownFrame> shown = bed.sink->Shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0].start, 0);
    EXPECT_TRUE(shown[0].discontinuity);
    // The splitter restarted at the key frame of frame 12: five frames before the target.
    const std::vector<TSeen> seen = bed.Seen();
    ASSERT_GE(seen.size(), 6u);
    EXPECT_TRUE(seen[0].sync);
    EXPECT_TRUE(seen[0].preroll);
    EXPECT_EQ(seen[0].start, -5 * kFrame);
    for (const TSeen& s : seen) {
        if (s.timed) {
            EXPECT_EQ(s.preroll, 2 * s.start < -kFrame) << s.start;
        }
    }
    // Frames 12 to 16 were decoded and not delivered.
    EXPECT_GE(bed.decoder->DecodedFrames() - bed.decoder->DeliveredFrames(), 5);
}

// Decoding ahead while paused: the renderer lets the frame it holds go, the decoder drops the
// frames that end before the time it was given, and the first one at that time is shown; a
// seek made before such a frame came clears the skip.
TEST(Seeking, DecodingAheadShowsTheFrameAtItsTimeWithoutDeliveringThoseBefore) {
    TSeekBed bed;
    ASSERT_TRUE(bed.decoder);
    ASSERT_TRUE(bed.PauseAt(5 * kFrame));
    ASSERT_EQ(bed.ShownNumber(), 5);
    const ComPtr<IHeldSampleRelease> release = QueryInterfaceOf<IHeldSampleRelease>(bed.sink.Get());
    const ComPtr<IDecodeAhead> ahead = QueryInterfaceOf<IDecodeAhead>(bed.decoder);
    ASSERT_TRUE(release && ahead);
    const int delivered = bed.decoder->DeliveredFrames();
    // Sample times count from the segment's start, frame 5: frame 14 starts at 9 frames.
    EXPECT_EQ(ahead->SkipUntil(9 * kFrame), S_OK);
    ASSERT_EQ(release->ReleaseHeldSample(true), S_OK);
    OAFilterState state = 0;
    ASSERT_EQ(bed.graph.As<IMediaControl>()->GetState(30000, &state), S_OK);
    EXPECT_EQ(bed.ShownNumber(), 14) << "across the key frame at 12";
    EXPECT_EQ(bed.decoder->DeliveredFrames(), delivered + 1);

    EXPECT_EQ(ahead->SkipUntil(100 * kFrame), S_OK);
    ASSERT_TRUE(bed.PauseAt(3 * kFrame));
    EXPECT_EQ(bed.ShownNumber(), 3);
}

TEST(Seeking, BetweenTwoFramesShowsTheNearest) {
    TSeekBed bed;
    struct TCase {
        REFERENCE_TIME at;
        int64_t frame;
    };
    for (const TCase& c : {TCase{30 * kFrame + kFrame / 4, 30}, TCase{7 * kFrame - kFrame / 4, 7},
                           TCase{kFrame / 3, 0}, TCase{44 * kFrame + 3 * kFrame / 4, 45}}) {
        SCOPED_TRACE(c.at);
        ASSERT_TRUE(bed.PauseAt(c.at));
        EXPECT_EQ(bed.ShownNumber(), c.frame);
    }
}

TEST(Seeking, AStopPositionEndsTheStreamThere) {
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(Clip("stop.avi", "dv", {"--seconds", "2"}), CLSID_AsyncReader,
                         CLSID_AviSplitter),
              S_OK);
    LONGLONG start = 10 * kFrame, stop = 20 * kFrame;
    ASSERT_EQ(QueryInterfaceOf<IMediaSeeking>(graph.Graph())
                  ->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop,
                                 AM_SEEKING_AbsolutePositioning),
              S_OK);
    EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    EXPECT_EQ(graph.Video()->ShownCount(), 10u);
    const double seconds = double(graph.Audio()->Samples().size()) / 2 / 48000;
    EXPECT_NEAR(seconds, 0.4, 0.05);
}

} // namespace
