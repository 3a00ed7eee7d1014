#pragma once
// The standard allocator: cBuffers samples of cbBuffer bytes each (plus cbPrefix bytes before
// the pointer GetPointer gives, aligned to cbAlign). GetBuffer blocks while every sample is out;
// Decommit releases the waiting threads and frees the samples as they come back. All memory is
// taken by Commit, which answers E_OUTOFMEMORY when the system has too little; handing samples
// out and taking them back allocates nothing.
//
// Thread contract: any thread; the allocator's lock is never held while a sample is released
// to user code.
#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/MediaSample.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class CMemAllocator : public CUnknown, public IMemAllocator {
public:
    CMemAllocator();
    ~CMemAllocator() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* pProps) override;
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime, REFERENCE_TIME* pEndTime,
                      DWORD dwFlags) override;
    HRESULT ReleaseBuffer(IMediaSample* pBuffer) override;

    // Samples handed out and not yet returned (for tests and traces).
    int OutstandingSamples() const;

protected:
    // The memory of one buffer, or null when the system has none to give (Commit then fails
    // with E_OUTOFMEMORY and holds nothing).
    virtual std::unique_ptr<BYTE[]> AllocateBufferMemory(size_t bytes);

private:
    struct TBuffer {
        std::unique_ptr<BYTE[]> memory;
        std::unique_ptr<CMediaSample> sample;
    };
    IUnknown* UnknownInterface() override { return static_cast<IMemAllocator*>(this); }
    // False when memory runs out.
    bool MakeBufferLocked(TBuffer* buffer);

    mutable std::mutex FLock;
    std::condition_variable FFreed;
    // guarded by FLock
    ALLOCATOR_PROPERTIES FProps;
    bool FPropsSet = false;
    bool FCommitted = false;
    std::vector<TBuffer> FFree;
    std::vector<TBuffer> FOut; // samples handed out, with their memory
};
