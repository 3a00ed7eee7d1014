#include "taps/uAudioNotifier.h"

#include "taps/uMediaDescriptions.h"
#include "taps/uTapMessages.h"

TAudioNotifier::TAudioNotifier()
    : TTypeLockedFilter(QStringLiteral("Osric Taskel's AudioNotifier"), CLSID_AudioNotifier,
                        false) {
    ResetStreamData();
}

void TAudioNotifier::ResetStreamData() {
    FAudioDataRelay.store(false);
    std::lock_guard lock(FLock);
    FCurrentFrame = TframeData();
    FCurrentFrame.DateText = QStringLiteral("No Datecode");
    FCurrentFrame.TimecodeText = QStringLiteral("NoTimecode");
    FAudioDataRing.Reset();
}

void TAudioNotifier::SetAudioWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FAudioWindow = window;
}

void TAudioNotifier::SetAudioDataRelay(bool on) {
    FAudioDataRelay.store(on);
    FEnabled.store(true);
}

void TAudioNotifier::SetFormatName(const QString& name) {
    std::lock_guard lock(FLock);
    FCurrentFrame.FormatName = name;
}

TframeData TAudioNotifier::AudioData() const {
    std::lock_guard lock(FLock);
    return FCurrentFrame;
}

HRESULT TAudioNotifier::StartStreaming() {
    const HRESULT hr = TTypeLockedFilter::StartStreaming();
    FFirstSample.store(true);
    return hr;
}

HRESULT TAudioNotifier::SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) {
    const HRESULT hr = TTypeLockedFilter::SetMediaType(direction, pmt);
    if (direction == PINDIR_INPUT && pmt && ApplyInputType(*pmt))
        PostAudioData();
    return hr;
}

HRESULT TAudioNotifier::Transform(IMediaSample* pSample) {
    if (!FEnabled.load() || !pSample)
        return S_OK;
    if (FFirstSample.load()) {
        if (FAudioDataRelay.load())
            PostAudioData();
    } else {
        AM_MEDIA_TYPE* raw = nullptr;
        if (pSample->GetMediaType(&raw) == S_OK && raw) {
            const MediaTypePtr type(raw);
            SetMediaType(PINDIR_INPUT, type.get());
        }
    }
    FFirstSample.store(false);
    return S_OK;
}

bool TAudioNotifier::ApplyInputType(const AM_MEDIA_TYPE& type) {
    std::lock_guard lock(FLock);
    if (FCurrentFrame.FormatName.isEmpty())
        FCurrentFrame.FormatName = AudioFormatName(type);
    return DescribeAudioFormat(type, FIsDVDevice.load(), FCurrentFrame) && FAudioDataRelay.load();
}

void TAudioNotifier::PostAudioData() {
    TWindowHandle window;
    TRingAnnouncement slot;
    {
        std::lock_guard lock(FLock);
        window = FAudioWindow;
        slot = FAudioDataRing.Announce(FAudioDataRing.Write(FCurrentFrame, std::nullopt, false));
    }
    window.Post(WM_AUDIODATA, RecordWParam(VideoDataKindAudio, slot), LPARAM(slot.Slot));
}
