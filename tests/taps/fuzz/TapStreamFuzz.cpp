// A stream of samples, segments and keeper settings of any shape through feeder -> video tap ->
// frame keeper -> collector: sample lengths, time stamps (any 64-bit value, or none), preroll and
// sync flags, new segments, frame durations, marks and held frames. The samples are DV frames,
// interleaved DV, MPEG-2 or YUY2 with bytes patched by the input, so the tap's decoding, its
// rings and the keeper's position arithmetic and ring search all see hostile values.
#include "taps/uFramesNotifier.h"
#include "taps/uVideoNotifier.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/taps/DVFrameBuilder.h"
#include "tests/taps/TapTestKit.h"

#include <cstring>

#include <QCoreApplication>

using namespace kelvara::test;

namespace {

struct TReader {
    const uint8_t* Data;
    size_t Size;
    size_t At = 0;
    bool Empty() const { return At >= Size; }
    uint8_t Byte() { return At < Size ? Data[At++] : 0; }
    int64_t Int64() {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = v << 8 | Byte();
        return int64_t(v);
    }
};

AM_MEDIA_TYPE TypeOf(uint8_t kind) {
    switch (kind % 4) {
    case 0:
        return DVVideoType(true);
    case 1:
        return DvInfoType();
    case 2: {
        AM_MEDIA_TYPE mt(MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video);
        MPEG2VIDEOINFO info;
        info.hdr.AvgTimePerFrame = 400000;
        mt.SetFormat(info);
        mt.bTemporalCompression = 1;
        return mt;
    }
    default:
        return VideoInfoType(MEDIASUBTYPE_YUY2, 64, 48, 333667, true);
    }
}

std::vector<uint8_t> Payload(uint8_t kind, TReader& r) {
    std::vector<uint8_t> bytes;
    const uint8_t shape = r.Byte();
    if (kind % 4 <= 1) {
        bytes = TDVFrameBuilder(shape & 1 ? tvNTSC : tvPal).Bytes;
        bytes.resize(bytes.size() - std::min<size_t>(bytes.size(), size_t(r.Byte()) * 1000));
    } else {
        bytes = {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x33, 0xFF, 0xFF, 0xE0, 0x18};
        bytes.resize(12 + size_t(r.Byte()));
    }
    for (int patches = r.Byte() % 16; patches > 0 && !bytes.empty(); --patches) {
        const size_t at =
            (size_t(r.Byte()) << 16 | size_t(r.Byte()) << 8 | r.Byte()) % bytes.size();
        bytes[at] = r.Byte();
    }
    return bytes;
}

void Feed(TTapFeeder* feeder, uint8_t kind, TReader& r) {
    TFeedSample s;
    const uint8_t flags = r.Byte();
    if (flags & 1)
        s.Start = r.Int64();
    if (flags & 2)
        s.Stop = r.Int64();
    // A sample with a start time only answers stop = start + 1 (platform/graph); its start is
    // kept below the largest time so that this sum exists.
    if (s.Start && !s.Stop && *s.Start == INT64_MAX)
        s.Start = INT64_MAX - 1;
    s.Sync = flags & 4;
    s.Preroll = flags & 8;
    s.Discontinuity = flags & 16;
    s.Bytes = Payload(kind, r);
    feeder->Feed(s);
}

void Run(TReader& r) {
    const uint8_t kind = r.Byte();
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTapFeeder> feeder = MakeComObject<TTapFeeder>(TypeOf(kind), 144000, 2);
    ComPtr<TVideoNotifier> tap = MakeComObject<TVideoNotifier>();
    ComPtr<TFramesNotifier> keeper = MakeComObject<TFramesNotifier>();
    ComPtr<TTapCollector> collector = MakeComObject<TTapCollector>();
    graph->AddFilter(feeder.Get(), u"Feeder");
    graph->AddFilter(tap.Get(), u"Tap");
    graph->AddFilter(keeper.Get(), u"Keeper");
    graph->AddFilter(collector.Get(), u"Collector");
    if (FAILED(ConnectChain(graph.Get(), {feeder.Get(), tap.Get(), keeper.Get(), collector.Get()})))
        return;
    tap->SetDVRelay(true);
    tap->SetVideoDataRelay(r.Byte() & 1);
    keeper->SetDVSource(tap.Get());
    keeper->SetVideoSource(tap.Get());
    graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    control->Run();
    for (int steps = 0; steps < 64 && !r.Empty(); ++steps) {
        switch (r.Byte() % 6) {
        case 0:
            feeder->NewSegment(r.Int64(), INT64_MAX, 1.0);
            break;
        case 1:
            keeper->SetFrameDuration(r.Int64());
            break;
        case 2:
            keeper->SetMark(r.Byte() % 3, r.Int64());
            break;
        case 3:
            keeper->SetPassSamples(r.Byte() & 1);
            break;
        default:
            Feed(feeder.Get(), kind, r);
        }
    }
    control->Stop();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_tap_stream";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    TReader r{data, size};
    Run(r);
    return 0;
}
