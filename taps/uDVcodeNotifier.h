#pragma once
// The DV stage: a pass-through between an interleaved DV output pin and the DV splitter. Every
// sample goes on unchanged; a sample that is not a sync point first holds the streaming thread for
// 10 ms, which slows the non-key samples of a stream down.
//
// Thread contract: Transform runs on the input's streaming thread; its wait blocks only that
// thread. The delay function may be replaced (tests count the waits instead of sleeping).
#include "taps/uTypeLockedFilter.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>

// {192E0B3B-446C-49D1-8AED-E8AE0CF82ED2}
inline constexpr CLSID CLSID_DVCodeNotifier{
    0x192E0B3B, 0x446C, 0x49D1, {0x8A, 0xED, 0xE8, 0xAE, 0x0C, 0xF8, 0x2E, 0xD2}};
inline constexpr char16_t DVCodeNotifierGraphName[] = u"DV Notifier";

class TDVCodeNotifier : public TTypeLockedFilter {
public:
    using TDelay = std::function<void(std::chrono::milliseconds)>;
    static constexpr std::chrono::milliseconds NonSyncDelay{10};

    TDVCodeNotifier();

    HRESULT Transform(IMediaSample* pSample) override;

    // Replaces the wait (the default sleeps the calling thread).
    void SetDelay(TDelay delay);
    // Samples that were held back so far.
    int DelayedSamples() const { return FDelayed.load(); }

private:
    std::atomic<int> FDelayed{0};
    mutable std::mutex FDelayLock;
    TDelay FDelay; // guarded by FDelayLock
};
