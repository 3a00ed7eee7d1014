#pragma once
// Media samples and the allocators that hand them out, and the input side of a pin that
// receives them.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"
#include "platform/graph/MediaType.h"

struct ALLOCATOR_PROPERTIES {
    LONG cBuffers = 0;
    LONG cbBuffer = 0;
    LONG cbAlign = 0;
    LONG cbPrefix = 0;
};

// GetBuffer flags.
inline constexpr DWORD AM_GBF_PREVFRAMESKIPPED = 1;
inline constexpr DWORD AM_GBF_NOTASYNCPOINT = 2;
inline constexpr DWORD AM_GBF_NOWAIT = 4;

// A buffer with its payload length, time stamps (relative to the start of the current segment),
// media times, flags and an optional media type that announces a format change.
struct IMediaSample : IUnknown {
    static constexpr IID iid{
        0x56A8689A, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT GetPointer(BYTE** ppBuffer) = 0;
    virtual LONG GetSize() = 0;
    // S_OK with both times, VFW_S_NO_STOP_TIME with the start only (the stop is start + 1),
    // VFW_E_SAMPLE_TIME_NOT_SET without times.
    virtual HRESULT GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) = 0;
    // Null start: no times; null end: start only.
    virtual HRESULT SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) = 0;
    virtual HRESULT IsSyncPoint() = 0; // S_OK or S_FALSE
    virtual HRESULT SetSyncPoint(BOOL bIsSyncPoint) = 0;
    virtual HRESULT IsPreroll() = 0;
    virtual HRESULT SetPreroll(BOOL bIsPreroll) = 0;
    virtual LONG GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(LONG length) = 0;
    // S_OK with a heap copy that the caller frees with DeleteMediaType; S_FALSE and null when
    // the sample carries no type.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE** ppMediaType) = 0;
    virtual HRESULT SetMediaType(AM_MEDIA_TYPE* pMediaType) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(BOOL bDiscontinuity) = 0;
    virtual HRESULT GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) = 0;
    virtual HRESULT SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) = 0;
};

struct IMemAllocator : IUnknown {
    static constexpr IID iid{
        0x56A8689C, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // Only while decommitted (VFW_E_ALREADY_COMMITTED) and with no sample out
    // (VFW_E_BUFFERS_OUTSTANDING); pActual receives what was granted.
    virtual HRESULT SetProperties(ALLOCATOR_PROPERTIES* pRequest,
                                  ALLOCATOR_PROPERTIES* pActual) = 0;
    virtual HRESULT GetProperties(ALLOCATOR_PROPERTIES* pProps) = 0;
    virtual HRESULT Commit() = 0;
    // Releases the threads waiting in GetBuffer (VFW_E_NOT_COMMITTED); samples still out are
    // freed when they come back.
    virtual HRESULT Decommit() = 0;
    // Blocks until a buffer is free unless AM_GBF_NOWAIT (then VFW_E_TIMEOUT).
    virtual HRESULT GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                              REFERENCE_TIME* pEndTime, DWORD dwFlags) = 0;
    virtual HRESULT ReleaseBuffer(IMediaSample* pBuffer) = 0;
};

// The receiving side of a connection, offered by input pins.
struct IMemInputPin : IUnknown {
    static constexpr IID iid{
        0x56A8689D, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT GetAllocator(IMemAllocator** ppAllocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) = 0;
    virtual HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) = 0;
    // S_OK: go on; S_FALSE: stop sending until the next flush (end of stream, flushing);
    // failure: a run-time error.
    virtual HRESULT Receive(IMediaSample* pSample) = 0;
    virtual HRESULT ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                                    LONG* nSamplesProcessed) = 0;
    // S_OK when Receive may block (renderers), S_FALSE otherwise.
    virtual HRESULT ReceiveCanBlock() = 0;
};

inline constexpr const IID& IID_IMediaSample = IMediaSample::iid;
inline constexpr const IID& IID_IMemAllocator = IMemAllocator::iid;
inline constexpr const IID& IID_IMemInputPin = IMemInputPin::iid;
