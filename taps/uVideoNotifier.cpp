#include "taps/uVideoNotifier.h"

#include "platform/graph/MediaGuids.h"
#include "taps/uDVData.h"
#include "taps/uMediaDescriptions.h"
#include "taps/uTapMessages.h"

#include <algorithm>
#include <span>

namespace {

const QString kDefaultDateFormat = QStringLiteral("ddddd - tt");

// dvsd or dvcp in any letter case: the sub-types of a DV video stream.
bool IsDVVideoSubtype(REFGUID subtype) {
    if (!IsFourCCGuid(subtype))
        return false;
    uint32_t code = subtype.Data1;
    QString text;
    for (int i = 0; i < 4; ++i, code >>= 8)
        text += QChar(char16_t(code & 0xFF));
    text = text.toLower();
    return text == u"dvsd" || text == u"dvcp";
}

// The sample's payload, never more than its buffer holds.
std::span<uint8_t> Payload(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data)
        return {};
    const LONG length = std::clamp<LONG>(sample->GetActualDataLength(), 0, sample->GetSize());
    return {data, size_t(length)};
}

// What the video description compares to decide that the frame duration may have changed.
bool SameFormat(const TVideoData& a, const TVideoData& b) {
    return a.Width == b.Width && a.Height == b.Height && a.BitCount == b.BitCount &&
           a.FrameRate == b.FrameRate && a.AvgTimePerFrame == b.AvgTimePerFrame &&
           a.FormatName == b.FormatName && a.AspectX == b.AspectX && a.AspectY == b.AspectY;
}

} // namespace

TVideoNotifier::TVideoNotifier()
    : TTypeLockedFilter(QStringLiteral("Osric Taskel's Video Notifier"), CLSID_VideoNotifier, true),
      FDateFormat(kDefaultDateFormat), FNoDatecodeText(QStringLiteral("No Datecode")),
      FNoTimecodeText(QStringLiteral("NoTimecode")), FFormatSettings(TFormatSettings::Default()) {
    ResetStreamData();
}

void TVideoNotifier::ResetStreamData() {
    FDVRelay.store(false);
    FVideoDataRelay.store(false);
    {
        std::lock_guard lock(FLock);
        FCurrentFrame.DateValid = false;
        FCurrentFrame.TimecodeValid = false;
        FCurrentFrame.DateText = FNoDatecodeText;
        FCurrentFrame.TimecodeText = FNoTimecodeText;
        FCurrentFrame.FrameNumber = 0;
        FCurrentVideo = TVideoData();
        FDateFormat = kDefaultDateFormat;
        FLastReportedDuration = 0;
    }
    FFrameDataRing.Reset();
    FVideoDataRing.Reset();
    FInlayRing.Reset();
}

void TVideoNotifier::SetVideoWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FVideoWindow = window;
}

void TVideoNotifier::SetVideoDataRelay(bool on) {
    FVideoDataRelay.store(on);
    FEnabled.store(true);
}

void TVideoNotifier::SetDVCodeWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FDVCodeWindow = window;
}

void TVideoNotifier::SetDVRelay(bool on) {
    FDVRelay.store(on);
    FEnabled.store(true);
}

void TVideoNotifier::SetInlayWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FInlayWindow = window;
}

void TVideoNotifier::SetInlayRelay(bool on) {
    FInlayRelay.store(on);
    TRingAnnouncement slot;
    TWindowHandle window;
    {
        std::lock_guard lock(FLock);
        // The values of the frame decoded last, under its time, so that the keeper finds them
        // again if that frame is the one still to be presented.
        slot = FInlayRing.Announce(FInlayRing.Write(InlayRecordLocked(), FLastRelayTime, false));
        window = FInlayWindow;
    }
    window.Send(WM_DVINLAY, WPARAM(slot.Slot), LPARAM(slot.Serial));
}

