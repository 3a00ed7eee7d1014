// Seeking of the filter graph manager: every question goes to the renderers, which pass it up
// to the filters that own the streams.
#include "platform/graph/FilterGraph.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"

std::vector<ComPtr<IMediaSeeking>> CFilterGraph::SeekingRenderersLocked() const {
    std::vector<ComPtr<IMediaSeeking>> seekers;
    for (const ComPtr<IBaseFilter>& f : FiltersLocked())
        if (IsRendererFilter(f.Get()))
            if (ComPtr<IMediaSeeking> s = f.As<IMediaSeeking>())
                seekers.push_back(s);
    return seekers;
}

namespace {

// The first renderer's answer that succeeds.
template <typename Call>
HRESULT FirstAnswer(const std::vector<ComPtr<IMediaSeeking>>& seekers, Call call) {
    HRESULT result = E_NOTIMPL;
    for (const ComPtr<IMediaSeeking>& s : seekers) {
        const HRESULT hr = call(s.Get());
        if (SUCCEEDED(hr))
            return hr;
        if (result == E_NOTIMPL)
            result = hr;
    }
    return result;
}

} // namespace

HRESULT CFilterGraph::GetCapabilities(DWORD* pCapabilities) {
    if (!pCapabilities)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetCapabilities");
    if (!lock)
        return VFW_E_WRONG_STATE;
    const auto seekers = SeekingRenderersLocked();
    DWORD all = 0xFFFFFFFF;
    bool any = false;
    for (const ComPtr<IMediaSeeking>& s : seekers) {
        DWORD caps = 0;
        if (SUCCEEDED(s->GetCapabilities(&caps))) {
            all &= caps;
            any = true;
        }
    }
    *pCapabilities = any ? all : 0;
    return any ? S_OK : E_NOTIMPL;
}

HRESULT CFilterGraph::CheckCapabilities(DWORD* pCapabilities) {
    if (!pCapabilities)
        return E_POINTER;
    DWORD supported = 0;
    const HRESULT hr = GetCapabilities(&supported);
    if (FAILED(hr))
        return hr;
    const DWORD asked = *pCapabilities;
    *pCapabilities &= supported;
    if (*pCapabilities == asked)
        return S_OK;
    return *pCapabilities ? S_FALSE : E_FAIL;
}

HRESULT CFilterGraph::IsFormatSupported(const GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT CFilterGraph::QueryPreferredFormat(GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CFilterGraph::GetTimeFormat(GUID* pFormat) {
    return QueryPreferredFormat(pFormat);
}

HRESULT CFilterGraph::IsUsingTimeFormat(const GUID* pFormat) {
    return IsFormatSupported(pFormat);
}

HRESULT CFilterGraph::SetTimeFormat(const GUID* pFormat) {
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT CFilterGraph::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat,
                                        LONGLONG Source, const GUID* pSourceFormat) {
    if (!pTarget)
        return E_POINTER;
    if ((pTargetFormat && *pTargetFormat != TIME_FORMAT_MEDIA_TIME) ||
        (pSourceFormat && *pSourceFormat != TIME_FORMAT_MEDIA_TIME))
        return E_INVALIDARG;
    *pTarget = Source;
    return S_OK;
}

HRESULT CFilterGraph::GetDuration(LONGLONG* pDuration) {
    if (!pDuration)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetDuration");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return FirstAnswer(SeekingRenderersLocked(),
                       [&](IMediaSeeking* s) { return s->GetDuration(pDuration); });
}

HRESULT CFilterGraph::GetStopPosition(LONGLONG* pStop) {
    if (!pStop)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetStopPosition");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return FirstAnswer(SeekingRenderersLocked(),
                       [&](IMediaSeeking* s) { return s->GetStopPosition(pStop); });
}

HRESULT CFilterGraph::GetCurrentPosition(LONGLONG* pCurrent) {
    if (!pCurrent)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetCurrentPosition");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return GetCurrentPositionLocked(pCurrent);
}

HRESULT CFilterGraph::GetCurrentPositionLocked(LONGLONG* pCurrent) {
    return FirstAnswer(SeekingRenderersLocked(),
                       [&](IMediaSeeking* s) { return s->GetCurrentPosition(pCurrent); });
}

