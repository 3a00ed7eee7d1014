#pragma once
// The message window of kelvara-info: it plays the parts of the navigation, video and audio
// managers and of the graph manager for the taps and the frame keeper. It answers the frame
// duration messages (the keeper's FrameDuration follows them), keeps the video and audio
// descriptions, and records one frame per navigation position text, with the DV codes that the
// keeper posted for that frame just before (posts and sends to one window are handled in the
// order they were made).
//
// Thread contract: created and used on the GUI thread; the keeper's sends block its streaming
// thread until Handle returns. Records are copied with the typed readers of taps/uTapMessages.h;
// a record whose slot was written over before its message was handled is left out of its row.
#include "InfoRecords.h"
#include "platform/ui/MessageWindow.h"
#include "taps/uAudioNotifier.h"
#include "taps/uFramesNotifier.h"
#include "taps/uVideoNotifier.h"

class TInfoFrameLog {
public:
    TInfoFrameLog();
    TWindowHandle Handle() const { return FWindow.Handle(); }

    void SetFilters(TFramesNotifier* keeper, TVideoNotifier* videoTap, TAudioNotifier* audioTap);
    // Frames after the first `count` are not recorded (-1: all).
    void SetMaxFrames(int64_t count) { FMaxFrames = count; }
    bool Full() const { return FMaxFrames >= 0 && int64_t(FFrames.size()) >= FMaxFrames; }

    const std::vector<TInfoFrame>& Frames() const { return FFrames; }
    int64_t FrameDuration() const { return FFrameDuration; }
    // The description as the video manager shows it: the description and the size text, from
    // the last one the keeper relayed (or the tap's current one when none was).
    std::string VideoText() const;
    // The DV codes relayed last.
    std::optional<TframeData> LastCodes() const { return FLastCodes; }

private:
    void Handle(TMessage& message);
    void RecordFrame(const QString& positionText);

    TMessageWindow FWindow;
    ComPtr<TFramesNotifier> FKeeper;
    ComPtr<TVideoNotifier> FVideoTap;
    ComPtr<TAudioNotifier> FAudioTap;
    int64_t FMaxFrames = -1;
    int64_t FFrameDuration = 0;
    std::vector<TInfoFrame> FFrames;
    std::optional<TframeData> FPendingCodes;
    std::optional<TframeData> FLastCodes;
    std::optional<TVideoData> FVideo;
};
