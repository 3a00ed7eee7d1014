// Streaming through the filter graph without a clock: a 10-second stream (250 frames at 25 per
// second) from a push source through an in-place pass-through into a renderer, against the same
// frames taken from and returned to an allocator with no graph around them (the cost of the
// buffers alone). The counter "of_realtime" is the share of the stream's own 10 seconds that
// the graph took. The graph's work runs on its streaming thread, so the figures compare wall
// (real) time, printed as ratios after the run.
#include "platform/graph/MemAllocator.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace kelvara::test;

constexpr int kFrames = 250;

void BM_GraphStreamNoClock(benchmark::State& state) {
    TTestSourceConfig config;
    config.frames = kFrames;
    config.width = int(state.range(0));
    config.height = int(state.range(1));
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ComPtr<IGraphBuilder> graph = MakeGraph();
        ComPtr<TTestPushSource> source = MakeComObject<TTestPushSource>(config);
        ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
        ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(pass.Get(), u"Pass");
        graph->AddFilter(sink.Get(), u"Sink");
        ConnectChain(graph.Get(), {source.Get(), pass.Get(), sink.Get()});
        graph.As<IMediaFilter>()->SetSyncSource(nullptr);
        ComPtr<IMediaControl> control = graph.As<IMediaControl>();
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();
        control->Run();
        LONG code = 0;
        graph.As<IMediaEvent>()->WaitForCompletion(-1, &code);
        state.PauseTiming();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        control->Stop();
        if (sink->RenderedCount() != size_t(kFrames))
            state.SkipWithError("frames lost");
        state.ResumeTiming();
    }
    state.counters["of_realtime"] = seconds / double(state.iterations()) / 10.0;
}

void BM_AllocatorOnly(benchmark::State& state) {
    const LONG size = LONG(state.range(0) * state.range(1) * 4);
    ComPtr<IMemAllocator> allocator = MakeComObject<CMemAllocator>();
    ALLOCATOR_PROPERTIES wanted{4, size, 1, 0}, actual;
    allocator->SetProperties(&wanted, &actual);
    allocator->Commit();
    for (auto _ : state) {
        for (int i = 0; i < kFrames; ++i) {
            IMediaSample* sample = nullptr;
            allocator->GetBuffer(&sample, nullptr, nullptr, 0);
            REFERENCE_TIME start = i * 400000, stop = start + 400000;
            sample->SetTime(&start, &stop);
            WriteStamp(sample, {uint32_t(i), 0});
            benchmark::DoNotOptimize(sample);
            sample->Release();
        }
    }
}

BENCHMARK(BM_GraphStreamNoClock)
    ->Args({32, 24})
    ->Args({720, 576})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllocatorOnly)
    ->Args({32, 24})
    ->Args({720, 576})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Prints, after the run, each graph figure against its allocator-only reference (real time).
class TRealTimeRatios : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                FTimes[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nRatios (real time per iteration, same process):\n");
        for (const char* size : {"32/24", "720/576"}) {
            const std::string a = std::string("BM_GraphStreamNoClock/") + size + "/real_time";
            const std::string b = std::string("BM_AllocatorOnly/") + size + "/real_time";
            if (FTimes.count(a) && FTimes.count(b) && FTimes[b] > 0)
                std::printf("  %-44s / %-36s = %7.2f\n", a.c_str(), b.c_str(),
                            FTimes[a] / FTimes[b]);
        }
    }

private:
    std::map<std::string, double> FTimes;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRealTimeRatios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
