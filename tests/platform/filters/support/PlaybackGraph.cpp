#include "tests/platform/filters/support/PlaybackGraph.h"

#include "platform/com/ClassRegistry.h"
#include "platform/com/TaskMem.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <vector>

namespace kelvara::test {

TPlaybackGraph::TPlaybackGraph(TVideoOutput output) : FOutput(output) {
    RegisterPlatformFilters();
    FGraph = MakeGraph();
    MakeRenderers();
}

void TPlaybackGraph::MakeRenderers() {
    FAudio = MakeComObject<TPcmSink>();
    FVideo = nullptr;
    FRenderer = nullptr;
    if (FOutput == TVideoOutput::PixelSink) {
        FVideo = MakeComObject<TPixelSink>();
        FRenderer = FVideo.Get();
        return;
    }
    FRenderer = CreateInstanceOf<IBaseFilter>(CLSID_VideoMixingRenderer9);
    if (ComPtr<IVMRFilterConfig9> config = FRenderer.As<IVMRFilterConfig9>()) {
        config->SetRenderingMode(VMR9Mode_Windowless);
        config->SetNumberOfStreams(4);
    }
}

TRgbImage TPlaybackGraph::CurrentImage() const {
    if (FVideo) {
        TRgbImage image;
        image.width = FVideo->Width();
        image.height = FVideo->Height();
        image.pixels = FVideo->LastPixels();
        return image;
    }
    ComPtr<IVMRWindowlessControl9> control = FRenderer.As<IVMRWindowlessControl9>();
    BYTE* dib = nullptr;
    if (!control || FAILED(control->GetCurrentImage(&dib)) || !dib)
        return {};
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const size_t size = header->biSize + size_t(std::abs(header->biHeight)) *
                                             size_t(std::max<LONG>(0, header->biWidth)) * 4;
    TRgbImage image = ImageOfDib(dib, size);
    CoTaskMemFree(dib);
    return image;
}

int TPlaybackGraph::FramesDrawn() const {
    int drawn = 0;
    if (ComPtr<IQualProp> quality = FRenderer.As<IQualProp>())
        quality->get_FramesDrawn(&drawn);
    return drawn;
}

TPlaybackGraph::~TPlaybackGraph() {
    Clear();
}

HRESULT TPlaybackGraph::Open(const QString& path, REFCLSID source, REFCLSID splitter) {
    const HRESULT hr = OpenStreams(path, source, splitter);
    return FAILED(hr) ? hr : ConnectOutputs();
}

CMediaType TPlaybackGraph::StreamType(REFGUID major) const {
    for (const ComPtr<IPin>& pin : PinsOf(FStreams.Get())) {
        const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(pin.Get());
        if (DirectionOf(pin.Get()) == PINDIR_OUTPUT && !types.empty() &&
            types[0].majortype == major)
            return types[0];
    }
    return {};
}

HRESULT TPlaybackGraph::OpenStreams(const QString& path, REFCLSID source, REFCLSID splitter) {
    FSource = CreateInstanceOf<IBaseFilter>(source);
    ComPtr<IFileSourceFilter> file = FSource.As<IFileSourceFilter>();
    if (!file)
        return REGDB_E_CLASSNOTREG;
    HRESULT hr = file->Load(WStr(path), nullptr);
    if (FAILED(hr))
        return hr;
    FGraph->AddFilter(FSource.Get(), u"Source");
    FStreams = FSource;
    if (splitter != GUID_NULL) {
        ComPtr<IBaseFilter> split = CreateInstanceOf<IBaseFilter>(splitter);
        if (!split)
            return REGDB_E_CLASSNOTREG;
        FGraph->AddFilter(split.Get(), u"Splitter");
        hr = FGraph->ConnectDirect(PinOf(FSource.Get(), PINDIR_OUTPUT).Get(),
                                   PinOf(split.Get(), PINDIR_INPUT).Get(), nullptr);
        if (FAILED(hr))
            return hr;
        FStreams = split;
    }
    return S_OK;
}

HRESULT TPlaybackGraph::ConnectOutputs() {
    if (!FRenderer)
        return REGDB_E_CLASSNOTREG;
    FGraph->AddFilter(FRenderer.Get(), u"Video Renderer");
    FGraph->AddFilter(FAudio.Get(), u"Audio Sink");
    const ComPtr<IPin> videoIn = PinOf(FRenderer.Get(), PINDIR_INPUT);
    const ComPtr<IPin> audioIn = PinOf(FAudio.Get(), PINDIR_INPUT);
    for (const ComPtr<IPin>& pin : PinsOf(FStreams.Get())) {
        if (DirectionOf(pin.Get()) != PINDIR_OUTPUT)
            continue;
        const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(pin.Get());
        const GUID major = types.empty() ? GUID_NULL : types[0].majortype;
        // A byte stream (a file source alone) goes through whatever splitter takes it.
        if ((major == MEDIATYPE_Video || major == MEDIATYPE_Interleaved ||
             major == MEDIATYPE_Stream) &&
            !FVideoConnected)
            FVideoConnected = SUCCEEDED(FGraph->Connect(pin.Get(), videoIn.Get()));
        else if (major == MEDIATYPE_Audio && !FAudioConnected)
            FAudioConnected = SUCCEEDED(FGraph->Connect(pin.Get(), audioIn.Get()));
    }
    // Interleaved DV: the sound comes from the DV splitter that intelligent connect inserted.
    ComPtr<IEnumFilters> filters;
    FGraph->EnumFilters(filters.ReleaseAndGetAddressOf());
    IBaseFilter* f = nullptr;
    while (!FAudioConnected && filters && filters->Next(1, &f, nullptr) == S_OK) {
        ComPtr<IBaseFilter> filter;
        filter.Attach(f);
        for (const ComPtr<IPin>& pin : PinsOf(filter.Get())) {
            ComPtr<IPin> peer;
            const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(pin.Get());
            if (DirectionOf(pin.Get()) == PINDIR_OUTPUT && !types.empty() &&
                types[0].majortype == MEDIATYPE_Audio &&
                FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
                FAudioConnected = SUCCEEDED(FGraph->Connect(pin.Get(), audioIn.Get()));
        }
    }
    return FVideoConnected || FAudioConnected ? S_OK : VFW_E_CANNOT_RENDER;
}

QString TPlaybackGraph::NameBefore(IBaseFilter* sink) const {
    ComPtr<IPin> peer;
    if (FAILED(PinOf(sink, PINDIR_INPUT)->ConnectedTo(peer.ReleaseAndGetAddressOf())))
        return {};
    FILTER_INFO info;
    FilterOf(peer.Get())->QueryFilterInfo(&info);
    if (info.pGraph)
        info.pGraph->Release();
    return FromWStr(info.achName);
}

QString TPlaybackGraph::VideoDecoderName() const {
    return NameBefore(FRenderer.Get());
}

QString TPlaybackGraph::AudioDecoderName() const {
    return NameBefore(FAudio.Get());
}

LONG TPlaybackGraph::PlayToEnd(int timeoutMs) {
    FGraph.As<IMediaFilter>()->SetSyncSource(nullptr);
    if (FAILED(FGraph.As<IMediaControl>()->Run()))
        return 0;
    LONG code = 0;
    if (FAILED(FGraph.As<IMediaEventEx>()->WaitForCompletion(timeoutMs, &code)))
        return 0;
    return code;
}

bool TPlaybackGraph::PauseAt(REFERENCE_TIME t, int timeoutMs) {
    ComPtr<IMediaControl> control = FGraph.As<IMediaControl>();
    ComPtr<IMediaSeeking> seeking = FGraph.As<IMediaSeeking>();
    OAFilterState state = State_Stopped;
    control->GetState(0, &state);
    LONGLONG at = t;
    if (state == State_Stopped) {
        seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                              AM_SEEKING_NoPositioning);
        control->Pause();
    } else {
        control->Pause();
        seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                              AM_SEEKING_NoPositioning);
    }
    return control->GetState(timeoutMs, &state) == S_OK && state == State_Paused;
}

REFERENCE_TIME TPlaybackGraph::Duration() const {
    LONGLONG duration = 0;
    FGraph.As<IMediaSeeking>()->GetDuration(&duration);
    return duration;
}

HRESULT TPlaybackGraph::Stop() {
    return FGraph.As<IMediaControl>()->Stop();
}

void TPlaybackGraph::Clear() {
    Stop();
    std::vector<ComPtr<IBaseFilter>> all;
    ComPtr<IEnumFilters> filters;
    FGraph->EnumFilters(filters.ReleaseAndGetAddressOf());
    IBaseFilter* f = nullptr;
    while (filters && filters->Next(1, &f, nullptr) == S_OK) {
        ComPtr<IBaseFilter> filter;
        filter.Attach(f);
        all.push_back(filter);
    }
    for (const auto& filter : all)
        FGraph->RemoveFilter(filter.Get());
    FSource = nullptr;
    FStreams = nullptr;
    MakeRenderers();
    FVideoConnected = FAudioConnected = false;
}

} // namespace kelvara::test
