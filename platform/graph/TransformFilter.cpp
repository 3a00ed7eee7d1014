#include "platform/graph/TransformFilter.h"

#include "platform/graph/GraphWait.h"

CTransformFilter::CTransformFilter(const QString& objectName, REFCLSID clsid)
    : CBaseFilter(objectName, clsid) {}

CTransformFilter::~CTransformFilter() = default;

void CTransformFilter::CreatePins() {
    HRESULT hr = S_OK;
    FInput = std::make_unique<CTransformInputPin>(QStringLiteral("Transform input pin"), this, &hr,
                                                  QStringLiteral("XForm In"));
    FOutput = std::make_unique<CTransformOutputPin>(QStringLiteral("Transform output pin"), this,
                                                    &hr, QStringLiteral("XForm Out"));
}

CTransformInputPin* CTransformFilter::InputPin() {
    GetPin(0);
    return FInput.get();
}

CTransformOutputPin* CTransformFilter::OutputPin() {
    GetPin(0);
    return FOutput.get();
}

CBasePin* CTransformFilter::GetPin(int n) {
    // Streaming threads reach the pins too, so creation must not need the filter lock.
    std::call_once(FPinsCreated, [this] { CreatePins(); });
    if (n == 0)
        return FInput.get();
    if (n == 1)
        return FOutput.get();
    return nullptr;
}

HRESULT CTransformFilter::Pause() {
    std::lock_guard lock(FFilterLock);
    CTransformInputPin* input = InputPin();
    CTransformOutputPin* output = OutputPin();
    HRESULT hr = S_OK;
    if (FState.load() == State_Stopped) {
        if (!input->IsConnected()) {
            // Nothing will come: tell downstream at once, so that a renderer does not wait.
            if (output->IsConnected())
                output->DeliverEndOfStream();
        } else if (output->IsConnected()) {
            std::lock_guard receive(FReceiveLock);
            hr = StartStreaming();
            FStreaming.store(SUCCEEDED(hr));
        }
    }
    if (FAILED(hr))
        return hr;
    return PauseLocked();
}

HRESULT CTransformFilter::Stop() {
    {
        std::lock_guard lock(FFilterLock);
        if (FState.load() == State_Stopped)
            return S_OK;
        // New samples are refused from here on, and a thread waiting for a delivery buffer is
        // released by the decommit.
        FState.store(State_Stopped);
    }
    InputPin()->Inactive();
    OutputPin()->Inactive();
    // The receive lock is waited for without the filter lock: the thread inside may be sending
    // to the GUI thread, which serves it while it waits here.
    std::unique_lock receive(FReceiveLock, std::defer_lock);
    WaitForThreads([&] { return receive.try_lock(); });
    if (FStreaming.exchange(false))
        StopStreaming();
    return S_OK;
}

HRESULT CTransformFilter::AbortStream(HRESULT hr) {
    if (InputPin()->HasRunTimeError())
        return hr; // told already
    InputPin()->SetRunTimeError();
    // The graph hears of the failure before downstream reaches its end.
    NotifyEvent(EC_ERRORABORT, hr, 0);
    OutputPin()->DeliverEndOfStream();
    return hr;
}

HRESULT CTransformFilter::Transform(IMediaSample*, IMediaSample*) {
    return E_UNEXPECTED;
}

HRESULT CTransformFilter::SetMediaType(PIN_DIRECTION, const CMediaType*) {
    return S_OK;
}

HRESULT CTransformFilter::CheckConnect(PIN_DIRECTION, IPin*) {
    return S_OK;
}

HRESULT CTransformFilter::BreakConnect(PIN_DIRECTION) {
    return S_OK;
}

HRESULT CTransformFilter::CompleteConnect(PIN_DIRECTION, IPin*) {
    return S_OK;
}

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* pSample,
                                                 IMediaSample** ppOutSample) {
    const DWORD flags = pSample->IsSyncPoint() == S_OK ? 0 : AM_GBF_NOTASYNCPOINT;
    IMediaSample* out = nullptr;
    HRESULT hr = OutputPin()->GetDeliveryBuffer(&out, nullptr, nullptr, flags);
    if (FAILED(hr))
        return hr;
    REFERENCE_TIME start = 0, stop = 0;
    hr = pSample->GetTime(&start, &stop);
    if (hr == S_OK)
        out->SetTime(&start, &stop);
    else if (hr == VFW_S_NO_STOP_TIME)
        out->SetTime(&start, nullptr);
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (SUCCEEDED(pSample->GetMediaTime(&mediaStart, &mediaStop)))
        out->SetMediaTime(&mediaStart, &mediaStop);
    out->SetSyncPoint(pSample->IsSyncPoint() == S_OK);
    out->SetPreroll(pSample->IsPreroll() == S_OK);
    out->SetDiscontinuity(pSample->IsDiscontinuity() == S_OK);
    *ppOutSample = out;
    return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample* pSample) {
    IMediaSample* raw = nullptr;
    HRESULT hr = InitializeOutputSample(pSample, &raw);
    if (FAILED(hr))
        return hr;
    ComPtr<IMediaSample> out;
    out.Attach(raw);
    hr = Transform(pSample, out.Get());
    if (hr == S_FALSE)
        return S_OK;
    if (hr != S_OK)
        return hr;
    if (out->IsPreroll() == S_OK)
        return S_OK;
    return OutputPin()->Deliver(out.Get());
}

HRESULT CTransformFilter::EndOfStream() {
    return OutputPin()->DeliverEndOfStream();
}

HRESULT CTransformFilter::BeginFlush() {
    return OutputPin()->DeliverBeginFlush();
}

HRESULT CTransformFilter::EndFlush() {
    return OutputPin()->DeliverEndFlush();
}

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    return OutputPin()->DeliverNewSegment(tStart, tStop, dRate);
}
