// The taps and the frame keeper on running graphs with streaming threads: a DV source -> video
// tap -> decoder -> frame keeper -> renderer. What the keeper relays and reports must belong to
// the frame the renderer shows, while playing, after seeks, and in a frame-exact seek built
// from a mark and PassSamples.
#include "platform/graph/MediaSample.h"
#include "taps/uFramesNotifier.h"
#include "taps/uMediaDescriptions.h"
#include "taps/uTapMessages.h"
#include "taps/uVideoNotifier.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"
#include "tests/taps/DVPushSource.h"
#include "tests/taps/TapBench.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

// The keeper and its tap wired as the video and navigation managers wire them; the message log
// answers the frame duration and mark messages as the navigation manager does.
struct KeeperWiring {
    KeeperWiring() {
        tap->SetDVCodeWindow(log.Handle());
        tap->SetVideoWindow(log.Handle());
        tap->SetDVRelay(true);
        tap->SetVideoDataRelay(true);
        keeper->SetDVSource(tap.Get());
        keeper->SetVideoSource(tap.Get());
        log.ReadRecordsOf(tap.Get(), nullptr);
        keeper->SetNavigationWindow(log.Handle());
        keeper->SetPositionTextWindow(log.Handle());
        keeper->SetPositionTextReports(true);
        log.SetHook([this](const TLoggedMessage& m) {
            if (m.Msg == WM_FRAMEDURATION && m.Value != 0)
                keeper->SetFrameDuration(m.Value);
            if (m.Msg == WM_MARKREACHED) {
                keeper->SetPassSamples(true);
                keeper->SetPositionTextReports(true);
            }
        });
    }
    // Seeks and waits (serving the keeper's messages) until the paused renderer holds a frame.
    bool SeekAndSettle(REFERENCE_TIME at) {
        if (graph.As<IMediaSeeking>()->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                                    AM_SEEKING_NoPositioning) != S_OK)
            return false;
        return Settle();
    }
    bool Settle() {
        return PumpUntil([&] { return StateOf(graph.Get(), 0).result == S_OK; }, 30000);
    }
    TLoggedMessage Last(UINT msg) {
        log.Pump();
        const std::vector<TLoggedMessage> all = log.Of(msg);
        return all.empty() ? TLoggedMessage() : all.back();
    }

    TMessageLog log;
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TVideoNotifier> tap = MakeComObject<TVideoNotifier>();
    ComPtr<TFramesNotifier> keeper = MakeComObject<TFramesNotifier>();
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
};

struct DVGraph : KeeperWiring {
    explicit DVGraph(int frames, int dropEvery = 0, TDVTapeStart start = {})
        : source(MakeComObject<TDVPushSource>(frames, start)),
          decoder(MakeComObject<TTestDVDecoder>(dropEvery)) {
        graph->AddFilter(source.Get(), u"DV source");
        graph->AddFilter(tap.Get(), VideoNotifierGraphName);
        graph->AddFilter(decoder.Get(), u"Decoder");
        graph->AddFilter(keeper.Get(), FramesNotifierName);
        graph->AddFilter(sink.Get(), u"Renderer");
        EXPECT_EQ(ConnectChain(graph.Get(),
                               {source.Get(), tap.Get(), decoder.Get(), keeper.Get(), sink.Get()}),
                  S_OK);
        graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    }
    ~DVGraph() { control->Stop(); }

    ComPtr<TDVPushSource> source;
    ComPtr<TTestDVDecoder> decoder;
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>(GUID_NULL);
};

void ExpectCodesOfFrame(const TframeData& relayed, const TDVTapeStart& start, int frame) {
    EXPECT_EQ(relayed.TimecodeText, DVTapeTimecode(frame)) << "frame " << frame;
    EXPECT_TRUE(relayed.DateValid) << "frame " << frame;
    EXPECT_NEAR(relayed.RecordingDate, DVTapeDate(start, frame), 0.1 / 86400) << "frame " << frame;
}

TEST(TapGraph, PlayingRelaysTheCodesOfEveryRenderedFrameAcrossMidnight) {
    TDVTapeStart start;
    start.Second = 57; // the recording date passes midnight at frame 3
    DVGraph g(40, 7, start);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    ASSERT_TRUE(PumpUntil([&] { return g.sink->RenderedCount() >= 40u - 5u; }, 30000));
    ASSERT_TRUE(PumpUntil([&] { return g.log.Of(WM_DVCODE).size() >= 35u; }, 30000));
    const std::vector<TRenderedSample> shown = g.sink->Rendered();
    const std::vector<TLoggedMessage> codes = g.log.Of(WM_DVCODE);
    ASSERT_EQ(shown.size(), 35u); // frames 7, 14, 21, 28 and 35 were dropped by the decoder
    ASSERT_EQ(codes.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i)
        ExpectCodesOfFrame(codes[i].Frame, start, int(shown[i].start / DVFrameDuration));
    // Intra-coded frames count one frame each, whatever their times: the position counts the
    // frames shown.
    EXPECT_EQ(g.keeper->Position(), 34 * DVFrameDuration);
    EXPECT_EQ(g.Last(WM_NAVPOSITIONTEXT).Text, QStringLiteral("0:00:01:09"));
}

