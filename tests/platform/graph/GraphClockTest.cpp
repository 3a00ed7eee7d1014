// Presentation against the reference clock, and running without one.
#include "platform/graph/GraphWait.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/ManualClock.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <atomic>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr REFERENCE_TIME kFrame = 400000;

struct Simple {
    explicit Simple(int frames) {
        TTestSourceConfig config;
        config.frames = frames;
        config.width = 8;
        config.height = 8;
        source = MakeComObject<TTestPushSource>(config);
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(sink.Get(), u"Sink");
        EXPECT_EQ(ConnectChain(graph.Get(), {source.Get(), sink.Get()}), S_OK);
    }
    ~Simple() { control->Stop(); }
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source;
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ComPtr<IMediaFilter> mediaFilter = graph.As<IMediaFilter>();
};

TEST(GraphClock, SamplesArePresentedWhenTheClockReachesThem) {
    Simple s(50);
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    clock->Set(1000 * UNITS);
    ASSERT_EQ(s.mediaFilter->SetSyncSource(clock.Get()), S_OK);
    ASSERT_EQ(s.control->Run(), S_OK);
    // Only the sample shown while the graph prepared to run is there; the clock has not moved.
    EXPECT_FALSE(GraphWaitUntil([&] { return s.sink->RenderedCount() > 1; }, 50));
    clock->Advance(10 * MILLISECONDS + 3 * kFrame);
    ASSERT_TRUE(s.sink->WaitForRendered(4, 60000));
    EXPECT_FALSE(GraphWaitUntil([&] { return s.sink->RenderedCount() > 4; }, 50));
    const auto shown = s.sink->Rendered();
    EXPECT_EQ(shown.back().stamp.frame, 3u);
    int offset = -1;
    QueryInterfaceOf<IQualProp>(s.sink.Get())->get_AvgSyncOffset(&offset);
    EXPECT_GE(offset, 0);
}

TEST(GraphClock, WithoutASyncSourceTheStreamRunsAsFastAsItCan) {
    // Ten minutes of frames: played against a clock this would outlast the test's time limit.
    Simple s(15000);
    ASSERT_EQ(s.mediaFilter->SetSyncSource(nullptr), S_OK);
    ComPtr<IReferenceClock> clock;
    EXPECT_EQ(s.mediaFilter->GetSyncSource(clock.ReleaseAndGetAddressOf()), S_FALSE);
    ASSERT_EQ(s.control->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(s.graph.As<IMediaEventEx>()->WaitForCompletion(-1, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(s.sink->RenderedCount(), 15000u);
}

TEST(GraphClock, TheClockChangesOnlyWhileStopped) {
    Simple s(10);
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    s.control->Pause();
    EXPECT_EQ(s.mediaFilter->SetSyncSource(clock.Get()), VFW_E_NOT_STOPPED);
    EXPECT_EQ(s.graph->SetDefaultSyncSource(), VFW_E_NOT_STOPPED);
    s.control->Stop();
    EXPECT_EQ(s.mediaFilter->SetSyncSource(clock.Get()), S_OK);
    ComPtr<IReferenceClock> inFilter;
    s.sink->GetSyncSource(inFilter.ReleaseAndGetAddressOf());
    EXPECT_EQ(inFilter.Get(), static_cast<IReferenceClock*>(clock.Get()));
    // The default is the system clock when no filter offers one.
    EXPECT_EQ(s.graph->SetDefaultSyncSource(), S_OK);
    ComPtr<IReferenceClock> chosen;
    ASSERT_EQ(s.mediaFilter->GetSyncSource(chosen.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_NE(chosen.Get(), static_cast<IReferenceClock*>(clock.Get()));
    REFERENCE_TIME a = 0, b = 0;
    chosen->GetTime(&a);
    chosen->GetTime(&b);
    EXPECT_GE(b, a);
}

// A sink that takes its samples ahead of their time, as an audio renderer queues its sound, and
// counts the flushes it is told of.
class TAheadSink : public TTestSinkRenderer {
public:
    REFERENCE_TIME RenderAhead() const override { return 3 * kFrame; }
    void OnBeginFlush() override { ++flushes; }
    std::atomic<int> flushes{0};
};

TEST(GraphClock, ARendererThatRendersAheadGetsEachSampleThatMuchBeforeItsTime) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    TTestSourceConfig config;
    config.frames = 50;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    ComPtr<TAheadSink> sink = MakeComObject<TAheadSink>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(sink.Get(), u"Sink");
    ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), sink.Get()}), S_OK);
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    clock->Set(1000 * UNITS);
    ASSERT_EQ(graph.As<IMediaFilter>()->SetSyncSource(clock.Get()), S_OK);
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ASSERT_EQ(control->Run(), S_OK);
    // Stream time is 10 ms short of 0: frames 1 and 2 are due 3 frames early, frame 3 is not.
    ASSERT_TRUE(sink->WaitForRendered(3, 60000));
    EXPECT_FALSE(GraphWaitUntil([&] { return sink->RenderedCount() > 3; }, 50));
    clock->Advance(10 * MILLISECONDS + kFrame);
    ASSERT_TRUE(sink->WaitForRendered(5, 60000));
    EXPECT_FALSE(GraphWaitUntil([&] { return sink->RenderedCount() > 5; }, 50));
    EXPECT_EQ(sink->Rendered().back().stamp.frame, 4u);

    LONGLONG at = 20 * kFrame;
    ASSERT_EQ(graph.As<IMediaSeeking>()->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_GE(sink->flushes.load(), 1);
    control->Stop();
}

} // namespace
