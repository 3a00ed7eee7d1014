// Flushing seeks: the new segment, preroll from the key frame before the target, the first
// frame shown at the target with time 0, the intermediate state in between, and rate changes.
#include "platform/graph/GraphWait.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/ManualClock.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr REFERENCE_TIME kFrame = 400000;

// source (test codec, a key frame every 10 frames) -> decoder -> pass-through -> renderer
struct Decoding {
    Decoding() {
        TTestSourceConfig config;
        config.subtype = MEDIASUBTYPE_TestCodec;
        config.keyInterval = 10;
        config.frames = 100;
        source = MakeComObject<TTestPushSource>(config);
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(decoder.Get(), u"Decoder");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
        EXPECT_EQ(ConnectChain(graph.Get(), {source.Get(), decoder.Get(), pass.Get(), sink.Get()}),
                  S_OK);
        graph.As<IMediaFilter>()->SetSyncSource(clock.Get());
    }
    ~Decoding() { control->Stop(); }

    HRESULT SeekTo(int frame) {
        LONGLONG at = frame * kFrame;
        return seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                     AM_SEEKING_NoPositioning);
    }
    // The samples shown since the last segment began.
    std::vector<TRenderedSample> ShownAfter(size_t from) const {
        auto all = sink->Rendered();
        return {all.begin() + long(std::min(from, all.size())), all.end()};
    }

    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source;
    ComPtr<TTestDecoder> decoder = MakeComObject<TTestDecoder>();
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ComPtr<IMediaSeeking> seeking = graph.As<IMediaSeeking>();
};

TEST(GraphSeek, PausedSeekDeliversTheSegmentPrerollAndTheTargetFrameAtTimeZero) {
    Decoding d;
    d.control->Pause();
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    const size_t before = d.sink->RenderedCount();
    const int prerollBefore = d.decoder->DecodedPreroll();
    ASSERT_EQ(d.SeekTo(25), S_OK);
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    const auto segments = d.pass->Segments();
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments.back().start, 25 * kFrame);
    EXPECT_EQ(segments.back().rate, 1.0);
    // Frames 20..24 were decoded as preroll; none of them reached the renderer.
    EXPECT_EQ(d.decoder->DecodedPreroll() - prerollBefore, 5);
    const auto shown = d.ShownAfter(before);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].stamp.frame, 25u);
    EXPECT_EQ(shown[0].start, 0);
    EXPECT_TRUE(shown[0].whilePaused);
    LONGLONG position = 0;
    EXPECT_EQ(d.seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 25 * kFrame);
}

TEST(GraphSeek, FlushedPausedRendererIsIntermediateUntilTheNewSample) {
    Decoding d;
    std::atomic<bool> hold{false};
    d.pass->SetHook([&](IMediaSample*) {
        // Samples of the new segment wait here while the test looks at the state.
        while (hold.load())
            std::this_thread::yield();
        return S_OK;
    });
    d.control->Pause();
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    hold = true;
    ASSERT_EQ(d.SeekTo(50), S_OK);
    EXPECT_EQ(StateOf(d.graph.Get(), 0).result, VFW_S_STATE_INTERMEDIATE);
    hold = false;
    EXPECT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    EXPECT_EQ(d.sink->Rendered().back().stamp.frame, 50u);
}

