#include "taps/uDVcodeNotifier.h"

#include <thread>

TDVCodeNotifier::TDVCodeNotifier()
    : TTypeLockedFilter(QStringLiteral("Osric Taskel's DVNotifier"), CLSID_DVCodeNotifier, false),
      FDelay([](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); }) {}

HRESULT TDVCodeNotifier::Transform(IMediaSample* pSample) {
    if (pSample && pSample->IsSyncPoint() != S_OK) {
        TDelay delay;
        {
            std::lock_guard lock(FDelayLock);
            delay = FDelay;
        }
        ++FDelayed;
        if (delay)
            delay(NonSyncDelay);
    }
    return S_OK;
}

void TDVCodeNotifier::SetDelay(TDelay delay) {
    std::lock_guard lock(FDelayLock);
    FDelay = std::move(delay);
}
