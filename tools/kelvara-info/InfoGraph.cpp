#include "InfoGraph.h"

#include "InfoAudioSink.h"
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphClasses.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/graph/SourceInterfaces.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uDVcodeNotifier.h"
#include "taps/uMediaDescriptions.h"
#include "taps/uMediaHelpers.h"

#include <chrono>
#include <cstring>
#include <new>

namespace {

// A graph that shows no frame and raises no event for this long is taken as stuck: it plays
// without a clock, so even a very large picture takes a small part of it.
constexpr auto kStallLimit = std::chrono::seconds(20);

// Events of a failure (the first parameter is its code), whether the graph stops or plays on.
constexpr LONG kErrorAbortEx = 0x45; // EC_ERRORABORTEX: the code and a description
constexpr LONG kFileClosed = 0x44;   // EC_FILE_CLOSED: the source lost its file
bool IsErrorEvent(LONG code) {
    return code == EC_ERRORABORT || code == kErrorAbortEx || code == EC_STREAM_ERROR_STOPPED ||
           code == kFileClosed || code == EC_STREAM_ERROR_STILLPLAYING ||
           code == EC_ERROR_STILLPLAYING;
}

// An exception that reached the error report: what it means for the run.
TInfoFailure ReportedFailure() {
    const auto& last = Application().LastReportedError();
    if (last && last->OutOfMemory)
        return OutOfMemoryFailure();
    return {TInfoExit::Internal,
            "an error in the program: " + (last ? last->What : std::string("unknown"))};
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
    : FOptions(options), FName(options.File), FStallLimit(kStallLimit),
      FVideoTap(MakeComObject<TVideoNotifier>()), FAudioTap(MakeComObject<TAudioNotifier>()),
      FKeeper(MakeComObject<TFramesNotifier>()) {
    FLog.SetMaxFrames(options.MaxFrames);
}

TInfoGraph::~TInfoGraph() {
    if (!FGraph)
        return;
    StopQuietly();
    try {
        for (const ComPtr<IBaseFilter>& filter : FiltersIn(FGraph.Get()))
            FGraph->RemoveFilter(filter.Get());
    } catch (...) {
        // Out of memory while taking the graph apart: the process is ending anyway.
    }
}

TInfoStatus TInfoGraph::CheckFile() {
    FFile = std::make_unique<TNativeFile>(QByteArray::fromStdString(FOptions.File));
    switch (FFile->Kind()) {
    case TNativeFile::TKind::Regular:
        FPath = FFile->Path();
        return {};
    case TNativeFile::TKind::Missing:
        return {TInfoExit::Missing, FName + ": no such file"};
    case TNativeFile::TKind::Folder:
        return {TInfoExit::Unreadable, FName + ": is a folder, not a video file"};
    case TNativeFile::TKind::Other:
        return {TInfoExit::Unreadable, FName + ": cannot be read (not a regular file)"};
    case TNativeFile::TKind::Unreadable:
        break;
    }
    return {TInfoExit::Unreadable,
            FName + ": cannot be read (" + std::strerror(FFile->Error()) + ")"};
}

TInfoStatus TInfoGraph::Build() {
    try {
        return BuildGraph();
    } catch (const std::bad_alloc&) {
        return {TInfoExit::OutOfMemory, FName + ": out of memory"};
    } catch (const std::exception& e) {
        return {TInfoExit::Internal, FName + ": an error in the program: " + e.what()};
    }
}

TInfoStatus TInfoGraph::BuildGraph() {
    if (TInfoStatus s = CheckFile(); !s.Ok())
        return s;
    RegisterGraphClasses();
    RegisterPlatformFilters();
    if (FOptions.At.empty()) {
        FGraph = CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
    } else {
        FNav = std::make_unique<TNavMan>();
        FNav->BuildActions();
        FGraph = FNav->GraphBuilder();
        // Every event is read here, errors included, not only the end the manager listens for.
        if (const ComPtr<IMediaEventEx> events = FGraph.As<IMediaEventEx>())
            events->SetNotifyCallback(nullptr);
    }
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
    if (FNav) {
        FNav->SetFramesNotifier(FKeeper.Get());
        FNav->SetRendererState(QueryInterfaceOf<IMediaFilter>(FVideoRenderer.Get()).Get());
    }
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
                                 FName + ": not a media file that can be read"};
    const bool avi =
        QString::fromStdString(FName).endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive);
    const bool useFileSource =
        FOptions.Source == TInfoSource::File || (FOptions.Source == TInfoSource::Auto && avi);
    const CLSID clsid = useFileSource ? CLSID_AsyncReader : CLSID_LAVSplitterSource;
    const QString name = useFileSource ? QStringLiteral("File Source (Async.)")
                                       : QStringLiteral("LAV Splitter Source");
    ComPtr<IBaseFilter> source = AddFilter(clsid, name);
    ComPtr<IFileSourceFilter> file = QueryInterfaceOf<IFileSourceFilter>(source.Get());
    if (!file)
        return unreadable;
    if (const HRESULT hr = file->Load(reinterpret_cast<LPCWSTR>(FPath.utf16()), nullptr);
        FAILED(hr)) {
        const TInfoFailure failure = FailureOf(hr, TInfoExit::Unreadable);
        return failure.Code == TInfoExit::Unreadable
                   ? unreadable
                   : TInfoStatus{failure.Code, FName + ": " + failure.Text};
    }
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
    return {TInfoExit::Unreadable, FName + ": not a media file that can be read"};
}

