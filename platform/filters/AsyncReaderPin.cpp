#include "platform/filters/AsyncReaderPin.h"

#include "platform/graph/BaseFilter.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MemAllocator.h"

TAsyncReaderPin::TAsyncReaderPin(CBaseFilter* filter, TAsyncFileReader* reader)
    : CBasePin(QStringLiteral("Async reader output pin"), filter, nullptr, QStringLiteral("Output"),
               PINDIR_OUTPUT),
      FFile(reader), FType(MEDIATYPE_Stream, GUID_NULL) {}

HRESULT TAsyncReaderPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IAsyncReader)
        return GetInterface(&FReaderInterface, ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

void TAsyncReaderPin::SetStreamType(const CMediaType& type) {
    std::lock_guard lock(FTypeLock);
    FType = type;
}

HRESULT TAsyncReaderPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    if (!FFile->IsOpen() || pmt->majortype != MEDIATYPE_Stream)
        return VFW_E_TYPE_NOT_ACCEPTED;
    std::lock_guard lock(FTypeLock);
    return pmt->subtype == GUID_NULL || pmt->subtype == FType.subtype ? S_OK
                                                                      : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TAsyncReaderPin::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !FFile->IsOpen())
        return VFW_S_NO_MORE_ITEMS;
    std::lock_guard lock(FTypeLock);
    *pMediaType = FType;
    return S_OK;
}

HRESULT TAsyncReaderPin::TReader::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IAsyncReader)
        return GetInterface(this, ppv);
    return FPin->QueryInterface(riid, ppv);
}

ULONG TAsyncReaderPin::TReader::AddRef() {
    return FPin->AddRef();
}

ULONG TAsyncReaderPin::TReader::Release() {
    return FPin->Release();
}

HRESULT TAsyncReaderPin::TReader::RequestAllocator(IMemAllocator* pPreferred,
                                                   ALLOCATOR_PROPERTIES* pProps,
                                                   IMemAllocator** ppActual) {
    if (!pProps || !ppActual)
        return E_POINTER;
    *ppActual = nullptr;
    ComPtr<IMemAllocator> allocator(pPreferred);
    if (!allocator)
        allocator = MakeComObject<CMemAllocator>();
    ALLOCATOR_PROPERTIES wanted = *pProps;
    if (wanted.cbAlign <= 0)
        wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual;
    HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr) && pPreferred) {
        allocator = MakeComObject<CMemAllocator>();
        hr = allocator->SetProperties(&wanted, &actual);
    }
    if (FAILED(hr))
        return hr;
    *pProps = actual;
    return allocator.CopyTo(ppActual);
}

HRESULT TAsyncReaderPin::TReader::Request(IMediaSample* pSample, intptr_t dwUser) {
    return FPin->FFile->Request(pSample, dwUser);
}

HRESULT TAsyncReaderPin::TReader::WaitForNext(DWORD dwTimeout, IMediaSample** ppSample,
                                              intptr_t* pdwUser) {
    return FPin->FFile->WaitForNext(dwTimeout, ppSample, pdwUser);
}

HRESULT TAsyncReaderPin::TReader::SyncReadAligned(IMediaSample* pSample) {
    return FPin->FFile->ReadSample(pSample);
}

HRESULT TAsyncReaderPin::TReader::SyncRead(LONGLONG llPosition, LONG lLength, BYTE* pBuffer) {
    int32_t read = 0;
    const HRESULT hr = FPin->FFile->Read(llPosition, lLength, pBuffer, &read);
    if (FAILED(hr))
        return hr;
    return read == lLength ? S_OK : S_FALSE;
}

HRESULT TAsyncReaderPin::TReader::Length(LONGLONG* pTotal, LONGLONG* pAvailable) {
    if (!pTotal || !pAvailable)
        return E_POINTER;
    if (!FPin->FFile->IsOpen())
        return VFW_E_NOT_CONNECTED;
    *pTotal = *pAvailable = FPin->FFile->Length();
    return S_OK;
}

HRESULT TAsyncReaderPin::TReader::BeginFlush() {
    FPin->FFile->BeginFlush();
    return S_OK;
}

HRESULT TAsyncReaderPin::TReader::EndFlush() {
    FPin->FFile->EndFlush();
    return S_OK;
}
