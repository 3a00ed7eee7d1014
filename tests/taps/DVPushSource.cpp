#include "tests/taps/DVPushSource.h"

#include "platform/graph/MediaSample.h"
#include "platform/rtl/DateTime.h"
#include "tests/taps/DVFrameBuilder.h"
#include "tests/taps/TapTestKit.h"

#include <algorithm>
#include <cstring>

namespace kelvara::test {
namespace {

class TDVPushPin : public CSourceStream {
public:
    explicit TDVPushPin(TDVPushSource* source)
        : CSourceStream(QStringLiteral("DV push pin"), nullptr, source, QStringLiteral("DV")),
          FOwner(source) {}

    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override {
        if (iPosition < 0)
            return E_INVALIDARG;
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = DVVideoType(true);
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override {
        ALLOCATOR_PROPERTIES wanted = *pRequest, actual;
        wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 4);
        wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, LONG(DVFrameSize625));
        wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
        const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
        return FAILED(hr) ? hr : actual.cbBuffer < LONG(DVFrameSize625) ? E_FAIL : S_OK;
    }

protected:
    HRESULT OnThreadStartPlay() override {
        FSegment = FOwner->Seeking()->Segment();
        FNext = int(std::max<REFERENCE_TIME>(0, FSegment.start) / DVFrameDuration);
        return CSourceStream::OnThreadStartPlay();
    }
    HRESULT FillBuffer(IMediaSample* pSample) override {
        const REFERENCE_TIME at = REFERENCE_TIME(FNext) * DVFrameDuration;
        if (FNext >= FOwner->Frames() || at >= FSegment.stop)
            return S_FALSE;
        const std::vector<uint8_t> frame = DVTapeFrame(FOwner->TapeStart(), FNext);
        BYTE* data = nullptr;
        pSample->GetPointer(&data);
        std::memcpy(data, frame.data(), frame.size());
        pSample->SetActualDataLength(LONG(frame.size()));
        REFERENCE_TIME start = at - FSegment.start, stop = start + DVFrameDuration;
        pSample->SetTime(&start, &stop);
        LONGLONG mediaStart = FNext, mediaStop = FNext + 1;
        pSample->SetMediaTime(&mediaStart, &mediaStop);
        pSample->SetSyncPoint(true);
        pSample->SetPreroll(at < FSegment.start);
        ++FNext;
        return S_OK;
    }

private:
    TDVPushSource* const FOwner;
    int FNext = 0; // the streaming thread's own
    TSourceSegment FSegment;
};

} // namespace

double DVTapeDate(const TDVTapeStart& s, int n) {
    double base = 0;
    TryEncodeDateTime(s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second, 0, base);
    return base + double(n) / 86400.0;
}

std::vector<uint8_t> DVTapeFrame(const TDVTapeStart& s, int n) {
    TDateTimeParts parts;
    TryDecodeDateTime(DVTapeDate(s, n) + 0.5 / 86400000.0, parts);
    TDVFrameBuilder b(tvPal);
    b.SetDate(parts.Year, parts.Month, parts.Day, parts.Hour, parts.Minute, parts.Second);
    b.SetTimecode(n / 25 / 3600, n / 25 / 60 % 60, n / 25 % 60, n % 25);
    return b.Bytes;
}

QString DVTapeTimecode(int n) {
    return QStringLiteral("%1:%2:%3:%4")
        .arg(n / 25 / 3600)
        .arg(n / 25 / 60 % 60, 2, 10, QChar('0'))
        .arg(n / 25 % 60, 2, 10, QChar('0'))
        .arg(n % 25, 2, 10, QChar('0'));
}

TDVPushSource::TDVPushSource(int frames, TDVTapeStart start)
    : CSource(QStringLiteral("DV push source"), CLSID_DVPushSource), FFrames(frames),
      FStart(start) {
    SetSeeking(std::make_unique<CSourceSeeking>(this, frames * DVFrameDuration));
    AddPin(std::make_unique<TDVPushPin>(this));
}

TTestDVDecoder::TTestDVDecoder(int dropEvery)
    : CTransformFilter(QStringLiteral("Test DV decoder"), CLSID_TestDVDecoder),
      FDropEvery(dropEvery) {}

HRESULT TTestDVDecoder::CheckInputType(const CMediaType* mtIn) {
    return mtIn->majortype == MEDIATYPE_Video && mtIn->subtype == MEDIASUBTYPE_dvsd
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TTestDVDecoder::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    return mtIn->subtype == mtOut->subtype ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TTestDVDecoder::DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) {
    ALLOCATOR_PROPERTIES wanted = *pprop, actual;
    wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 3);
    wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, LONG(DVFrameSize625));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    const HRESULT hr = pAllocator->SetProperties(&wanted, &actual);
    return FAILED(hr) ? hr : actual.cbBuffer < LONG(DVFrameSize625) ? E_FAIL : S_OK;
}

HRESULT TTestDVDecoder::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = InputPin()->CurrentMediaType();
    return S_OK;
}

HRESULT TTestDVDecoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    FSegmentStart.store(tStart);
    return CTransformFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT TTestDVDecoder::Transform(IMediaSample* pIn, IMediaSample* pOut) {
    REFERENCE_TIME start = 0, stop = 0;
    pIn->GetTime(&start, &stop);
    const int frame = int((FSegmentStart.load() + start) / DVFrameDuration);
    if (FDropEvery > 0 && frame > 0 && frame % FDropEvery == 0)
        return S_FALSE;
    BYTE* in = nullptr;
    BYTE* out = nullptr;
    pIn->GetPointer(&in);
    pOut->GetPointer(&out);
    const LONG length = std::min(pIn->GetActualDataLength(), pOut->GetSize());
    std::memcpy(out, in, size_t(length));
    pOut->SetActualDataLength(length);
    return S_OK;
}

} // namespace kelvara::test
