#include "platform/graph/TransInPlaceFilter.h"

#include "platform/graph/MediaSample.h"

#include <algorithm>

CTransInPlaceFilter::CTransInPlaceFilter(const QString& objectName, REFCLSID clsid,
                                         bool bModifiesData)
    : CTransformFilter(objectName, clsid), FModifiesData(bModifiesData) {}

void CTransInPlaceFilter::CreatePins() {
    HRESULT hr = S_OK;
    FInput = std::make_unique<CTransInPlaceInputPin>(QStringLiteral("TransInPlace input pin"), this,
                                                     &hr, QStringLiteral("Input"));
    FOutput = std::make_unique<CTransInPlaceOutputPin>(QStringLiteral("TransInPlace output pin"),
                                                       this, &hr, QStringLiteral("Output"));
}

HRESULT CTransInPlaceFilter::CheckTransform(const CMediaType*, const CMediaType*) {
    return S_OK;
}

HRESULT CTransInPlaceFilter::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = InputPin()->CurrentMediaType();
    return S_OK;
}

HRESULT CTransInPlaceFilter::DecideBufferSize(IMemAllocator* pAlloc,
                                              ALLOCATOR_PROPERTIES* pProperties) {
    if (!pAlloc || !pProperties)
        return E_POINTER;
    ALLOCATOR_PROPERTIES wanted = *pProperties;
    if (ComPtr<IMemAllocator> input = InputPin()->Allocator()) {
        ALLOCATOR_PROPERTIES in;
        if (SUCCEEDED(input->GetProperties(&in))) {
            wanted.cBuffers = std::max(wanted.cBuffers, in.cBuffers);
            wanted.cbBuffer = std::max(wanted.cbBuffer, in.cbBuffer);
            wanted.cbAlign = std::max(wanted.cbAlign, in.cbAlign);
            wanted.cbPrefix = std::max(wanted.cbPrefix, in.cbPrefix);
        }
    }
    const CMediaType type = InputPin()->CurrentMediaType();
    wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 1);
    wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, LONG(std::max<ULONG>(type.lSampleSize, 1)));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

bool CTransInPlaceFilter::UsingDifferentAllocators() const {
    auto* self = const_cast<CTransInPlaceFilter*>(this);
    ComPtr<IMemAllocator> in = self->InputPin()->Allocator();
    ComPtr<IMemAllocator> out = self->OutputPin()->Allocator();
    return in.Get() != out.Get();
}

HRESULT CTransInPlaceFilter::Copy(IMediaSample* pSource, IMediaSample** ppCopy) {
    *ppCopy = nullptr;
    IMediaSample* copy = nullptr;
    HRESULT hr = OutputPin()->GetDeliveryBuffer(&copy, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    hr = CopySampleData(pSource, copy);
    if (FAILED(hr)) {
        copy->Release();
        return hr;
    }
    *ppCopy = copy;
    return S_OK;
}

HRESULT CTransInPlaceFilter::Receive(IMediaSample* pSample) {
    ComPtr<IMediaSample> sample(pSample);
    if (UsingDifferentAllocators()) {
        IMediaSample* copy = nullptr;
        const HRESULT hr = Copy(pSample, &copy);
        if (FAILED(hr))
            return hr;
        sample.Attach(copy);
    }
    const HRESULT hr = Transform(sample.Get());
    if (hr == S_FALSE)
        return S_OK;
    if (hr != S_OK)
        return hr;
    return OutputPin()->Deliver(sample.Get());
}

CTransInPlaceInputPin::CTransInPlaceInputPin(const QString& objectName, CTransInPlaceFilter* filter,
                                             HRESULT* phr, const QString& pinName)
    : CTransformInputPin(objectName, filter, phr, pinName) {}

HRESULT CTransInPlaceInputPin::GetAllocator(IMemAllocator** ppAllocator) {
    if (!ppAllocator)
        return E_POINTER;
    CTransformOutputPin* output = FTransform->OutputPin();
    if (output->IsConnected()) {
        if (ComPtr<IMemInputPin> downstream = output->InputPin())
            return downstream->GetAllocator(ppAllocator);
    }
    return CTransformInputPin::GetAllocator(ppAllocator);
}

HRESULT CTransInPlaceInputPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    HRESULT hr = FTransform->CheckInputType(pmt);
    if (hr != S_OK)
        return hr;
    // The type goes through unchanged: downstream must take it too.
    if (ComPtr<IPin> downstream = FTransform->OutputPin()->GetConnected())
        return downstream->QueryAccept(pmt) == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

CTransInPlaceOutputPin::CTransInPlaceOutputPin(const QString& objectName,
                                               CTransInPlaceFilter* filter, HRESULT* phr,
                                               const QString& pinName)
    : CTransformOutputPin(objectName, filter, phr, pinName) {}

HRESULT CTransInPlaceOutputPin::DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) {
    if (!pPin || !ppAlloc)
        return E_POINTER;
    auto* filter = static_cast<CTransInPlaceFilter*>(FTransform);
    ComPtr<IMemAllocator> input = filter->InputPin()->Allocator();
    if (input) {
        const BOOL readOnly = filter->InputPin()->IsReadOnly() ? 1 : 0;
        if (SUCCEEDED(pPin->NotifyAllocator(input.Get(), readOnly)))
            return input.CopyTo(ppAlloc);
    }
    return CTransformOutputPin::DecideAllocator(pPin, ppAlloc);
}
