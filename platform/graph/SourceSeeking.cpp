#include "platform/graph/SourceSeeking.h"

#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceFilter.h"
#include "platform/graph/SourceStream.h"

#include <algorithm>
#include <limits>

CSourceSeeking::CSourceSeeking(CSource* filter, REFERENCE_TIME duration, DWORD capabilities)
    : FFilter(filter), FDuration(duration), FStop(duration), FCapabilities(capabilities) {}

TSourceSegment CSourceSeeking::Segment() const {
    std::lock_guard lock(FLock);
    return {FStart, FStop, FRate};
}

REFERENCE_TIME CSourceSeeking::Duration() const {
    std::lock_guard lock(FLock);
    return FDuration;
}

void CSourceSeeking::SetDuration(REFERENCE_TIME duration) {
    std::lock_guard lock(FLock);
    if (FStop == FDuration)
        FStop = duration;
    FDuration = duration;
}

HRESULT CSourceSeeking::GetCapabilities(DWORD* pCapabilities) {
    if (!pCapabilities)
        return E_POINTER;
    *pCapabilities = FCapabilities;
    return S_OK;
}

HRESULT CSourceSeeking::CheckCapabilities(DWORD* pCapabilities) {
    if (!pCapabilities)
        return E_POINTER;
    const DWORD asked = *pCapabilities;
    *pCapabilities &= FCapabilities;
    if (*pCapabilities == asked)
        return S_OK;
    return *pCapabilities ? S_FALSE : E_FAIL;
}

HRESULT CSourceSeeking::IsFormatSupported(const GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT CSourceSeeking::QueryPreferredFormat(GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CSourceSeeking::GetTimeFormat(GUID* pFormat) {
    return QueryPreferredFormat(pFormat);
}

HRESULT CSourceSeeking::IsUsingTimeFormat(const GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT CSourceSeeking::SetTimeFormat(const GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT CSourceSeeking::GetDuration(LONGLONG* pDuration) {
    if (!pDuration)
        return E_POINTER;
    *pDuration = Duration();
    return S_OK;
}

HRESULT CSourceSeeking::GetStopPosition(LONGLONG* pStop) {
    if (!pStop)
        return E_POINTER;
    *pStop = Segment().stop;
    return S_OK;
}

HRESULT CSourceSeeking::GetCurrentPosition(LONGLONG* pCurrent) {
    if (!pCurrent)
        return E_POINTER;
    *pCurrent = Segment().start;
    return S_OK;
}

HRESULT CSourceSeeking::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat,
                                          LONGLONG Source, const GUID* pSourceFormat) {
    if (!pTarget)
        return E_POINTER;
    const bool targetOk = !pTargetFormat || *pTargetFormat == TIME_FORMAT_MEDIA_TIME;
    const bool sourceOk = !pSourceFormat || *pSourceFormat == TIME_FORMAT_MEDIA_TIME;
    if (!targetOk || !sourceOk)
        return E_INVALIDARG;
    *pTarget = Source;
    return S_OK;
}

bool CSourceSeeking::IsMaster(CSourceStream* caller) const {
    if (!caller)
        return true;
    // A splitter lists its input pin too; only the output pins take part.
    for (int i = 0; i < FFilter->GetPinCount(); ++i) {
        CBasePin* pin = FFilter->GetPin(i);
        if (pin && pin->Direction() == PINDIR_OUTPUT && pin->IsConnected())
            return pin == static_cast<CBasePin*>(caller);
    }
    return true;
}

HRESULT CSourceSeeking::SetPositions(CSourceStream* caller, LONGLONG* pCurrent,
                                     DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) {
    const DWORD currentMode = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = dwStopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode && !pCurrent) || (stopMode && !pStop))
        return E_POINTER;
    if (!IsMaster(caller)) {
        const TSourceSegment now = Segment();
        if (pCurrent && (dwCurrentFlags & AM_SEEKING_ReturnTime))
            *pCurrent = now.start;
        if (pStop && (dwStopFlags & AM_SEEKING_ReturnTime))
            *pStop = now.stop;
        return S_OK;
    }
    bool stopChanged = false;
    {
        std::lock_guard lock(FLock);
        REFERENCE_TIME start = FStart;
        REFERENCE_TIME stop = FStop;
        if (currentMode == AM_SEEKING_AbsolutePositioning)
            start = *pCurrent;
        else if (currentMode == AM_SEEKING_RelativePositioning ||
                 currentMode == AM_SEEKING_IncrementalPositioning)
            start = FStart + *pCurrent;
        if (stopMode == AM_SEEKING_AbsolutePositioning)
            stop = *pStop;
        else if (stopMode == AM_SEEKING_RelativePositioning)
            stop = FStop + *pStop;
        else if (stopMode == AM_SEEKING_IncrementalPositioning)
            stop = start + *pStop;
        start = std::clamp<REFERENCE_TIME>(start, 0, FDuration);
        stop = std::clamp<REFERENCE_TIME>(stop, start, FDuration);
        stopChanged = stop != FStop;
        FStart = start;
        FStop = stop;
        if (pCurrent && (dwCurrentFlags & AM_SEEKING_ReturnTime))
            *pCurrent = FStart;
        if (pStop && (dwStopFlags & AM_SEEKING_ReturnTime))
            *pStop = FStop;
    }
    GRAPH_TRACE(QStringLiteral("seek %1: start %2 stop %3")
                    .arg(TraceName(static_cast<IBaseFilter*>(FFilter)))
                    .arg(Segment().start)
                    .arg(Segment().stop));
    // A seek to the position already held still restarts: that is how a paused picture is
    // delivered again.
    if (currentMode != AM_SEEKING_NoPositioning)
        return ChangeStart();
    return stopChanged ? ChangeStop() : S_OK;
}

HRESULT CSourceSeeking::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
    const TSourceSegment now = Segment();
    if (pCurrent)
        *pCurrent = now.start;
    if (pStop)
        *pStop = now.stop;
    return S_OK;
}

HRESULT CSourceSeeking::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
    if (pEarliest)
        *pEarliest = 0;
    if (pLatest)
        *pLatest = Duration();
    return S_OK;
}

HRESULT CSourceSeeking::SetRate(CSourceStream* caller, double dRate) {
    if (!(dRate > 0.0))
        return E_INVALIDARG;
    if (!IsMaster(caller))
        return S_OK;
    {
        std::lock_guard lock(FLock);
        if (FRate == dRate)
            return S_OK;
        FRate = dRate;
    }
    return ChangeRate();
}

HRESULT CSourceSeeking::GetRate(double* pdRate) {
    if (!pdRate)
        return E_POINTER;
    *pdRate = Segment().rate;
    return S_OK;
}

HRESULT CSourceSeeking::GetPreroll(LONGLONG* pllPreroll) {
    if (!pllPreroll)
        return E_POINTER;
    *pllPreroll = 0;
    return S_OK;
}

HRESULT CSourceSeeking::ChangeStart() {
    return FFilter->RestartStreams();
}

HRESULT CSourceSeeking::ChangeStop() {
    return FFilter->RestartStreams();
}

HRESULT CSourceSeeking::ChangeRate() {
    return FFilter->RestartStreams();
}
