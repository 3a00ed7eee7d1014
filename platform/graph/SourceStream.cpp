#include "platform/graph/SourceStream.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/GraphWait.h"
#include "platform/graph/SourceFilter.h"

#include <limits>

CSourceStream::CSourceStream(const QString& objectName, HRESULT* phr, CSource* filter,
                             const QString& pinName)
    : CBaseOutputPin(objectName, filter, phr, pinName), FSource(filter) {}

CSourceStream::~CSourceStream() {
    // The filter stops before it is destroyed; this only guards against a thread left behind.
    if (FThread.joinable() && FThread.get_id() == std::this_thread::get_id()) {
        FThread.detach();
    } else if (FThread.joinable()) {
        {
            std::lock_guard lock(FCommandLock);
            FExitRequested = true;
        }
        FStopLoop.store(true);
        FCommand.notify_all();
        FThread.join();
    }
}

HRESULT CSourceStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking && FSource->Seeking())
        return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CSourceStream::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    for (int i = 0; i < 1024; ++i) {
        CMediaType offered;
        if (GetMediaType(i, &offered) != S_OK)
            break;
        if (offered == *pmt)
            return S_OK;
    }
    return E_FAIL;
}

HRESULT CSourceStream::Active() {
    const HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    if (FThread.joinable())
        return S_OK;
    {
        std::lock_guard lock(FCommandLock);
        FRunRequested = true;
        FExitRequested = false;
        FLooping = false;
    }
    FStopLoop.store(false);
    FThreadAlive.store(true);
    const HRESULT started =
        HResultOf([this] { FThread = std::thread(&CSourceStream::ThreadProc, this); });
    if (FAILED(started)) {
        FThreadAlive.store(false);
        CBaseOutputPin::Inactive();
    }
    return started;
}

HRESULT CSourceStream::Inactive() {
    if (FThread.joinable()) {
        {
            std::lock_guard lock(FCommandLock);
            FExitRequested = true;
            FRunRequested = false;
        }
        FStopLoop.store(true);
        FCommand.notify_all();
        OnStopRequested();
        CBaseOutputPin::Inactive(); // a thread waiting for a buffer gives up
        FSource->WaitForThreads([this] { return !FThreadAlive.load(); });
        FThread.join();
        return S_OK;
    }
    return CBaseOutputPin::Inactive();
}

bool CSourceStream::PauseStreaming() {
    if (!FThreadAlive.load())
        return false;
    {
        std::lock_guard lock(FCommandLock);
        FRunRequested = false;
    }
    FStopLoop.store(true);
    OnStopRequested();
    ComPtr<IMemAllocator> allocator = Allocator();
    if (allocator)
        allocator->Decommit();
    FSource->WaitForThreads([this] {
        std::lock_guard lock(FCommandLock);
        return !FLooping;
    });
    if (allocator && FSource->IsActive())
        allocator->Commit();
    return true;
}

void CSourceStream::ResumeStreaming() {
    {
        std::lock_guard lock(FCommandLock);
        FStopLoop.store(false);
        FRunRequested = true;
    }
    FCommand.notify_all();
}

void CSourceStream::ThreadProc() {
    if (SUCCEEDED(OnThreadCreate())) {
        while (WaitForRun()) {
            DoBufferProcessingLoop();
            {
                std::lock_guard lock(FCommandLock);
                FLooping = false;
            }
            FSource->WakeWaiters();
        }
    }
    OnThreadDestroy();
    FThreadAlive.store(false);
    FSource->WakeWaiters();
}

bool CSourceStream::WaitForRun() {
    std::unique_lock lock(FCommandLock);
    FCommand.wait(lock, [this] { return FRunRequested || FExitRequested; });
    if (FExitRequested)
        return false;
    FRunRequested = false;
    FLooping = true;
    return true;
}

HRESULT CSourceStream::OnThreadStartPlay() {
    TSourceSegment segment{0, std::numeric_limits<REFERENCE_TIME>::max(), 1.0};
    if (CSourceSeeking* seeking = FSource->Seeking())
        segment = seeking->Segment();
    return DeliverNewSegment(segment.start, segment.stop, segment.rate);
}

