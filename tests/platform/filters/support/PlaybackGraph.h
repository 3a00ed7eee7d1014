#pragma once
// A graph that plays a file into the test sinks: a source (and a splitter, connected directly)
// by class, every video and audio output connected to the sinks through intelligent connect
// (which inserts the decoders, and the DV splitter for interleaved DV), run without a clock or
// paused at a position.
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/SeekingInterfaces.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"
#include "tests/platform/filters/support/SinkRenderers.h"

#include <QString>

namespace kelvara::test {

// What shows the video: the test sink, or the program's windowless renderer (whose current image
// is read back through GetCurrentImage).
enum class TVideoOutput { PixelSink, Vmr9 };

class TPlaybackGraph {
public:
    explicit TPlaybackGraph(TVideoOutput output = TVideoOutput::PixelSink);
    ~TPlaybackGraph();

    // Loads the file into the source (a filter with IFileSourceFilter); with a splitter, adds it
    // and connects the source's output to it directly. Then connects the outputs to the sinks.
    HRESULT Open(const QString& path, REFCLSID source, REFCLSID splitter = GUID_NULL);
    // The same without connecting the outputs.
    HRESULT OpenStreams(const QString& path, REFCLSID source, REFCLSID splitter = GUID_NULL);
    // The media type of the streams' first output pin of a major type (empty when none).
    CMediaType StreamType(REFGUID major) const;
    // The filter whose outputs are the streams (the splitter, else the source).
    IBaseFilter* Streams() const { return FStreams.Get(); }
    IBaseFilter* Source() const { return FSource.Get(); }
    bool HasVideo() const { return FVideoConnected; }
    bool HasAudio() const { return FAudioConnected; }
    // The name of the filter right before a sink (the decoder that was chosen), or empty.
    QString VideoDecoderName() const;
    QString AudioDecoderName() const;

    // Runs without a clock until EC_COMPLETE (its code, or 0 after timeoutMs).
    LONG PlayToEnd(int timeoutMs = 60000);
    // Pauses at position t and waits until the video sink holds the frame (false on time-out).
    bool PauseAt(REFERENCE_TIME t, int timeoutMs = 30000);
    REFERENCE_TIME Duration() const;
    HRESULT Stop();
    // Removes every filter (the graph can be used again).
    void Clear();

    IGraphBuilder* Graph() const { return FGraph.Get(); }
    // The video output; Video() is the test sink (null with the windowless renderer).
    IBaseFilter* VideoRenderer() const { return FRenderer.Get(); }
    TPixelSink* Video() const { return FVideo.Get(); }
    // The picture shown now (empty when nothing is shown).
    TRgbImage CurrentImage() const;
    // Frames the video output has shown (IQualProp).
    int FramesDrawn() const;
    TPcmSink* Audio() const { return FAudio.Get(); }

private:
    HRESULT ConnectOutputs();
    QString NameBefore(IBaseFilter* sink) const;
    void MakeRenderers();

    ComPtr<IGraphBuilder> FGraph;
    ComPtr<IBaseFilter> FSource;
    ComPtr<IBaseFilter> FStreams;
    TVideoOutput FOutput;
    ComPtr<IBaseFilter> FRenderer;
    ComPtr<TPixelSink> FVideo;
    ComPtr<TPcmSink> FAudio;
    bool FVideoConnected = false;
    bool FAudioConnected = false;
};

} // namespace kelvara::test
