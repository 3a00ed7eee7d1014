#pragma once
// The graph that kelvara-info plays: the file's source (and splitter) -> video tap -> decoder ->
// frame keeper -> windowless video renderer, and the audio stream, when there is one, through its
// tap into a sink that discards it; interleaved DV goes through the DV stage and the DV splitter
// first. The graph runs without a clock, as fast as it can, until the end of the file
// or until enough frames were shown.
//
// Build and Play answer every way a run can end early with a status (see InfoStatus.h): an error
// event of the graph or a failure of a filter, the graph refusing to run, a stall, frames that the
// renderer drew but the log did not record, an exception that escaped a message or event handler
// (Application().ShowException), memory running out. Neither lets an exception through.
//
// With --at the graph is the one of a navigation manager (the program's TNavMan), which drives
// the seeks; kelvara-info reads the graph's events itself, so the manager's event callback is
// taken off again.
//
// Thread contract: everything here runs on the GUI thread; while it waits for the graph it keeps
// serving the messages that the keeper sends from its streaming thread.
#include "InfoFrameLog.h"
#include "InfoOptions.h"
#include "InfoRecords.h"
#include "InfoStatus.h"
#include "media/uNavMan.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/os/NativeFile.h"
#include "taps/uAudioNotifier.h"
#include "taps/uFramesNotifier.h"
#include "taps/uVideoNotifier.h"

#include <chrono>
#include <memory>
#include <string>

class TInfoGraph {
public:
    explicit TInfoGraph(const TInfoOptions& options);
    ~TInfoGraph();
    TInfoGraph(const TInfoGraph&) = delete;
    TInfoGraph& operator=(const TInfoGraph&) = delete;

    TInfoStatus Build();
    TInfoStatus Play();
    // Without a frame or an event for this long, playing counts as stalled.
    void SetStallLimit(std::chrono::milliseconds limit) { FStallLimit = limit; }
    // What was learnt; complete after Play, partial after a failure.
    TInfoResult Result() const;

    // The built graph and its parts, for callers that drive it themselves (tests).
    IGraphBuilder* Graph() const { return FGraph.Get(); }
    TFramesNotifier* Keeper() const { return FKeeper.Get(); }
    TVideoNotifier* VideoTap() const { return FVideoTap.Get(); }
    IBaseFilter* VideoRenderer() const { return FVideoRenderer.Get(); }
    TNavMan* Nav() const { return FNav.get(); } // with --at only
    TInfoFrameLog& Log() { return FLog; }

private:
    TInfoStatus BuildGraph();
    TInfoStatus PlayGraph();
    TInfoStatus CheckFile();
    TInfoStatus Stopped(const TInfoFailure& failure) const;
    std::optional<TInfoFailure> LostFrames() const;
    void StopQuietly();
    TInfoStatus AddSource();
    TInfoStatus AddSplitterFor(IPin* streamPin);
    TInfoStatus FindStreams();
    TInfoStatus ConnectVideo();
    void ConnectAudio();
    ComPtr<IBaseFilter> AddFilter(REFCLSID clsid, const QString& name);
    bool Add(IBaseFilter* filter, const QString& name);

    TInfoOptions FOptions;
    std::string FName;                  // the file's name as typed, for messages and the report
    std::unique_ptr<TNativeFile> FFile; // held open while the graph reads it
    QString FPath;                      // the name the graph opens
    std::chrono::milliseconds FStallLimit;
    TInfoFrameLog FLog;
    std::unique_ptr<TNavMan> FNav; // --at; goes after the graph's filters were taken out
    ComPtr<IGraphBuilder> FGraph;
    ComPtr<IBaseFilter> FSplitter; // the filter whose outputs are the file's streams
    ComPtr<IPin> FVideoPin;
    ComPtr<IPin> FAudioPin;
    bool FIsDVDevice = false;
    ComPtr<TVideoNotifier> FVideoTap;
    ComPtr<TAudioNotifier> FAudioTap;
    ComPtr<TFramesNotifier> FKeeper;
    ComPtr<IBaseFilter> FVideoRenderer;
    std::optional<std::string> FAudioText;
};
