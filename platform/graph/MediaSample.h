#pragma once
// A media sample: a buffer handed out by an allocator (or standing alone), with its payload
// length, times, flags and an optional attached media type. When the last reference goes, the
// sample returns to its allocator (a standalone sample deletes itself).
//
// A sample is used by one thread at a time (the one it was handed to); its properties are not
// locked.
#include "platform/graph/SampleInterfaces.h"

#include <atomic>
#include <memory>

class CMemAllocator;

class CMediaSample : public IMediaSample {
public:
    // A sample over `buffer` (size bytes) that belongs to `allocator`, or standing alone when
    // allocator is null (it then owns nothing but itself: the buffer stays the caller's).
    CMediaSample(CMemAllocator* allocator, BYTE* buffer, LONG size);
    virtual ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetPointer(BYTE** ppBuffer) override;
    LONG GetSize() override { return FSize; }
    HRESULT GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) override;
    HRESULT SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) override;
    HRESULT IsSyncPoint() override { return FSyncPoint ? S_OK : S_FALSE; }
    HRESULT SetSyncPoint(BOOL bIsSyncPoint) override;
    HRESULT IsPreroll() override { return FPreroll ? S_OK : S_FALSE; }
    HRESULT SetPreroll(BOOL bIsPreroll) override;
    LONG GetActualDataLength() override { return FActual; }
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** ppMediaType) override;
    HRESULT SetMediaType(AM_MEDIA_TYPE* pMediaType) override;
    HRESULT IsDiscontinuity() override { return FDiscontinuity ? S_OK : S_FALSE; }
    HRESULT SetDiscontinuity(BOOL bDiscontinuity) override;
    HRESULT GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) override;
    HRESULT SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) override;

    // Clears times, flags and the media type, and sets the length to the whole buffer; done
    // each time the allocator hands the sample out.
    void ResetProperties();
    // Points the sample at another buffer (allocators that wrap memory of their own).
    void SetBuffer(BYTE* buffer, LONG size);
    // Sets the count when an allocator hands the sample out.
    void SetRefCount(ULONG count) { FRef.store(count); }

private:
    std::atomic<ULONG> FRef{0};
    CMemAllocator* FAllocator;
    BYTE* FBuffer;
    LONG FSize;
    LONG FActual;
    bool FHasStart = false;
    bool FHasStop = false;
    REFERENCE_TIME FStart = 0;
    REFERENCE_TIME FStop = 0;
    bool FHasMediaTime = false;
    LONGLONG FMediaStart = 0;
    LONGLONG FMediaStop = 0;
    bool FSyncPoint = false;
    bool FPreroll = false;
    bool FDiscontinuity = false;
    std::unique_ptr<AM_MEDIA_TYPE> FMediaType;
};

// Copies times, media times, flags, attached media type and (when both buffers allow) the
// payload from one sample to another; the in-place and copying transforms use it.
HRESULT CopySampleData(IMediaSample* source, IMediaSample* dest);
HRESULT CopySampleProperties(IMediaSample* source, IMediaSample* dest);
