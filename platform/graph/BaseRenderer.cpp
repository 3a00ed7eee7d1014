#include "platform/graph/BaseRenderer.h"

#include "platform/graph/GraphWait.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// The clock's time, or a steady time when there is no clock (figures only).
REFERENCE_TIME NowOn(IReferenceClock* clock) {
    REFERENCE_TIME now = 0;
    if (clock && SUCCEEDED(clock->GetTime(&now)))
        return now;
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
}

int RoundMs(double ms) {
    return int(std::lround(ms));
}

double Deviation(double sum, double squares, long long count) {
    if (count < 2)
        return 0;
    const double mean = sum / double(count);
    return std::sqrt(std::max(0.0, squares / double(count) - mean * mean));
}

} // namespace

CBaseRenderer::CBaseRenderer(REFCLSID clsid, const QString& objectName)
    : CBaseFilter(objectName, clsid) {}

CBaseRenderer::~CBaseRenderer() = default;

HRESULT CBaseRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) {
        InputPin();
        return GetInterface(static_cast<IMediaSeeking*>(FPosition.get()), ppv);
    }
    if (riid == IID_IQualProp)
        return GetInterface(static_cast<IQualProp*>(this), ppv);
    if (riid == IID_IAMFilterMiscFlags)
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    if (riid == IID_IHeldSampleRelease)
        return GetInterface(static_cast<IHeldSampleRelease*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CRendererInputPin* CBaseRenderer::InputPin() {
    std::call_once(FPinCreated, [this] {
        HRESULT hr = S_OK;
        FInput = std::make_unique<CRendererInputPin>(this, &hr, QStringLiteral("In"));
        FPosition = std::make_unique<CPosPassThru>(static_cast<IBaseFilter*>(this), FInput.get());
        FPosition->SetCurrentPositionSource(
            [this](LONGLONG* position) { return GetCurrentMediaPosition(position); });
    });
    return FInput.get();
}

CBasePin* CBaseRenderer::GetPin(int n) {
    return n == 0 ? InputPin() : nullptr;
}

void CBaseRenderer::ChangeEpochLocked() {
    // Every state change and flush ends a pending release and the dropping (ReleaseHeldSample
    // sets them after).
    FReleaseHeld = false;
    FDropWhilePaused = false;
    ++FEpoch;
    FRenderChanged.notify_all();
}

bool CBaseRenderer::IsReady() {
    std::lock_guard lock(FRenderLock);
    if (InputPin()->IsFlushing())
        return false;
    // A held sample that is being let go no longer counts: the next one is awaited.
    return (FHolding && FShown && !FReleaseHeld) || FEndOfStream || FDropWhilePaused;
}

HRESULT CBaseRenderer::Pause() {
    std::lock_guard lock(FFilterLock);
    const FILTER_STATE previous = FState.load();
    if (previous == State_Stopped) {
        {
            std::lock_guard render(FRenderLock);
            FEndOfStream = FEndOfStreamSent = false;
        }
        const HRESULT hr = OnStartStreaming();
        if (FAILED(hr))
            return hr;
    }
    const HRESULT hr = PauseLocked();
    if (FAILED(hr))
        return hr;
    {
        std::lock_guard render(FRenderLock);
        ChangeEpochLocked();
    }
    return InputPin()->IsConnected() && !IsReady() ? S_FALSE : S_OK;
}

HRESULT CBaseRenderer::Run(REFERENCE_TIME tStart) {
    const HRESULT paused = PauseIfStopped();
    if (FAILED(paused))
        return paused;
    std::lock_guard lock(FFilterLock);
    const HRESULT hr = RunLocked(tStart);
    if (FAILED(hr))
        return hr;
    bool endPending = false;
    {
        std::lock_guard render(FRenderLock);
        ChangeEpochLocked();
        endPending = FEndOfStream && !FEndOfStreamSent;
    }
    if (endPending)
        SendEndOfStream();
    return S_OK;
}

HRESULT CBaseRenderer::Stop() {
    {
        std::lock_guard lock(FFilterLock);
        if (FState.load() == State_Stopped)
            return S_OK;
        FState.store(State_Stopped);
    }
    {
        std::lock_guard render(FRenderLock);
        ChangeEpochLocked();
    }
    InputPin()->Inactive();
    // Receive has seen the change and returns; wait for it to leave before resetting.
    std::unique_lock receive(FReceiveLock, std::defer_lock);
    WaitForThreads([&] { return receive.try_lock(); });
    {
        std::lock_guard render(FRenderLock);
        FEndOfStream = FEndOfStreamSent = false;
        FHaveLastStop = false;
    }
    OnStopStreaming();
    return S_OK;
}

HRESULT CBaseRenderer::ReleaseHeldSample(bool holdNext) {
    std::lock_guard lock(FRenderLock);
    if (FState.load() != State_Paused || InputPin()->IsFlushing())
        return S_FALSE;
    const bool held = FHolding && FShown;
    if (holdNext && !held)
        return S_FALSE;
    ChangeEpochLocked();
    FReleaseHeld = held;
    FDropWhilePaused = !holdNext;
    return S_OK;
}

HRESULT CBaseRenderer::GetState(DWORD dwMSecs, FILTER_STATE* State) {
    if (!State)
        return E_POINTER;
    *State = FState.load();
    if (*State != State_Paused || !InputPin()->IsConnected())
        return S_OK;
    const int timeout = dwMSecs == INFINITE ? -1 : int(std::min<DWORD>(dwMSecs, 0x7FFFFFFF));
    const bool ready =
        WaitForThreads([this] { return FState.load() != State_Paused || IsReady(); }, timeout);
    *State = FState.load();
    return ready ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

void CBaseRenderer::AbortRendering(HRESULT hr) {
    if (InputPin()->HasRunTimeError())
        return;
    InputPin()->SetRunTimeError();
    NotifyEvent(EC_ERRORABORT, hr, 0);
}

void CBaseRenderer::OnReceiveFirstSample(IMediaSample* pMediaSample) {
    DoRenderSample(pMediaSample);
}

void CBaseRenderer::RenderAndCount(IMediaSample* sample, bool first, REFERENCE_TIME due,
                                   bool timed) {
    if (first)
        OnReceiveFirstSample(sample);
    else
        DoRenderSample(sample);
    ComPtr<IReferenceClock> clock = Clock();
    const REFERENCE_TIME now = NowOn(clock.Get());
    std::lock_guard lock(FRenderLock);
    ++FFramesDrawn;
    if (timed) {
        const double offset = double(now - due) / 10000.0;
        ++FSyncCount;
        FSyncSum += offset;
        FSyncSquares += offset * offset;
    }
    if (!first && FHaveLastRender) {
        const double interval = double(now - FLastRenderClock) / 10000.0;
        ++FIntervalCount;
        FIntervalSum += interval;
        FIntervalSquares += interval * interval;
    }
    FLastRenderClock = now;
    FHaveLastRender = !first;
}

bool CBaseRenderer::WaitUntilDue(std::unique_lock<std::mutex>& lock, REFERENCE_TIME due,
                                 uint64_t epoch) {
    // Waits in short slices, asking the clock again each time: a clock driven by audio output
    // need not run at the speed of the system's.
    ComPtr<IReferenceClock> clock = Clock();
    while (FEpoch == epoch) {
        const REFERENCE_TIME now = NowOn(clock.Get());
        if (!clock || now >= due)
            return true;
        const auto slice =
            std::chrono::microseconds(std::min<REFERENCE_TIME>(due - now, 100000) / 10);
        FRenderChanged.wait_for(lock, slice, [&] { return FEpoch != epoch; });
    }
    return false;
}

HRESULT CBaseRenderer::Receive(IMediaSample* pSample) {
    if (pSample->IsPreroll() == S_OK)
        return S_OK;
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timeResult = pSample->GetTime(&start, &stop);
    const bool hasTime = SUCCEEDED(timeResult);
    std::unique_lock lock(FRenderLock);
    if (FEndOfStream)
        return VFW_E_SAMPLE_REJECTED_EOS;
    if (FDropWhilePaused && FState.load() == State_Paused)
        return S_OK;
    FHolding = true;
    FShown = false;
    while (!InputPin()->IsFlushing() && !IsStopped()) {
        const uint64_t epoch = FEpoch;
        if (FState.load() == State_Paused) {
            if (!FShown) {
                lock.unlock();
                RenderAndCount(pSample, true, 0, false);
                lock.lock();
                FShown = true;
                FHaveShown = true;
                FShownStart = start;
                lock.unlock();
                WakeWaiters();
                lock.lock();
                continue;
            }
            // The release may have come before this wait began (while the sample was being
            // shown): its flag is looked at first.
            if (!FReleaseHeld)
                FRenderChanged.wait(lock, [&] { return FEpoch != epoch || FReleaseHeld; });
            if (FReleaseHeld) {
                FReleaseHeld = false;
                break;
            }
            continue;
        }
        // Running.
        const bool timed = hasTime && Clock();
        const REFERENCE_TIME due = StartTime() + start - RenderAhead();
        if (timed && !WaitUntilDue(lock, due, epoch))
            continue; // the state changed meanwhile
        if (!FShown) {
            lock.unlock();
            RenderAndCount(pSample, false, due, timed);
            lock.lock();
            FShown = true;
            FHaveShown = true;
            FShownStart = start;
        }
        if (hasTime && timeResult == S_OK) {
            FLastStop = stop;
            FHaveLastStop = true;
        }
        break;
    }
    FHolding = false;
    FShown = false;
    if (IsStopped())
        return VFW_E_WRONG_STATE;
    return S_OK;
}

HRESULT CBaseRenderer::EndOfStream() {
    {
        std::unique_lock lock(FRenderLock);
        FEndOfStream = true;
        if (FState.load() == State_Running && FHaveLastStop && Clock()) {
            const uint64_t epoch = FEpoch;
            if (!WaitUntilDue(lock, StartTime() + FLastStop, epoch))
                return S_OK; // paused, flushed or stopped first: Run sends it later
        }
    }
    WakeWaiters();
    if (FState.load() == State_Running)
        SendEndOfStream();
    return S_OK;
}

void CBaseRenderer::SendEndOfStream() {
    {
        std::lock_guard lock(FRenderLock);
        if (!FEndOfStream || FEndOfStreamSent)
            return;
        FEndOfStreamSent = true;
    }
    NotifyEvent(EC_COMPLETE, S_OK, LONG_PTR(static_cast<IBaseFilter*>(this)));
}

HRESULT CBaseRenderer::BeginFlush() {
    OnBeginFlush();
    std::lock_guard lock(FRenderLock);
    FEndOfStream = FEndOfStreamSent = false;
    FHaveLastStop = false;
    ChangeEpochLocked();
    return S_OK;
}

HRESULT CBaseRenderer::EndFlush() {
    // The Receive that the flush released must have left before samples come again.
    std::unique_lock receive(FReceiveLock, std::defer_lock);
    WaitForThreads([&] { return receive.try_lock(); });
    std::lock_guard lock(FRenderLock);
    FHaveShown = false;
    ChangeEpochLocked();
    return S_OK;
}

HRESULT CBaseRenderer::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME, double dRate) {
    std::lock_guard lock(FRenderLock);
    FSegmentStart = tStart;
    FSegmentRate = dRate > 0 ? dRate : 1.0;
    FHaveSegment = true;
    FHaveShown = false;
    return S_OK;
}

HRESULT CBaseRenderer::GetCurrentMediaPosition(LONGLONG* pPosition) {
    if (!pPosition)
        return E_POINTER;
    std::lock_guard lock(FRenderLock);
    if (!FHaveSegment)
        return E_FAIL;
    const REFERENCE_TIME shown = FHaveShown ? std::max<REFERENCE_TIME>(FShownStart, 0) : 0;
    *pPosition = FSegmentStart + REFERENCE_TIME(double(shown) * FSegmentRate);
    return S_OK;
}

HRESULT CBaseRenderer::get_FramesDroppedInRenderer(int* pcFrames) {
    if (!pcFrames)
        return E_POINTER;
    *pcFrames = 0;
    return S_OK;
}

HRESULT CBaseRenderer::get_FramesDrawn(int* pcFramesDrawn) {
    if (!pcFramesDrawn)
        return E_POINTER;
    std::lock_guard lock(FRenderLock);
    *pcFramesDrawn = FFramesDrawn;
    return S_OK;
}

HRESULT CBaseRenderer::get_AvgFrameRate(int* piAvgFrameRate) {
    if (!piAvgFrameRate)
        return E_POINTER;
    std::lock_guard lock(FRenderLock);
    const double mean = FIntervalCount ? FIntervalSum / double(FIntervalCount) : 0;
    *piAvgFrameRate = mean > 0 ? int(std::lround(100000.0 / mean)) : 0;
    return S_OK;
}

HRESULT CBaseRenderer::get_Jitter(int* iJitter) {
    if (!iJitter)
        return E_POINTER;
    std::lock_guard lock(FRenderLock);
    *iJitter = RoundMs(Deviation(FIntervalSum, FIntervalSquares, FIntervalCount));
    return S_OK;
}

HRESULT CBaseRenderer::get_AvgSyncOffset(int* piAvg) {
    if (!piAvg)
        return E_POINTER;
    std::lock_guard lock(FRenderLock);
    *piAvg = FSyncCount ? RoundMs(FSyncSum / double(FSyncCount)) : 0;
    return S_OK;
}

HRESULT CBaseRenderer::get_DevSyncOffset(int* piDev) {
    if (!piDev)
        return E_POINTER;
    std::lock_guard lock(FRenderLock);
    *piDev = RoundMs(Deviation(FSyncSum, FSyncSquares, FSyncCount));
    return S_OK;
}
