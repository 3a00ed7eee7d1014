#pragma once
// An in-place pass-through filter for tests: counts what passes, remembers the segments it saw,
// and runs an optional hook per sample whose answer decides delivery (S_OK) or drop (S_FALSE).
#include "platform/graph/TransInPlaceFilter.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace kelvara::test {

inline constexpr CLSID CLSID_TestPassThrough{
    0x6B1C2D3E, 0x1A2B, 0x4C5D, {0x9E, 0x01, 0x10, 0x20, 0x30, 0x40, 0x50, 0x02}};

struct TSegmentCall {
    REFERENCE_TIME start;
    REFERENCE_TIME stop;
    double rate;
};

class TTestPassThrough : public CTransInPlaceFilter {
public:
    using THook = std::function<HRESULT(IMediaSample*)>;

    TTestPassThrough();
    // Accepts only this major type (GUID_NULL: any).
    void AcceptMajorType(REFGUID major) { FMajor = major; }
    // Runs on the streaming thread for every sample; its answer is Transform's.
    void SetHook(THook hook);

    HRESULT CheckInputType(const CMediaType* mtIn) override;
    HRESULT Transform(IMediaSample* pSample) override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;

    int Passed() const { return FPassed.load(); }
    int Dropped() const { return FDropped.load(); }
    int StreamingStarts() const { return FStarts.load(); }
    std::vector<TSegmentCall> Segments() const;

private:
    GUID FMajor = GUID_NULL;
    std::atomic<int> FPassed{0};
    std::atomic<int> FDropped{0};
    std::atomic<int> FStarts{0};
    mutable std::mutex FLock;
    THook FHook;                         // guarded by FLock
    std::vector<TSegmentCall> FSegments; // guarded by FLock
};

} // namespace kelvara::test
