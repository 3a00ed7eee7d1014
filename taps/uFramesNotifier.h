#pragma once
// The frame keeper: an in-place pass-through placed directly in front of the video renderer.
// Every sample it passes is about to be shown, so it is the program's authority on the frame on
// screen:
// - Position is the media position of the frame it passed last, on the frame grid;
// - it turns Position into the h:mm:ss:ff text and sends it to the video manager (while
//   PositionTextReports is on, only when it changed) and to the navigation manager (every frame);
// - it relays, at presentation time, what the video tap decoded when the same frame passed it:
//   the DV codes (posted to the tap's DV code window) and the video description (posted twice,
//   aspect then format, to the tap's video window, when it changed or after a restart) and, while
//   the tap's inlay relay is on and the frame is let through, the DV inlay values (sent to the
//   tap's inlay window);
// - with PassSamples off it holds every frame back from the renderer, and it tells a mark's
//   window when Position reaches the mark: the navigation manager's frame-exact seek.
//
// Position rule: after a new segment, or for inter-coded video, the sample's start time (plus the
// segment start, minus the start of the first sample after a restart) rounded to the nearest
// frame (an exact half rounds down; the quotient truncates towards zero, and a position never
// goes below 0: no frame is shown before the first); otherwise (intra-coded video, no new segment)
// exactly one frame duration on from the last position. The stream counts as inter-coded when the
// video tap of VideoSource says so; without a video tap, when the keeper's own input type says so.
//
// Ring reading: the read indexes follow the tap's write indexes one slot per presented frame and
// realign on the tap's segment-start slots after a seek. When the slot so found holds another
// frame than the one presented (a frame dropped or reordered between tap and keeper), the slot of
// the presented frame is looked up by its stream time; when no slot holds it, nothing is relayed
// for that frame. A slot that the tap has not written since its last reset is never relayed.
// The messages announce the slot with the serial of its write; receivers copy the record with
// the readers of taps/uTapMessages.h, which drop it when the slot was written again meanwhile.
//
// Position texts live in a ring of 100 slots: a receiver reads the text through the address it is
// sent during the synchronous call; the next frames overwrite only the next slots.
//
// Thread contract: Transform runs on the renderer's streaming thread (under the receive lock);
// NewSegment on the upstream streaming thread; StartStreaming and SetMediaType on the thread that
// drives the graph. The setters and Position come from the GUI thread. Position, FrameDuration,
// PassSamples and PositionTextReports are atomic; marks, windows, sources and the segment state
// are guarded by FLock, which is never held while a message is sent. The messages that the keeper
// sends block its streaming thread until the GUI thread has handled them; the GUI thread must
// serve messages whenever it waits for the graph (see platform/ui/ProcessMessages.h).
#include "platform/com/ComPtr.h"
#include "platform/graph/TransInPlaceFilter.h"
#include "platform/ui/MessageWindow.h"
#include "taps/uTapRecords.h"
#include "taps/uVideoNotifier.h"

#include <array>
#include <atomic>
#include <mutex>
#include <optional>

// {5104DD25-61F8-458D-AD1D-FCCF8BA18B60}
inline constexpr CLSID CLSID_FramesNotifier{
    0x5104DD25, 0x61F8, 0x458D, {0xAD, 0x1D, 0xFC, 0xCF, 0x8B, 0xA1, 0x8B, 0x60}};
inline constexpr char16_t FramesNotifierName[] = u"Osric Taskel's FramesNotifier";

class TFramesNotifier : public CTransInPlaceFilter {
public:
    static constexpr int MarkSlots = 2;
    static constexpr int TextSlots = 100;
    // The frame duration reported when the input type states none (10 ms).
    static constexpr REFERENCE_TIME DefaultFrameDuration = 100000;

    TFramesNotifier();

    // Arms mark `slot` (0 or 1) at target; the mark fires once, on the first frame whose
    // position is no more than half a frame before it. afterNewSegment: only frames of a segment
    // that starts after the mark was armed count (a seek follows): a frame still on its way from
    // before that seek's flush (a threaded decoder delivers what it holds) never fires it.
    void SetMark(int slot, REFERENCE_TIME target, bool afterNewSegment = false);
    void SetMarkWindow(int slot, const TWindowHandle& window);
    bool MarkArmed(int slot) const;
    // Disarms mark `slot` without firing it.
    void ClearMark(int slot);

