#pragma once
// The audio tap: one per audio stream of a media source, in front of the decoder. It passes every
// sample through untouched, describes the audio format and posts the description to the audio
// manager: when the input type is set (while the relay is on), with the first sample after each
// start of streaming, and when a sample carries a new format.
//
// Each report writes a copy of the tap's current TframeData into the tap's audio-data ring and the
// message announces that slot; the receiver copies it with ReadAudioData (taps/uTapMessages.h).
//
// Thread contract: the Set* operations and ResetStreamData come from the GUI thread; Transform
// from the input's streaming thread; SetMediaType from the thread that drives the graph or from
// Transform. FLock guards the window and the record and is never held while a message is sent.
#include "platform/ui/MessageWindow.h"
#include "taps/uTapRecords.h"
#include "taps/uTapRing.h"
#include "taps/uTypeLockedFilter.h"

#include <atomic>
#include <mutex>

// {EEB59708-9EEF-4CBB-A5FA-F1B0C67F72FB}
inline constexpr CLSID CLSID_AudioNotifier{
    0xEEB59708, 0x9EEF, 0x4CBB, {0xA5, 0xFA, 0xF1, 0xB0, 0xC6, 0x7F, 0x72, 0xFB}};
inline constexpr char16_t AudioNotifierGraphName[] = u"Audio Source Notifier";

class TAudioNotifier : public TTypeLockedFilter {
public:
    TAudioNotifier();

    // Relay off, the current record cleared (its FormatName too).
    void ResetStreamData();
    void SetAudioWindow(const TWindowHandle& window);
    // Also enables the tap for good.
    void SetAudioDataRelay(bool on);
    void SetIsDVDevice(bool isDVDevice) { FIsDVDevice.store(isDVDevice); }
    bool IsDVDevice() const { return FIsDVDevice.load(); }
    // The short format name that starts the audio description (AudioFormatName of the connected
    // type, written by whoever connects the tap). When it is empty as the input type is set, the
    // tap takes the name from that type itself.
    void SetFormatName(const QString& name);

    bool Enabled() const { return FEnabled.load(); }
    bool AudioDataRelay() const { return FAudioDataRelay.load(); }
    TframeData AudioData() const;
    // The ring whose slots the audio data messages announce.
    const TTapRing<TframeData>& AudioDataRing() const { return FAudioDataRing; }

    HRESULT StartStreaming() override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) override;
    HRESULT Transform(IMediaSample* pSample) override;

private:
    // True when the description changed and the relay is on: the caller posts it.
    bool ApplyInputType(const AM_MEDIA_TYPE& type);
    void PostAudioData();

    std::atomic<bool> FEnabled{false};
    std::atomic<bool> FAudioDataRelay{false};
    std::atomic<bool> FIsDVDevice{false};
    std::atomic<bool> FFirstSample{true}; // the streaming thread's, set at start of streaming

    mutable std::mutex FLock;
    // guarded by FLock
    TWindowHandle FAudioWindow;
    TframeData FCurrentFrame;
    // end of fields guarded by FLock
    TTapRing<TframeData> FAudioDataRing; // written under FLock
};
