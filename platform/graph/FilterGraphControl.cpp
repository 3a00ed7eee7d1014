// Run state and reference clock of the filter graph manager.
#include "platform/com/NoThrow.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/FilterGraph.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SystemClock.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace {

// Lead given to the filters between the start of the clock and the first sample's due time.
constexpr REFERENCE_TIME kStartLatency = 10 * MILLISECONDS;
// How long Run waits for the renderers' first samples before it starts the clock anyway.
constexpr int kPrerollWaitMs = 2000;

const char* StateName(FILTER_STATE state) {
    switch (state) {
    case State_Stopped:
        return "stopped";
    case State_Paused:
        return "paused";
    case State_Running:
        return "running";
    }
    return "?";
}

std::vector<ComPtr<IBaseFilter>> DownstreamOf(IBaseFilter* filter) {
    std::vector<ComPtr<IBaseFilter>> below;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        ComPtr<IPin> peer;
        if (DirectionOf(pin.Get()) == PINDIR_OUTPUT &&
            SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
            below.push_back(FilterOf(peer.Get()));
    }
    return below;
}

} // namespace

std::vector<ComPtr<IBaseFilter>> CFilterGraph::DownstreamFirstLocked() const {
    std::vector<ComPtr<IBaseFilter>> order;
    std::set<IBaseFilter*> placed;
    std::vector<ComPtr<IBaseFilter>> left = FiltersLocked();
    std::set<IBaseFilter*> inGraph;
    for (const auto& f : left)
        inGraph.insert(f.Get());
    while (!left.empty()) {
        bool progress = false;
        for (auto it = left.begin(); it != left.end();) {
            const auto below = DownstreamOf(it->Get());
            const bool ready = std::all_of(below.begin(), below.end(), [&](const auto& d) {
                return !inGraph.count(d.Get()) || placed.count(d.Get());
            });
            if (ready) {
                placed.insert(it->Get());
                order.push_back(*it);
                it = left.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
        if (!progress) { // a loop in the connections: take the rest as they are
            order.insert(order.end(), left.begin(), left.end());
            break;
        }
    }
    return order;
}

int CFilterGraph::ConnectedRendererCountLocked() const {
    int count = 0;
    for (const TEntry& e : FFilters) {
        if (!IsRendererFilter(e.filter.Get()))
            continue;
        for (const ComPtr<IPin>& pin : PinsOf(e.filter.Get())) {
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf()))) {
                ++count;
                break;
            }
        }
    }
    return count;
}

REFERENCE_TIME CFilterGraph::ClockTime() const {
    REFERENCE_TIME now = 0;
    if (FClock)
        FClock->GetTime(&now);
    return now;
}

HRESULT CFilterGraph::DistributeClockLocked() {
    for (const TEntry& e : FFilters)
        e.filter->SetSyncSource(FClock.Get());
    return S_OK;
}

HRESULT CFilterGraph::SetDefaultSyncSource() {
    const TGraphCallLock lock(FLock, "SetDefaultSyncSource");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return SetDefaultSyncSourceLocked();
}

HRESULT CFilterGraph::SetDefaultSyncSourceLocked() {
    if (FState != State_Stopped)
        return VFW_E_NOT_STOPPED;
    FClock = nullptr;
    for (const ComPtr<IBaseFilter>& f : DownstreamFirstLocked()) {
        if (ComPtr<IReferenceClock> clock = f.As<IReferenceClock>()) {
            FClock = clock;
            GRAPH_TRACE(QStringLiteral("clock: offered by %1").arg(TraceName(f.Get())));
            break;
        }
    }
    if (!FClock) {
        if (!FSystemClock)
            FSystemClock = MakeComObject<CSystemClock>();
        FClock = FSystemClock;
        GRAPH_TRACE(QStringLiteral("clock: system clock"));
    }
    FClockChosen = true;
    return DistributeClockLocked();
}

HRESULT CFilterGraph::SetSyncSource(IReferenceClock* pClock) {
    const TGraphCallLock lock(FLock, "SetSyncSource");
    if (!lock)
        return VFW_E_WRONG_STATE;
    if (FState != State_Stopped)
        return VFW_E_NOT_STOPPED;
    FClock = pClock;
    FClockChosen = true;
    GRAPH_TRACE(pClock ? QStringLiteral("clock: set by the caller")
                       : QStringLiteral("clock: none, every filter runs as fast as it can"));
    return DistributeClockLocked();
}

HRESULT CFilterGraph::GetSyncSource(IReferenceClock** pClock) {
    if (!pClock)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetSyncSource");
    if (!lock)
        return VFW_E_WRONG_STATE;
    *pClock = nullptr;
    return FClock ? FClock.CopyTo(pClock) : S_FALSE;
}

void CFilterGraph::ChooseClockLocked() {
    if (!FClockChosen && FState == State_Stopped)
        SetDefaultSyncSourceLocked();
}

HRESULT CFilterGraph::PauseLocked() {
    ChooseClockLocked();
    if (FState == State_Running)
        FPausedStreamTime = FClock ? ClockTime() - FStartTime : 0;
    else if (FState == State_Stopped) {
        FPausedStreamTime = 0;
        FEvents->ResetCompletion(ConnectedRendererCountLocked());
    }
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter>& f : DownstreamFirstLocked()) {
        const HRESULT hr = HResultOf([&] { return f->Pause(); });
        if (FAILED(hr)) {
            GRAPH_TRACE(
                QStringLiteral("pause %1 failed: %2").arg(TraceName(f.Get()), HResultName(hr)));
            // The filters that paused before it stop again (from Stopped too).
            FState = State_Paused;
            StopLocked(false);
            return hr;
        }
        if (hr == S_FALSE)
            result = S_FALSE;
    }
    FState = State_Paused;
    GRAPH_TRACE(QStringLiteral("state: paused%1").arg(result == S_FALSE ? " (in progress)" : ""));
    return result;
}

