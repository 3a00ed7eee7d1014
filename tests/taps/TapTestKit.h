#pragma once
// Test filters and helpers for the taps and the frame keeper:
// - TTapFeeder: a source whose single output pin connects with a chosen media type and buffer
//   size; the test pushes samples with chosen bytes, times, flags and attached types itself;
// - TTapCollector: a sink that takes any type and records what it receives;
// - TMessageLog: a message window that records the taps' messages with copies of the records
//   they announce, read with the typed readers while the message is handled, as the program's
//   managers do (the rings to read from are given with ReadRecordsOf);
// - media types of DV, interleaved DV, YUY2, RGB32 and PCM streams.
#include "platform/graph/BaseFilter.h"
#include "platform/graph/BaseInputPin.h"
#include "platform/graph/BaseOutputPin.h"
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/MessageWindow.h"
#include "taps/uAudioNotifier.h"
#include "taps/uTapRecords.h"
#include "taps/uVideoNotifier.h"
#include "tests/platform/rtl/QtPrinters.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QString>

namespace kelvara::test {

inline constexpr CLSID CLSID_TapFeeder{
    0x7C1D2E3F, 0x2B3C, 0x4D5E, {0x8F, 0x02, 0x11, 0x21, 0x31, 0x41, 0x51, 0x01}};
inline constexpr CLSID CLSID_TapCollector{
    0x7C1D2E3F, 0x2B3C, 0x4D5E, {0x8F, 0x02, 0x11, 0x21, 0x31, 0x41, 0x51, 0x02}};

// A video type with a VIDEOINFOHEADER (FORMAT_VideoInfo).
AM_MEDIA_TYPE VideoInfoType(REFGUID subtype, LONG width, LONG height, REFERENCE_TIME frameDuration,
                            bool temporalCompression = false);
// A DV video stream: dvsd with a VIDEOINFOHEADER of 720 x 576 or 480.
AM_MEDIA_TYPE DVVideoType(bool pal);
// Interleaved DV (MEDIATYPE_Interleaved, dvsd, FORMAT_DvInfo).
AM_MEDIA_TYPE DvInfoType();
// 16-bit PCM with a WAVEFORMATEX.
AM_MEDIA_TYPE PcmType(int rate, int channels);

struct TFeedSample {
    std::vector<uint8_t> Bytes;
    std::optional<REFERENCE_TIME> Start;
    std::optional<REFERENCE_TIME> Stop;
    bool Sync = true;
    bool Preroll = false;
    bool Discontinuity = false;
    std::optional<AM_MEDIA_TYPE> Type; // a format change carried by the sample
};

class TTapFeeder : public CBaseFilter {
public:
    // The pin offers (and accepts) only `type`; its allocator has `buffers` buffers of
    // `bufferSize` bytes.
    TTapFeeder(const AM_MEDIA_TYPE& type, LONG bufferSize, LONG buffers = 4);
    ~TTapFeeder() override;
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    // Delivers one sample downstream; the result of the delivery.
    HRESULT Feed(const TFeedSample& sample);
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop = INT64_MAX, double rate = 1.0);
    CBaseOutputPin* Output();

private:
    std::unique_ptr<CBaseOutputPin> FPin;
};

struct TCollectedSample {
    std::vector<uint8_t> Bytes;
    bool HasStart = false;
    bool HasStop = false;
    REFERENCE_TIME Start = 0;
    REFERENCE_TIME Stop = 0;
    bool Sync = false;
    bool Preroll = false;
    bool Discontinuity = false;
    bool HasType = false;
    bool HasMediaTime = false;
    LONGLONG MediaStart = 0;
    LONGLONG MediaStop = 0;
};

class TTapCollector : public CBaseFilter {
public:
    TTapCollector();
    ~TTapCollector() override;
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    std::vector<TCollectedSample> Samples() const;
    size_t Count() const;
    std::vector<REFERENCE_TIME> SegmentStarts() const;
    // Makes the input offer an allocator whose buffers are at most maxBuffer bytes (0: any).
    void LimitBufferSize(LONG maxBuffer);

    void Record(IMediaSample* sample);
    void RecordSegment(REFERENCE_TIME start);

private:
    std::unique_ptr<CBaseInputPin> FPin;
    mutable std::mutex FLock;
    std::vector<TCollectedSample> FSamples;     // guarded by FLock
    std::vector<REFERENCE_TIME> FSegmentStarts; // guarded by FLock
};

// One message as the window handled it, with a copy of what it pointed to.
struct TLoggedMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    bool Delivered = false; // a record message whose record could be read (not stale)
    QString Text;           // WM_POSITIONTEXT, WM_NAVPOSITIONTEXT
    TframeData Frame;       // WM_DVCODE, WM_AUDIODATA
    TVideoData Video;       // WM_VIDEODATA
    TIncrustDV Inlay;       // WM_DVINLAY
    int64_t Value = 0;      // WM_FRAMEDURATION, WM_MARKREACHED: the sign-extended WPARAM
    int64_t Position = 0;   // WM_MARKREACHED: the sign-extended LPARAM
};

class TMessageLog {
public:
    using THook = std::function<void(const TLoggedMessage&)>;

    TMessageLog();
    TWindowHandle Handle() const { return FWindow.Handle(); }
    // Runs on the GUI thread after each message is recorded.
    void SetHook(THook hook) { FHook = std::move(hook); }
    // The taps whose rings the record messages announce slots of (either may be null).
    void ReadRecordsOf(const TVideoNotifier* videoTap, const TAudioNotifier* audioTap) {
        FVideoTap = videoTap;
        FAudioTap = audioTap;
    }

    // Handles the posts that are queued (GUI thread).
    void Pump();
    std::vector<TLoggedMessage> Messages() const;
    std::vector<TLoggedMessage> Of(UINT msg) const;
    void Clear();

private:
    void Handle(TMessage& message);

    TMessageWindow FWindow;
    THook FHook;
    const TVideoNotifier* FVideoTap = nullptr;
    const TAudioNotifier* FAudioTap = nullptr;
    mutable std::mutex FLock;
    std::vector<TLoggedMessage> FMessages; // guarded by FLock
};

} // namespace kelvara::test
