// ICaptureGraphBuilder2::FindPin and RenderStream.
#include "platform/graph/CaptureGraphBuilder2.h"
#include "platform/graph/Enumerators.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

TEST(FindPin, ByDirectionCategoryTypeConnectionAndIndex) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<ICaptureGraphBuilder2> builder = MakeCaptureBuilder(graph.Get());
    TTestSourceConfig captured;
    captured.pins = 3;
    captured.category = PIN_CATEGORY_CAPTURE;
    ComPtr<TTestPushSource> withCategory = MakeComObject<TTestPushSource>(captured);
    TTestSourceConfig plain;
    plain.pins = 2;
    ComPtr<TTestPushSource> without = MakeComObject<TTestPushSource>(plain);
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(withCategory.Get(), u"Captured");
    graph->AddFilter(without.Get(), u"Plain");
    graph->AddFilter(sink.Get(), u"Sink");
    // The first pin of the captured source is connected.
    ASSERT_EQ(ConnectChain(graph.Get(), {withCategory.Get(), sink.Get()}), S_OK);

    struct Case {
        const char* what;
        IBaseFilter* filter;
        PIN_DIRECTION dir;
        const GUID* category;
        const GUID* type;
        BOOL unconnected;
        int num;
        const char* expectedPin; // null: E_FAIL
    };
    const Case cases[] = {
        {"first output, any", withCategory.Get(), PINDIR_OUTPUT, nullptr, nullptr, 0, 0, "Out0"},
        {"first unconnected", withCategory.Get(), PINDIR_OUTPUT, nullptr, nullptr, 1, 0, "Out1"},
        {"second unconnected", withCategory.Get(), PINDIR_OUTPUT, nullptr, nullptr, 1, 1, "Out2"},
        {"third unconnected: none", withCategory.Get(), PINDIR_OUTPUT, nullptr, nullptr, 1, 2,
         nullptr},
        {"category capture", withCategory.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
         &MEDIATYPE_Video, 1, 0, "Out1"},
        {"category preview: none", withCategory.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW,
         nullptr, 0, 0, nullptr},
        {"type audio: none", withCategory.Get(), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Audio, 0, 0,
         nullptr},
        {"connected pin by its connection type", withCategory.Get(), PINDIR_OUTPUT, nullptr,
         &MEDIATYPE_Video, 0, 0, "Out0"},
        {"no category on the pins", without.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, 1,
         0, nullptr},
        {"without category", without.Get(), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Video, 1, 1, "Out1"},
        {"input of a source: none", without.Get(), PINDIR_INPUT, nullptr, nullptr, 0, 0, nullptr},
        {"renderer input", sink.Get(), PINDIR_INPUT, nullptr, nullptr, 0, 0, "In"},
        {"renderer input, unconnected: none", sink.Get(), PINDIR_INPUT, nullptr, nullptr, 1, 0,
         nullptr},
    };
    for (const Case& c : cases) {
        ComPtr<IPin> pin;
        const HRESULT hr = builder->FindPin(c.filter, c.dir, c.category, c.type, c.unconnected,
                                            c.num, pin.ReleaseAndGetAddressOf());
        if (!c.expectedPin) {
            EXPECT_EQ(hr, E_FAIL) << c.what;
            EXPECT_FALSE(pin) << c.what;
            continue;
        }
        ASSERT_EQ(hr, S_OK) << c.what;
        QString id;
        pin->QueryId(&id);
        EXPECT_EQ(id.toStdString(), c.expectedPin) << c.what;
    }
    // A pin given instead of a filter is checked alone.
    ComPtr<IPin> given = PinOf(without.Get(), PINDIR_OUTPUT, 1);
    ComPtr<IPin> pin;
    EXPECT_EQ(builder->FindPin(given.Get(), PINDIR_OUTPUT, nullptr, nullptr, 1, 0,
                               pin.ReleaseAndGetAddressOf()),
              S_OK);
    EXPECT_EQ(pin.Get(), given.Get());
    EXPECT_EQ(builder->FindPin(given.Get(), PINDIR_OUTPUT, nullptr, nullptr, 1, 1,
                               pin.ReleaseAndGetAddressOf()),
              E_FAIL);
}

TEST(RenderStream, ConnectsAFilterStreamIntoASinkThroughWhatItTakes) {
    TScopedTestDecoder decoder(0, MERIT_NORMAL);
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<ICaptureGraphBuilder2> builder = MakeCaptureBuilder(graph.Get());
    TTestSourceConfig config;
    config.subtype = MEDIASUBTYPE_TestCodec;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(sink.Get(), u"Sink");
    EXPECT_EQ(builder->RenderStream(nullptr, &MEDIATYPE_Audio, source.Get(), nullptr, sink.Get()),
              E_FAIL);
    ASSERT_EQ(builder->RenderStream(nullptr, nullptr, source.Get(), nullptr, sink.Get()), S_OK);
    ComPtr<IBaseFilter> added;
    EXPECT_EQ(graph->FindFilterByName(u"Test Decoder A", added.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IPin> peer;
    EXPECT_EQ(PinOf(sink.Get(), PINDIR_INPUT)->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IGraphBuilder> bound;
    EXPECT_EQ(builder->GetFiltergraph(bound.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(bound.Get(), graph.Get());
    ComPtr<IMediaSeeking> seeking;
    EXPECT_EQ(builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, sink.Get(), IID_IMediaSeeking,
                                     seeking.ReleaseAndGetVoidAddressOf()),
              S_OK);
}

} // namespace