void CSourceStream::AbortStream(HRESULT hr) {
    if (FStopLoop.load())
        return; // told to stop: whatever failed was the stop itself
    // The graph hears of the failure before downstream reaches its end.
    FSource->NotifyEvent(EC_ERRORABORT, hr, 0);
    DeliverEndOfStream();
}

void CSourceStream::DoBufferProcessingLoop() {
    OnThreadStartPlay();
    while (!FStopLoop.load()) {
        IMediaSample* raw = nullptr;
        const HRESULT got = GetDeliveryBuffer(&raw, nullptr, nullptr, 0);
        if (FAILED(got)) {
            // A decommitted allocator (a stop or a seek) ends the run quietly; memory running out
            // ends the stream.
            if (got == E_OUTOFMEMORY)
                AbortStream(got);
            return;
        }
        ComPtr<IMediaSample> sample;
        sample.Attach(raw);
        const HRESULT hr = HResultOf([&] { return FillBuffer(sample.Get()); });
        if (hr == S_OK) {
            // S_FALSE (downstream flushing or at its end) and failures (downstream stopped, or
            // failed and reported it itself) both end this run of the loop quietly.
            if (Deliver(sample.Get()) != S_OK)
                return;
        } else if (hr == S_FALSE) {
            DeliverEndOfStream();
            return;
        } else {
            AbortStream(hr);
            return;
        }
    }
}

#define KELVARA_SEEKING(call)                                                                      \
    CSourceSeeking* seeking = FSource->Seeking();                                                  \
    return seeking ? seeking->call : E_NOTIMPL

HRESULT CSourceStream::GetCapabilities(DWORD* p) {
    KELVARA_SEEKING(GetCapabilities(p));
}
HRESULT CSourceStream::CheckCapabilities(DWORD* p) {
    KELVARA_SEEKING(CheckCapabilities(p));
}
HRESULT CSourceStream::IsFormatSupported(const GUID* f) {
    KELVARA_SEEKING(IsFormatSupported(f));
}
HRESULT CSourceStream::QueryPreferredFormat(GUID* f) {
    KELVARA_SEEKING(QueryPreferredFormat(f));
}
HRESULT CSourceStream::GetTimeFormat(GUID* f) {
    KELVARA_SEEKING(GetTimeFormat(f));
}
HRESULT CSourceStream::IsUsingTimeFormat(const GUID* f) {
    KELVARA_SEEKING(IsUsingTimeFormat(f));
}
HRESULT CSourceStream::SetTimeFormat(const GUID* f) {
    KELVARA_SEEKING(SetTimeFormat(f));
}
HRESULT CSourceStream::GetDuration(LONGLONG* d) {
    KELVARA_SEEKING(GetDuration(d));
}
HRESULT CSourceStream::GetStopPosition(LONGLONG* s) {
    KELVARA_SEEKING(GetStopPosition(s));
}
HRESULT CSourceStream::GetCurrentPosition(LONGLONG* c) {
    KELVARA_SEEKING(GetCurrentPosition(c));
}
HRESULT CSourceStream::ConvertTimeFormat(LONGLONG* t, const GUID* tf, LONGLONG s, const GUID* sf) {
    KELVARA_SEEKING(ConvertTimeFormat(t, tf, s, sf));
}
HRESULT CSourceStream::SetPositions(LONGLONG* c, DWORD cf, LONGLONG* s, DWORD sf) {
    KELVARA_SEEKING(SetPositions(this, c, cf, s, sf));
}
HRESULT CSourceStream::GetPositions(LONGLONG* c, LONGLONG* s) {
    KELVARA_SEEKING(GetPositions(c, s));
}
HRESULT CSourceStream::GetAvailable(LONGLONG* e, LONGLONG* l) {
    KELVARA_SEEKING(GetAvailable(e, l));
}
HRESULT CSourceStream::SetRate(double r) {
    KELVARA_SEEKING(SetRate(this, r));
}
HRESULT CSourceStream::GetRate(double* r) {
    KELVARA_SEEKING(GetRate(r));
}
HRESULT CSourceStream::GetPreroll(LONGLONG* p) {
    KELVARA_SEEKING(GetPreroll(p));
}

#undef KELVARA_SEEKING
