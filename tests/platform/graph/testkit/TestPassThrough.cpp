#include "tests/platform/graph/testkit/TestPassThrough.h"

namespace kelvara::test {

TTestPassThrough::TTestPassThrough()
    : CTransInPlaceFilter(QStringLiteral("Test pass-through"), CLSID_TestPassThrough, false) {}

void TTestPassThrough::SetHook(THook hook) {
    std::lock_guard lock(FLock);
    FHook = std::move(hook);
}

HRESULT TTestPassThrough::CheckInputType(const CMediaType* mtIn) {
    return FMajor == GUID_NULL || mtIn->majortype == FMajor ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TTestPassThrough::Transform(IMediaSample* pSample) {
    THook hook;
    {
        std::lock_guard lock(FLock);
        hook = FHook;
    }
    const HRESULT hr = hook ? hook(pSample) : S_OK;
    if (hr == S_OK)
        ++FPassed;
    else if (hr == S_FALSE)
        ++FDropped;
    return hr;
}

HRESULT TTestPassThrough::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    {
        std::lock_guard lock(FLock);
        FSegments.push_back({tStart, tStop, dRate});
    }
    return CTransInPlaceFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT TTestPassThrough::StartStreaming() {
    ++FStarts;
    return S_OK;
}

HRESULT TTestPassThrough::StopStreaming() {
    return S_OK;
}

std::vector<TSegmentCall> TTestPassThrough::Segments() const {
    std::lock_guard lock(FLock);
    return FSegments;
}

} // namespace kelvara::test
