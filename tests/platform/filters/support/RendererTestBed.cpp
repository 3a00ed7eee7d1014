#include "tests/platform/filters/support/RendererTestBed.h"

#include "platform/com/TaskMem.h"
#include "platform/filters/RegisterRenderers.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <cmath>
#include <cstring>
#include <sstream>

namespace kelvara::test {

TVideoBed::TVideoBed(TRendererSourceConfig config)
    : graph(MakeGraph()), source(MakeComObject<TRendererTestSource>(std::move(config))),
      renderer(MakeComObject<CVideoMixingRenderer9>()), control(graph.As<IMediaControl>()),
      seeking(graph.As<IMediaSeeking>()) {
    RegisterRendererFilters();
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(renderer.Get(), u"Video Renderer");
    connected = ConnectChain(graph.Get(), {source.Get(), renderer.Get()});
}

TVideoBed::~TVideoBed() {
    source->ReleaseHold();
    control->Stop();
}

bool TVideoBed::PauseAndWait() {
    control->Pause();
    return PumpUntil([&] { return StateOf(graph.Get(), 0).result == S_OK; }, 30000);
}

bool TVideoBed::SeekAndWait(int frame) {
    LONGLONG at = LONGLONG(frame) * source->Config().sampleDuration;
    if (FAILED(seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                     AM_SEEKING_NoPositioning)))
        return false;
    return PumpUntil([&] { return StateOf(graph.Get(), 0).result == S_OK; }, 30000);
}

QImage TVideoBed::CurrentImage() {
    BYTE* dib = nullptr;
    if (FAILED(renderer->GetCurrentImage(&dib)) || !dib)
        return {};
    QImage image = ImageOfDib(dib);
    CoTaskMemFree(dib);
    return image;
}

int TVideoBed::FramesDrawn() {
    int drawn = -1;
    renderer->get_FramesDrawn(&drawn);
    return drawn;
}

TAudioBed::TAudioBed(TRendererSourceConfig config)
    : graph(MakeGraph()), source(MakeComObject<TRendererTestSource>(std::move(config))),
      renderer(MakeComObject<CAudioRenderer>()), control(graph.As<IMediaControl>()) {
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(renderer.Get(), u"Audio Renderer");
    connected = ConnectChain(graph.Get(), {source.Get(), renderer.Get()});
}

TAudioBed::~TAudioBed() {
    source->ReleaseHold();
    control->Stop();
}

TRendererSourceConfig PatternVideo(REFGUID subtype, LONG width, LONG height, int frames) {
    TRendererSourceConfig config;
    config.type = RgbVideoType(subtype, width, height, 400000);
    config.samples = frames;
    const int bytes = subtype == MEDIASUBTYPE_RGB24 ? 3 : 4;
    const bool topDown = height < 0;
    config.fill = [=](int index, BYTE* data, LONG size) {
        return WriteBitmap(PatternImage(index, width, std::abs(height)), data, size, bytes,
                           topDown);
    };
    return config;
}

TRendererSourceConfig ConstantAudio(const AM_MEDIA_TYPE& type, int samples, int framesPerSample,
                                    double value) {
    const auto wfx = type.ReadFormat<WAVEFORMATEX>();
    TRendererSourceConfig config;
    config.type = type;
    config.samples = samples;
    config.sampleDuration = REFERENCE_TIME(framesPerSample) * UNITS / wfx->nSamplesPerSec;
    config.bufferSize = LONG(framesPerSample) * wfx->nBlockAlign;
    const int bits = wfx->wBitsPerSample;
    const bool isFloat = wfx->wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
    config.fill = [=](int, BYTE* data, LONG size) {
        const int width = bits / 8;
        const LONG count = size / width;
        for (LONG i = 0; i < count; ++i) {
            BYTE* p = data + size_t(i) * size_t(width);
            if (isFloat) {
                const float v = float(value);
                std::memcpy(p, &v, 4);
            } else if (bits == 8) {
                p[0] = BYTE(std::lround(value * 127.0) + 128);
            } else {
                const auto v = int64_t(std::llround(value * double((1ll << (bits - 1)) - 1)));
                for (int b = 0; b < width; ++b)
                    p[b] = BYTE(uint64_t(v) >> (8 * b));
            }
        }
        return size;
    };
    return config;
}

QImage ImageOfDib(const BYTE* dib) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    if (header.biSize != sizeof header || header.biBitCount != 32 || header.biWidth <= 0 ||
        header.biHeight == 0)
        return {};
    const int width = header.biWidth, height = std::abs(header.biHeight);
    QImage image(width, height, QImage::Format_RGB32);
    const BYTE* pixels = dib + header.biSize;
    for (int y = 0; y < height; ++y) {
        const int stored = header.biHeight > 0 ? height - 1 - y : y;
        std::memcpy(image.scanLine(y), pixels + size_t(stored) * size_t(width) * 4,
                    size_t(width) * 4);
    }
    return image;
}

std::string ImageDifference(const QImage& actual, const QImage& expected, int tolerance) {
    std::ostringstream out;
    if (actual.size() != expected.size()) {
        out << "size " << actual.width() << "x" << actual.height() << ", expected "
            << expected.width() << "x" << expected.height();
        return out.str();
    }
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y), pe = e.pixel(x, y);
            const int d =
                std::max({std::abs(qRed(pa) - qRed(pe)), std::abs(qGreen(pa) - qGreen(pe)),
                          std::abs(qBlue(pa) - qBlue(pe))});
            if (d > tolerance) {
                out << "pixel (" << x << ", " << y << ") is #" << std::hex << (pa & 0xFFFFFF)
                    << ", expected #" << (pe & 0xFFFFFF);
                return out.str();
            }
        }
    return {};
}

std::optional<LONG> WaitForCompletion(IGraphBuilder* graph, int timeoutMs) {
    ComPtr<IMediaEventEx> events = QueryInterfaceOf<IMediaEventEx>(graph);
    std::optional<LONG> code;
    PumpUntil(
        [&] {
            LONG c = 0;
            if (events->WaitForCompletion(0, &c) == S_OK)
                code = c;
            return code.has_value();
        },
        timeoutMs);
    return code;
}

} // namespace kelvara::test
