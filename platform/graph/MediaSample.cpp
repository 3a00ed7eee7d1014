#include "platform/graph/MediaSample.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/MemAllocator.h"

#include <cstring>

CMediaSample::CMediaSample(CMemAllocator* allocator, BYTE* buffer, LONG size)
    : FAllocator(allocator), FBuffer(buffer), FSize(size), FActual(size) {}

CMediaSample::~CMediaSample() = default;

HRESULT CMediaSample::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IMediaSample)
        return GetInterface(static_cast<IMediaSample*>(this), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CMediaSample::AddRef() {
    return ++FRef;
}

ULONG CMediaSample::Release() {
    const ULONG left = --FRef;
    if (left == 0) {
        if (FAllocator)
            FAllocator->ReleaseBuffer(this);
        else
            delete this;
    }
    return left;
}

HRESULT CMediaSample::GetPointer(BYTE** ppBuffer) {
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = FBuffer;
    return S_OK;
}

HRESULT CMediaSample::GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) {
    if (!pTimeStart || !pTimeEnd)
        return E_POINTER;
    if (!FHasStart)
        return VFW_E_SAMPLE_TIME_NOT_SET;
    *pTimeStart = FStart;
    if (!FHasStop) {
        *pTimeEnd = FStart + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *pTimeEnd = FStop;
    return S_OK;
}

HRESULT CMediaSample::SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) {
    FHasStart = pTimeStart != nullptr;
    FHasStop = FHasStart && pTimeEnd != nullptr;
    FStart = FHasStart ? *pTimeStart : 0;
    FStop = FHasStop ? *pTimeEnd : 0;
    return S_OK;
}

HRESULT CMediaSample::SetSyncPoint(BOOL bIsSyncPoint) {
    FSyncPoint = bIsSyncPoint != 0;
    return S_OK;
}

HRESULT CMediaSample::SetPreroll(BOOL bIsPreroll) {
    FPreroll = bIsPreroll != 0;
    return S_OK;
}

HRESULT CMediaSample::SetActualDataLength(LONG length) {
    if (length < 0 || length > FSize)
        return VFW_E_BUFFER_OVERFLOW;
    FActual = length;
    return S_OK;
}

HRESULT CMediaSample::GetMediaType(AM_MEDIA_TYPE** ppMediaType) {
    if (!ppMediaType)
        return E_POINTER;
    *ppMediaType = nullptr;
    if (!FMediaType)
        return S_FALSE;
    *ppMediaType = CreateMediaType(*FMediaType);
    return *ppMediaType ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::SetMediaType(AM_MEDIA_TYPE* pMediaType) {
    if (!pMediaType) {
        FMediaType.reset();
        return S_OK;
    }
    return HResultOf([&] { FMediaType = std::make_unique<AM_MEDIA_TYPE>(*pMediaType); });
}

HRESULT CMediaSample::SetDiscontinuity(BOOL bDiscontinuity) {
    FDiscontinuity = bDiscontinuity != 0;
    return S_OK;
}

HRESULT CMediaSample::GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) {
    if (!pTimeStart || !pTimeEnd)
        return E_POINTER;
    if (!FHasMediaTime)
        return VFW_E_MEDIA_TIME_NOT_SET;
    *pTimeStart = FMediaStart;
    *pTimeEnd = FMediaStop;
    return S_OK;
}

HRESULT CMediaSample::SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) {
    if (!pTimeStart || !pTimeEnd) {
        FHasMediaTime = false;
        return S_OK;
    }
    FHasMediaTime = true;
    FMediaStart = *pTimeStart;
    FMediaStop = *pTimeEnd;
    return S_OK;
}

void CMediaSample::ResetProperties() {
    FActual = FSize;
    FHasStart = FHasStop = FHasMediaTime = false;
    FSyncPoint = FPreroll = FDiscontinuity = false;
    FMediaType.reset();
}

void CMediaSample::SetBuffer(BYTE* buffer, LONG size) {
    FBuffer = buffer;
    FSize = size;
    FActual = size;
}

HRESULT CopySampleProperties(IMediaSample* source, IMediaSample* dest) {
    if (!source || !dest)
        return E_POINTER;
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timeResult = source->GetTime(&start, &stop);
    if (timeResult == S_OK)
        dest->SetTime(&start, &stop);
    else if (timeResult == VFW_S_NO_STOP_TIME)
        dest->SetTime(&start, nullptr);
    else
        dest->SetTime(nullptr, nullptr);
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (SUCCEEDED(source->GetMediaTime(&mediaStart, &mediaStop)))
        dest->SetMediaTime(&mediaStart, &mediaStop);
    else
        dest->SetMediaTime(nullptr, nullptr);
    dest->SetSyncPoint(source->IsSyncPoint() == S_OK);
    dest->SetPreroll(source->IsPreroll() == S_OK);
    dest->SetDiscontinuity(source->IsDiscontinuity() == S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    if (source->GetMediaType(&type) == S_OK) {
        dest->SetMediaType(type);
        DeleteMediaType(type);
    } else {
        dest->SetMediaType(nullptr);
    }
    return S_OK;
}

HRESULT CopySampleData(IMediaSample* source, IMediaSample* dest) {
    if (!source || !dest)
        return E_POINTER;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    source->GetPointer(&from);
    dest->GetPointer(&to);
    const LONG length = source->GetActualDataLength();
    if (length > dest->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    if (length > 0 && from && to)
        std::memcpy(to, from, size_t(length));
    dest->SetActualDataLength(length);
    return CopySampleProperties(source, dest);
}
