#pragma once
// The graph that kelvara-info plays: the file's source (and splitter) -> video tap -> decoder ->
// frame keeper -> windowless video renderer, and the audio stream, when there is one, through its
// tap into a sink that discards it; interleaved DV goes through the DV stage and the DV splitter
// first. The graph runs without a clock, as fast as it can, until the end of the file
// or until enough frames were shown.
//
// Thread contract: everything here runs on the GUI thread; while it waits for the graph it keeps
// serving the messages that the keeper sends from its streaming thread.
#include "InfoFrameLog.h"
#include "InfoOptions.h"
#include "InfoRecords.h"
#include "platform/graph/BuilderInterfaces.h"
#include "taps/uAudioNotifier.h"
#include "taps/uFramesNotifier.h"
#include "taps/uVideoNotifier.h"

#include <string>

// Exit codes of kelvara-info.
enum class TInfoExit : int {
    Ok = 0,
    Usage = 1,
    Missing = 2,      // no such file
    Unreadable = 3,   // cannot be opened, or no source can read it
    NoVideo = 4,      // the file has no video stream
    NotDecodable = 5, // the video cannot be decoded, or playing it failed
};

struct TInfoStatus {
    TInfoExit Code = TInfoExit::Ok;
    std::string Message;
    bool Ok() const { return Code == TInfoExit::Ok; }
};

class TInfoGraph {
public:
    explicit TInfoGraph(const TInfoOptions& options);
    ~TInfoGraph();
    TInfoGraph(const TInfoGraph&) = delete;
    TInfoGraph& operator=(const TInfoGraph&) = delete;

    TInfoStatus Build();
    TInfoStatus Play();
    // What was learnt; complete after Play, partial after a failure.
    TInfoResult Result() const;

    // The built graph and its parts, for callers that drive it themselves (tests).
    IGraphBuilder* Graph() const { return FGraph.Get(); }
    TFramesNotifier* Keeper() const { return FKeeper.Get(); }
    TVideoNotifier* VideoTap() const { return FVideoTap.Get(); }
    IBaseFilter* VideoRenderer() const { return FVideoRenderer.Get(); }
    TInfoFrameLog& Log() { return FLog; }

private:
    TInfoStatus CheckFile() const;
    TInfoStatus AddSource();
    TInfoStatus AddSplitterFor(IPin* streamPin);
    TInfoStatus FindStreams();
    TInfoStatus ConnectVideo();
    void ConnectAudio();
    ComPtr<IBaseFilter> AddFilter(REFCLSID clsid, const QString& name);
    bool Add(IBaseFilter* filter, const QString& name);

    TInfoOptions FOptions;
    QString FPath;
    TInfoFrameLog FLog;
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
