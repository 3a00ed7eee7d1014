// The graph's events: EC_COMPLETE once every renderer reached its end, on the GUI thread.
#include "platform/graph/GraphEvents.h"

#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TEvent {
    LONG code;
    LONG_PTR param1;
    LONG_PTR param2;
};

TEST(GraphEvents, CompletionCountsEachRendererOnce) {
    auto queue = TGraphEventQueue::Create();
    queue->ResetCompletion(2);
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    queue->Raise(EC_COMPLETE, S_OK, 0x10);
    queue->Raise(EC_COMPLETE, S_OK, 0x10);
    EXPECT_EQ(queue->GetEvent(&code, &p1, &p2, 0), E_ABORT);
    queue->Raise(EC_COMPLETE, E_FAIL, 0x20);
    ASSERT_EQ(queue->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(HRESULT(p1), E_FAIL) << "the first failure is reported";
    EXPECT_EQ(p2, 0);
    queue->Raise(EC_COMPLETE, S_OK, 0x30);
    EXPECT_EQ(queue->GetEvent(&code, &p1, &p2, 0), E_ABORT) << "raised once per run";
    queue->ResetCompletion(1);
    queue->Raise(EC_PAUSED, 1, 2);
    queue->Raise(EC_COMPLETE, S_OK, 0x10);
    ASSERT_EQ(queue->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_PAUSED);
    ASSERT_EQ(queue->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
}

TEST(GraphEvents, WithoutDefaultHandlingEveryCompletionIsReported) {
    auto queue = TGraphEventQueue::Create();
    queue->ResetCompletion(2);
    EXPECT_EQ(queue->CancelDefaultHandling(EC_COMPLETE), S_OK);
    queue->Raise(EC_COMPLETE, S_OK, 0x10);
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    ASSERT_EQ(queue->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(p2, 0x10);
    EXPECT_EQ(queue->CancelDefaultHandling(EC_PAUSED), E_INVALIDARG);
}

TEST(GraphEvents, CompleteArrivesOnTheGuiThreadOnceAllRenderersEnded) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    TTestSourceConfig config;
    config.pins = 2;
    config.frames = 60;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    ComPtr<TTestSinkRenderer> first = MakeComObject<TTestSinkRenderer>();
    ComPtr<TTestSinkRenderer> second = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(first.Get(), u"First");
    graph->AddFilter(second.Get(), u"Second");
    ASSERT_EQ(graph->ConnectDirect(PinOf(source.Get(), PINDIR_OUTPUT, 0).Get(),
                                   PinOf(first.Get(), PINDIR_INPUT).Get(), nullptr),
              S_OK);
    ASSERT_EQ(graph->ConnectDirect(PinOf(source.Get(), PINDIR_OUTPUT, 1).Get(),
                                   PinOf(second.Get(), PINDIR_INPUT).Get(), nullptr),
              S_OK);
    std::vector<TEvent> events;
    size_t renderedAtCompletion[2] = {0, 0};
    bool onGuiThread = false;
    ComPtr<IMediaEventEx> eventEx = graph.As<IMediaEventEx>();
    eventEx->SetNotifyCallback([&](LONG code, LONG_PTR p1, LONG_PTR p2) {
        events.push_back({code, p1, p2});
        onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        renderedAtCompletion[0] = first->RenderedCount();
        renderedAtCompletion[1] = second->RenderedCount();
    });
    graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }, 60000));
    EXPECT_FALSE(PumpUntil([&] { return events.size() > 1; }, 50));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, EC_COMPLETE);
    EXPECT_EQ(HRESULT(events[0].param1), S_OK);
    EXPECT_EQ(events[0].param2, 0);
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(renderedAtCompletion[0], 60u);
    EXPECT_EQ(renderedAtCompletion[1], 60u);
    LONG code = 0;
    EXPECT_EQ(eventEx->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    control->Stop();
    eventEx->SetNotifyCallback(nullptr);
}

TEST(GraphEvents, EndReachedWhilePausedCompletesAtRun) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    TTestSourceConfig config;
    config.frames = 1;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(sink.Get(), u"Sink");
    ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), sink.Get()}), S_OK);
    graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ComPtr<IMediaEventEx> events = graph.As<IMediaEventEx>();
    control->Pause();
    ASSERT_EQ(StateOf(graph.Get(), -1).result, S_OK);
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 50), E_ABORT) << "no completion while paused";
    control->Run();
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 60000), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    control->Stop();
}

} // namespace
