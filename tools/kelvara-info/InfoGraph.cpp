#include "InfoGraph.h"

#include "InfoAudioSink.h"
#include "media/uPrivateLAV.h"
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

// The source and splitter pairs that --source names. "lav": the LAV splitter source alone;
// "file": the file source with each splitter that reads a byte stream, the AVI splitter first.
struct TSourceRecords {
    TFilterRec* LavSource = TFilterRecs::Make(CLSID_LAVSplitterSource, fkRegistered,
                                              QStringLiteral("LAV Splitter Source"));
    TFilterRec* FileSource =
        TFilterRecs::Make(CLSID_AsyncReader, fkRegistered, QStringLiteral("File Source (Async.)"));
    std::vector<TFilterRec*> Splitters{
        TFilterRecs::Make(CLSID_AviSplitter, fkRegistered, QStringLiteral("AVI Splitter")),
        TFilterRecs::Make(CLSID_MMSPLITTER, fkRegistered, QStringLiteral("MPEG-2 Splitter")),
        TFilterRecs::Make(CLSID_MPEG1Splitter, fkRegistered,
                          QStringLiteral("MPEG-I Stream Splitter")),
        TFilterRecs::Make(CLSID_WAVEParser, fkRegistered, QStringLiteral("Wave Parser")),
        TFilterRecs::Make(CLSID_LAVSplitter, fkRegistered, QStringLiteral("LAV Splitter"))};
};

const TSourceRecords& SourceRecords() {
    static const TSourceRecords records;
    return records;
}

// The frame keeper as the decoder manager's final filter: a record the tool hands its keeper to.
TFilterRec* KeeperRecord() {
    static TFilterRec* const record =
        TFilterRecs::Make(CLSID_FramesNotifier, fkSupplied, QString::fromUtf16(FramesNotifierName));
    return record;
}

// A device that offers nothing could not be read.
bool Readable(const TFileDevice& device) {
    return device.Built() &&
           device.VideoCount() + device.AudioCount() + device.DVCount() + device.StreamCount() > 0;
}

} // namespace

TInfoGraph::TInfoGraph(const TInfoOptions& options)
    : FOptions(options), FName(options.File), FStallLimit(kStallLimit),
      FAudioTap(MakeComObject<TAudioNotifier>()), FKeeper(MakeComObject<TFramesNotifier>()) {
    FLog.SetMaxFrames(options.MaxFrames);
}