TEST(TapGraph, AfterEachSeekPositionAndRelayedDateBelongToTheFrameOnScreen) {
    DVGraph g(100, 9);
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    ASSERT_TRUE(g.Settle());
    struct TCase {
        REFERENCE_TIME Target;
        int Shown;
    };
    // Off-grid targets show the next frame (the frame before is preroll); frame 18 is dropped
    // by the decoder, so 19 is shown.
    for (const TCase c : {TCase{25 * DVFrameDuration, 25}, TCase{10 * DVFrameDuration + 1, 11},
                          TCase{3 * DVFrameDuration, 3}, TCase{18 * DVFrameDuration, 19},
                          TCase{70 * DVFrameDuration - 1, 70}, TCase{0, 0}}) {
        SCOPED_TRACE(testing::Message() << "target " << c.Target);
        ASSERT_TRUE(g.SeekAndSettle(c.Target));
        const TRenderedSample shown = g.sink->Rendered().back();
        EXPECT_EQ(c.Target + shown.start, c.Shown * DVFrameDuration);
        EXPECT_EQ(g.keeper->Position(), c.Shown * DVFrameDuration);
        ExpectCodesOfFrame(g.Last(WM_DVCODE).Frame, g.source->TapeStart(), c.Shown);
        EXPECT_EQ(g.Last(WM_NAVPOSITIONTEXT).Text,
                  FormatPositionText(DVFrameDuration, c.Shown * DVFrameDuration));
    }
}

// The tap's inlay messages and the keeper's texts block their streaming threads until the GUI
// thread handles them; stopping, seeking and pausing from the GUI thread while they wait must
// serve them rather than wait for the threads outright.
TEST(TapGraph, StopsAndSeeksWhileStreamingThreadsWaitForTheGuiThread) {
    for (int round = 0; round < 6; ++round) {
        DVGraph g(200);
        g.tap->SetInlayWindow(g.log.Handle());
        g.tap->SetInlayRelay(true);
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        // Without pumping, both streaming threads soon wait in their sends.
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * (round % 3)));
        if (round % 2) {
            LONGLONG at = 50 * DVFrameDuration;
            ASSERT_EQ(g.graph.As<IMediaSeeking>()->SetPositions(&at, AM_SEEKING_AbsolutePositioning,
                                                                nullptr, AM_SEEKING_NoPositioning),
                      S_OK);
            ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
        }
        ASSERT_EQ(g.control->Stop(), S_OK);
        EXPECT_FALSE(g.log.Of(WM_DVINLAY).empty());
    }
}

// The frame-exact seek of the navigation manager, on inter-coded video with a key frame every
// 12 frames: the keeper holds frames back from a second before the target until the mark's
// handler lets them pass; the renderer's first frame is the target itself.
struct CodecGraph : KeeperWiring {
    CodecGraph() {
        TTestSourceConfig config;
        config.subtype = MEDIASUBTYPE_TestCodec;
        config.keyInterval = 12;
        config.frames = 200;
        source = MakeComObject<TTestPushSource>(config);
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(tap.Get(), VideoNotifierGraphName);
        graph->AddFilter(decoder.Get(), u"Decoder");
        graph->AddFilter(keeper.Get(), FramesNotifierName);
        graph->AddFilter(sink.Get(), u"Renderer");
        EXPECT_EQ(ConnectChain(graph.Get(),
                               {source.Get(), tap.Get(), decoder.Get(), keeper.Get(), sink.Get()}),
                  S_OK);
        graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    }
    ~CodecGraph() { control->Stop(); }

    ComPtr<TTestPushSource> source;
    ComPtr<TTestDecoder> decoder = MakeComObject<TTestDecoder>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
};

TEST(TapGraph, APreciseSeekShowsExactlyTheTargetFrame) {
    CodecGraph g;
    ASSERT_TRUE(g.tap->TemporalCompression());
    ASSERT_TRUE(SUCCEEDED(g.control->Pause()));
    ASSERT_TRUE(g.Settle());
    EXPECT_EQ(g.keeper->FrameDuration(), 400000);
    for (int target : {37, 100, 5, 150, 61}) {
        SCOPED_TRACE(testing::Message() << "target frame " << target);
        const REFERENCE_TIME at = target * 400000;
        g.keeper->SetPositionTextReports(false);
        g.keeper->SetMarkWindow(0, g.log.Handle());
        g.keeper->SetMark(0, at);
        g.keeper->SetPassSamples(false);
        const size_t before = g.sink->RenderedCount();
        g.log.Clear();
        ASSERT_TRUE(g.SeekAndSettle(std::max<REFERENCE_TIME>(0, at - 10000000)));
        const std::vector<TRenderedSample> shown = g.sink->Rendered();
        ASSERT_EQ(shown.size(), before + 1);
        EXPECT_EQ(shown.back().stamp.frame, uint32_t(target));
        EXPECT_EQ(g.keeper->Position(), at);
        EXPECT_EQ(g.log.Of(WM_MARKREACHED).size(), 1u);
        EXPECT_EQ(g.Last(WM_NAVPOSITIONTEXT).Text, FormatPositionText(400000, at));
        EXPECT_FALSE(g.keeper->MarkArmed(0));
    }
}

} // namespace
