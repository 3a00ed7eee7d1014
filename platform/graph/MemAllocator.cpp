#include "platform/graph/MemAllocator.h"

#include "platform/com/NoThrow.h"

#include <algorithm>
#include <new>

namespace {
// Upper bound of the memory one allocator may hold, so that a hostile format block cannot ask
// for more than a machine has. The largest a stream needs is a splitter's copying buffers
// (12 x 64 MB) or a decoder's output for the largest picture shown (3 x 136 MB).
constexpr long long kMaxTotalBytes = 1LL << 30;
} // namespace

CMemAllocator::CMemAllocator() = default;

CMemAllocator::~CMemAllocator() = default;

HRESULT CMemAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMemAllocator)
        return GetInterface(static_cast<IMemAllocator*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* pRequest,
                                     ALLOCATOR_PROPERTIES* pActual) {
    if (!pRequest || !pActual)
        return E_POINTER;
    const ALLOCATOR_PROPERTIES r = *pRequest;
    if (r.cbAlign <= 0 || (r.cbAlign & (r.cbAlign - 1)) != 0)
        return VFW_E_BADALIGN;
    if (r.cBuffers <= 0 || r.cbBuffer <= 0 || r.cbPrefix < 0)
        return E_INVALIDARG;
    const long long perBuffer = (long long)r.cbBuffer + r.cbPrefix + r.cbAlign;
    if (perBuffer * r.cBuffers > kMaxTotalBytes)
        return E_OUTOFMEMORY;
    std::lock_guard lock(FLock);
    if (FCommitted)
        return VFW_E_ALREADY_COMMITTED;
    if (!FOut.empty())
        return VFW_E_BUFFERS_OUTSTANDING;
    FProps = r;
    FPropsSet = true;
    FFree.clear(); // buffers of the old size
    *pActual = FProps;
    return S_OK;
}

HRESULT CMemAllocator::GetProperties(ALLOCATOR_PROPERTIES* pProps) {
    if (!pProps)
        return E_POINTER;
    std::lock_guard lock(FLock);
    *pProps = FProps;
    return S_OK;
}

std::unique_ptr<BYTE[]> CMemAllocator::AllocateBufferMemory(size_t bytes) {
    return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[bytes]);
}

bool CMemAllocator::MakeBufferLocked(TBuffer* b) {
    const size_t total = size_t(FProps.cbPrefix) + size_t(FProps.cbBuffer) + size_t(FProps.cbAlign);
    b->memory = AllocateBufferMemory(total);
    if (!b->memory)
        return false;
    const auto base = reinterpret_cast<uintptr_t>(b->memory.get()) + uintptr_t(FProps.cbPrefix);
    const uintptr_t align = uintptr_t(FProps.cbAlign);
    BYTE* data = reinterpret_cast<BYTE*>((base + align - 1) & ~(align - 1));
    b->sample.reset(new (std::nothrow) CMediaSample(this, data, FProps.cbBuffer));
    return bool(b->sample);
}

HRESULT CMemAllocator::Commit() {
    std::lock_guard lock(FLock);
    if (!FPropsSet)
        return VFW_E_SIZENOTSET;
    if (FCommitted)
        return S_OK;
    const size_t count = size_t(FProps.cBuffers);
    const HRESULT hr = HResultOf([&] {
        // Room for every buffer in both lists, so that GetBuffer and ReleaseBuffer never grow
        // them.
        FFree.reserve(count);
        FOut.reserve(count);
        while (FFree.size() + FOut.size() < count) {
            TBuffer b;
            if (!MakeBufferLocked(&b))
                return E_OUTOFMEMORY;
            FFree.push_back(std::move(b));
        }
        return S_OK;
    });
    if (FAILED(hr)) {
        FFree.clear(); // what was made is given back; a later Commit starts again
        return hr;
    }
    FCommitted = true;
    return S_OK;
}

HRESULT CMemAllocator::Decommit() {
    {
        std::lock_guard lock(FLock);
        if (!FCommitted)
            return S_OK;
        FCommitted = false;
        FFree.clear();
    }
    FFreed.notify_all();
    return S_OK;
}

HRESULT CMemAllocator::GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                                 REFERENCE_TIME* pEndTime, DWORD dwFlags) {
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = nullptr;
    std::unique_lock lock(FLock);
    while (FCommitted && FFree.empty()) {
        if (dwFlags & AM_GBF_NOWAIT)
            return VFW_E_TIMEOUT;
        FFreed.wait(lock);
    }
    if (!FCommitted)
        return VFW_E_NOT_COMMITTED;
    FOut.push_back(std::move(FFree.back()));
    FFree.pop_back();
    CMediaSample* sample = FOut.back().sample.get();
    sample->ResetProperties();
    if (pStartTime)
        sample->SetTime(pStartTime, pEndTime);
    sample->SetRefCount(1);
    // Each sample out keeps the allocator alive until it comes back.
    NonDelegatingAddRef();
    *ppBuffer = sample;
    return S_OK;
}

HRESULT CMemAllocator::ReleaseBuffer(IMediaSample* pBuffer) {
    TBuffer returned;
    {
        std::lock_guard lock(FLock);
        auto it = std::find_if(FOut.begin(), FOut.end(),
                               [&](const TBuffer& b) { return b.sample.get() == pBuffer; });
        if (it == FOut.end())
            return E_INVALIDARG;
        returned = std::move(*it);
        FOut.erase(it);
        const bool fits = returned.sample->GetSize() == FProps.cbBuffer;
        if (FCommitted && fits && FFree.size() + FOut.size() < size_t(FProps.cBuffers))
            FFree.push_back(std::move(returned));
    }
    FFreed.notify_one();
    returned = TBuffer(); // a sample that did not go back to the free list is freed here
    NonDelegatingRelease();
    return S_OK;
}

int CMemAllocator::OutstandingSamples() const {
    std::lock_guard lock(FLock);
    return int(FOut.size());
}
