#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include "platform/graph/GraphWait.h"

namespace kelvara::test {

TTestSinkRenderer::TTestSinkRenderer(REFGUID acceptedSubtype)
    : CBaseRenderer(CLSID_TestSinkRenderer, QStringLiteral("Test sink renderer")),
      FSubtype(acceptedSubtype) {}

HRESULT TTestSinkRenderer::CheckMediaType(const CMediaType* pmt) {
    if (pmt->majortype != MEDIATYPE_Video)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return FSubtype == GUID_NULL || pmt->subtype == FSubtype ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

void TTestSinkRenderer::Record(IMediaSample* sample, bool whilePaused) {
    TRenderedSample r;
    ReadStamp(sample, &r.stamp);
    r.hasTime = SUCCEEDED(sample->GetTime(&r.start, &r.stop));
    r.preroll = sample->IsPreroll() == S_OK;
    r.whilePaused = whilePaused;
    {
        std::lock_guard lock(FLock);
        FRendered.push_back(r);
    }
    GraphWakeWaiters();
}

HRESULT TTestSinkRenderer::DoRenderSample(IMediaSample* pMediaSample) {
    Record(pMediaSample, false);
    return S_OK;
}

void TTestSinkRenderer::OnReceiveFirstSample(IMediaSample* pMediaSample) {
    Record(pMediaSample, true);
}

std::vector<TRenderedSample> TTestSinkRenderer::Rendered() const {
    std::lock_guard lock(FLock);
    return FRendered;
}

size_t TTestSinkRenderer::RenderedCount() const {
    std::lock_guard lock(FLock);
    return FRendered.size();
}

void TTestSinkRenderer::ClearRendered() {
    std::lock_guard lock(FLock);
    FRendered.clear();
}

bool TTestSinkRenderer::WaitForRendered(size_t n, int timeoutMs) {
    return GraphWaitUntil([&] { return RenderedCount() >= n; }, timeoutMs);
}

} // namespace kelvara::test
