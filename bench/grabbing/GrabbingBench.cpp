// Writing grabbed pictures as BMP and JPEG files, SD and HD, against writing the same number
// of raw 24-bit pixel bytes through the same atomic file path (the disk and copy limit).
#include "bench/taps/RatioReporter.h"
#include "grabbing/uBmpWriter.h"
#include "grabbing/uJpegWriter.h"
#include "platform/os/AtomicFile.h"

#include <cmath>

#include <QImage>
#include <QTemporaryDir>

namespace {

QImage Frame(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb(128 + int(100 * std::sin(x / 37.0)), (x + y) & 0xFF,
                           128 + int(90 * std::cos(y / 23.0)));
    }
    return img;
}

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

void BM_WriteBmp(benchmark::State& state) {
    const QImage img = Frame(int(state.range(0)), int(state.range(1)));
    const QString path = Folder().filePath(QStringLiteral("b.bmp"));
    for (auto _ : state)
        if (!WriteBmp24(img, path))
            state.SkipWithError("write failed");
}

void BM_WriteJpeg(benchmark::State& state) {
    const QImage img = Frame(int(state.range(0)), int(state.range(1)));
    const QString path = Folder().filePath(QStringLiteral("j.jpg"));
    TJpegWriter writer;
    writer.SetQuality(int(state.range(2)));
    for (auto _ : state)
        if (!writer.Write(img, path))
            state.SkipWithError("write failed");
}

void BM_WriteRawBytes(benchmark::State& state) {
    const QByteArray bytes(qsizetype(state.range(0) * state.range(1) * 3), '\x55');
    const QString path = Folder().filePath(QStringLiteral("r.raw"));
    for (auto _ : state)
        if (!AtomicFile::Write(path, bytes))
            state.SkipWithError("write failed");
}

BENCHMARK(BM_WriteBmp)->Args({720, 576})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteJpeg)
    ->Args({720, 576, 50})
    ->Args({720, 576, 90})
    ->Args({1920, 1080, 50})
    ->Args({1920, 1080, 90})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRawBytes)->Args({720, 576})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv,
                         {{"BM_WriteBmp/720/576", "BM_WriteRawBytes/720/576"},
                          {"BM_WriteBmp/1920/1080", "BM_WriteRawBytes/1920/1080"},
                          {"BM_WriteJpeg/720/576/50", "BM_WriteRawBytes/720/576"},
                          {"BM_WriteJpeg/720/576/90", "BM_WriteRawBytes/720/576"},
                          {"BM_WriteJpeg/1920/1080/50", "BM_WriteRawBytes/1920/1080"},
                          {"BM_WriteJpeg/1920/1080/90", "BM_WriteRawBytes/1920/1080"}});
}
