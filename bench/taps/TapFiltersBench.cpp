// The cost per PAL DV frame of the video tap (decoding, both rings, the inlay send) followed by
// the frame keeper (position, ring relays, position texts) on the streaming thread, against the
// same frames through the platform's bare in-place pass-through: the difference is what the
// taps add to every frame. Every run hands the same 144 000-byte frame to a feeder, which copies
// it into a sample buffer first (as a splitter fills its buffers), in all three.
#include "bench/taps/RatioReporter.h"
#include "taps/uFramesNotifier.h"
#include "taps/uVideoNotifier.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/taps/DVFrameBuilder.h"
#include "tests/taps/TapTestKit.h"

#include <QApplication>

namespace {

using namespace kelvara::test;

TFeedSample PalFrame() {
    TDVFrameBuilder b(tvPal);
    b.SetDate(2005, 12, 25, 15, 4, 5);
    b.SetTimecode(1, 2, 3, 4);
    TFeedSample s;
    s.Bytes = b.Bytes;
    return s;
}

// feeder -> filters... -> collector that keeps nothing, running without a clock.
struct TChain {
    explicit TChain(std::initializer_list<IBaseFilter*> middle) {
        std::vector<IBaseFilter*> all{feeder.Get()};
        all.insert(all.end(), middle);
        all.push_back(sink.Get());
        int n = 0;
        for (IBaseFilter* f : all)
            graph->AddFilter(f, reinterpret_cast<LPCWSTR>(QString::number(n++).utf16()));
        for (size_t i = 0; i + 1 < all.size(); ++i)
            graph->ConnectDirect(PinOf(all[i], PINDIR_OUTPUT).Get(),
                                 PinOf(all[i + 1], PINDIR_INPUT).Get(), nullptr);
        graph.As<IMediaFilter>()->SetSyncSource(nullptr);
        graph.As<IMediaControl>()->Run();
    }
    ~TChain() { graph.As<IMediaControl>()->Stop(); }
    void Run(benchmark::State& state) {
        TFeedSample s = PalFrame();
        int64_t n = 0;
        for (auto _ : state) {
            s.Start = n * 400000;
            s.Stop = ++n * 400000;
            feeder->Feed(s);
        }
    }
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTapFeeder> feeder = MakeComObject<TTapFeeder>(DVVideoType(true), 144000, 4);
    ComPtr<TTestPassThrough> sink = MakeComObject<TTestPassThrough>();
};

void BM_PassThrough(benchmark::State& state) {
    ComPtr<TTestPassThrough> pass = MakeComObject<TTestPassThrough>();
    TChain chain({pass.Get()});
    chain.Run(state);
}
BENCHMARK(BM_PassThrough);

void BM_TapAndKeeper(benchmark::State& state) {
    ComPtr<TVideoNotifier> tap = MakeComObject<TVideoNotifier>();
    ComPtr<TFramesNotifier> keeper = MakeComObject<TFramesNotifier>();
    tap->SetDVRelay(true);
    tap->SetVideoDataRelay(true);
    tap->SetInlayRelay(true);
    keeper->SetDVSource(tap.Get());
    keeper->SetVideoSource(tap.Get());
    keeper->SetFrameDuration(400000);
    keeper->SetPositionTextReports(true);
    TChain chain({tap.Get(), keeper.Get()});
    chain.Run(state);
}
BENCHMARK(BM_TapAndKeeper);

void BM_TapAndKeeperRelaysOff(benchmark::State& state) {
    ComPtr<TVideoNotifier> tap = MakeComObject<TVideoNotifier>();
    ComPtr<TFramesNotifier> keeper = MakeComObject<TFramesNotifier>();
    TChain chain({tap.Get(), keeper.Get()});
    chain.Run(state);
}
BENCHMARK(BM_TapAndKeeperRelaysOff);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return RunWithRatios(
        argc, argv,
        {{"BM_TapAndKeeper", "BM_PassThrough"}, {"BM_TapAndKeeperRelaysOff", "BM_PassThrough"}});
}
