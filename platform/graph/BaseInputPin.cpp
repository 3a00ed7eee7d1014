#include "platform/graph/BaseInputPin.h"

#include "platform/graph/BaseFilter.h"
#include "platform/graph/MemAllocator.h"

CBaseInputPin::CBaseInputPin(const QString& objectName, CBaseFilter* filter, HRESULT* phr,
                             const QString& pinName)
    : CBasePin(objectName, filter, phr, pinName, PINDIR_INPUT) {}

HRESULT CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMemInputPin)
        return GetInterface(static_cast<IMemInputPin*>(this), ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseInputPin::GetAllocator(IMemAllocator** ppAllocator) {
    if (!ppAllocator)
        return E_POINTER;
    std::lock_guard lock(FAllocatorLock);
    if (!FAllocator)
        FAllocator = MakeComObject<CMemAllocator>();
    return FAllocator.CopyTo(ppAllocator);
}

HRESULT CBaseInputPin::NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) {
    if (!pAllocator)
        return E_POINTER;
    std::lock_guard lock(FAllocatorLock);
    FAllocator = pAllocator;
    FReadOnly.store(bReadOnly != 0);
    return S_OK;
}

HRESULT CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) {
    return E_NOTIMPL;
}

ComPtr<IMemAllocator> CBaseInputPin::Allocator() const {
    std::lock_guard lock(FAllocatorLock);
    return FAllocator;
}

HRESULT CBaseInputPin::CheckStreaming() {
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    if (IsStopped())
        return VFW_E_WRONG_STATE;
    if (FFlushing.load())
        return S_FALSE;
    if (FRunTimeError.load())
        return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT CBaseInputPin::Receive(IMediaSample* pSample) {
    if (!pSample)
        return E_POINTER;
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    AM_MEDIA_TYPE* raw = nullptr;
    const HRESULT typed = pSample->GetMediaType(&raw);
    if (FAILED(typed))
        return typed; // a format change that cannot even be read
    if (typed != S_OK)
        return S_OK;
    // A format change: the filter must be able to take it; applying it is the filter's own
    // business (it reads the type from the sample).
    MediaTypePtr type(raw);
    if (CheckMediaType(type.get()) != S_OK) {
        SetRunTimeError();
        // The graph hears of the failure before downstream reaches its end.
        FFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
        EndOfStreamFromReceive();
        return VFW_E_INVALIDMEDIATYPE;
    }
    return S_OK;
}

HRESULT CBaseInputPin::ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                                       LONG* nSamplesProcessed) {
    if (!pSamples || !nSamplesProcessed)
        return E_POINTER;
    HRESULT hr = S_OK;
    *nSamplesProcessed = 0;
    while (nSamples-- > 0) {
        hr = Receive(pSamples[*nSamplesProcessed]);
        if (hr != S_OK)
            break;
        ++*nSamplesProcessed;
    }
    return hr;
}

HRESULT CBaseInputPin::ReceiveCanBlock() {
    return S_OK;
}

HRESULT CBaseInputPin::BeginFlush() {
    FFlushing.store(true);
    return S_OK;
}

HRESULT CBaseInputPin::EndFlush() {
    FFlushing.store(false);
    FRunTimeError.store(false);
    return S_OK;
}

HRESULT CBaseInputPin::EndOfStream() {
    return CheckStreaming();
}

HRESULT CBaseInputPin::BreakConnect() {
    ComPtr<IMemAllocator> released;
    {
        std::lock_guard lock(FAllocatorLock);
        released = std::move(FAllocator);
    }
    if (released)
        released->Decommit();
    return CBasePin::BreakConnect();
}

HRESULT CBaseInputPin::Inactive() {
    FRunTimeError.store(false);
    FFlushing.store(false);
    if (ComPtr<IMemAllocator> allocator = Allocator())
        allocator->Decommit();
    return S_OK;
}
