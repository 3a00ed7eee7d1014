#include "InfoGraph.h"

#include "InfoAudioSink.h"
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphClasses.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uDVcodeNotifier.h"
#include "taps/uMediaDescriptions.h"
#include "taps/uMediaHelpers.h"

#include <chrono>

#include <QFile>
#include <QFileInfo>

namespace {

// A graph that shows no frame and raises no event for this long is taken as stuck.
constexpr auto kStallLimit = std::chrono::seconds(60);

std::string Quoted(const QString& path) {
    return path.toStdString();
}

std::string HResultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(hr));
    return text;
}

// The first unconnected output pin of filter whose preferred types include the major type.
ComPtr<IPin> OutputOfMajorType(IBaseFilter* filter, REFGUID major) {
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        if (DirectionOf(pin.Get()) != PINDIR_OUTPUT)
            continue;
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())) && peer)
            continue;
        for (const AM_MEDIA_TYPE& type : MediaTypesOf(pin.Get(), 16))
            if (type.majortype == major)
                return pin;
    }
    return {};
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    for (const ComPtr<IPin>& pin : PinsOf(filter))
        if (DirectionOf(pin.Get()) == direction)
            return pin;
    return {};
}

bool HasOutputs(IBaseFilter* filter) {
    return bool(FirstPin(filter, PINDIR_OUTPUT));
}

std::vector<ComPtr<IBaseFilter>> FiltersIn(IGraphBuilder* graph) {
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> e;
    if (FAILED(graph->EnumFilters(e.ReleaseAndGetAddressOf())) || !e)
        return filters;
    IBaseFilter* f = nullptr;
    while (e->Next(1, &f, nullptr) == S_OK) {
        filters.emplace_back(f);
        f->Release();
    }
    return filters;
}

} // namespace

TInfoGraph::TInfoGraph(const TInfoOptions& options)
    : FOptions(options), FPath(QString::fromStdString(options.File)),
      FVideoTap(MakeComObject<TVideoNotifier>()), FAudioTap(MakeComObject<TAudioNotifier>()),
      FKeeper(MakeComObject<TFramesNotifier>()) {
    FLog.SetMaxFrames(options.MaxFrames);
}

TInfoGraph::~TInfoGraph() {
    if (FGraph) {
        if (ComPtr<IMediaControl> control = FGraph.As<IMediaControl>())
            control->Stop();
        ProcessMessages();
        for (const ComPtr<IBaseFilter>& filter : FiltersIn(FGraph.Get()))
            FGraph->RemoveFilter(filter.Get());
    }
}

TInfoStatus TInfoGraph::CheckFile() const {
    const QFileInfo info(FPath);
    if (!info.exists())
        return {TInfoExit::Missing, Quoted(FPath) + ": no such file"};
    if (info.isDir())
        return {TInfoExit::Unreadable, Quoted(FPath) + ": is a folder, not a video file"};
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        return {TInfoExit::Unreadable,
                Quoted(FPath) + ": cannot be read (" + file.errorString().toStdString() + ")"};
    return {};
}

TInfoStatus TInfoGraph::Build() {
    if (TInfoStatus s = CheckFile(); !s.Ok())
        return s;
    RegisterGraphClasses();
    RegisterPlatformFilters();
    FGraph = CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
    if (!FGraph)
        return {TInfoExit::NotDecodable, "the media framework cannot make a graph"};
    if (TInfoStatus s = AddSource(); !s.Ok())
        return s;
    if (TInfoStatus s = FindStreams(); !s.Ok())
        return s;
    if (TInfoStatus s = ConnectVideo(); !s.Ok())
        return s;
    ConnectAudio();
    FGraph.As<IMediaFilter>()->SetSyncSource(nullptr);
    return {};
}

bool TInfoGraph::Add(IBaseFilter* filter, const QString& name) {
    return filter && SUCCEEDED(FGraph->AddFilter(filter, reinterpret_cast<LPCWSTR>(name.utf16())));
}

ComPtr<IBaseFilter> TInfoGraph::AddFilter(REFCLSID clsid, const QString& name) {
    ComPtr<IBaseFilter> filter = CreateInstanceOf<IBaseFilter>(clsid);
    return Add(filter.Get(), name) ? filter : nullptr;
}

TInfoStatus TInfoGraph::AddSource() {
    const TInfoStatus unreadable{TInfoExit::Unreadable,
                                 Quoted(FPath) + ": not a media file that can be read"};
    const bool avi = FPath.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive);
    const bool useFileSource =
        FOptions.Source == TInfoSource::File || (FOptions.Source == TInfoSource::Auto && avi);
    const CLSID clsid = useFileSource ? CLSID_AsyncReader : CLSID_LAVSplitterSource;
    const QString name = useFileSource ? QStringLiteral("File Source (Async.)")
                                       : QStringLiteral("LAV Splitter Source");
    ComPtr<IBaseFilter> source = AddFilter(clsid, name);
    ComPtr<IFileSourceFilter> file = QueryInterfaceOf<IFileSourceFilter>(source.Get());
    if (!file || FAILED(file->Load(reinterpret_cast<LPCWSTR>(FPath.utf16()), nullptr)))
        return unreadable;
    if (!useFileSource) {
        FSplitter = source;
        return HasOutputs(source.Get()) ? TInfoStatus{} : unreadable;
    }
    return AddSplitterFor(FirstPin(source.Get(), PINDIR_OUTPUT).Get());
}

