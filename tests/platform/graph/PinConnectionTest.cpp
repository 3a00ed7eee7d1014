#include "platform/graph/Enumerators.h"
#include "platform/graph/MemAllocator.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct Chain {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>();
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    Chain() {
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
    }
};

TEST(PinConnection, DirectConnectAgreesTheOfferedTypeAndBothEndsReportIt) {
    Chain c;
    ComPtr<IPin> out = PinOf(c.source.Get(), PINDIR_OUTPUT);
    ComPtr<IPin> in = PinOf(c.pass.Get(), PINDIR_INPUT);
    ASSERT_EQ(c.graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(out->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), in.Get());
    AM_MEDIA_TYPE a, b;
    EXPECT_EQ(out->ConnectionMediaType(&a), S_OK);
    EXPECT_EQ(in->ConnectionMediaType(&b), S_OK);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c.source->StreamType());
    EXPECT_EQ(out->Connect(in.Get(), nullptr), VFW_E_ALREADY_CONNECTED);
}

TEST(PinConnection, RefusedTypesAndDirectionsLeaveBothPinsFree) {
    Chain c;
    c.pass->AcceptMajorType(MEDIATYPE_Audio);
    ComPtr<IPin> out = PinOf(c.source.Get(), PINDIR_OUTPUT);
    ComPtr<IPin> in = PinOf(c.pass.Get(), PINDIR_INPUT);
    EXPECT_TRUE(FAILED(c.graph->ConnectDirect(out.Get(), in.Get(), nullptr)));
    EXPECT_EQ(c.graph->ConnectDirect(in.Get(), out.Get(), nullptr), VFW_E_INVALID_DIRECTION);
    ComPtr<IPin> peer;
    EXPECT_EQ(out->ConnectedTo(peer.ReleaseAndGetAddressOf()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(in->ConnectedTo(peer.ReleaseAndGetAddressOf()), VFW_E_NOT_CONNECTED);
    // A complete type that the output does not offer is refused too.
    c.pass->AcceptMajorType(GUID_NULL);
    AM_MEDIA_TYPE other = MakeVideoType(MEDIASUBTYPE_RGB24, 8, 8, 1);
    EXPECT_TRUE(FAILED(c.graph->ConnectDirect(out.Get(), in.Get(), &other)));
    // A partial type narrows the choice.
    AM_MEDIA_TYPE partial(MEDIATYPE_Video, GUID_NULL);
    EXPECT_EQ(c.graph->ConnectDirect(out.Get(), in.Get(), &partial), S_OK);
}

TEST(PinConnection, InPlaceOutputOffersTheInputTypeAndSharesTheUpstreamAllocator) {
    Chain c;
    ASSERT_EQ(ConnectChain(c.graph.Get(), {c.source.Get(), c.pass.Get(), c.sink.Get()}), S_OK);
    auto types = MediaTypesOf(PinOf(c.pass.Get(), PINDIR_OUTPUT).Get());
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0], c.source->StreamType());
    EXPECT_FALSE(c.pass->UsingDifferentAllocators());
    // Disconnecting the input leaves the output's enumeration empty.
    ComPtr<IPin> passIn = PinOf(c.pass.Get(), PINDIR_INPUT);
    ComPtr<IPin> srcOut = PinOf(c.source.Get(), PINDIR_OUTPUT);
    EXPECT_EQ(srcOut->Disconnect(), S_OK);
    EXPECT_EQ(passIn->Disconnect(), S_OK);
    EXPECT_EQ(passIn->Disconnect(), S_FALSE);
    EXPECT_TRUE(MediaTypesOf(PinOf(c.pass.Get(), PINDIR_OUTPUT).Get()).empty());
}

TEST(PinConnection, TransformOutputNeedsItsInputAndPassesSeekingUpstream) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    TTestSourceConfig config;
    config.subtype = MEDIASUBTYPE_TestCodec;
    ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
    ComPtr<TTestDecoder> decoder = MakeComObject<TTestDecoder>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(decoder.Get(), u"Decoder");
    graph->AddFilter(sink.Get(), u"Sink");
    ComPtr<IPin> decoderOut = PinOf(decoder.Get(), PINDIR_OUTPUT);
    EXPECT_TRUE(FAILED(
        graph->ConnectDirect(decoderOut.Get(), PinOf(sink.Get(), PINDIR_INPUT).Get(), nullptr)));
    ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), decoder.Get(), sink.Get()}), S_OK);
    AM_MEDIA_TYPE out;
    decoderOut->ConnectionMediaType(&out);
    EXPECT_EQ(out.subtype, MEDIASUBTYPE_RGB32);
    ComPtr<IMediaSeeking> seeking = decoderOut.As<IMediaSeeking>();
    ASSERT_TRUE(seeking);
    LONGLONG duration = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, config.frames * config.frameDuration);
    ComPtr<IMediaSeeking> atRenderer = QueryInterfaceOf<IMediaSeeking>(sink.Get());
    ASSERT_TRUE(atRenderer);
    EXPECT_EQ(atRenderer->GetDuration(&duration), S_OK);
}

TEST(PinConnection, EnumeratorsFollowTheirProtocol) {
    Chain c;
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(c.pass->EnumPins(pins.ReleaseAndGetAddressOf()), S_OK);
    IPin* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(pins->Next(3, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i)
        got[i]->Release();
    EXPECT_EQ(pins->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(1), S_OK);
    ComPtr<IEnumPins> clone;
    ASSERT_EQ(pins->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
    IPin* one = nullptr;
    ASSERT_EQ(clone->Next(1, &one, nullptr), S_OK);
    EXPECT_EQ(DirectionOf(one), PINDIR_OUTPUT);
    one->Release();
    EXPECT_EQ(clone->Skip(1), S_FALSE);
    ComPtr<IPin> found;
    EXPECT_EQ(c.pass->FindPin(u"Output", found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(c.pass->FindPin(u"Nothing", found.ReleaseAndGetAddressOf()), VFW_E_NOT_FOUND);
}

TEST(PinConnection, PinInfoAndFilterInfoNameTheirOwners) {
    Chain c;
    ComPtr<IPin> in = PinOf(c.pass.Get(), PINDIR_INPUT);
    PIN_INFO info;
    ASSERT_EQ(in->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(info.pFilter, static_cast<IBaseFilter*>(c.pass.Get()));
    EXPECT_EQ(FromWStr(info.achName), QStringLiteral("Input"));
    info.pFilter->Release();
    FILTER_INFO finfo;
    ASSERT_EQ(c.pass->QueryFilterInfo(&finfo), S_OK);
    EXPECT_EQ(FromWStr(finfo.achName), QStringLiteral("Pass"));
    ASSERT_NE(finfo.pGraph, nullptr);
    finfo.pGraph->Release();
}

} // namespace
