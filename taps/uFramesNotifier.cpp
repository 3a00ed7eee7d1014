#include "taps/uFramesNotifier.h"

#include "taps/uMediaDescriptions.h"
#include "taps/uTapMessages.h"

namespace {

// The frame-grid position of p: the quotient truncated towards zero, then one frame on when p
// lies more than half a frame past it (an exact half rounds down). A time before the first frame
// (a sample stamped a little early, or a preroll frame let through) is the first frame, 0.
REFERENCE_TIME NearestFrame(REFERENCE_TIME p, REFERENCE_TIME frameDuration) {
    if (p <= 0)
        return 0;
    const REFERENCE_TIME q = p / frameDuration * frameDuration;
    const REFERENCE_TIME rest = p - q; // 0 <= rest < frameDuration
    return rest > frameDuration - rest ? AddTimes(q, frameDuration) : q;
}

std::optional<REFERENCE_TIME> StartTimeOf(IMediaSample* sample) {
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT hr = sample->GetTime(&start, &stop);
    if (hr != S_OK && hr != VFW_S_NO_STOP_TIME)
        return std::nullopt;
    return start;
}

} // namespace

TFramesNotifier::TFramesNotifier()
    : CTransInPlaceFilter(QString::fromUtf16(FramesNotifierName), CLSID_FramesNotifier, false) {}

void TFramesNotifier::SetMark(int slot, REFERENCE_TIME target, bool afterNewSegment) {
    if (slot < 0 || slot >= MarkSlots)
        return;
    std::lock_guard lock(FLock);
    FMarks[size_t(slot)].Target = target;
    FMarks[size_t(slot)].Armed = true;
    FMarks[size_t(slot)].WaitsForSegment = afterNewSegment;
}

void TFramesNotifier::SetMarkWindow(int slot, const TWindowHandle& window) {
    if (slot < 0 || slot >= MarkSlots)
        return;
    std::lock_guard lock(FLock);
    FMarks[size_t(slot)].Window = window;
}

bool TFramesNotifier::MarkArmed(int slot) const {
    if (slot < 0 || slot >= MarkSlots)
        return false;
    std::lock_guard lock(FLock);
    return FMarks[size_t(slot)].Armed;
}

void TFramesNotifier::ClearMark(int slot) {
    if (slot < 0 || slot >= MarkSlots)
        return;
    std::lock_guard lock(FLock);
    FMarks[size_t(slot)].Armed = false;
}

void TFramesNotifier::SetPositionTextWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FPositionTextWindow = window;
}

void TFramesNotifier::SetNavigationWindow(const TWindowHandle& window) {
    std::lock_guard lock(FLock);
    FNavigationWindow = window;
}

void TFramesNotifier::SetDVSource(TVideoNotifier* tap) {
    std::lock_guard lock(FLock);
    FDVSource = tap;
}

void TFramesNotifier::SetVideoSource(TVideoNotifier* tap) {
    std::lock_guard lock(FLock);
    FVideoSource = tap;
}

ComPtr<TVideoNotifier> TFramesNotifier::DVSource() const {
    std::lock_guard lock(FLock);
    return FDVSource;
}

ComPtr<TVideoNotifier> TFramesNotifier::VideoSource() const {
    std::lock_guard lock(FLock);
    return FVideoSource;
}

HRESULT TFramesNotifier::CheckInputType(const CMediaType* mtIn) {
    return mtIn ? S_OK : E_POINTER;
}

HRESULT TFramesNotifier::StartStreaming() {
    const HRESULT hr = CTransInPlaceFilter::StartStreaming();
    {
        std::lock_guard lock(FLock);
        FRestart = true;
    }
    FLastText.clear();
    return hr;
}

