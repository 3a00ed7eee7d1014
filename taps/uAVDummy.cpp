#include "taps/uAVDummy.h"

#include "platform/graph/MediaGuids.h"
#include "platform/graph/MediaSample.h"

#include <cstring>

TAVDummy::TAVDummy() : CTransformFilter(QStringLiteral("Osric Taskel AVDummy"), CLSID_AVDummy) {}

HRESULT TAVDummy::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IPersist)
        return GetInterface(static_cast<IPersist*>(static_cast<IBaseFilter*>(this)), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TAVDummy::Receive(IMediaSample* pSample) {
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
    return OutputPin()->Deliver(out.Get());
}

HRESULT TAVDummy::Transform(IMediaSample* pIn, IMediaSample* pOut) {
    if (!pIn || !pOut)
        return E_POINTER;
    BYTE* source = nullptr;
    BYTE* target = nullptr;
    const LONG length = pIn->GetActualDataLength();
    if (FAILED(pIn->GetPointer(&source)) || FAILED(pOut->GetPointer(&target)) || length < 0 ||
        length > pIn->GetSize() || length > pOut->GetSize())
        return E_FAIL;
    if (length > 0)
        std::memcpy(target, source, size_t(length));
    pOut->SetActualDataLength(length);
    return CopySampleProperties(pIn, pOut);
}

HRESULT TAVDummy::CheckInputType(const CMediaType* mtIn) {
    if (!mtIn)
        return E_POINTER;
    return mtIn->majortype == MEDIATYPE_Video || mtIn->majortype == MEDIATYPE_Audio ? S_OK : E_FAIL;
}

HRESULT TAVDummy::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    if (!mtIn || !mtOut)
        return E_POINTER;
    return mtIn->majortype == mtOut->majortype && mtIn->subtype == mtOut->subtype &&
                   mtIn->formattype == mtOut->formattype
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TAVDummy::DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) {
    if (!pAllocator || !pprop)
        return E_POINTER;
    const ComPtr<IMemAllocator> input = InputPin()->Allocator();
    if (!input)
        return E_UNEXPECTED;
    ALLOCATOR_PROPERTIES in;
    HRESULT hr = input->GetProperties(&in);
    if (FAILED(hr))
        return hr;
    if (pprop->cbAlign == 0)
        pprop->cbAlign = 1;
    if (pprop->cbBuffer == 0)
        pprop->cbBuffer = 1;
    if (pprop->cBuffers == 0)
        pprop->cBuffers = 1;
    if (pprop->cbBuffer < in.cbBuffer)
        pprop->cbBuffer = in.cbBuffer;
    ALLOCATOR_PROPERTIES actual;
    hr = pAllocator->SetProperties(pprop, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < in.cbBuffer ? E_FAIL : S_OK;
}

HRESULT TAVDummy::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = InputPin()->CurrentMediaType();
    return S_OK;
}

HRESULT TAVDummy::CopySampleProperties(IMediaSample* pIn, IMediaSample* pOut) {
    return ::CopySampleProperties(pIn, pOut);
}
