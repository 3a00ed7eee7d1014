#include "platform/filters/PacketAllocator.h"

#include "platform/com/NoThrow.h"

#include <algorithm>

TPacketAllocator::TPacketAllocator() = default;

TPacketAllocator::~TPacketAllocator() = default;

HRESULT TPacketAllocator::SetProperties(ALLOCATOR_PROPERTIES* pRequest,
                                        ALLOCATOR_PROPERTIES* pActual) {
    if (!pRequest || !pActual)
        return E_POINTER;
    if (pRequest->cBuffers <= 0)
        return E_INVALIDARG;
    std::lock_guard lock(FLock);
    if (FCommitted)
        return VFW_E_ALREADY_COMMITTED;
    FProps = *pRequest;
    FProps.cbAlign = 1;
    FProps.cbPrefix = 0;
    *pActual = FProps;
    return S_OK;
}

HRESULT TPacketAllocator::GetProperties(ALLOCATOR_PROPERTIES* pProps) {
    if (!pProps)
        return E_POINTER;
    std::lock_guard lock(FLock);
    *pProps = FProps;
    return S_OK;
}

HRESULT TPacketAllocator::Commit() {
    std::lock_guard lock(FLock);
    if (FProps.cBuffers <= 0)
        return VFW_E_SIZENOTSET;
    FCommitted = true;
    return S_OK;
}

HRESULT TPacketAllocator::Decommit() {
    {
        std::lock_guard lock(FLock);
        FCommitted = false;
    }
    FFreed.notify_all();
    return S_OK;
}

HRESULT TPacketAllocator::GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                                    REFERENCE_TIME* pEndTime, DWORD dwFlags) {
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = nullptr;
    std::unique_lock lock(FLock);
    const auto outCount = [this] {
        return std::count_if(FSlots.begin(), FSlots.end(), [](const auto& s) { return s->out; });
    };
    while (FCommitted && outCount() >= FProps.cBuffers) {
        if (dwFlags & AM_GBF_NOWAIT)
            return VFW_E_TIMEOUT;
        FFreed.wait(lock);
    }
    if (!FCommitted)
        return VFW_E_NOT_COMMITTED;
    auto free = std::find_if(FSlots.begin(), FSlots.end(), [](const auto& s) { return !s->out; });
    TSlot* slot = nullptr;
    if (free != FSlots.end()) {
        slot = free->get();
    } else {
        const HRESULT made = HResultOf([&] {
            auto fresh = std::make_unique<TSlot>();
            fresh->sample = std::make_unique<CMediaSample>(this, nullptr, 0);
            FSlots.push_back(std::move(fresh));
        });
        if (FAILED(made))
            return made;
        slot = FSlots.back().get();
    }
    slot->out = true;
    slot->sample->SetBuffer(nullptr, 0);
    slot->sample->ResetProperties();
    if (pStartTime)
        slot->sample->SetTime(pStartTime, pEndTime);
    slot->sample->SetRefCount(1);
    NonDelegatingAddRef(); // each sample out keeps the allocator alive
    *ppBuffer = slot->sample.get();
    return S_OK;
}

HRESULT TPacketAllocator::AttachPacket(IMediaSample* sample, AVPacket* packet) {
    std::lock_guard lock(FLock);
    for (auto& slot : FSlots) {
        if (slot->sample.get() != sample || !slot->out)
            continue;
        slot->sample->SetBuffer(nullptr, 0);
        if (!slot->packet)
            slot->packet = kelvara::ff::NewPacket();
        if (!slot->packet)
            return E_OUTOFMEMORY;
        av_packet_unref(slot->packet.get());
        av_packet_move_ref(slot->packet.get(), packet);
        // Filters downstream may change the data in place (a DV tap repairs the system byte).
        if (av_packet_make_writable(slot->packet.get()) < 0) {
            av_packet_unref(slot->packet.get());
            return E_OUTOFMEMORY;
        }
        slot->sample->SetBuffer(slot->packet->data, slot->packet->size);
        slot->sample->SetActualDataLength(slot->packet->size);
        return S_OK;
    }
    return S_FALSE;
}

HRESULT TPacketAllocator::ReleaseBuffer(IMediaSample* pBuffer) {
    kelvara::ff::TPacketPtr freed;
    {
        std::lock_guard lock(FLock);
        auto it = std::find_if(FSlots.begin(), FSlots.end(),
                               [&](const auto& s) { return s->sample.get() == pBuffer; });
        if (it == FSlots.end() || !(*it)->out)
            return E_INVALIDARG;
        (*it)->out = false;
        freed = std::move((*it)->packet);
        (*it)->sample->SetBuffer(nullptr, 0);
    }
    FFreed.notify_one();
    freed.reset();
    NonDelegatingRelease();
    return S_OK;
}