// The splitters that read a byte stream, tried in turn: the AVI splitter first for AVI files.
TInfoStatus TInfoGraph::AddSplitterFor(IPin* streamPin) {
    struct TSplitter {
        CLSID Clsid;
        const char16_t* Name;
    };
    const TSplitter splitters[] = {{CLSID_AviSplitter, u"AVI Splitter"},
                                   {CLSID_MMSPLITTER, u"MPEG-2 Splitter"},
                                   {CLSID_MPEG1Splitter, u"MPEG-I Stream Splitter"},
                                   {CLSID_WAVEParser, u"Wave Parser"},
                                   {CLSID_LAVSplitter, u"LAV Splitter"}};
    for (const TSplitter& s : splitters) {
        ComPtr<IBaseFilter> splitter = AddFilter(s.Clsid, QString::fromUtf16(s.Name));
        if (!splitter)
            continue;
        ComPtr<IPin> input = FirstPin(splitter.Get(), PINDIR_INPUT);
        if (streamPin && input &&
            SUCCEEDED(FGraph->ConnectDirect(streamPin, input.Get(), nullptr)) &&
            HasOutputs(splitter.Get())) {
            FSplitter = splitter;
            return {};
        }
        if (streamPin)
            FGraph->Disconnect(streamPin);
        FGraph->RemoveFilter(splitter.Get());
    }
    return {TInfoExit::Unreadable, Quoted(FPath) + ": not a media file that can be read"};
}

TInfoStatus TInfoGraph::FindStreams() {
    FVideoPin = OutputOfMajorType(FSplitter.Get(), MEDIATYPE_Video);
    FAudioPin = OutputOfMajorType(FSplitter.Get(), MEDIATYPE_Audio);
    if (FVideoPin)
        return {};
    ComPtr<IPin> interleaved = OutputOfMajorType(FSplitter.Get(), MEDIATYPE_Interleaved);
    if (!interleaved)
        return {TInfoExit::NoVideo, Quoted(FPath) + ": the file has no video stream"};
    // Interleaved DV: the DV stage, then the DV splitter, whose outputs are video and sound.
    ComPtr<TDVCodeNotifier> stage = MakeComObject<TDVCodeNotifier>();
    ComPtr<IBaseFilter> dvSplitter;
    if (Add(stage.Get(), QString::fromUtf16(DVCodeNotifierGraphName)))
        dvSplitter = AddFilter(CLSID_DVSplitter, QStringLiteral("DV Splitter"));
    if (!dvSplitter ||
        FAILED(FGraph->Connect(interleaved.Get(), FirstPin(stage.Get(), PINDIR_INPUT).Get())) ||
        FAILED(FGraph->Connect(FirstPin(stage.Get(), PINDIR_OUTPUT).Get(),
                               FirstPin(dvSplitter.Get(), PINDIR_INPUT).Get())))
        return {TInfoExit::NotDecodable, Quoted(FPath) + ": the DV stream cannot be split"};
    FIsDVDevice = true;
    FVideoPin = OutputOfMajorType(dvSplitter.Get(), MEDIATYPE_Video);
    FAudioPin = OutputOfMajorType(dvSplitter.Get(), MEDIATYPE_Audio);
    if (!FVideoPin)
        return {TInfoExit::NoVideo, Quoted(FPath) + ": the DV stream has no video"};
    return {};
}