TEST(GraphSeek, SeekWhilePlayingRestartsAtTheTarget) {
    Decoding d;
    ASSERT_TRUE(SUCCEEDED(d.control->Run()));
    d.clock->Advance(10 * MILLISECONDS + 5 * kFrame);
    ASSERT_TRUE(d.sink->WaitForRendered(5, 60000));
    const size_t before = d.sink->RenderedCount();
    ASSERT_EQ(d.SeekTo(70), S_OK);
    EXPECT_EQ(StateOf(d.graph.Get(), 0).state, State_Running);
    EXPECT_EQ(d.pass->Segments().back().start, 70 * kFrame);
    d.clock->Advance(10 * MILLISECONDS + 3 * kFrame);
    ASSERT_TRUE(GraphWaitUntil(
        [&] {
            for (const auto& r : d.ShownAfter(before))
                if (r.stamp.frame == 73)
                    return true;
            return false;
        },
        60000));
    // What was shown after the seek starts at the target (a sample already waiting when the
    // graph paused for the seek may come first) and goes on frame by frame.
    std::vector<uint32_t> frames;
    for (const auto& r : d.ShownAfter(before))
        if (r.stamp.frame >= 70)
            frames.push_back(r.stamp.frame);
    ASSERT_GE(frames.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(frames[i], 70u + i);
    for (const auto& r : d.ShownAfter(before)) {
        if (r.stamp.frame >= 70) {
            EXPECT_EQ(r.start, (REFERENCE_TIME(r.stamp.frame) - 70) * kFrame);
        }
    }
}

TEST(GraphSeek, SeekToTheCurrentFrameDeliversItAgain) {
    Decoding d;
    d.control->Pause();
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    ASSERT_EQ(d.SeekTo(12), S_OK);
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    const size_t before = d.sink->RenderedCount();
    ASSERT_EQ(d.SeekTo(12), S_OK);
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    const auto again = d.ShownAfter(before);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].stamp.frame, 12u);
}

TEST(GraphSeek, RateGoesUpstreamAsANewSegmentWithScaledTimes) {
    Decoding d;
    d.control->Pause();
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    ASSERT_EQ(d.seeking->SetRate(2.0), S_OK);
    ASSERT_EQ(d.SeekTo(40), S_OK);
    ASSERT_EQ(StateOf(d.graph.Get(), -1).result, S_OK);
    EXPECT_EQ(d.pass->Segments().back().rate, 2.0);
    double rate = 0;
    EXPECT_EQ(d.seeking->GetRate(&rate), S_OK);
    EXPECT_EQ(rate, 2.0);
    EXPECT_EQ(d.seeking->SetRate(0.0), E_INVALIDARG);
    EXPECT_EQ(d.seeking->SetRate(-1.0), E_INVALIDARG);
    d.control->Run();
    d.clock->Advance(10 * MILLISECONDS + 2 * kFrame);
    ASSERT_TRUE(GraphWaitUntil([&] { return d.sink->Rendered().back().stamp.frame >= 43; }, 60000));
    for (const auto& r : d.sink->Rendered()) {
        if (r.stamp.frame > 40 && !r.whilePaused) {
            EXPECT_EQ(r.start, (REFERENCE_TIME(r.stamp.frame) - 40) * kFrame / 2);
        }
    }
}

TEST(GraphSeek, PositionsAreClampedToTheMedia) {
    Decoding d;
    LONGLONG duration = 0;
    ASSERT_EQ(d.seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 100 * kFrame);
    struct Case {
        LONGLONG asked;
        LONGLONG expected;
    };
    for (const Case c : {Case{-5, 0}, Case{duration + 1000, duration}, Case{kFrame, kFrame}}) {
        LONGLONG at = c.asked;
        ASSERT_EQ(d.seeking->SetPositions(&at,
                                          AM_SEEKING_AbsolutePositioning | AM_SEEKING_ReturnTime,
                                          nullptr, AM_SEEKING_NoPositioning),
                  S_OK);
        EXPECT_EQ(at, c.expected) << "asked " << c.asked;
    }
    DWORD caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanPlayBackwards;
    EXPECT_EQ(d.seeking->CheckCapabilities(&caps), S_FALSE);
    EXPECT_EQ(caps, AM_SEEKING_CanSeekAbsolute);
    GUID format = TIME_FORMAT_FRAME;
    EXPECT_TRUE(FAILED(d.seeking->SetTimeFormat(&format)));
    format = TIME_FORMAT_MEDIA_TIME;
    EXPECT_EQ(d.seeking->SetTimeFormat(&format), S_OK);
}

} // namespace