HRESULT CFilterGraph::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
    const TGraphCallLock lock(FLock, "GetPositions");
    if (!lock)
        return VFW_E_WRONG_STATE;
    HRESULT hr = S_OK;
    if (pCurrent)
        hr = GetCurrentPositionLocked(pCurrent);
    if (SUCCEEDED(hr) && pStop)
        hr = FirstAnswer(SeekingRenderersLocked(),
                         [&](IMediaSeeking* s) { return s->GetStopPosition(pStop); });
    return hr;
}

HRESULT CFilterGraph::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
    const TGraphCallLock lock(FLock, "GetAvailable");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return FirstAnswer(SeekingRenderersLocked(),
                       [&](IMediaSeeking* s) { return s->GetAvailable(pEarliest, pLatest); });
}

HRESULT CFilterGraph::GetRate(double* pdRate) {
    if (!pdRate)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetRate");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return FirstAnswer(SeekingRenderersLocked(),
                       [&](IMediaSeeking* s) { return s->GetRate(pdRate); });
}

HRESULT CFilterGraph::GetPreroll(LONGLONG* pllPreroll) {
    if (!pllPreroll)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetPreroll");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return FirstAnswer(SeekingRenderersLocked(),
                       [&](IMediaSeeking* s) { return s->GetPreroll(pllPreroll); });
}

HRESULT CFilterGraph::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                   DWORD dwStopFlags) {
    if (RefusesReentry("SetPositions"))
        return VFW_E_WRONG_STATE;
    const DWORD currentMode = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = dwStopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode && !pCurrent) || (stopMode && !pStop))
        return E_POINTER;
    const TGraphCallLock lock(FLock, "SetPositions");
    if (!lock)
        return VFW_E_WRONG_STATE;
    const auto seekers = SeekingRenderersLocked();
    if (seekers.empty())
        return E_NOTIMPL;
    const bool wasRunning = FState == State_Running;
    if (wasRunning)
        PauseLocked();
    GRAPH_TRACE(QStringLiteral("seek to %1 (%2)")
                    .arg(currentMode ? QString::number(*pCurrent) : QStringLiteral("-"))
                    .arg(wasRunning               ? "running"
                         : FState == State_Paused ? "paused"
                                                  : "stopped"));
    HRESULT result = E_NOTIMPL;
    bool any = false;
    for (const ComPtr<IMediaSeeking>& s : seekers) {
        LONGLONG current = pCurrent ? *pCurrent : 0;
        LONGLONG stop = pStop ? *pStop : 0;
        const HRESULT hr = s->SetPositions(pCurrent ? &current : nullptr, dwCurrentFlags,
                                           pStop ? &stop : nullptr, dwStopFlags);
        if (SUCCEEDED(hr)) {
            if (!any) {
                if (pCurrent && (dwCurrentFlags & AM_SEEKING_ReturnTime))
                    *pCurrent = current;
                if (pStop && (dwStopFlags & AM_SEEKING_ReturnTime))
                    *pStop = stop;
            }
            any = true;
        } else if (!any && result == E_NOTIMPL) {
            result = hr;
        }
    }
    if (currentMode != AM_SEEKING_NoPositioning) {
        // The new segment starts at stream time 0.
        FPausedStreamTime = 0;
        FEvents->ResetCompletion(ConnectedRendererCountLocked());
    }
    if (wasRunning)
        RunLocked(0, true);
    return any ? S_OK : result;
}

HRESULT CFilterGraph::SetRate(double dRate) {
    if (RefusesReentry("SetRate"))
        return VFW_E_WRONG_STATE;
    if (!(dRate > 0.0))
        return E_INVALIDARG;
    const TGraphCallLock lock(FLock, "SetRate");
    if (!lock)
        return VFW_E_WRONG_STATE;
    const auto seekers = SeekingRenderersLocked();
    if (seekers.empty())
        return E_NOTIMPL;
    double current = 0;
    if (SUCCEEDED(seekers.front()->GetRate(&current)) && current == dRate)
        return S_OK;
    const bool wasRunning = FState == State_Running;
    if (wasRunning)
        PauseLocked();
    GRAPH_TRACE(QStringLiteral("rate %1").arg(dRate));
    HRESULT result = E_NOTIMPL;
    for (const ComPtr<IMediaSeeking>& s : seekers) {
        const HRESULT hr = s->SetRate(dRate);
        if (SUCCEEDED(hr) || result == E_NOTIMPL)
            result = hr;
    }
    // The sources restart with a new segment at stream time 0.
    FPausedStreamTime = 0;
    FEvents->ResetCompletion(ConnectedRendererCountLocked());
    if (wasRunning)
        RunLocked(0, true);
    return result;
}
