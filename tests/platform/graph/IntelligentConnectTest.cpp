// Intelligent connect and render: filters in the graph first, then registered filters by
// merit, with the site's callback vetoing and being told.
#include "platform/com/CUnknown.h"
#include "platform/graph/Enumerators.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

// A graph builder callback that records what it is asked and refuses given classes.
class TCallback : public CUnknown, public IAMGraphBuilderCallback {
public:
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IAMGraphBuilderCallback)
            return GetInterface(static_cast<IAMGraphBuilderCallback*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT SelectedFilter(IMoniker* pMon) override {
        // Binding creates the filter, as the decoder chooser does to read its class.
        ComPtr<IBaseFilter> filter;
        if (FAILED(pMon->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                      filter.ReleaseAndGetVoidAddressOf())))
            return E_FAIL;
        CLSID clsid;
        filter->GetClassID(&clsid);
        selected.push_back(clsid);
        for (const CLSID& refused : vetoed)
            if (refused == clsid)
                return E_FAIL;
        return S_OK;
    }
    HRESULT CreatedFilter(IBaseFilter* pFil) override {
        CLSID clsid;
        pFil->GetClassID(&clsid);
        created.push_back(clsid);
        if (onCreated)
            onCreated();
        return S_OK;
    }
    std::vector<CLSID> vetoed, selected, created;
    std::function<void()> onCreated;

private:
    IUnknown* UnknownInterface() override { return static_cast<IAMGraphBuilderCallback*>(this); }
};

