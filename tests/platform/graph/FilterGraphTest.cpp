// Filters in a graph: unique names, finding, enumerating and removing them, also while the
// graph runs.
#include "platform/com/Module.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphWait.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/ManualClock.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

std::vector<QString> NamesIn(IGraphBuilder* graph) {
    std::vector<QString> names;
    ComPtr<IEnumFilters> e;
    graph->EnumFilters(e.ReleaseAndGetAddressOf());
    IBaseFilter* f = nullptr;
    while (e->Next(1, &f, nullptr) == S_OK) {
        FILTER_INFO info;
        f->QueryFilterInfo(&info);
        if (info.pGraph)
            info.pGraph->Release();
        names.push_back(FromWStr(info.achName));
        f->Release();
    }
    return names;
}

TEST(FilterGraph, AUsedNameAddsNothingAndTheRetryUnderASuffixWorks) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPassThrough> a = MakeComObject<TTestPassThrough>();
    ComPtr<TTestPassThrough> b = MakeComObject<TTestPassThrough>();
    ASSERT_EQ(graph->AddFilter(a.Get(), u"Video Source Notifier"), S_OK);
    EXPECT_EQ(graph->AddFilter(b.Get(), u"Video Source Notifier"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(NamesIn(graph.Get()).size(), 1u);
    FILTER_INFO info;
    b->QueryFilterInfo(&info);
    EXPECT_EQ(info.pGraph, nullptr) << "the refused filter joined no graph";
    // The retry the callers make: name + "_" + n.
    ASSERT_EQ(graph->AddFilter(b.Get(), u"Video Source Notifier_1"), S_OK);
    EXPECT_EQ(NamesIn(graph.Get()),
              (std::vector<QString>{QStringLiteral("Video Source Notifier"),
                                    QStringLiteral("Video Source Notifier_1")}));
    EXPECT_EQ(graph->AddFilter(a.Get(), u"Again"), E_INVALIDARG) << "a filter is in a graph once";
    EXPECT_EQ(graph->AddFilter(nullptr, u"None"), E_POINTER);
}

TEST(FilterGraph, NamesAreCutToTheirLimitAndGeneratedWhenMissing) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPassThrough> a = MakeComObject<TTestPassThrough>();
    ComPtr<TTestPassThrough> b = MakeComObject<TTestPassThrough>();
    const QString longName(300, QLatin1Char('x'));
    ASSERT_EQ(graph->AddFilter(a.Get(), WStr(longName)), S_OK);
    ASSERT_EQ(graph->AddFilter(b.Get(), nullptr), S_OK);
    const auto names = NamesIn(graph.Get());
    EXPECT_EQ(names[0].size(), MAX_FILTER_NAME - 1);
    EXPECT_FALSE(names[1].isEmpty());
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph->FindFilterByName(WStr(names[1]), found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(b.Get()));
    EXPECT_EQ(graph->FindFilterByName(u"missing", found.ReleaseAndGetAddressOf()), VFW_E_NOT_FOUND);
}

TEST(FilterGraph, RemovingAFilterDisconnectsItAndLeavesItsPeersFree) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>();
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(pass.Get(), u"Pass");
    graph->AddFilter(sink.Get(), u"Sink");
    ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), pass.Get(), sink.Get()}), S_OK);
    ASSERT_EQ(graph->RemoveFilter(pass.Get()), S_OK);
    EXPECT_EQ(graph->RemoveFilter(pass.Get()), VFW_E_NOT_FOUND);
    ComPtr<IPin> peer;
    EXPECT_EQ(PinOf(source.Get(), PINDIR_OUTPUT)->ConnectedTo(peer.ReleaseAndGetAddressOf()),
              VFW_E_NOT_CONNECTED);
    EXPECT_EQ(PinOf(sink.Get(), PINDIR_INPUT)->ConnectedTo(peer.ReleaseAndGetAddressOf()),
              VFW_E_NOT_CONNECTED);
    // The two that are left connect directly now.
    EXPECT_EQ(ConnectChain(graph.Get(), {source.Get(), sink.Get()}), S_OK);
}

TEST(FilterGraph, RemovingAFilterFromARunningGraphNeverHangs) {
    struct Case {
        const char* what;
        FILTER_STATE state;
        int remove; // 0 source, 1 pass, 2 sink
    };
    const Case cases[] = {
        {"pass while paused", State_Paused, 1},   {"pass while running", State_Running, 1},
        {"source while paused", State_Paused, 0}, {"sink while running", State_Running, 2},
        {"sink while paused", State_Paused, 2},   {"source while running", State_Running, 0},
    };
    for (const Case& c : cases) {
        ComPtr<IGraphBuilder> graph = MakeGraph();
        ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>();
        ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
        ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
        ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), pass.Get(), sink.Get()}), S_OK);
        ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
        graph.As<IMediaFilter>()->SetSyncSource(clock.Get());
        ComPtr<IMediaControl> control = graph.As<IMediaControl>();
        if (c.state == State_Running)
            control->Run();
        else
            control->Pause();
        ASSERT_TRUE(sink->WaitForRendered(1, 60000)) << c.what;
        IBaseFilter* victim[] = {source.Get(), pass.Get(), sink.Get()};
        EXPECT_EQ(graph->RemoveFilter(victim[c.remove]), S_OK) << c.what;
        FILTER_STATE state;
        victim[c.remove]->GetState(0, &state);
        EXPECT_EQ(state, State_Stopped) << c.what;
        EXPECT_EQ(control->Stop(), S_OK) << c.what;
    }
}

TEST(FilterGraph, AFilterFromAModuleIsCreatedByItsClass) {
    TComModule module;
    ASSERT_TRUE(module.Load(QStringLiteral(KELVARA_TEST_MODULE)))
        << module.ErrorText().toStdString();
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.GetClassObject(CLSID_TestPassThrough, IID_IClassFactory,
                                    factory.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ComPtr<IClassFactory> unknown;
    EXPECT_EQ(module.GetClassObject(CLSID_TestPushSource, IID_IClassFactory,
                                    unknown.ReleaseAndGetVoidAddressOf()),
              CLASS_E_CLASSNOTAVAILABLE);
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(
        factory->CreateInstance(nullptr, IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf()),
        S_OK);
    CLSID clsid;
    filter->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_TestPassThrough);
    // The module's filter works in a graph of the program.
    ComPtr<IGraphBuilder> graph = MakeGraph();
    TTestSourceConfig config;
    config.frames = 20;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(filter.Get(), u"From the module");
    graph->AddFilter(sink.Get(), u"Sink");
    ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), filter.Get(), sink.Get()}), S_OK);
    graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    graph.As<IMediaControl>()->Run();
    EXPECT_TRUE(sink->WaitForRendered(20, 60000));
    graph.As<IMediaControl>()->Stop();
}

TEST(FilterGraph, AFileThatIsNoModuleIsRefused) {
    TComModule module;
    EXPECT_FALSE(module.Load(QStringLiteral("/nonexistent/module.so")));
    EXPECT_FALSE(module.ErrorText().isEmpty());
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(module.GetClassObject(CLSID_TestPassThrough, IID_IClassFactory,
                                    factory.ReleaseAndGetVoidAddressOf()),
              CO_E_DLLNOTFOUND);
    // A shared library without DllGetClassObject.
    EXPECT_FALSE(module.Load(QStringLiteral("libm.so.6")));
}

} // namespace