void TVideoNotifier::SetFrameDurationWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FFrameDurationWindow = window;
    FFrameDurationReports.store(true);
}

void TVideoNotifier::StopFrameDurationReports() {
    FFrameDurationReports.store(false);
}

void TVideoNotifier::SetDateFormat(const QString& format) {
    std::lock_guard lock(FLock);
    FDateFormat = format;
}

QString TVideoNotifier::DateFormat() const {
    std::lock_guard lock(FLock);
    return FDateFormat;
}

void TVideoNotifier::SetNoDatecodeText(const QString& text) {
    std::lock_guard lock(FLock);
    FNoDatecodeText = text;
}

void TVideoNotifier::SetNoTimecodeText(const QString& text) {
    std::lock_guard lock(FLock);
    FNoTimecodeText = text;
}

void TVideoNotifier::SetFormatSettings(const TFormatSettings& settings) {
    std::lock_guard lock(FLock);
    FFormatSettings = settings;
}

TWindowHandle TVideoNotifier::VideoWindow() const {
    std::lock_guard lock(FLock);
    return FVideoWindow;
}

TWindowHandle TVideoNotifier::InlayWindow() const {
    std::lock_guard lock(FLock);
    return FInlayWindow;
}

TWindowHandle TVideoNotifier::DVCodeWindow() const {
    std::lock_guard lock(FLock);
    return FDVCodeWindow;
}

TframeData TVideoNotifier::FrameData() const {
    std::lock_guard lock(FLock);
    return FCurrentFrame;
}

TVideoData TVideoNotifier::VideoData() const {
    std::lock_guard lock(FLock);
    return FCurrentVideo;
}

HRESULT TVideoNotifier::StartStreaming() {
    const HRESULT hr = TTypeLockedFilter::StartStreaming();
    std::lock_guard lock(FLock);
    FCurrentFrame.FrameNumber = -1;
    FCurrentFrame.Kind = 0;
    FCurrentFrame.EarliestDate = 0;
    FFirstSample = true;
    return hr;
}

HRESULT TVideoNotifier::SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) {
    const HRESULT hr = TTypeLockedFilter::SetMediaType(direction, pmt);
    if (direction == PINDIR_INPUT && pmt) {
        std::lock_guard lock(FLock);
        ApplyInputTypeLocked(*pmt);
    }
    return hr;
}

HRESULT TVideoNotifier::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    {
        std::lock_guard lock(FLock);
        FFrameRingSegmentPending = true;
        FVideoRingSegmentPending = true;
        FInlayRingSegmentPending = true;
        FSegmentStartTime = tStart;
    }
    return TTypeLockedFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT TVideoNotifier::Transform(IMediaSample* pSample) {
    if (!FEnabled.load() || !pSample)
        return S_OK;
    std::lock_guard lock(FLock);
    TransformLocked(pSample);
    return S_OK;
}

void TVideoNotifier::TransformLocked(IMediaSample* sample) {
    if (FFirstSample) {
        ReportFrameDurationLocked();
    } else {
        AM_MEDIA_TYPE* raw = nullptr;
        if (sample->GetMediaType(&raw) == S_OK && raw) {
            const MediaTypePtr type(raw);
            TTypeLockedFilter::SetMediaType(PINDIR_INPUT, type.get());
            ApplyInputTypeLocked(*type);
        }
    }
    FPreviousFrame = FCurrentFrame;
    FPreviousVideo = FCurrentVideo;
    DecodeSampleLocked(sample);
    // The number goes with this frame's record into the rings.
    FCurrentFrame.FrameNumber = FPreviousFrame.FrameNumber + 1;
    RelayLocked(sample);
    if (FVideoDataRelay.load() && !SameFormat(FCurrentVideo, FPreviousVideo))
        ReportFrameDurationLocked();
    FFirstSample = false;
}

