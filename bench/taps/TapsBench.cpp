// DV frame decoding per PAL frame and the deinterlacer on SD and HD pictures, each against a
// plain copy of the same bytes (the memory-bound limit of touching the frame once).
#include "bench/taps/RatioReporter.h"
#include "taps/deinter.h"
#include "taps/uDVData.h"
#include "tests/taps/DVFrameBuilder.h"

#include <cstring>
#include <random>
#include <vector>

#include <QImage>

namespace {

TDVFrameBuilder PalFrame() {
    TDVFrameBuilder b(tvPal);
    b.SetDate(2005, 12, 25, 15, 4, 5);
    b.SetTimecode(1, 2, 3, 4);
    return b;
}

void BM_DecodeDVFrame_Video(benchmark::State& state) {
    TDVFrameBuilder b = PalFrame();
    const TDVDecodeSettings settings;
    TframeData f;
    TVideoData v;
    for (auto _ : state) {
        DecodeDVFrame(TDVStreamKind::Video, b.Bytes, settings, f, v);
        benchmark::DoNotOptimize(f.DateText.data());
    }
}
BENCHMARK(BM_DecodeDVFrame_Video);

void BM_DecodeDVFrame_Interleaved(benchmark::State& state) {
    TDVFrameBuilder b = PalFrame();
    const TDVDecodeSettings settings;
    TframeData f;
    TVideoData v;
    for (auto _ : state) {
        DecodeDVFrame(TDVStreamKind::Interleaved, b.Bytes, settings, f, v);
        benchmark::DoNotOptimize(f.DateText.data());
    }
}
BENCHMARK(BM_DecodeDVFrame_Interleaved);

void BM_CopyDVFrame(benchmark::State& state) {
    TDVFrameBuilder b = PalFrame();
    std::vector<uint8_t> copy(b.Bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), b.Bytes.data(), b.Bytes.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyDVFrame);

// An interlaced-looking picture: a moving edge combs on every odd row.
QImage InterlacedPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(3);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
        const int edge = w / 3 + (y % 2) * 24;
        for (int x = 0; x < w; ++x) {
            const uint32_t base = x < edge ? 0x00303030u : 0x00C0C0C0u;
            line[x] = base + (rng() & 0x000F0F0Fu);
        }
    }
    return img;
}

void BM_Deinterlace(benchmark::State& state) {
    const QImage src = InterlacedPicture(int(state.range(0)), int(state.range(1)));
    TDeinterlacer d;
    QImage dst;
    for (auto _ : state) {
        d.Deinterlace(src, dst);
        benchmark::DoNotOptimize(dst.constBits());
    }
}

void BM_DeinterlaceReference(benchmark::State& state) {
    const QImage src = InterlacedPicture(int(state.range(0)), int(state.range(1)));
    TDeinterlacer d;
    QImage dst;
    for (auto _ : state) {
        d.DeinterlaceReference(src, dst);
        benchmark::DoNotOptimize(dst.constBits());
    }
}

void BM_CopyPicture(benchmark::State& state) {
    const QImage src = InterlacedPicture(int(state.range(0)), int(state.range(1)));
    QImage dst = src.copy();
    for (auto _ : state) {
        std::memcpy(dst.bits(), src.constBits(), size_t(src.sizeInBytes()));
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Deinterlace)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(BM_DeinterlaceReference)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(BM_CopyPicture)->Args({720, 576})->Args({1920, 1080});

} // namespace

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv,
                         {{"BM_DecodeDVFrame_Video", "BM_CopyDVFrame"},
                          {"BM_DecodeDVFrame_Interleaved", "BM_CopyDVFrame"},
                          {"BM_Deinterlace/720/576", "BM_CopyPicture/720/576"},
                          {"BM_Deinterlace/1920/1080", "BM_CopyPicture/1920/1080"},
                          {"BM_DeinterlaceReference/720/576", "BM_Deinterlace/720/576"},
                          {"BM_DeinterlaceReference/1920/1080", "BM_Deinterlace/1920/1080"}});
}
