// What input pins do with the samples they are given: format changes carried by samples, and
// samples offered while flushing or stopped.
#include "platform/graph/BaseInputPin.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestJunction.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <new>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

// A junction that does not stream feeds pass-through and renderer; the test hands the
// pass-through its samples itself.
struct Fed {
    Fed() {
        pass->AcceptMajorType(MEDIATYPE_Video);
        graph->AddFilter(feeder.Get(), u"Feeder");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
        EXPECT_EQ(ConnectChain(graph.Get(), {feeder.Get(), pass.Get(), sink.Get()}), S_OK);
        graph.As<IMediaFilter>()->SetSyncSource(nullptr);
        input = QueryInterfaceOf<IMemInputPin>(PinOf(pass.Get(), PINDIR_INPUT).Get());
    }
    ~Fed() { graph.As<IMediaControl>()->Stop(); }
    ComPtr<IMediaSample> Sample() {
        ComPtr<IMemAllocator> allocator;
        input->GetAllocator(allocator.ReleaseAndGetAddressOf());
        ComPtr<IMediaSample> sample;
        allocator->GetBuffer(sample.ReleaseAndGetAddressOf(), nullptr, nullptr, 0);
        if (sample)
            WriteStamp(sample.Get(), {7, 0});
        return sample;
    }
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestJunction> feeder = MakeComObject<TTestJunction>(0, 1);
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>(GUID_NULL);
    ComPtr<IMemInputPin> input;
};

TEST(SampleFlow, AnAcceptedFormatChangeTravelsWithTheSample) {
    Fed f;
    ASSERT_EQ(f.graph.As<IMediaControl>()->Run(), S_OK);
    ComPtr<IMediaSample> sample = f.Sample();
    ASSERT_TRUE(sample);
    AM_MEDIA_TYPE bigger = MakeVideoType(MEDIASUBTYPE_RGB32, 16, 16, 400000);
    sample->SetMediaType(&bigger);
    EXPECT_EQ(f.input->Receive(sample.Get()), S_OK);
    EXPECT_EQ(f.sink->RenderedCount(), 1u);
}

TEST(SampleFlow, ARefusedFormatChangeStopsTheStreamWithAnError) {
    Fed f;
    ComPtr<IMediaEvent> events = f.graph.As<IMediaEvent>();
    ASSERT_EQ(f.graph.As<IMediaControl>()->Run(), S_OK);
    ComPtr<IMediaSample> sample = f.Sample();
    AM_MEDIA_TYPE audio(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    sample->SetMediaType(&audio);
    EXPECT_EQ(f.input->Receive(sample.Get()), VFW_E_INVALIDMEDIATYPE);
    LONG code = 0;
    EXPECT_EQ(events->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    sample->SetMediaType(nullptr);
    EXPECT_EQ(f.input->Receive(sample.Get()), VFW_E_RUNTIME_ERROR);
    // A flush ends the error.
    PinOf(f.pass.Get(), PINDIR_INPUT)->BeginFlush();
    EXPECT_EQ(f.input->Receive(sample.Get()), S_FALSE);
    PinOf(f.pass.Get(), PINDIR_INPUT)->EndFlush();
    EXPECT_EQ(f.input->Receive(sample.Get()), S_OK);
}

// The renderer's own pin ends its stream from inside the Receive that holds its lock.
TEST(SampleFlow, ARendererThatRefusesAFormatChangeEndsItsStream) {
    Fed f;
    ComPtr<IMediaEvent> events = f.graph.As<IMediaEvent>();
    ASSERT_EQ(f.graph.As<IMediaControl>()->Run(), S_OK);
    const ComPtr<IMemInputPin> sinkInput =
        QueryInterfaceOf<IMemInputPin>(PinOf(f.sink.Get(), PINDIR_INPUT).Get());
    ASSERT_TRUE(sinkInput);
    ComPtr<IMediaSample> sample = f.Sample();
    AM_MEDIA_TYPE audio(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    sample->SetMediaType(&audio);
    EXPECT_EQ(sinkInput->Receive(sample.Get()), VFW_E_INVALIDMEDIATYPE);
    LONG code = 0;
    EXPECT_EQ(events->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    sample->SetMediaType(nullptr);
    EXPECT_EQ(sinkInput->Receive(sample.Get()), VFW_E_RUNTIME_ERROR);
    EXPECT_EQ(f.sink->RenderedCount(), 0u);
}

TEST(SampleFlow, ATransformThatRunsOutOfMemoryEndsTheStreamWithAnError) {
    Fed f;
    f.pass->SetHook([](IMediaSample*) -> HRESULT { throw std::bad_alloc(); });
    ComPtr<IMediaEvent> events = f.graph.As<IMediaEvent>();
    ASSERT_EQ(f.graph.As<IMediaControl>()->Run(), S_OK);
    ComPtr<IMediaSample> sample = f.Sample();
    EXPECT_EQ(f.input->Receive(sample.Get()), E_OUTOFMEMORY);
    // The graph hears of the failure first, then the renderer reaches its end.
    std::vector<std::pair<LONG, HRESULT>> seen;
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        seen.emplace_back(code, HRESULT(p1));
        events->FreeEventParams(code, p1, p2);
    }
    const std::vector<std::pair<LONG, HRESULT>> expected{{EC_ERRORABORT, E_OUTOFMEMORY},
                                                         {EC_COMPLETE, S_OK}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(events->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(f.input->Receive(sample.Get()), VFW_E_RUNTIME_ERROR);
}

TEST(SampleFlow, StoppedFiltersRefuseSamples) {
    Fed f;
    ComPtr<IMediaControl> control = f.graph.As<IMediaControl>();
    control->Pause();
    ComPtr<IMediaSample> sample = f.Sample();
    control->Stop();
    EXPECT_EQ(f.input->Receive(sample.Get()), VFW_E_WRONG_STATE);
    EXPECT_EQ(PinOf(f.pass.Get(), PINDIR_INPUT)->EndOfStream(), VFW_E_WRONG_STATE);
}

} // namespace