struct Compressed {
    Compressed() {
        TTestSourceConfig config;
        config.subtype = MEDIASUBTYPE_TestCodec;
        source = MakeComObject<TTestPushSource>(config);
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(sink.Get(), u"Sink");
    }
    HRESULT Connect() {
        return graph->Connect(PinOf(source.Get(), PINDIR_OUTPUT).Get(),
                              PinOf(sink.Get(), PINDIR_INPUT).Get());
    }
    // The class of the filter between source and sink (GUID_NULL when there is none).
    CLSID Between() {
        ComPtr<IPin> peer;
        if (FAILED(PinOf(source.Get(), PINDIR_OUTPUT)->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            return GUID_NULL;
        CLSID clsid = GUID_NULL;
        FilterOf(peer.Get())->GetClassID(&clsid);
        return clsid;
    }
    size_t FilterCount() {
        ComPtr<IEnumFilters> e;
        graph->EnumFilters(e.ReleaseAndGetAddressOf());
        size_t n = 0;
        IBaseFilter* f = nullptr;
        while (e->Next(1, &f, nullptr) == S_OK) {
            f->Release();
            ++n;
        }
        return n;
    }
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source;
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
};

TEST(IntelligentConnect, DirectWhenTheTypesAgree) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(sink.Get(), u"Sink");
    EXPECT_EQ(graph->Connect(PinOf(source.Get(), PINDIR_OUTPUT).Get(),
                             PinOf(sink.Get(), PINDIR_INPUT).Get()),
              S_OK);
}

TEST(IntelligentConnect, PrefersAFilterAlreadyInTheGraph) {
    TScopedTestDecoder registered(0, MERIT_PREFERRED);
    Compressed c;
    ComPtr<TTestDecoder> inGraph = MakeComObject<TTestDecoder>(TestDecoderClsid(1));
    c.graph->AddFilter(inGraph.Get(), u"Decoder in the graph");
    ASSERT_EQ(c.Connect(), S_OK);
    EXPECT_EQ(c.Between(), TestDecoderClsid(1));
    EXPECT_EQ(c.FilterCount(), 3u);
}

TEST(IntelligentConnect, TakesRegisteredFiltersByMerit) {
    TScopedTestDecoder low(0, MERIT_NORMAL);
    TScopedTestDecoder high(1, MERIT_PREFERRED);
    TScopedTestDecoder unlikely(2, MERIT_UNLIKELY);
    Compressed c;
    ASSERT_EQ(c.Connect(), S_OK);
    EXPECT_EQ(c.Between(), TestDecoderClsid(1));
    EXPECT_EQ(c.FilterCount(), 3u) << "only the decoder that is used stays";
    ComPtr<IBaseFilter> added;
    EXPECT_EQ(c.graph->FindFilterByName(u"Test Decoder B", added.ReleaseAndGetAddressOf()), S_OK);
}

TEST(IntelligentConnect, SiteVetoSkipsAFilterAndCreatedFilterIsTold) {
    TScopedTestDecoder low(0, MERIT_NORMAL);
    TScopedTestDecoder high(1, MERIT_PREFERRED);
    Compressed c;
    ComPtr<TCallback> callback = MakeComObject<TCallback>();
    callback->vetoed = {TestDecoderClsid(1)};
    ASSERT_EQ(c.graph.As<IObjectWithSite>()->SetSite(
                  static_cast<IAMGraphBuilderCallback*>(callback.Get())),
              S_OK);
    ASSERT_EQ(c.Connect(), S_OK);
    EXPECT_EQ(c.Between(), TestDecoderClsid(0));
    ASSERT_EQ(callback->selected.size(), 2u);
    EXPECT_EQ(callback->selected[0], TestDecoderClsid(1));
    EXPECT_EQ(callback->selected[1], TestDecoderClsid(0));
    ASSERT_EQ(callback->created.size(), 1u);
    EXPECT_EQ(callback->created[0], TestDecoderClsid(0));
    // The instance the callback bound is the one the graph uses.
    EXPECT_EQ(c.FilterCount(), 3u);
    c.graph.As<IObjectWithSite>()->SetSite(nullptr);
}

TEST(IntelligentConnect, FiltersThatMustNotBeUsedAreNot) {
    TScopedTestDecoder never(0, MERIT_DO_NOT_USE);
    Compressed c;
    EXPECT_EQ(c.Connect(), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(c.FilterCount(), 2u) << "a failed connect leaves nothing behind";
}

TEST(IntelligentConnect, AVetoOfEveryCandidateFailsCleanly) {
    TScopedTestDecoder only(0, MERIT_NORMAL);
    Compressed c;
    ComPtr<TCallback> callback = MakeComObject<TCallback>();
    callback->vetoed = {TestDecoderClsid(0)};
    c.graph.As<IObjectWithSite>()->SetSite(static_cast<IAMGraphBuilderCallback*>(callback.Get()));
    EXPECT_EQ(c.Connect(), VFW_E_CANNOT_CONNECT);
    EXPECT_TRUE(callback->created.empty());
    EXPECT_EQ(c.FilterCount(), 2u);
    c.graph.As<IObjectWithSite>()->SetSite(nullptr);
}

// The callback calls back into the graph from inside the graph's Connect, on the thread that holds
// the graph's lock. The calls are refused (an assertion in a debug build): they fail instead of
// hanging or working on a half-built graph, and the connect itself completes.
void CallTheGraphFromInsideItsConnect() {
    TScopedTestDecoder only(0, MERIT_NORMAL);
    Compressed c;
    ComPtr<TCallback> callback = MakeComObject<TCallback>();
    std::vector<HRESULT> answers;
    callback->onCreated = [&] {
        ComPtr<IEnumFilters> filters;
        answers.push_back(c.graph->EnumFilters(filters.ReleaseAndGetAddressOf()));
        ComPtr<IBaseFilter> found;
        answers.push_back(c.graph->FindFilterByName(u"Sink", found.ReleaseAndGetAddressOf()));
        LONGLONG duration = 0;
        answers.push_back(c.graph.As<IMediaSeeking>()->GetDuration(&duration));
    };
    c.graph.As<IObjectWithSite>()->SetSite(static_cast<IAMGraphBuilderCallback*>(callback.Get()));
    EXPECT_EQ(c.Connect(), S_OK);
    EXPECT_EQ(answers, std::vector<HRESULT>(3, VFW_E_WRONG_STATE));
    EXPECT_EQ(c.Between(), TestDecoderClsid(0));
    c.graph.As<IObjectWithSite>()->SetSite(nullptr);
}

TEST(GraphReentry, ACallBackIntoTheGraphFromInsideItsOwnCallIsRefused) {
#ifdef NDEBUG
    CallTheGraphFromInsideItsConnect();
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(CallTheGraphFromInsideItsConnect(), "re-entered the object");
#endif
}

TEST(IntelligentConnect, RenderFindsARegisteredRenderer) {
    TScopedTestDecoder decoder(0, MERIT_NORMAL);
    TRegFilter renderer;
    renderer.clsid = CLSID_TestSinkRenderer;
    renderer.name = QStringLiteral("Test Renderer");
    renderer.merit = MERIT_NORMAL;
    TRegFilterPin in;
    in.bRendered = true;
    in.mediaTypes.push_back({MEDIATYPE_Video, MEDIASUBTYPE_RGB32});
    renderer.pins = {in};
    TScopedRegistration rendererClass(renderer, &CreateComInstance<TTestSinkRenderer>);
    ComPtr<IGraphBuilder> graph = MakeGraph();
    TTestSourceConfig config;
    config.subtype = MEDIASUBTYPE_TestCodec;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    graph->AddFilter(source.Get(), u"Source");
    ComPtr<IPin> out = PinOf(source.Get(), PINDIR_OUTPUT);
    ASSERT_EQ(graph->Render(out.Get()), S_OK);
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph->FindFilterByName(u"Test Decoder A", found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(graph->FindFilterByName(u"Test Renderer", found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(graph->Render(out.Get()), VFW_E_ALREADY_CONNECTED);
}

TEST(IntelligentConnect, NothingConnectsWhileTheGraphRuns) {
    TScopedTestDecoder decoder(0, MERIT_NORMAL);
    Compressed c;
    ComPtr<TTestSinkRenderer> other = MakeComObject<TTestSinkRenderer>(MEDIASUBTYPE_TestCodec);
    c.graph->AddFilter(other.Get(), u"Other");
    ASSERT_EQ(ConnectChain(c.graph.Get(), {c.source.Get(), other.Get()}), S_OK);
    ComPtr<IMediaControl> control = c.graph.As<IMediaControl>();
    control->Pause();
    ComPtr<TTestSinkRenderer> late = MakeComObject<TTestSinkRenderer>();
    c.graph->AddFilter(late.Get(), u"Late");
    EXPECT_EQ(c.graph->Connect(PinOf(c.source.Get(), PINDIR_OUTPUT).Get(),
                               PinOf(late.Get(), PINDIR_INPUT).Get()),
              VFW_E_NOT_STOPPED);
    control->Stop();
}

} // namespace
