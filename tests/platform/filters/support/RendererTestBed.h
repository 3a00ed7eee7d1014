#pragma once
// Graphs for the renderers' tests: a TRendererTestSource connected straight to a video or audio
// renderer, with the helpers the tests share (the current image read back as a QImage, waits
// that serve the GUI thread, pixel comparison that names the first difference).
#include "platform/filters/AudioRenderer.h"
#include "platform/filters/VideoRenderer.h"
#include "platform/graph/BuilderInterfaces.h"
#include "tests/platform/filters/support/RendererTestSource.h"

#include <optional>
#include <string>

#include <QImage>

namespace kelvara::test {

struct TVideoBed {
    explicit TVideoBed(TRendererSourceConfig config);
    ~TVideoBed();

    // Pauses and waits until the renderer holds a frame; false after the time limit.
    bool PauseAndWait();
    // Seeks (the graph keeps its state) and waits until a paused renderer holds the new frame.
    bool SeekAndWait(int frame);
    // The renderer's GetCurrentImage as an upright image (null when it fails).
    QImage CurrentImage();
    int FramesDrawn();

    ComPtr<IGraphBuilder> graph;
    ComPtr<TRendererTestSource> source;
    ComPtr<CVideoMixingRenderer9> renderer;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    HRESULT connected = E_FAIL;
};

struct TAudioBed {
    explicit TAudioBed(TRendererSourceConfig config);
    ~TAudioBed();

    ComPtr<IGraphBuilder> graph;
    ComPtr<TRendererTestSource> source;
    ComPtr<CAudioRenderer> renderer;
    ComPtr<IMediaControl> control;
    HRESULT connected = E_FAIL;
};

// A video source config of `frames` pattern frames of the given type.
TRendererSourceConfig PatternVideo(REFGUID subtype, LONG width, LONG height, int frames = 10);
// An audio source config of `samples` samples of `frames` frames each, every value `value`.
TRendererSourceConfig ConstantAudio(const AM_MEDIA_TYPE& type, int samples, int framesPerSample,
                                    double value);

// Parses a packed DIB (BITMAPINFOHEADER and 32-bit rows) into an upright image.
QImage ImageOfDib(const BYTE* dib);
// Empty when both images have the same size and pixels (RGB, the fourth byte aside), else a
// description of the first difference; `tolerance` allows that much per channel.
std::string ImageDifference(const QImage& actual, const QImage& expected, int tolerance = 0);
// Waits for the graph's completion event, serving the GUI thread; the event code, or nothing.
std::optional<LONG> WaitForCompletion(IGraphBuilder* graph, int timeoutMs);

} // namespace kelvara::test
