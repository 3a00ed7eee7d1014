// Run, pause and stop of a graph with streaming threads: pause preroll, the intermediate state,
// drops that block nothing, the held sample let go while paused, and state changes in any order.
#include "platform/graph/GraphWait.h"
#include "platform/graph/SeekingInterfaces.h"
#include "platform/ui/MessageWindow.h"
#include "platform/ui/Messages.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/ManualClock.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

// A gate the streaming thread waits at inside the pass-through until the test opens it.
class TGate {
public:
    HRESULT Pass() {
        std::unique_lock lock(FLock);
        FWaiting = true;
        GraphWakeWaiters();
        FOpened.wait(lock, [this] { return FOpen; });
        FWaiting = false;
        return S_OK;
    }
    void Open() {
        {
            std::lock_guard lock(FLock);
            FOpen = true;
        }
        FOpened.notify_all();
    }
    bool Waiting() {
        std::lock_guard lock(FLock);
        return FWaiting;
    }

private:
    std::mutex FLock;
    std::condition_variable FOpened;
    bool FOpen = false;
    bool FWaiting = false;
};

struct Playback {
    explicit Playback(TTestSourceConfig config = {})
        : source(MakeComObject<TTestPushSource>(config)) {
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
        EXPECT_EQ(ConnectChain(graph.Get(), {source.Get(), pass.Get(), sink.Get()}), S_OK);
    }
    ~Playback() { control->Stop(); }

    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source;
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ComPtr<IMediaFilter> mediaFilter = graph.As<IMediaFilter>();
};

TEST(GraphState, PausedRendererIsIntermediateUntilItHoldsASample) {
    Playback p;
    TGate gate;
    p.pass->SetHook([&](IMediaSample*) { return gate.Pass(); });
    EXPECT_EQ(p.control->Pause(), S_FALSE);
    ASSERT_TRUE(GraphWaitUntil([&] { return gate.Waiting(); }, 60000));
    TGraphState s = StateOf(p.graph.Get(), 0);
    EXPECT_EQ(s.result, VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(s.state, State_Paused);
    gate.Open();
    s = StateOf(p.graph.Get(), -1);
    EXPECT_EQ(s.result, S_OK);
    EXPECT_EQ(s.state, State_Paused);
    const auto shown = p.sink->Rendered();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].whilePaused);
    EXPECT_EQ(shown[0].stamp.frame, 0u);
    int drawn = 0;
    ComPtr<IQualProp> qual = QueryInterfaceOf<IQualProp>(p.sink.Get());
    ASSERT_TRUE(qual);
    qual->get_FramesDrawn(&drawn);
    EXPECT_EQ(drawn, 1);
}

TEST(GraphState, PauseHoldsTheFirstSampleAndBlocksUpstream) {
    Playback p;
    p.control->Pause();
    ASSERT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    // The source can fill the buffers it has, no more: the renderer blocks the stream.
    EXPECT_FALSE(GraphWaitUntil([&] { return p.source->Delivered() > 8; }, 100));
    EXPECT_EQ(p.sink->RenderedCount(), 1u);
}

TEST(GraphState, DroppedSamplesBlockNothingInPause) {
    Playback p;
    p.pass->SetHook([](IMediaSample* s) {
        TFrameStamp stamp;
        ReadStamp(s, &stamp);
        return stamp.frame < 30 ? S_FALSE : S_OK;
    });
    p.control->Pause();
    ASSERT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    const auto shown = p.sink->Rendered();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].stamp.frame, 30u);
    EXPECT_EQ(p.pass->Dropped(), 30);
}

