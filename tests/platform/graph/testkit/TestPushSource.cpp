#include "tests/platform/graph/testkit/TestPushSource.h"

#include <algorithm>
#include <memory>

namespace kelvara::test {

TTestPushSource::TTestPushSource(TTestSourceConfig config)
    : CSource(QStringLiteral("Test push source"), CLSID_TestPushSource), FConfig(config) {
    SetSeeking(std::make_unique<CSourceSeeking>(this, config.frames * config.frameDuration));
    for (int i = 0; i < std::max(config.pins, 1); ++i)
        AddPin(std::make_unique<TTestPushPin>(this, i));
}

AM_MEDIA_TYPE TTestPushSource::StreamType() const {
    return MakeVideoType(FConfig.subtype, FConfig.width, FConfig.height, FConfig.frameDuration,
                         FConfig.keyInterval > 1);
}

TTestPushPin::TTestPushPin(TTestPushSource* source, int stream)
    : CSourceStream(QStringLiteral("Test push pin"), nullptr, source,
                    QStringLiteral("Out%1").arg(stream)),
      FOwner(source), FStream(stream) {
    if (source->Config().category != GUID_NULL)
        SetPinCategory(source->Config().category);
}

HRESULT TTestPushPin::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = FOwner->StreamType();
    return S_OK;
}

HRESULT TTestPushPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) {
    ALLOCATOR_PROPERTIES wanted = *pRequest;
    wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 4);
    wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, LONG(FOwner->StreamType().lSampleSize));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

HRESULT TTestPushPin::OnThreadStartPlay() {
    const TTestSourceConfig& c = FOwner->Config();
    FSegment = FOwner->Seeking()->Segment();
    // Restart from the key frame at or before the segment start.
    const int target = int(FSegment.start / c.frameDuration);
    FNext = std::max(0, target - target % std::max(c.keyInterval, 1));
    return CSourceStream::OnThreadStartPlay();
}

HRESULT TTestPushPin::FillBuffer(IMediaSample* pSample) {
    const TTestSourceConfig& c = FOwner->Config();
    const REFERENCE_TIME at = REFERENCE_TIME(FNext) * c.frameDuration;
    if (FNext >= c.frames || at >= FSegment.stop)
        return S_FALSE;
    REFERENCE_TIME start = REFERENCE_TIME(double(at - FSegment.start) / FSegment.rate);
    REFERENCE_TIME stop =
        REFERENCE_TIME(double(at + c.frameDuration - FSegment.start) / FSegment.rate);
    pSample->SetTime(&start, &stop);
    LONGLONG mediaStart = FNext, mediaStop = FNext + 1;
    pSample->SetMediaTime(&mediaStart, &mediaStop);
    pSample->SetSyncPoint(FNext % std::max(c.keyInterval, 1) == 0);
    pSample->SetPreroll(at < FSegment.start);
    pSample->SetActualDataLength(pSample->GetSize());
    WriteStamp(pSample, {uint32_t(FNext), uint32_t(FStream)});
    ++FNext;
    FOwner->CountDelivered();
    return S_OK;
}

} // namespace kelvara::test
