#pragma once
// A graph of feeder -> filter under test -> collector, without a clock, for tests that hand the
// filter its samples one by one on the test's own (GUI) thread.
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/taps/TapTestKit.h"

namespace kelvara::test {

template <typename TFilter>
struct TTapBench {
    TTapBench(const AM_MEDIA_TYPE& type, LONG bufferSize, ComPtr<TFilter> f = nullptr)
        : feeder(MakeComObject<TTapFeeder>(type, bufferSize)),
          filter(f ? f : MakeComObject<TFilter>()), collector(MakeComObject<TTapCollector>()) {
        graph->AddFilter(feeder.Get(), u"Feeder");
        graph->AddFilter(filter.Get(), u"Filter");
        graph->AddFilter(collector.Get(), u"Collector");
        graph.template As<IMediaFilter>()->SetSyncSource(nullptr);
    }
    ~TTapBench() { Stop(); }

    HRESULT Connect() {
        return ConnectChain(graph.Get(), {feeder.Get(), filter.Get(), collector.Get()});
    }
    HRESULT Run() { return graph.template As<IMediaControl>()->Run(); }
    HRESULT Stop() { return graph.template As<IMediaControl>()->Stop(); }
    HRESULT Feed(const TFeedSample& sample) { return feeder->Feed(sample); }
    // A sample of `bytes` at frame n of the given duration, a sync point.
    HRESULT FeedFrame(std::vector<uint8_t> bytes, int n, REFERENCE_TIME duration) {
        TFeedSample s;
        s.Bytes = std::move(bytes);
        s.Start = n * duration;
        s.Stop = (n + 1) * duration;
        return feeder->Feed(s);
    }

    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTapFeeder> feeder;
    ComPtr<TFilter> filter;
    ComPtr<TTapCollector> collector;
};

} // namespace kelvara::test