    void SetFrameDuration(REFERENCE_TIME duration) { FFrameDuration.store(duration); }
    REFERENCE_TIME FrameDuration() const { return FFrameDuration.load(); }
    void SetPassSamples(bool pass) { FPassSamples.store(pass); }
    bool PassSamples() const { return FPassSamples.load(); }
    void SetPositionTextReports(bool on) { FPositionTextReports.store(on); }
    bool PositionTextReports() const { return FPositionTextReports.load(); }
    void SetPositionTextWindow(const TWindowHandle& window);
    void SetNavigationWindow(const TWindowHandle& window);
    // The video tap whose frame-data ring is relayed (none: no DV codes).
    void SetDVSource(TVideoNotifier* tap);
    // The video tap whose video-data ring is relayed and whose TemporalCompression is used.
    void SetVideoSource(TVideoNotifier* tap);
    ComPtr<TVideoNotifier> DVSource() const;
    ComPtr<TVideoNotifier> VideoSource() const;

    // Position of the frame passed last (100-ns units).
    REFERENCE_TIME Position() const { return FPosition.load(); }
    // The sample time (of the current segment) of the frame at a position, by the position rule
    // read backwards; none for intra-coded video, whose positions count frames, not times.
    std::optional<REFERENCE_TIME> SampleTimeOf(REFERENCE_TIME position) const;

    HRESULT CheckInputType(const CMediaType* mtIn) override;
    HRESULT StartStreaming() override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;
    HRESULT Transform(IMediaSample* pSample) override;

private:
    struct TMark {
        REFERENCE_TIME Target = 0;
        bool Armed = false;
        bool WaitsForSegment = false;
        TWindowHandle Window;
    };
    // What Transform learnt about the sample and the segment, under FLock.
    struct TFrameState {
        bool Restart = false;
        bool SegmentStarted = false;
        std::optional<REFERENCE_TIME> StreamTime; // segment start + sample start
        ComPtr<TVideoNotifier> DVSource;
        ComPtr<TVideoNotifier> VideoSource;
        TWindowHandle PositionTextWindow;
        TWindowHandle NavigationWindow;
    };

    TFrameState UpdatePosition(IMediaSample* sample);
    void TestMark(int slot);
    void RelayDVCodes(const TFrameState& state);
    void RelayVideoData(const TFrameState& state);
    void RelayInlay(const TFrameState& state);
    void ReportPositionText(const TFrameState& state);
    // The ring slot of the frame presented; matches is false when the ring holds no record of
    // that frame (by its stream time), which is then not relayed.
    template <typename T>
    int NextReadIndex(const TTapRing<T>& ring, int current, const TFrameState& state,
                      bool& matches) const;
    REFERENCE_TIME GridDuration() const;

    std::atomic<REFERENCE_TIME> FFrameDuration{1};
    std::atomic<REFERENCE_TIME> FPosition{0};
    std::atomic<bool> FPassSamples{true};
    std::atomic<bool> FPositionTextReports{false};
    std::atomic<bool> FInputTemporalCompression{false};

    mutable std::mutex FLock;
    // guarded by FLock
    std::array<TMark, MarkSlots> FMarks;
    TWindowHandle FPositionTextWindow;
    TWindowHandle FNavigationWindow;
    ComPtr<TVideoNotifier> FDVSource;
    ComPtr<TVideoNotifier> FVideoSource;
    REFERENCE_TIME FSegmentStartTime = 0;
    REFERENCE_TIME FFirstStart = 0;
    bool FRestart = false;
    bool FSegmentStarted = false;
    // end of fields guarded by FLock

    // The streaming thread's own (Transform, and StartStreaming under the receive lock).
    std::array<QString, TextSlots> FTexts;
    int FTextIndex = 0;
    QString FLastText;
    int FDVReadIndex = 0;
    int FVideoReadIndex = 0;
    int FInlayReadIndex = 0;
    TVideoData FLastVideoData;
};
