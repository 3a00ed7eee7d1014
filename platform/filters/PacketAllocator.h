#pragma once
// The allocator of a splitter's output pin: its samples carry the demuxer's packets without a
// copy, each as large as its packet. Like the standard allocator it hands out at most cBuffers
// samples at a time (GetBuffer waits for one to come back), so that a paused renderer holding
// its sample stops the splitter; Decommit releases the waiting threads. Memory running out
// while a sample is handed out or filled is an E_OUTOFMEMORY result.
//
// Thread contract: any thread, as CMemAllocator.
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/MemAllocator.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class TPacketAllocator : public CMemAllocator {
public:
    TPacketAllocator();
    ~TPacketAllocator() override;

    HRESULT SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* pProps) override;
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime, REFERENCE_TIME* pEndTime,
                      DWORD dwFlags) override;
    HRESULT ReleaseBuffer(IMediaSample* pBuffer) override;

    // Gives the packet's data to a sample this allocator handed out (the packet is moved into
    // the sample and freed when the sample comes back): S_OK; S_FALSE for a sample of another
    // allocator, whose packet is left as it was; E_OUTOFMEMORY when the sample's packet or a
    // writable copy of the data cannot be made (the sample then holds nothing).
    HRESULT AttachPacket(IMediaSample* sample, AVPacket* packet);

private:
    struct TSlot {
        std::unique_ptr<CMediaSample> sample;
        kelvara::ff::TPacketPtr packet;
        bool out = false;
    };

    std::mutex FLock;
    std::condition_variable FFreed;
    // guarded by FLock
    ALLOCATOR_PROPERTIES FProps;
    bool FCommitted = false;
    std::vector<std::unique_ptr<TSlot>> FSlots;
};