// Letting the held sample go while paused steps the stream on without a flush: the next sample
// that gets through is shown and held in its place (the frames dropped on the way stay dropped),
// the state is intermediate in between, and a release that is not possible changes nothing.
TEST(GraphState, ReleasingTheHeldSampleShowsAndHoldsTheNextOneThrough) {
    Playback p;
    std::atomic<uint64_t> passFrom{0};
    p.pass->SetHook([&](IMediaSample* s) {
        TFrameStamp stamp;
        ReadStamp(s, &stamp);
        return stamp.frame < passFrom.load() ? S_FALSE : S_OK;
    });
    const ComPtr<IHeldSampleRelease> release = QueryInterfaceOf<IHeldSampleRelease>(p.sink.Get());
    ASSERT_TRUE(release);
    EXPECT_EQ(release->ReleaseHeldSample(true), S_FALSE) << "stopped";
    p.control->Pause();
    ASSERT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    ASSERT_EQ(p.sink->RenderedCount(), 1u);

    passFrom = 12;
    TGate gate;
    std::atomic<bool> gated{true};
    p.pass->SetHook([&](IMediaSample* s) {
        TFrameStamp stamp;
        ReadStamp(s, &stamp);
        if (stamp.frame == 12 && gated.load())
            gate.Pass();
        return stamp.frame < passFrom.load() ? S_FALSE : S_OK;
    });
    EXPECT_EQ(release->ReleaseHeldSample(true), S_OK);
    ASSERT_TRUE(GraphWaitUntil([&] { return gate.Waiting(); }, 60000));
    EXPECT_EQ(StateOf(p.graph.Get(), 0).result, VFW_S_STATE_INTERMEDIATE);
    gated = false;
    gate.Open();
    EXPECT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    auto shown = p.sink->Rendered();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].stamp.frame, 12u);
    EXPECT_TRUE(shown[1].whilePaused);
    // Held again: nothing more comes through until the next release.
    EXPECT_FALSE(p.sink->WaitForRendered(3, 100));
    EXPECT_EQ(release->ReleaseHeldSample(true), S_OK);
    ASSERT_TRUE(p.sink->WaitForRendered(3, 60000));
    EXPECT_EQ(p.sink->Rendered()[2].stamp.frame, 13u);
    EXPECT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);

    // Running, nothing is held back by a pause to let go.
    p.control->Run();
    EXPECT_EQ(release->ReleaseHeldSample(true), S_FALSE);
}

// The other renderers of a step (the sound) let their sample go and drop what follows while
// paused, so that they hold nobody up; they count as ready, and the next state change ends it.
TEST(GraphState, ADroppingRendererHoldsNothingUntilTheNextStateChange) {
    Playback p;
    TGate gate; // frame 30 waits here, so that the stream does not end meanwhile
    p.pass->SetHook([&](IMediaSample* s) {
        TFrameStamp stamp;
        ReadStamp(s, &stamp);
        return stamp.frame == 30 ? gate.Pass() : S_OK;
    });
    const ComPtr<IHeldSampleRelease> release = QueryInterfaceOf<IHeldSampleRelease>(p.sink.Get());
    ASSERT_TRUE(release);
    p.control->Pause();
    ASSERT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    ASSERT_EQ(p.sink->RenderedCount(), 1u);
    EXPECT_EQ(release->ReleaseHeldSample(false), S_OK);
    ASSERT_TRUE(GraphWaitUntil([&] { return gate.Waiting(); }, 60000)) << "the stream runs on";
    EXPECT_EQ(p.sink->RenderedCount(), 1u) << "nothing shown meanwhile";
    EXPECT_EQ(StateOf(p.graph.Get(), 0).result, S_OK);
    p.control->Pause(); // a state change: the next sample is held again
    gate.Open();
    ASSERT_TRUE(p.sink->WaitForRendered(2, 60000));
    EXPECT_EQ(p.sink->Rendered()[1].stamp.frame, 30u);
    EXPECT_FALSE(p.sink->WaitForRendered(3, 100));
}

TEST(GraphState, EndOfStreamInPauseCompletesTheState) {
    Playback p;
    p.pass->SetHook([](IMediaSample*) { return S_FALSE; });
    p.control->Pause();
    const TGraphState s = StateOf(p.graph.Get(), -1);
    EXPECT_EQ(s.result, S_OK);
    EXPECT_EQ(p.sink->RenderedCount(), 0u);
}

TEST(GraphState, RunWithoutClockRendersEverySampleAndStopsCleanly) {
    TTestSourceConfig config;
    config.frames = 100;
    Playback p(config);
    ASSERT_EQ(p.mediaFilter->SetSyncSource(nullptr), S_OK);
    ASSERT_EQ(p.control->Run(), S_OK);
    ASSERT_TRUE(p.sink->WaitForRendered(100, 60000));
    EXPECT_EQ(StateOf(p.graph.Get(), 0).state, State_Running);
    EXPECT_EQ(p.control->Stop(), S_OK);
    EXPECT_EQ(StateOf(p.graph.Get(), 0).state, State_Stopped);
    const auto shown = p.sink->Rendered();
    for (size_t i = 1; i < shown.size(); ++i)
        ASSERT_EQ(shown[i].stamp.frame, shown[i - 1].stamp.frame + 1) << "at " << i;
}