HRESULT TFramesNotifier::SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) {
    const HRESULT hr = CTransInPlaceFilter::SetMediaType(direction, pmt);
    if (direction != PINDIR_INPUT || !pmt)
        return hr;
    FInputTemporalCompression.store(pmt->bTemporalCompression != 0);
    const TVideoData video = DescribeVideoType(*pmt);
    const REFERENCE_TIME duration =
        video.AvgTimePerFrame != 0 ? video.AvgTimePerFrame : DefaultFrameDuration;
    TWindowHandle navigation;
    {
        std::lock_guard lock(FLock);
        navigation = FNavigationWindow;
    }
    navigation.Send(WM_FRAMEDURATION, Low32(duration), 0);
    return hr;
}

HRESULT TFramesNotifier::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    {
        std::lock_guard lock(FLock);
        FSegmentStarted = true;
        FSegmentStartTime = tStart;
        if (tStart == 0)
            FRestart = true;
        for (TMark& mark : FMarks)
            mark.WaitsForSegment = false;
    }
    return CTransInPlaceFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT TFramesNotifier::Transform(IMediaSample* pSample) {
    if (!pSample)
        return S_OK;
    const TFrameState state = UpdatePosition(pSample);
    for (int slot = 0; slot < MarkSlots; ++slot)
        TestMark(slot);
    RelayDVCodes(state);
    RelayVideoData(state);
    RelayInlay(state);
    ReportPositionText(state);
    return FPassSamples.load() ? S_OK : S_FALSE;
}

std::optional<REFERENCE_TIME> TFramesNotifier::SampleTimeOf(REFERENCE_TIME position) const {
    const bool interCoded =
        FVideoSource ? FVideoSource->TemporalCompression() : FInputTemporalCompression.load();
    if (!interCoded)
        return std::nullopt;
    std::lock_guard lock(FLock);
    return AddTimes(SubtractTimes(position, FSegmentStartTime), FFirstStart);
}

REFERENCE_TIME TFramesNotifier::GridDuration() const {
    const REFERENCE_TIME duration = FFrameDuration.load();
    return duration > 0 ? duration : 1;
}

TFramesNotifier::TFrameState TFramesNotifier::UpdatePosition(IMediaSample* sample) {
    const std::optional<REFERENCE_TIME> start = StartTimeOf(sample);
    const REFERENCE_TIME duration = GridDuration();
    std::lock_guard lock(FLock);
    TFrameState state;
    state.Restart = FRestart;
    state.SegmentStarted = FSegmentStarted;
    state.DVSource = FDVSource;
    state.VideoSource = FVideoSource;
    state.PositionTextWindow = FPositionTextWindow;
    state.NavigationWindow = FNavigationWindow;
    if (start)
        state.StreamTime = AddTimes(FSegmentStartTime, *start);
    if (FRestart && start)
        FFirstStart = *start;
    const bool interCoded =
        FVideoSource ? FVideoSource->TemporalCompression() : FInputTemporalCompression.load();
    if (start && (FSegmentStarted || interCoded)) {
        const REFERENCE_TIME p = SubtractTimes(*state.StreamTime, FFirstStart);
        FPosition.store(NearestFrame(p, duration));
    } else {
        // Intra-coded frames follow each other exactly one frame apart.
        FPosition.store(AddTimes(FPosition.load(), duration));
    }
    FSegmentStarted = false;
    FRestart = false;
    return state;
}

void TFramesNotifier::TestMark(int slot) {
    TWindowHandle window;
    REFERENCE_TIME target = 0;
    {
        std::lock_guard lock(FLock);
        TMark& mark = FMarks[size_t(slot)];
        if (!mark.Armed || mark.WaitsForSegment ||
            SubtractTimes(mark.Target, GridDuration() / 2) > FPosition.load())
            return;
        const bool interCoded =
            FVideoSource ? FVideoSource->TemporalCompression() : FInputTemporalCompression.load();
        if (interCoded)
            FPosition.store(mark.Target);
        mark.Armed = false;
        window = mark.Window;
        target = mark.Target;
    }
    window.Send(WM_MARKREACHED, Low32(target), LPARAM(Low32(FPosition.load())));
}

