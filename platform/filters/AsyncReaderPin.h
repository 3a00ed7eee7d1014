#pragma once
// The output pin of the file source: one MEDIATYPE_Stream type (its sub-type sniffed from the
// file's first bytes), no allocator and no samples pushed; the filter downstream pulls the
// file's bytes through IAsyncReader, which the pin hands out from an object of its own (the
// reader's BeginFlush / EndFlush are not the pin's).
#include "platform/filters/AsyncFileReader.h"
#include "platform/graph/BasePin.h"
#include "platform/graph/SourceInterfaces.h"

class TAsyncReaderPin : public CBasePin {
public:
    TAsyncReaderPin(CBaseFilter* filter, TAsyncFileReader* reader);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }
    HRESULT EndOfStream() override { return E_UNEXPECTED; }

    // The type offered from now on (set when a file is loaded).
    void SetStreamType(const CMediaType& type);

private:
    class TReader : public IAsyncReader {
    public:
        explicit TReader(TAsyncReaderPin* pin) : FPin(pin) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
        HRESULT RequestAllocator(IMemAllocator* pPreferred, ALLOCATOR_PROPERTIES* pProps,
                                 IMemAllocator** ppActual) override;
        HRESULT Request(IMediaSample* pSample, intptr_t dwUser) override;
        HRESULT WaitForNext(DWORD dwTimeout, IMediaSample** ppSample, intptr_t* pdwUser) override;
        HRESULT SyncReadAligned(IMediaSample* pSample) override;
        HRESULT SyncRead(LONGLONG llPosition, LONG lLength, BYTE* pBuffer) override;
        HRESULT Length(LONGLONG* pTotal, LONGLONG* pAvailable) override;
        HRESULT BeginFlush() override;
        HRESULT EndFlush() override;

    private:
        TAsyncReaderPin* FPin;
    };

    TAsyncFileReader* const FFile;
    TReader FReaderInterface{this};
    std::mutex FTypeLock;
    CMediaType FType; // guarded by FTypeLock
};