TInfoStatus TInfoGraph::ConnectVideo() {
    FVideoTap->ResetStreamData();
    FVideoTap->SetIsDVDevice(FIsDVDevice);
    FVideoTap->SetVideoWindow(FLog.Handle());
    FVideoTap->SetVideoDataRelay(true);
    FVideoTap->SetDVCodeWindow(FLog.Handle());
    FVideoTap->SetDVRelay(true);
    FKeeper->SetDVSource(FVideoTap.Get());
    FKeeper->SetVideoSource(FVideoTap.Get());
    FKeeper->SetNavigationWindow(FLog.Handle());
    FKeeper->SetPositionTextReports(true);
    FLog.SetFilters(FKeeper.Get(), FVideoTap.Get(), FAudioTap.Get());

    const TInfoStatus undecodable{TInfoExit::NotDecodable,
                                  Quoted(FPath) + ": the video stream cannot be decoded"};
    ComPtr<IBaseFilter> renderer =
        AddFilter(CLSID_VideoMixingRenderer9, QStringLiteral("Video Mixing Renderer 9"));
    if (!renderer)
        return {TInfoExit::NotDecodable, "the video renderer is missing"};
    if (ComPtr<IVMRFilterConfig9> config = QueryInterfaceOf<IVMRFilterConfig9>(renderer.Get()))
        config->SetRenderingMode(VMR9Mode_Windowless);
    FVideoRenderer = renderer;
    const ComPtr<IPin> tapIn = FirstPin(FVideoTap.Get(), PINDIR_INPUT);
    const ComPtr<IPin> tapOut = FirstPin(FVideoTap.Get(), PINDIR_OUTPUT);
    const ComPtr<IPin> rendererIn = FirstPin(renderer.Get(), PINDIR_INPUT);
    if (!Add(FVideoTap.Get(), QString::fromUtf16(VideoNotifierGraphName)) ||
        FAILED(FGraph->Connect(FVideoPin.Get(), tapIn.Get())) ||
        FAILED(FGraph->Connect(tapOut.Get(), rendererIn.Get())))
        return undecodable;
    // The keeper goes directly in front of the renderer.
    ComPtr<IPin> decoded;
    if (FAILED(rendererIn->ConnectedTo(decoded.ReleaseAndGetAddressOf())) || !decoded ||
        !Add(FKeeper.Get(), QString::fromUtf16(FramesNotifierName)))
        return undecodable;
    FGraph->Disconnect(decoded.Get());
    FGraph->Disconnect(rendererIn.Get());
    if (FAILED(FGraph->ConnectDirect(decoded.Get(), FirstPin(FKeeper.Get(), PINDIR_INPUT).Get(),
                                     nullptr)) ||
        FAILED(FGraph->ConnectDirect(FirstPin(FKeeper.Get(), PINDIR_OUTPUT).Get(), rendererIn.Get(),
                                     nullptr)))
        return undecodable;
    return {};
}

// Sound is optional: its tap describes it, then it ends in a sink that discards it. A stream
// whose tap cannot connect is left out.
void TInfoGraph::ConnectAudio() {
    if (!FAudioPin)
        return;
    FAudioTap->ResetStreamData();
    FAudioTap->SetIsDVDevice(FIsDVDevice);
    const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(FAudioPin.Get(), 1);
    if (!types.empty())
        FAudioTap->SetFormatName(AudioFormatName(types.front()));
    FAudioTap->SetAudioWindow(FLog.Handle());
    FAudioTap->SetAudioDataRelay(true);
    ComPtr<TInfoAudioSink> sink = MakeComObject<TInfoAudioSink>();
    if (!Add(FAudioTap.Get(), QString::fromUtf16(AudioNotifierGraphName)) ||
        FAILED(FGraph->Connect(FAudioPin.Get(), FirstPin(FAudioTap.Get(), PINDIR_INPUT).Get()))) {
        FGraph->RemoveFilter(FAudioTap.Get());
        return;
    }
    FAudioText = FAudioTap->AudioData().AudioText.trimmed().toStdString();
    if (!Add(sink.Get(), QStringLiteral("Audio Sink")) ||
        FAILED(FGraph->ConnectDirect(FirstPin(FAudioTap.Get(), PINDIR_OUTPUT).Get(),
                                     FirstPin(sink.Get(), PINDIR_INPUT).Get(), nullptr))) {
        FGraph->RemoveFilter(sink.Get());
        FGraph->Disconnect(FAudioPin.Get());
        FGraph->RemoveFilter(FAudioTap.Get());
    }
}

TInfoStatus TInfoGraph::Play() {
    ComPtr<IMediaControl> control = FGraph.As<IMediaControl>();
    ComPtr<IMediaEvent> events = FGraph.As<IMediaEvent>();
    if (!control || !events || FAILED(control->Run()))
        return {TInfoExit::NotDecodable, Quoted(FPath) + ": the video cannot be played"};
    TInfoStatus status;
    bool done = false;
    size_t seen = 0;
    auto lastChange = std::chrono::steady_clock::now();
    while (!done) {
        WaitServingMessages([&] { return FLog.Full(); }, 10);
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        while (!done && events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            lastChange = std::chrono::steady_clock::now();
            if (code == EC_COMPLETE) {
                done = true;
            } else if (code == EC_ERRORABORT || code == EC_USERABORT) {
                status = {TInfoExit::NotDecodable, Quoted(FPath) + ": playing stopped with error " +
                                                       HResultText(HRESULT(p1))};
                done = true;
            }
            events->FreeEventParams(code, p1, p2);
        }
        if (FLog.Full())
            done = true;
        if (FLog.Frames().size() != seen) {
            seen = FLog.Frames().size();
            lastChange = std::chrono::steady_clock::now();
        } else if (!done && std::chrono::steady_clock::now() - lastChange > kStallLimit) {
            status = {TInfoExit::NotDecodable, Quoted(FPath) + ": playing stalled"};
            done = true;
        }
    }
    control->Stop();
    ProcessMessages();
    if (status.Ok() && FLog.Frames().empty())
        status = {TInfoExit::NotDecodable,
                  Quoted(FPath) + ": no frame of the video could be shown"};
    return status;
}

TInfoResult TInfoGraph::Result() const {
    TInfoResult r;
    r.File = FPath.toStdString();
    r.VideoText = FLog.VideoText();
    r.AudioText = FAudioText;
    r.FrameDuration = FLog.FrameDuration();
    r.Frames = FLog.Frames();
    return r;
}