TInfoStatus TInfoGraph::FindStreams() {
    FVideoPin = OutputOfMajorType(FSplitter.Get(), MEDIATYPE_Video);
    FAudioPin = OutputOfMajorType(FSplitter.Get(), MEDIATYPE_Audio);
    if (FVideoPin)
        return {};
    ComPtr<IPin> interleaved = OutputOfMajorType(FSplitter.Get(), MEDIATYPE_Interleaved);
    if (!interleaved)
        return {TInfoExit::NoVideo, FName + ": the file has no video stream"};
    // Interleaved DV: the DV stage, then the DV splitter, whose outputs are video and sound.
    ComPtr<TDVCodeNotifier> stage = MakeComObject<TDVCodeNotifier>();
    ComPtr<IBaseFilter> dvSplitter;
    if (Add(stage.Get(), QString::fromUtf16(DVCodeNotifierGraphName)))
        dvSplitter = AddFilter(CLSID_DVSplitter, QStringLiteral("DV Splitter"));
    if (!dvSplitter ||
        FAILED(FGraph->Connect(interleaved.Get(), FirstPin(stage.Get(), PINDIR_INPUT).Get())) ||
        FAILED(FGraph->Connect(FirstPin(stage.Get(), PINDIR_OUTPUT).Get(),
                               FirstPin(dvSplitter.Get(), PINDIR_INPUT).Get())))
        return {TInfoExit::NotDecodable, FName + ": the DV stream cannot be split"};
    FIsDVDevice = true;
    FVideoPin = OutputOfMajorType(dvSplitter.Get(), MEDIATYPE_Video);
    FAudioPin = OutputOfMajorType(dvSplitter.Get(), MEDIATYPE_Audio);
    if (!FVideoPin)
        return {TInfoExit::NoVideo, FName + ": the DV stream has no video"};
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

    HRESULT hr = S_OK;
    // A failure of its own (memory, a picture too large) is said as it is.
    const auto undecodable = [&] {
        const TInfoFailure failure = FailureOf(hr, TInfoExit::NotDecodable);
        if (failure.Code != TInfoExit::NotDecodable)
            return TInfoStatus{failure.Code,
                               FName + ": the video cannot be decoded: " + failure.Text};
        return TInfoStatus{TInfoExit::NotDecodable, FName + ": the video stream cannot be decoded"};
    };
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
        FAILED(hr = FGraph->Connect(FVideoPin.Get(), tapIn.Get())) ||
        FAILED(hr = FGraph->Connect(tapOut.Get(), rendererIn.Get())))
        return undecodable();
    // The keeper goes directly in front of the renderer.
    ComPtr<IPin> decoded;
    if (FAILED(rendererIn->ConnectedTo(decoded.ReleaseAndGetAddressOf())) || !decoded ||
        !Add(FKeeper.Get(), QString::fromUtf16(FramesNotifierName)))
        return undecodable();
    FGraph->Disconnect(decoded.Get());
    FGraph->Disconnect(rendererIn.Get());
    if (FAILED(hr = FGraph->ConnectDirect(decoded.Get(),
                                          FirstPin(FKeeper.Get(), PINDIR_INPUT).Get(), nullptr)) ||
        FAILED(hr = FGraph->ConnectDirect(FirstPin(FKeeper.Get(), PINDIR_OUTPUT).Get(),
                                          rendererIn.Get(), nullptr)))
        return undecodable();
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
    try {
        return PlayGraph();
    } catch (const std::bad_alloc&) {
        StopQuietly();
        return Stopped(OutOfMemoryFailure());
    } catch (const std::exception& e) {
        StopQuietly();
        return Stopped({TInfoExit::Internal, std::string("an error in the program: ") + e.what()});
    }
}