TEST(GraphState, RunPauseStopInAnyOrderNeverDeadlocks) {
    TTestSourceConfig config;
    config.frames = 400;
    Playback p(config);
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    p.mediaFilter->SetSyncSource(clock.Get());
    std::mt19937 random(7);
    for (int step = 0; step < 60; ++step) {
        clock->Advance(3 * config.frameDuration);
        switch (random() % 4) {
        case 0:
            EXPECT_TRUE(SUCCEEDED(p.control->Run()));
            break;
        case 1:
            EXPECT_TRUE(SUCCEEDED(p.control->Pause()));
            break;
        case 2:
            EXPECT_TRUE(SUCCEEDED(p.control->Stop()));
            break;
        default:
            StateOf(p.graph.Get(), int(random() % 20));
            break;
        }
    }
    EXPECT_EQ(p.control->Stop(), S_OK);
    EXPECT_EQ(StateOf(p.graph.Get(), 0).state, State_Stopped);
}

TEST(GraphState, StopKeepsThePositionForTheNextRun) {
    Playback p;
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    p.mediaFilter->SetSyncSource(clock.Get());
    p.control->Run();
    clock->Advance(10 * MILLISECONDS + 20 * 400000);
    ASSERT_TRUE(p.sink->WaitForRendered(21, 60000));
    p.control->Pause();
    // Once paused, the renderer holds (and shows) the frame it is at.
    ASSERT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    LONGLONG position = 0;
    ComPtr<IMediaSeeking> seeking = p.graph.As<IMediaSeeking>();
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_GE(position, 20 * 400000);
    p.control->Stop();
    p.sink->ClearRendered();
    p.control->Pause();
    ASSERT_EQ(StateOf(p.graph.Get(), -1).result, S_OK);
    const auto shown = p.sink->Rendered();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(REFERENCE_TIME(shown[0].stamp.frame) * 400000, position);
}

// A streaming thread sends to a GUI window while the GUI thread stops the graph; the handler, run
// inside the stop's wait, tries to drive the graph. Those calls are refused (an assertion in a
// debug build) and the stop still completes: no deadlock, no half-done operation re-entered.
void DriveTheGraphFromAHandlerDuringAStop() {
    Playback p;
    std::vector<HRESULT> answers;
    bool readable = false;
    TMessageWindow window([&](TMessage& m) {
        m.Result = 0;
        if (!InsideGraphWait())
            return;
        ComPtr<IMediaSeeking> seeking = p.graph.As<IMediaSeeking>();
        LONGLONG at = 0, now = 0;
        readable = SUCCEEDED(seeking->GetCurrentPosition(&now));
        answers.push_back(p.control->Run());
        answers.push_back(seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                                AM_SEEKING_NoPositioning));
        answers.push_back(p.graph->RemoveFilter(p.sink.Get()));
    });
    const TWindowHandle handle = window.Handle();
    std::atomic<bool> stopping{false};
    std::atomic<bool> sending{false};
    p.pass->SetHook([&](IMediaSample*) {
        if (stopping.load()) {
            sending.store(true);
            handle.Send(WM_KELVARA + 0x7F);
        }
        return S_OK;
    });
    ASSERT_TRUE(SUCCEEDED(p.control->Run()));
    ASSERT_TRUE(p.sink->WaitForRendered(2, 10000));
    // The streaming thread is blocked in its send before the stop begins (this wait serves
    // nothing), so the stop has to serve it.
    stopping.store(true);
    for (int i = 0; i < 1000 && !sending.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(sending.load());
    EXPECT_EQ(p.control->Stop(), S_OK);
    ASSERT_FALSE(answers.empty()) << "the handler ran inside the stop's wait";
    for (HRESULT hr : answers)
        EXPECT_EQ(hr, VFW_E_WRONG_STATE);
    EXPECT_TRUE(readable);
    EXPECT_EQ(StateOf(p.graph.Get(), 0).state, State_Stopped);
}

TEST(GraphReentry, AHandlerRunDuringAGraphWaitCannotDriveTheGraph) {
#ifdef NDEBUG
    DriveTheGraphFromAHandlerDuringAStop();
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(DriveTheGraphFromAHandlerDuringAStop(), "drives the graph");
#endif
}

} // namespace