template <typename T>
int TFramesNotifier::NextReadIndex(const TTapRing<T>& ring, int current, const TFrameState& state,
                                   bool& matches) const {
    const int index = state.SegmentStarted ? ring.SegmentStartIndex() : TTapRing<T>::Next(current);
    matches = true;
    if (!state.StreamTime || ring.WriteIndex() == 0)
        return index;
    const std::optional<REFERENCE_TIME> written = ring.TimeOf(index);
    const REFERENCE_TIME tolerance = GridDuration() / 2;
    if (written && AddTimes(*written, tolerance) >= *state.StreamTime &&
        SubtractTimes(*written, tolerance) <= *state.StreamTime)
        return index;
    if (const int found = ring.FindTime(*state.StreamTime, tolerance))
        return found;
    if (!written)
        return index; // a slot without a time: following the writer is all there is
    // The frame presented left no slot (the tap has written it over, or never saw it): its
    // record is not relayed rather than another frame's.
    matches = false;
    return index;
}

void TFramesNotifier::RelayDVCodes(const TFrameState& state) {
    if (!state.DVSource)
        return;
    const TTapRing<TframeData>& ring = state.DVSource->FrameDataRing();
    bool matches = false;
    FDVReadIndex = NextReadIndex(ring, FDVReadIndex, state, matches);
    if (!matches)
        return;
    if (const TRingAnnouncement slot = ring.Announce(FDVReadIndex); slot.Slot)
        state.DVSource->DVCodeWindow().Post(WM_DVCODE, RecordWParam(0, slot), LPARAM(slot.Slot));
}

void TFramesNotifier::RelayVideoData(const TFrameState& state) {
    if (!state.VideoSource)
        return;
    const TTapRing<TVideoData>& ring = state.VideoSource->VideoDataRing();
    bool matches = false;
    FVideoReadIndex = NextReadIndex(ring, FVideoReadIndex, state, matches);
    TVideoData data;
    const TRingAnnouncement slot =
        matches ? ring.ReadAt(FVideoReadIndex, data) : TRingAnnouncement{};
    if (!slot.Slot)
        return;
    if ((state.Restart || !SameVideoDescription(data, FLastVideoData)) && FPassSamples.load()) {
        const TWindowHandle window = state.VideoSource->VideoWindow();
        window.Post(WM_VIDEODATA, RecordWParam(VideoDataKindAspect, slot), LPARAM(slot.Slot));
        window.Post(WM_VIDEODATA, RecordWParam(VideoDataKindFormat, slot), LPARAM(slot.Slot));
        FLastVideoData = data;
    }
}

void TFramesNotifier::RelayInlay(const TFrameState& state) {
    if (!state.DVSource || !state.DVSource->InlayRelay())
        return;
    const TTapRing<TIncrustDV>& ring = state.DVSource->InlayRing();
    bool matches = false;
    FInlayReadIndex = NextReadIndex(ring, FInlayReadIndex, state, matches);
    if (!matches || !FPassSamples.load())
        return; // a frame held back is not on screen: the inlay keeps the one that is
    if (const TRingAnnouncement slot = ring.Announce(FInlayReadIndex); slot.Slot)
        state.DVSource->InlayWindow().Send(WM_DVINLAY, WPARAM(slot.Slot), LPARAM(slot.Serial));
}

void TFramesNotifier::ReportPositionText(const TFrameState& state) {
    FTextIndex = (FTextIndex + 1) % TextSlots;
    QString& text = FTexts[size_t(FTextIndex)];
    text = FormatPositionText(FFrameDuration.load(), FPosition.load());
    if (FPositionTextReports.load()) {
        if (text != FLastText)
            state.PositionTextWindow.Send(WM_POSITIONTEXT, WPARAM(&text), 0);
        state.NavigationWindow.Send(WM_NAVPOSITIONTEXT, WPARAM(&text), 0);
    }
    FLastText = text;
}