void TVideoNotifier::ApplyInputTypeLocked(const AM_MEDIA_TYPE& type) {
    FTemporalCompression.store(type.bTemporalCompression != 0);
    FCurrentVideo = DescribeVideoType(type);
    if (type.formattype == FORMAT_DvInfo && type.cbFormat() >= 32 && FVideoDataRelay.load()) {
        FCurrentFrame.TVSystem = tvUndetermined;
        FCurrentVideo.AspectKind = akNone;
    }
    if (FCurrentVideo.Parsed && (FDVRelay.load() || FVideoDataRelay.load()))
        ReportFrameDurationLocked();
}

void TVideoNotifier::DecodeSampleLocked(IMediaSample* sample) {
    const TMediaTypeKey type = LockedType();
    if (type.Format == FORMAT_MPEG2Video && type.Sub == MEDIASUBTYPE_MPEG2_VIDEO) {
        DescribeMpeg2Header(Payload(sample), FCurrentVideo);
        return;
    }
    const bool dvVideo = (type.Format == FORMAT_VideoInfo || type.Format == FORMAT_VideoInfo2) &&
                         IsDVVideoSubtype(type.Sub);
    if (!dvVideo && type.Format != FORMAT_DvInfo)
        return;
    TDVDecodeSettings settings;
    settings.DateFormat = FDateFormat;
    settings.NoDatecodeText = FNoDatecodeText;
    settings.NoTimecodeText = FNoTimecodeText;
    settings.Locale = FFormatSettings;
    settings.IsDVDevice = FIsDVDevice.load();
    settings.VideoFormatName = FCurrentVideo.FormatName;
    DecodeDVFrame(dvVideo ? TDVStreamKind::Video : TDVStreamKind::Interleaved, Payload(sample),
                  settings, FCurrentFrame, FCurrentVideo);
}

void TVideoNotifier::RelayLocked(IMediaSample* sample) {
    // A preroll sample is decoded (the values of the frames before the target stay current) but
    // never presented, so it takes no ring slot.
    if (sample->IsPreroll() == S_OK)
        return;
    const std::optional<REFERENCE_TIME> time = StreamTimeLocked(sample);
    if (FDVRelay.load()) {
        FFrameDataRing.Write(FCurrentFrame, time, FFrameRingSegmentPending);
        FFrameRingSegmentPending = false;
    }
    if (FVideoDataRelay.load()) {
        FVideoDataRing.Write(FCurrentVideo, time, FVideoRingSegmentPending);
        FVideoRingSegmentPending = false;
    }
    if (FInlayRelay.load()) {
        FInlayRing.Write(InlayRecordLocked(), time, FInlayRingSegmentPending);
        FInlayRingSegmentPending = false;
    }
    FLastRelayTime = time;
}

void TVideoNotifier::ReportFrameDurationLocked() {
    if (!FFrameDurationReports.load() ||
        FCurrentVideo.AvgTimePerFrame == int64_t(FLastReportedDuration))
        return;
    FFrameDurationWindow.Post(WM_FRAMEDURATION, Low32(FCurrentVideo.AvgTimePerFrame), 0);
    FLastReportedDuration = int32_t(uint32_t(uint64_t(FCurrentVideo.AvgTimePerFrame)));
}

TIncrustDV TVideoNotifier::InlayRecordLocked() const {
    TIncrustDV record;
    record.DateValid = FCurrentFrame.DateValid;
    record.TimecodeValid = FCurrentFrame.TimecodeValid;
    record.RecordingDate = FCurrentFrame.RecordingDate;
    record.TimecodeText = FCurrentFrame.TimecodeText;
    return record;
}

std::optional<REFERENCE_TIME> TVideoNotifier::StreamTimeLocked(IMediaSample* sample) const {
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT hr = sample->GetTime(&start, &stop);
    if (hr != S_OK && hr != VFW_S_NO_STOP_TIME)
        return std::nullopt;
    return AddTimes(FSegmentStartTime, start);
}
