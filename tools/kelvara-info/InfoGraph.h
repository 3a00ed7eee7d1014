#pragma once
// The graph that kelvara-info plays, built as the program builds its own: the navigation manager
// owns the graph; the media factory (or the pair that --source names) makes the file's device
// (source and splitter, with the DV stage and DV splitter under interleaved DV); the video
// source renders its stream into its tap, and the decoder manager connects the tap through a
// decoder, with the frame keeper as its final filter, to a windowless video renderer. The audio
// stream, when there is one, goes through its source's tap into a sink that discards it. The
// graph runs without a clock, as fast as it can, until the end of the file or until enough
// frames were shown.
//
// Build and Play answer every way a run can end early with a status (see InfoStatus.h): an error
// event of the graph or a failure of a filter, the graph refusing to run, a stall, frames that the
// renderer drew but the log did not record, an exception that escaped a message or event handler
// (Application().ShowException), memory running out. Neither lets an exception through.
//
// With --at the navigation manager drives the seeks. kelvara-info reads the graph's events
// itself, so the manager's event callback is taken off again.
//
// Thread contract: everything here runs on the GUI thread; while it waits for the graph it keeps
// serving the messages that the keeper sends from its streaming thread.
#include "InfoFrameLog.h"
#include "InfoOptions.h"
#include "InfoRecords.h"
#include "InfoStatus.h"
#include "media/uDecoders.h"
#include "media/uMediaFactory.h"
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
    TVideoNotifier* VideoTap() const { return FVideo ? FVideo->Tap() : nullptr; }
    IBaseFilter* VideoRenderer() const { return FVideoRenderer.Get(); }
    TNavMan* Nav() const { return FNav.get(); } // its actions are built with --at only
    TInfoFrameLog& Log() { return FLog; }

private:
    TInfoStatus BuildGraph();
    TInfoStatus PlayGraph();
    TInfoStatus CheckFile();
    TInfoStatus Stopped(const TInfoFailure& failure) const;
    std::optional<TInfoFailure> LostFrames() const;
    void StopQuietly();
    TInfoStatus OpenDevice();
    void UsePrivatePackages();
    TInfoStatus ConnectVideo();
    void ConnectAudio();
    TInfoStatus Undecodable(HRESULT hr) const;
    bool KeeperFeedsTheRenderer() const;

    TInfoOptions FOptions;
    std::string FName;                  // the file's name as typed, for messages and the report
    std::unique_ptr<TNativeFile> FFile; // held open while the graph reads it
    QString FPath;                      // the name the graph opens
    std::chrono::milliseconds FStallLimit;
    TInfoFrameLog FLog;
    ComPtr<TAudioNotifier> FAudioTap; // the audio source's, or one that nothing feeds
    ComPtr<TFramesNotifier> FKeeper;
    TMediaFactory FFactory;
    std::unique_ptr<TFileDevice> FOwnDevice; // the pair --source names
    TFileDevice* FDevice = nullptr;
    TVideoSource* FVideo = nullptr;
    TAudioSource* FAudio = nullptr;
    TDecoderMan FDecoders;
    ComPtr<IBaseFilter> FVideoRenderer;
    // Goes first: the graph manager stops the graph and takes every filter out of it.
    std::unique_ptr<TNavMan> FNav;
    ComPtr<IGraphBuilder> FGraph;
    std::optional<std::string> FAudioText;
    bool FPrivateInstalled = false; // --source private: the packages are switched on
};
