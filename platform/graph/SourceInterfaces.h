#pragma once
// Sources that read files: loading a file name, and random-access reads of the file's bytes
// for the pulling splitters.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"
#include "platform/graph/SampleInterfaces.h"

struct IFileSourceFilter : IUnknown {
    static constexpr IID iid{
        0x56A868A6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // pmt may be null (the source finds the type itself).
    virtual HRESULT Load(LPCWSTR pszFileName, const AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT GetCurFile(QString* pszFileName, AM_MEDIA_TYPE* pmt) = 0;
};

// Random-access reads of a byte stream, offered by the output pin of a file source. Positions
// and lengths are in bytes; for Request the sample's start and stop times carry the byte range
// times 10 000 000 (as media times of the byte stream).
struct IAsyncReader : IUnknown {
    static constexpr IID iid{
        0x56A868AA, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT RequestAllocator(IMemAllocator* pPreferred, ALLOCATOR_PROPERTIES* pProps,
                                     IMemAllocator** ppActual) = 0;
    virtual HRESULT Request(IMediaSample* pSample, intptr_t dwUser) = 0;
    virtual HRESULT WaitForNext(DWORD dwTimeout, IMediaSample** ppSample, intptr_t* pdwUser) = 0;
    virtual HRESULT SyncReadAligned(IMediaSample* pSample) = 0;
    // S_OK when all bytes were read, S_FALSE when the end of the stream came first (the rest of
    // pBuffer is left as it was).
    virtual HRESULT SyncRead(LONGLONG llPosition, LONG lLength, BYTE* pBuffer) = 0;
    // pAvailable: bytes that can be read now (less than the total while a file is growing).
    virtual HRESULT Length(LONGLONG* pTotal, LONGLONG* pAvailable) = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
};

inline constexpr const IID& IID_IFileSourceFilter = IFileSourceFilter::iid;
inline constexpr const IID& IID_IAsyncReader = IAsyncReader::iid;