HRESULT CFilterGraph::RunLocked(REFERENCE_TIME tStart, bool computeStart) {
    if (FState == State_Stopped) {
        const HRESULT hr = PauseLocked();
        if (FAILED(hr))
            return hr;
    }
    if (FState == State_Running)
        return S_OK;
    if (computeStart) {
        if (FClock) {
            // Start the clock once the renderers hold their first samples, so that playing
            // does not begin with a run of late frames.
            StateOfFiltersLocked(kPrerollWaitMs);
            tStart = ClockTime() + kStartLatency - FPausedStreamTime;
        } else {
            tStart = 0;
        }
    }
    FStartTime = tStart;
    for (const ComPtr<IBaseFilter>& f : DownstreamFirstLocked()) {
        const HRESULT hr = HResultOf([&] { return f->Run(tStart); });
        if (FAILED(hr)) {
            GRAPH_TRACE(
                QStringLiteral("run %1 failed: %2").arg(TraceName(f.Get()), HResultName(hr)));
            StopLocked(false);
            return hr;
        }
    }
    FState = State_Running;
    GRAPH_TRACE(QStringLiteral("state: running"));
    return S_OK;
}

HRESULT CFilterGraph::StopLocked(bool keepPosition) {
    if (FState == State_Stopped)
        return S_OK;
    LONGLONG position = 0;
    const bool havePosition = keepPosition && SUCCEEDED(GetCurrentPositionLocked(&position));
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter>& f : DownstreamFirstLocked()) {
        const HRESULT hr = f->Stop();
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    FState = State_Stopped;
    FPausedStreamTime = 0;
    FEvents->ResetCompletion(0);
    GRAPH_TRACE(QStringLiteral("state: stopped"));
    // The next run goes on from here: the sources keep the position (they are not streaming,
    // so this only records it).
    if (havePosition)
        for (const ComPtr<IMediaSeeking>& s : SeekingRenderersLocked()) {
            LONGLONG at = position;
            s->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        }
    return result;
}

HRESULT CFilterGraph::StateOfFiltersLocked(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    HRESULT result = S_OK;
    for (const TEntry& e : FFilters) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const DWORD wait = timeoutMs < 0 ? INFINITE : DWORD(std::max<long long>(left.count(), 0));
        FILTER_STATE state;
        if (e.filter->GetState(wait, &state) == VFW_S_STATE_INTERMEDIATE)
            result = VFW_S_STATE_INTERMEDIATE;
    }
    return result;
}

HRESULT CFilterGraph::Run() {
    if (RefusesReentry("Run"))
        return VFW_E_WRONG_STATE;
    const TGraphCallLock lock(FLock, "Run");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return RunLocked(0, true);
}

HRESULT CFilterGraph::Run(REFERENCE_TIME tStart) {
    if (RefusesReentry("Run"))
        return VFW_E_WRONG_STATE;
    const TGraphCallLock lock(FLock, "Run");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return RunLocked(tStart, false);
}

HRESULT CFilterGraph::Pause() {
    if (RefusesReentry("Pause"))
        return VFW_E_WRONG_STATE;
    const TGraphCallLock lock(FLock, "Pause");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return PauseLocked();
}

HRESULT CFilterGraph::Stop() {
    if (RefusesReentry("Stop"))
        return VFW_E_WRONG_STATE;
    const TGraphCallLock lock(FLock, "Stop");
    if (!lock)
        return VFW_E_WRONG_STATE;
    return StopLocked(true);
}

HRESULT CFilterGraph::StopWhenReady() {
    if (RefusesReentry("StopWhenReady"))
        return VFW_E_WRONG_STATE;
    const TGraphCallLock lock(FLock, "StopWhenReady");
    if (!lock)
        return VFW_E_WRONG_STATE;
    const HRESULT hr = PauseLocked();
    if (FAILED(hr))
        return hr;
    StateOfFiltersLocked(kPrerollWaitMs);
    return StopLocked(true);
}

HRESULT CFilterGraph::GetState(LONG msTimeout, OAFilterState* pfs) {
    if (!pfs)
        return E_POINTER;
    const TGraphCallLock lock(FLock, "GetState");
    if (!lock)
        return VFW_E_WRONG_STATE;
    const HRESULT hr = StateOfFiltersLocked(msTimeout < 0 ? -1 : int(msTimeout));
    *pfs = FState;
    if (hr == VFW_S_STATE_INTERMEDIATE)
        GRAPH_TRACE(QStringLiteral("state: %1, not complete").arg(StateName(FState)));
    return hr;
}

HRESULT CFilterGraph::GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) {
    if (!State)
        return E_POINTER;
    OAFilterState state = 0;
    const LONG timeout =
        dwMilliSecsTimeout == INFINITE ? -1 : LONG(std::min<DWORD>(dwMilliSecsTimeout, 0x7FFFFFFF));
    const HRESULT hr = GetState(timeout, &state);
    *State = FILTER_STATE(state);
    return hr;
}

HRESULT CFilterGraph::GetClassID(CLSID* pClassID) {
    if (!pClassID)
        return E_POINTER;
    *pClassID = CLSID_FilterGraph;
    return S_OK;
}