// The graph manager stops the graph and takes its filters out before the devices go.
TInfoGraph::~TInfoGraph() {
    if (FGraph)
        StopQuietly();
    if (FPrivateInstalled) {
        UninstallPrivateFilters({&FDecoders, nullptr, &FFactory});
        DeletePrivateSettings();
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
    FNav = std::make_unique<TNavMan>();
    if (!FOptions.At.empty())
        FNav->BuildActions();
    FGraph = FNav->GraphBuilder();
    if (!FGraph || !FNav->CaptureGraphBuilder())
        return {TInfoExit::NotDecodable, "the media framework cannot make a graph"};
    // Every event is read here, errors included, not only the end the manager listens for.
    if (const ComPtr<IMediaEventEx> events = FGraph.As<IMediaEventEx>())
        events->SetNotifyCallback(nullptr);
    if (TInfoStatus s = OpenDevice(); !s.Ok())
        return s;
    if (TInfoStatus s = ConnectVideo(); !s.Ok())
        return s;
    ConnectAudio();
    FGraph.As<IMediaFilter>()->SetSyncSource(nullptr);
    FNav->SetFramesNotifier(FKeeper.Get());
    FNav->SetRendererState(QueryInterfaceOf<IMediaFilter>(FVideoRenderer.Get()).Get());
    return {};
}

// The private packages of the tool's folder, loaded for the factory and the video decoders;
// their settings stay in the user's hive until the graph goes.
void TInfoGraph::UsePrivatePackages() {
    ApplyPrivateFolder(DefaultPrivateFolder());
    FPrivateInstalled = true;
    InstallPrivateFilters({&FDecoders, nullptr, &FFactory});
}

// The file's device: the media factory's choice by extension, or the pair that --source names.
TInfoStatus TInfoGraph::OpenDevice() {
    FFactory.SetGrapheMan(FNav.get());
    if (FOptions.Source == TInfoSource::Private)
        UsePrivatePackages();
    const TSourceRecords& records = SourceRecords();
    if (FOptions.Source == TInfoSource::Lav) {
        FOwnDevice = std::make_unique<TFileDevice>(FPath, nullptr, records.LavSource);
    } else if (FOptions.Source == TInfoSource::File) {
        for (TFilterRec* splitter : records.Splitters) {
            FOwnDevice = std::make_unique<TFileDevice>(FPath, splitter, records.FileSource);
            if (Readable(*FOwnDevice))
                break;
        }
    }
    FDevice = FOwnDevice ? FOwnDevice.get() : FFactory.GetDevice(FPath);
    if (!FDevice || !Readable(*FDevice)) {
        // Memory or a picture too large is said as it is; anything else is an unreadable file.
        const HRESULT hr = FDevice ? FDevice->LastFailure() : E_FAIL;
        const TInfoFailure failure = FailureOf(FAILED(hr) ? hr : E_FAIL, TInfoExit::Unreadable);
        if (failure.Code != TInfoExit::Unreadable)
            return {failure.Code, FName + ": " + failure.Text};
        return {TInfoExit::Unreadable, FName + ": not a media file that can be read"};
    }
    FVideo = FDevice->VideoSource(0);
    FAudio = FDevice->AudioSource(0);
    if (FVideo)
        return {};
    if (FDevice->DVCount() > 0)
        return {TInfoExit::NotDecodable, FName + ": the DV stream cannot be split"};
    return {TInfoExit::NoVideo, FName + ": the file has no video stream"};
}

TInfoStatus TInfoGraph::Undecodable(HRESULT hr) const {
    // A failure of its own (memory, a picture too large) is said as it is.
    const TInfoFailure failure = FailureOf(FAILED(hr) ? hr : E_FAIL, TInfoExit::NotDecodable);
    if (failure.Code != TInfoExit::NotDecodable)
        return {failure.Code, FName + ": the video cannot be decoded: " + failure.Text};
    return {TInfoExit::NotDecodable, FName + ": the video stream cannot be decoded"};
}

// The video source renders its stream into its tap; the decoder manager connects the tap to the
// renderer through a decoder, with the keeper spliced in as its final filter.
TInfoStatus TInfoGraph::ConnectVideo() {
    if (!FVideo->Connect(FNav.get(), FLog.Handle()))
        return Undecodable(FVideo->LastFailure());
    TVideoNotifier* tap = FVideo->Tap();
    tap->SetDVCodeWindow(FLog.Handle());
    tap->SetDVRelay(true);
    FKeeper->SetDVSource(tap);
    FKeeper->SetVideoSource(tap);
    FKeeper->SetNavigationWindow(FLog.Handle());
    FKeeper->SetPositionTextReports(true);
    FLog.SetFilters(FKeeper.Get(), tap, FAudioTap.Get());

    FVideoRenderer = CreateInstanceOf<IBaseFilter>(CLSID_VideoMixingRenderer9);
    if (!FVideoRenderer ||
        FAILED(FGraph->AddFilter(FVideoRenderer.Get(), u"Video Mixing Renderer 9")))
        return {TInfoExit::NotDecodable, "the video renderer is missing"};
    if (ComPtr<IVMRFilterConfig9> config =
            QueryInterfaceOf<IVMRFilterConfig9>(FVideoRenderer.Get()))
        config->SetRenderingMode(VMR9Mode_Windowless);
    KeeperRecord()->SetInstance(FKeeper.Get());
    FDecoders.SetGraph(FNav.get());
    FDecoders.SetLinks(&VideoExclusions(), &VideoDecoderMemory(), NoVideoDecoder());
    FDecoders.FinalFilter = KeeperRecord();
    if (!FDecoders.ConnectDecoder(tap, FVideoRenderer.Get()) || !KeeperFeedsTheRenderer())
        return Undecodable(FDecoders.LastFailure());
    return {};
}

// The frames that pass the keeper must be the frames shown.
bool TInfoGraph::KeeperFeedsTheRenderer() const {
    const std::vector<ComPtr<IPin>> pins = PinsOf(FVideoRenderer.Get());
    ComPtr<IPin> peer;
    return !pins.empty() && SUCCEEDED(pins.front()->ConnectedTo(peer.ReleaseAndGetAddressOf())) &&
           peer && FilterOf(peer.Get()).Get() == static_cast<IBaseFilter*>(FKeeper.Get());
}

// Sound is optional: its tap describes it, then it ends in a sink that discards it. A stream
// whose tap cannot connect is left out.
void TInfoGraph::ConnectAudio() {
    if (!FAudio)
        return;
    if (!FAudio->Connect(FNav.get(), FLog.Handle())) {
        FAudio->Disconnect();
        return;
    }
    TAudioNotifier* tap = FAudio->Tap();
    ComPtr<TInfoAudioSink> sink = MakeComObject<TInfoAudioSink>();
    const std::vector<ComPtr<IPin>> tapPins = PinsOf(tap);
    const std::vector<ComPtr<IPin>> sinkPins = PinsOf(sink.Get());
    if (tapPins.size() < 2 || sinkPins.empty() ||
        FAILED(FGraph->AddFilter(sink.Get(), u"Audio Sink")) ||
        FAILED(FGraph->ConnectDirect(tapPins[1].Get(), sinkPins[0].Get(), nullptr))) {
        FGraph->RemoveFilter(sink.Get());
        FAudio->Disconnect();
        return;
    }
    FAudioTap = tap;
    FLog.SetFilters(FKeeper.Get(), FVideo->Tap(), tap);
    FAudioText = tap->AudioData().AudioText.trimmed().toStdString();
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
    if (FDecoders.CurrentDecoder)
        r.Decoder = FDecoders.CurrentDecoder->Name().toStdString();
    return r;
}