void TInfoGraph::StopQuietly() {
    try {
        if (ComPtr<IMediaControl> control = FGraph.As<IMediaControl>())
            control->Stop();
        ProcessMessages();
    } catch (...) {
    }
}

TInfoStatus TInfoGraph::Stopped(const TInfoFailure& failure) const {
    return StoppedStatus(FName, FLog.Frames().size(), failure);
}

TInfoStatus TInfoGraph::PlayGraph() {
    ComPtr<IMediaControl> control = FGraph.As<IMediaControl>();
    ComPtr<IMediaEvent> events = FGraph.As<IMediaEvent>();
    if (!control || !events)
        return {TInfoExit::NotDecodable, FName + ": the video cannot be played"};
    const int errorsBefore = Application().ReportedErrorCount();
    if (const HRESULT hr = control->Run(); FAILED(hr)) {
        StopQuietly();
        return Stopped(FailureOf(hr, TInfoExit::NotDecodable));
    }
    std::optional<TInfoFailure> failure;
    bool done = false;
    size_t seen = 0;
    auto lastChange = std::chrono::steady_clock::now();
    // Events first: one raised before the first frame ends the run before any frame is taken.
    while (!done) {
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        while (!done && events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            lastChange = std::chrono::steady_clock::now();
            const HRESULT hr = HRESULT(p1);
            if (code == EC_COMPLETE) {
                if (FAILED(hr) && !failure)
                    failure = FailureOf(hr, TInfoExit::Stopped);
                done = true;
            } else if (IsErrorEvent(code)) {
                // Also when the graph would play on: the frames after the error prove nothing.
                failure = FailureOf(FAILED(hr) ? hr : E_FAIL, TInfoExit::Stopped);
                done = true;
            } else if (code == EC_USERABORT) {
                failure = TInfoFailure{TInfoExit::Stopped, "playing was stopped"};
                done = true;
            }
            events->FreeEventParams(code, p1, p2);
        }
        if (Application().ReportedErrorCount() != errorsBefore) {
            // A handler failed: a frame or a description may be missing from the log.
            failure = ReportedFailure();
            done = true;
        }
        if (FLog.Full())
            done = true;
        if (FLog.Frames().size() != seen) {
            seen = FLog.Frames().size();
            lastChange = std::chrono::steady_clock::now();
        } else if (!done && std::chrono::steady_clock::now() - lastChange > FStallLimit) {
            failure =
                TInfoFailure{TInfoExit::Stopped, "stalled: no frame and no event for " +
                                                     std::to_string(FStallLimit.count()) + " ms"};
            done = true;
        }
        if (!done)
            WaitServingMessages([&] { return FLog.Full(); }, 10);
    }
    control->Stop();
    ProcessMessages();
    if (!failure && Application().ReportedErrorCount() != errorsBefore)
        failure = ReportedFailure();
    if (!failure && !FLog.Full())
        failure = LostFrames();
    if (failure)
        return Stopped(*failure);
    if (FLog.Frames().empty())
        return {TInfoExit::NotDecodable, FName + ": no frame of the video could be shown"};
    return {};
}

// The renderer drew every frame that the keeper passed; each of them must be in the log.
std::optional<TInfoFailure> TInfoGraph::LostFrames() const {
    ComPtr<IQualProp> quality = QueryInterfaceOf<IQualProp>(FVideoRenderer.Get());
    int drawn = 0;
    if (!quality || FAILED(quality->get_FramesDrawn(&drawn)))
        return std::nullopt;
    const size_t logged = FLog.Frames().size();
    if (drawn < 0 || size_t(drawn) <= logged)
        return std::nullopt;
    return TInfoFailure{TInfoExit::Stopped, "the frame log lost " +
                                                std::to_string(size_t(drawn) - logged) + " of " +
                                                std::to_string(drawn) + " frames drawn"};
}

TInfoResult TInfoGraph::Result() const {
    TInfoResult r;
    r.File = FName;
    r.VideoText = FLog.VideoText();
    r.AudioText = FAudioText;
    r.FrameDuration = FLog.FrameDuration();
    r.Frames = FLog.Frames();
    return r;
}
