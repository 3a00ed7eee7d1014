#include "platform/graph/TransformPins.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/TransformFilter.h"

CTransformInputPin::CTransformInputPin(const QString& objectName, CTransformFilter* filter,
                                       HRESULT* phr, const QString& pinName)
    : CBaseInputPin(objectName, filter, phr, pinName), FTransform(filter) {}

HRESULT CTransformInputPin::CheckConnect(IPin* pPin) {
    const HRESULT hr = FTransform->CheckConnect(PINDIR_INPUT, pPin);
    return FAILED(hr) ? hr : CBaseInputPin::CheckConnect(pPin);
}

HRESULT CTransformInputPin::BreakConnect() {
    FTransform->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT CTransformInputPin::CompleteConnect(IPin* pReceivePin) {
    const HRESULT hr = FTransform->CompleteConnect(PINDIR_INPUT, pReceivePin);
    return FAILED(hr) ? hr : CBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    const HRESULT hr = FTransform->CheckInputType(pmt);
    if (hr != S_OK)
        return hr;
    CTransformOutputPin* output = FTransform->OutputPin();
    if (output && output->IsConnected()) {
        const CMediaType outType = output->CurrentMediaType();
        return FTransform->CheckTransform(pmt, &outType);
    }
    return hr;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType* pmt) {
    const HRESULT hr = CBaseInputPin::SetMediaType(pmt);
    return FAILED(hr) ? hr : FTransform->SetMediaType(PINDIR_INPUT, pmt);
}

HRESULT CTransformInputPin::Receive(IMediaSample* pSample) {
    std::lock_guard lock(FTransform->ReceiveLock());
    const HRESULT checked = CBaseInputPin::Receive(pSample);
    if (checked != S_OK)
        return checked;
    bool threw = false;
    const HRESULT hr = HResultOf([&] { return FTransform->Receive(pSample); }, &threw);
    return threw ? FTransform->AbortStream(hr) : hr;
}

HRESULT CTransformInputPin::EndOfStream() {
    std::lock_guard lock(FTransform->ReceiveLock());
    const HRESULT checked = CheckStreaming();
    if (checked != S_OK)
        return checked;
    return EndOfStreamFromReceive();
}

HRESULT CTransformInputPin::EndOfStreamFromReceive() {
    bool threw = false;
    const HRESULT hr = HResultOf([&] { return FTransform->EndOfStream(); }, &threw);
    return threw ? FTransform->AbortStream(hr) : hr;
}

HRESULT CTransformInputPin::BeginFlush() {
    if (!IsConnected() || !FTransform->OutputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    CBaseInputPin::BeginFlush();
    return FTransform->BeginFlush();
}

HRESULT CTransformInputPin::EndFlush() {
    if (!IsConnected() || !FTransform->OutputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = FTransform->EndFlush();
    CBaseInputPin::EndFlush();
    return hr;
}

HRESULT CTransformInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    CBasePin::NewSegment(tStart, tStop, dRate);
    return FTransform->NewSegment(tStart, tStop, dRate);
}

CTransformOutputPin::CTransformOutputPin(const QString& objectName, CTransformFilter* filter,
                                         HRESULT* phr, const QString& pinName)
    : CBaseOutputPin(objectName, filter, phr, pinName), FTransform(filter) {}

HRESULT CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) {
        if (!FPosition)
            FPosition =
                std::make_unique<CPosPassThru>(static_cast<IPin*>(this), FTransform->InputPin());
        return GetInterface(static_cast<IMediaSeeking*>(FPosition.get()), ppv);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pPin) {
    if (!FTransform->InputPin()->IsConnected())
        return E_UNEXPECTED;
    const HRESULT hr = FTransform->CheckConnect(PINDIR_OUTPUT, pPin);
    return FAILED(hr) ? hr : CBaseOutputPin::CheckConnect(pPin);
}

HRESULT CTransformOutputPin::BreakConnect() {
    FTransform->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* pReceivePin) {
    const HRESULT hr = FTransform->CompleteConnect(PINDIR_OUTPUT, pReceivePin);
    return FAILED(hr) ? hr : CBaseOutputPin::CompleteConnect(pReceivePin);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) {
    return FTransform->DecideBufferSize(pAlloc, pProp);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    CTransformInputPin* input = FTransform->InputPin();
    if (!input->IsConnected())
        return E_INVALIDARG;
    const CMediaType inType = input->CurrentMediaType();
    return FTransform->CheckTransform(&inType, pmt);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* pmt) {
    const HRESULT hr = CBaseOutputPin::SetMediaType(pmt);
    return FAILED(hr) ? hr : FTransform->SetMediaType(PINDIR_OUTPUT, pmt);
}

HRESULT CTransformOutputPin::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (!FTransform->InputPin()->IsConnected())
        return iPosition < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
    return FTransform->GetMediaType(iPosition, pMediaType);
}
