#include "platform/graph/BaseOutputPin.h"

#include "platform/graph/MemAllocator.h"

CBaseOutputPin::CBaseOutputPin(const QString& objectName, CBaseFilter* filter, HRESULT* phr,
                               const QString& pinName)
    : CBasePin(objectName, filter, phr, pinName, PINDIR_OUTPUT) {}

HRESULT CBaseOutputPin::CheckConnect(IPin* pPin) {
    HRESULT hr = CBasePin::CheckConnect(pPin);
    if (FAILED(hr))
        return hr;
    ComPtr<IMemInputPin> input = QueryInterfaceOf<IMemInputPin>(pPin);
    if (!input)
        return E_NOINTERFACE;
    std::lock_guard lock(FDeliveryLock);
    FInputPin = input;
    return S_OK;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*) {
    ComPtr<IMemInputPin> input = InputPin();
    if (!input)
        return E_UNEXPECTED;
    ComPtr<IMemAllocator> allocator;
    const HRESULT hr = DecideAllocator(input.Get(), allocator.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    SetAllocator(allocator.Get());
    return S_OK;
}

HRESULT CBaseOutputPin::BreakConnect() {
    ComPtr<IMemAllocator> allocator;
    ComPtr<IMemInputPin> input;
    {
        std::lock_guard lock(FDeliveryLock);
        allocator = std::move(FAllocator);
        input = std::move(FInputPin);
    }
    if (allocator)
        allocator->Decommit();
    return CBasePin::BreakConnect();
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) {
    if (!pPin || !ppAlloc)
        return E_POINTER;
    *ppAlloc = nullptr;
    ALLOCATOR_PROPERTIES props;
    pPin->GetAllocatorRequirements(&props);
    if (props.cbAlign == 0)
        props.cbAlign = 1;
    ComPtr<IMemAllocator> allocator;
    HRESULT hr = pPin->GetAllocator(allocator.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr) && allocator) {
        hr = DecideBufferSize(allocator.Get(), &props);
        if (SUCCEEDED(hr))
            hr = pPin->NotifyAllocator(allocator.Get(), 0);
        if (SUCCEEDED(hr))
            return allocator.CopyTo(ppAlloc);
    }
    hr = InitAllocator(allocator.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    hr = DecideBufferSize(allocator.Get(), &props);
    if (SUCCEEDED(hr))
        hr = pPin->NotifyAllocator(allocator.Get(), 0);
    if (FAILED(hr))
        return hr;
    return allocator.CopyTo(ppAlloc);
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** ppAlloc) {
    if (!ppAlloc)
        return E_POINTER;
    return ComPtr<IMemAllocator>(MakeComObject<CMemAllocator>()).CopyTo(ppAlloc);
}

void CBaseOutputPin::SetAllocator(IMemAllocator* allocator) {
    std::lock_guard lock(FDeliveryLock);
    FAllocator = allocator;
}

ComPtr<IMemAllocator> CBaseOutputPin::Allocator() const {
    std::lock_guard lock(FDeliveryLock);
    return FAllocator;
}

ComPtr<IMemInputPin> CBaseOutputPin::InputPin() const {
    std::lock_guard lock(FDeliveryLock);
    return FInputPin;
}

HRESULT CBaseOutputPin::Active() {
    ComPtr<IMemAllocator> allocator = Allocator();
    return allocator ? allocator->Commit() : VFW_E_NO_ALLOCATOR;
}

HRESULT CBaseOutputPin::Inactive() {
    ComPtr<IMemAllocator> allocator = Allocator();
    return allocator ? allocator->Decommit() : VFW_E_NO_ALLOCATOR;
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** ppSample, REFERENCE_TIME* pStartTime,
                                          REFERENCE_TIME* pEndTime, DWORD dwFlags) {
    if (!ppSample)
        return E_POINTER;
    *ppSample = nullptr;
    ComPtr<IMemAllocator> allocator = Allocator();
    if (!allocator)
        return VFW_E_NO_ALLOCATOR;
    return allocator->GetBuffer(ppSample, pStartTime, pEndTime, dwFlags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* pSample) {
    ComPtr<IMemInputPin> input = InputPin();
    if (!input)
        return VFW_E_NOT_CONNECTED;
    return input->Receive(pSample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
    ComPtr<IPin> peer = GetConnected();
    return peer ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverBeginFlush() {
    ComPtr<IPin> peer = GetConnected();
    return peer ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverEndFlush() {
    ComPtr<IPin> peer = GetConnected();
    return peer ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop,
                                          double dRate) {
    NewSegment(tStart, tStop, dRate);
    ComPtr<IPin> peer = GetConnected();
    return peer ? peer->NewSegment(tStart, tStop, dRate) : VFW_E_NOT_CONNECTED;
}
