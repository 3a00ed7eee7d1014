#pragma once
// The video tap: one per video stream of a media source, in front of the decoder. It passes every
// sample through (repairing only the TV system byte of DV frames), describes the stream's media
// type, decodes DV and MPEG-2 sample headers, and fills the rings that the frame keeper reads when
// the same frame is presented:
// - the frame-data ring (DV recording date, time code and their texts), while DVRelay is on;
// - the video-data ring (the stream's description), while VideoDataRelay is on;
// - the DV inlay ring (the DV values that the inlay shows), while InlayRelay is on; the frame
//   keeper sends its slots to InlayWindow when their frames are presented, so that the inlay
//   always shows the codes of the frame on screen, whatever the decoder holds back.
// It posts the frame duration to FrameDurationWindow when it changes (while reports are on).
//
// Until SetDVRelay or SetVideoDataRelay is called once, the tap passes samples untouched and does
// nothing else.
//
// Each ring has its own write index and advances by exactly one slot per frame that can reach the
// screen (preroll samples, which a decoder never delivers, are decoded but take no slot); its
// segment-start index names the slot of the first such frame after a seek. Switching the inlay
// relay on also writes the values of the frame decoded last into the inlay ring and sends that
// slot at once.
//
// Thread contract: the Set* operations and ResetStreamData come from the GUI thread; Transform
// and NewSegment from the input's streaming thread; SetMediaType, CompleteConnect and
// StartStreaming from the thread that drives the graph (SetMediaType also from Transform for a
// format change carried by a sample). The relay flags are atomic; the windows, texts and records
// are guarded by FLock, which is never held while a message is sent.
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/MessageWindow.h"
#include "taps/uTapRecords.h"
#include "taps/uTapRing.h"
#include "taps/uTypeLockedFilter.h"

#include <atomic>
#include <mutex>
#include <optional>

// {B5876E86-32D4-4CAD-B3B7-772BF0966F73}
inline constexpr CLSID CLSID_VideoNotifier{
    0xB5876E86, 0x32D4, 0x4CAD, {0xB3, 0xB7, 0x77, 0x2B, 0xF0, 0x96, 0x6F, 0x73}};
inline constexpr char16_t VideoNotifierGraphName[] = u"Video Source Notifier";

class TVideoNotifier : public TTypeLockedFilter {
public:
    TVideoNotifier();

    // Relays off, DV values and texts cleared, rings emptied, DateFormat back to its default.
    void ResetStreamData();
    void SetVideoWindow(const TWindowHandle& window);
    // Also enables the tap for good.
    void SetVideoDataRelay(bool on);
    void SetDVCodeWindow(const TWindowHandle& window);
    // Also enables the tap for good.
    void SetDVRelay(bool on);
    void SetInlayWindow(const TWindowHandle& window);
    // Stores the flag, then sends one DV inlay message from the current frame data at once.
    void SetInlayRelay(bool on);
    TWindowHandle InlayWindow() const;
    // Starts the frame duration reports to the window.
    void SetFrameDurationWindow(const TWindowHandle& window);
    void StopFrameDurationReports();

    void SetIsDVDevice(bool isDVDevice) { FIsDVDevice.store(isDVDevice); }
    bool IsDVDevice() const { return FIsDVDevice.load(); }
    // Format of DateText in the date format language; empty: short date and long time.
    void SetDateFormat(const QString& format);
    QString DateFormat() const;
    void SetNoDatecodeText(const QString& text);
    void SetNoTimecodeText(const QString& text);
    // Locale of the date texts (the user's by default).
    void SetFormatSettings(const TFormatSettings& settings);

    bool Enabled() const { return FEnabled.load(); }
    bool DVRelay() const { return FDVRelay.load(); }
    bool VideoDataRelay() const { return FVideoDataRelay.load(); }
    bool InlayRelay() const { return FInlayRelay.load(); }
    // The input type says that the stream is temporally compressed (inter-coded).
    bool TemporalCompression() const { return FTemporalCompression.load(); }
    TWindowHandle VideoWindow() const;
    TWindowHandle DVCodeWindow() const;

    // Copies of the current records.
    TframeData FrameData() const;
    TVideoData VideoData() const;

    const TTapRing<TframeData>& FrameDataRing() const { return FFrameDataRing; }
    const TTapRing<TVideoData>& VideoDataRing() const { return FVideoDataRing; }
    const TTapRing<TIncrustDV>& InlayRing() const { return FInlayRing; }

    // Filter hooks.
    HRESULT StartStreaming() override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;
    HRESULT Transform(IMediaSample* pSample) override;

private:
    void TransformLocked(IMediaSample* sample);
    void ApplyInputTypeLocked(const AM_MEDIA_TYPE& type);
    void DecodeSampleLocked(IMediaSample* sample);
    void RelayLocked(IMediaSample* sample);
    void ReportFrameDurationLocked();
    TIncrustDV InlayRecordLocked() const;
    std::optional<REFERENCE_TIME> StreamTimeLocked(IMediaSample* sample) const;

    std::atomic<bool> FEnabled{false};
    std::atomic<bool> FDVRelay{false};
    std::atomic<bool> FVideoDataRelay{false};
    std::atomic<bool> FInlayRelay{false};
    std::atomic<bool> FFrameDurationReports{false};
    std::atomic<bool> FTemporalCompression{false};
    std::atomic<bool> FIsDVDevice{false};

    mutable std::mutex FLock;
    // guarded by FLock
    TWindowHandle FVideoWindow;
    TWindowHandle FDVCodeWindow;
    TWindowHandle FInlayWindow;
    TWindowHandle FFrameDurationWindow;
    QString FDateFormat;
    QString FNoDatecodeText;
    QString FNoTimecodeText;
    TFormatSettings FFormatSettings;
    TframeData FCurrentFrame;
    TframeData FPreviousFrame;
    TVideoData FCurrentVideo;
    TVideoData FPreviousVideo;
    int32_t FLastReportedDuration = 0;
    bool FFirstSample = true;
    bool FFrameRingSegmentPending = false;        // the next frame-data slot starts a segment
    bool FVideoRingSegmentPending = false;        // the next video-data slot starts a segment
    bool FInlayRingSegmentPending = false;        // the next inlay slot starts a segment
    std::optional<REFERENCE_TIME> FLastRelayTime; // stream time of the last frame relayed
    REFERENCE_TIME FSegmentStartTime = 0;
    // end of fields guarded by FLock

    TTapRing<TframeData> FFrameDataRing;
    TTapRing<TVideoData> FVideoDataRing;
    TTapRing<TIncrustDV> FInlayRing;
};
