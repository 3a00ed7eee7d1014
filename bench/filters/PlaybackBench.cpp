// Plays a file through the media platform as scripts/bench-playback.sh asks, and prints what it
// measured as key=value lines:
//   bench_playback play FILE        the whole file without a clock (as fast as the filters
//                                   go): play_seconds, video_frames
//   bench_playback decode FILE      the same into renderers that only take the samples: the
//                                   source, splitter and decoders alone
//   bench_playback seek FILE T...   paused, a precise seek to each position T (seconds) and
//                                   the time until its frame is shown: seek_ms for each
// The graph is the program's: "LAV Splitter Source", the decoders that intelligent connect
// chooses, the windowless video renderer and the audio renderer.
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/BaseRenderer.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/graph/SeekingInterfaces.h"
#include "platform/graph/SourceInterfaces.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

// Takes the decoders' RGB32 or PCM and does nothing with it.
class TNullRenderer : public CBaseRenderer {
public:
    explicit TNullRenderer(REFGUID major)
        : CBaseRenderer(CLSID_NullRenderer, QStringLiteral("Null Renderer")), FMajor(major) {}
    HRESULT CheckMediaType(const CMediaType* pmt) override {
        const bool ok = pmt->majortype == FMajor &&
                        (pmt->subtype == MEDIASUBTYPE_RGB32 || pmt->subtype == MEDIASUBTYPE_PCM);
        return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT DoRenderSample(IMediaSample*) override { return S_OK; }

private:
    GUID FMajor;
};

struct TGraph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> video;

    bool Open(const char* path, bool nullRenderers) {
        graph = CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
        source = CreateInstanceOf<IBaseFilter>(CLSID_LAVSplitterSource);
        ComPtr<IFileSourceFilter> file = source.As<IFileSourceFilter>();
        if (!graph || !file || FAILED(file->Load(WStr(QString::fromLocal8Bit(path)), nullptr)))
            return false;
        graph->AddFilter(source.Get(), u"Source");
        bool rendered = false;
        for (const ComPtr<IPin>& pin : PinsOf(source.Get()))
            rendered =
                (nullRenderers ? RenderIntoNull(pin.Get()) : SUCCEEDED(graph->Render(pin.Get()))) ||
                rendered;
        if (!nullRenderers)
            graph->FindFilterByName(u"Video Mixing Renderer 9", video.ReleaseAndGetAddressOf());
        return rendered;
    }

    bool RenderIntoNull(IPin* pin) {
        const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(pin);
        const GUID major = types.empty() ? GUID_NULL : types[0].majortype;
        ComPtr<IBaseFilter> sink = MakeComObject<TNullRenderer>(major);
        graph->AddFilter(sink.Get(), major == MEDIATYPE_Video ? u"Null Video" : u"Null Audio");
        if (major == MEDIATYPE_Video)
            video = sink;
        ComPtr<IPin> in = PinsOf(sink.Get())[0];
        return SUCCEEDED(graph->Connect(pin, in.Get()));
    }

    int FramesDrawn() {
        int drawn = 0;
        if (ComPtr<IQualProp> q = video.As<IQualProp>())
            q->get_FramesDrawn(&drawn);
        return drawn;
    }
};

int Play(const char* path, bool nullRenderers) {
    TGraph g;
    if (!g.Open(path, nullRenderers))
        return 2;
    g.graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    const auto start = TClock::now();
    g.graph.As<IMediaControl>()->Run();
    LONG code = 0;
    g.graph.As<IMediaEventEx>()->WaitForCompletion(-1, &code);
    const double seconds = Since(start);
    g.graph.As<IMediaControl>()->Stop();
    std::printf("play_seconds=%.3f\nvideo_frames=%d\ncompletion=%ld\n", seconds, g.FramesDrawn(),
                long(code));
    return code == EC_COMPLETE ? 0 : 1;
}

int Seek(const char* path, const std::vector<double>& positions) {
    TGraph g;
    if (!g.Open(path, false))
        return 2;
    ComPtr<IMediaControl> control = g.graph.As<IMediaControl>();
    ComPtr<IMediaSeeking> seeking = g.graph.As<IMediaSeeking>();
    control->Pause();
    OAFilterState state = 0;
    control->GetState(-1, &state);
    for (double t : positions) {
        LONGLONG at = LONGLONG(t * UNITS);
        const int before = g.FramesDrawn();
        const auto start = TClock::now();
        seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                              AM_SEEKING_NoPositioning);
        control->GetState(-1, &state);
        const double ms = Since(start) * 1000;
        std::printf("seek_ms=%.1f position=%.3f shown=%d\n", ms, t, g.FramesDrawn() > before);
    }
    control->Stop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    RegisterPlatformFilters();
    if (argc >= 3 && std::string(argv[1]) == "play")
        return Play(argv[2], false);
    if (argc >= 3 && std::string(argv[1]) == "decode")
        return Play(argv[2], true);
    if (argc >= 4 && std::string(argv[1]) == "seek") {
        std::vector<double> positions;
        for (int i = 3; i < argc; ++i)
            positions.push_back(std::atof(argv[i]));
        return Seek(argv[2], positions);
    }
    std::fprintf(stderr, "usage: bench_playback play|decode FILE | seek FILE SECONDS...\n");
    return 2;
}
