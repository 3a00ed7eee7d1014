#include "tests/taps/TapTestKit.h"

#include "platform/graph/MediaSample.h"
#include "platform/graph/MemAllocator.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uTapMessages.h"

#include <algorithm>
#include <cstring>

namespace kelvara::test {
namespace {

class TFeederPin : public CBaseOutputPin {
public:
    TFeederPin(CBaseFilter* filter, const AM_MEDIA_TYPE& type, LONG bufferSize, LONG buffers)
        : CBaseOutputPin(QStringLiteral("Feeder output"), filter, nullptr, QStringLiteral("Out")),
          FType(type), FBufferSize(bufferSize), FBuffers(buffers) {}

    HRESULT CheckMediaType(const CMediaType* pmt) override {
        return pmt && *pmt == FType ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override {
        if (iPosition < 0)
            return E_INVALIDARG;
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = FType;
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override {
        ALLOCATOR_PROPERTIES wanted = *pRequest, actual;
        wanted.cBuffers = std::max(wanted.cBuffers, FBuffers);
        wanted.cbBuffer = std::max(wanted.cbBuffer, FBufferSize);
        wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
        const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
        if (FAILED(hr))
            return hr;
        return actual.cbBuffer < FBufferSize ? E_FAIL : S_OK;
    }

private:
    AM_MEDIA_TYPE FType;
    LONG FBufferSize;
    LONG FBuffers;
};

// An allocator that grants no buffer above a size.
class TLimitedAllocator : public CMemAllocator {
public:
    explicit TLimitedAllocator(LONG maxBuffer) : FMax(maxBuffer) {}
    HRESULT SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) override {
        if (!pRequest)
            return E_POINTER;
        ALLOCATOR_PROPERTIES limited = *pRequest;
        limited.cbBuffer = std::min(limited.cbBuffer, FMax);
        return CMemAllocator::SetProperties(&limited, pActual);
    }

private:
    LONG FMax;
};

class TCollectorPin : public CBaseInputPin {
public:
    explicit TCollectorPin(TTapCollector* filter)
        : CBaseInputPin(QStringLiteral("Collector input"), filter, nullptr, QStringLiteral("In")),
          FOwner(filter) {}

    HRESULT CheckMediaType(const CMediaType* pmt) override { return pmt ? S_OK : E_POINTER; }
    HRESULT Receive(IMediaSample* pSample) override {
        const HRESULT hr = CBaseInputPin::Receive(pSample);
        if (hr == S_OK)
            FOwner->Record(pSample);
        return hr;
    }
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override {
        FOwner->RecordSegment(tStart);
        return CBaseInputPin::NewSegment(tStart, tStop, dRate);
    }
    HRESULT GetAllocator(IMemAllocator** ppAllocator) override {
        if (FMaxBuffer > 0 && ppAllocator) {
            if (!FLimited)
                FLimited = MakeComObject<TLimitedAllocator>(FMaxBuffer);
            return FLimited.CopyTo(ppAllocator);
        }
        return CBaseInputPin::GetAllocator(ppAllocator);
    }
    void LimitBufferSize(LONG maxBuffer) { FMaxBuffer = maxBuffer; }

private:
    TTapCollector* const FOwner;
    LONG FMaxBuffer = 0;
    ComPtr<IMemAllocator> FLimited;
};

} // namespace

AM_MEDIA_TYPE VideoInfoType(REFGUID subtype, LONG width, LONG height, REFERENCE_TIME frameDuration,
                            bool temporalCompression) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.rcSource = {0, 0, width, height};
    vih.rcTarget = vih.rcSource;
    vih.AvgTimePerFrame = frameDuration;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = subtype == MEDIASUBTYPE_RGB32 ? 32 : 16;
    vih.bmiHeader.biCompression = subtype == MEDIASUBTYPE_RGB32 ? BI_RGB : subtype.Data1;
    vih.bmiHeader.biSizeImage = DWORD(width * height * vih.bmiHeader.biBitCount / 8);
    mt.SetFormat(vih);
    mt.bTemporalCompression = temporalCompression;
    mt.lSampleSize = vih.bmiHeader.biSizeImage;
    return mt;
}

AM_MEDIA_TYPE DVVideoType(bool pal) {
    AM_MEDIA_TYPE mt =
        VideoInfoType(MEDIASUBTYPE_dvsd, 720, pal ? 576 : 480, pal ? 400000 : 333667);
    mt.lSampleSize = pal ? 144000 : 120000;
    return mt;
}

AM_MEDIA_TYPE DvInfoType() {
    AM_MEDIA_TYPE mt(MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd, FORMAT_DvInfo);
    mt.SetFormat(DVINFO{});
    mt.lSampleSize = 144000;
    return mt;
}

AM_MEDIA_TYPE PcmType(int rate, int channels) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx;
    wfx.wFormatTag = 1;
    wfx.nChannels = WORD(channels);
    wfx.nSamplesPerSec = DWORD(rate);
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = WORD(channels * 2);
    wfx.nAvgBytesPerSec = DWORD(rate * channels * 2);
    mt.SetFormat(wfx);
    return mt;
}

TTapFeeder::TTapFeeder(const AM_MEDIA_TYPE& type, LONG bufferSize, LONG buffers)
    : CBaseFilter(QStringLiteral("Tap feeder"), CLSID_TapFeeder),
      FPin(std::make_unique<TFeederPin>(this, type, bufferSize, buffers)) {}

TTapFeeder::~TTapFeeder() = default;

CBasePin* TTapFeeder::GetPin(int n) {
    return n == 0 ? FPin.get() : nullptr;
}

CBaseOutputPin* TTapFeeder::Output() {
    return FPin.get();
}

HRESULT TTapFeeder::Feed(const TFeedSample& s) {
    IMediaSample* raw = nullptr;
    HRESULT hr = FPin->GetDeliveryBuffer(&raw, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    ComPtr<IMediaSample> sample;
    sample.Attach(raw);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = std::min<LONG>(LONG(s.Bytes.size()), sample->GetSize());
    if (length > 0)
        std::memcpy(data, s.Bytes.data(), size_t(length));
    sample->SetActualDataLength(length);
    REFERENCE_TIME start = s.Start.value_or(0), stop = s.Stop.value_or(0);
    if (s.Start)
        sample->SetTime(&start, s.Stop ? &stop : nullptr);
    sample->SetSyncPoint(s.Sync);
    sample->SetPreroll(s.Preroll);
    sample->SetDiscontinuity(s.Discontinuity);
    if (s.Type) {
        AM_MEDIA_TYPE type = *s.Type;
        sample->SetMediaType(&type);
    }
    return FPin->Deliver(sample.Get());
}

HRESULT TTapFeeder::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    return FPin->DeliverNewSegment(start, stop, rate);
}

TTapCollector::TTapCollector()
    : CBaseFilter(QStringLiteral("Tap collector"), CLSID_TapCollector),
      FPin(std::make_unique<TCollectorPin>(this)) {}

TTapCollector::~TTapCollector() = default;

CBasePin* TTapCollector::GetPin(int n) {
    return n == 0 ? FPin.get() : nullptr;
}

void TTapCollector::LimitBufferSize(LONG maxBuffer) {
    static_cast<TCollectorPin*>(FPin.get())->LimitBufferSize(maxBuffer);
}

void TTapCollector::Record(IMediaSample* sample) {
    TCollectedSample c;
    BYTE* data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)) && data && sample->GetActualDataLength() > 0)
        c.Bytes.assign(data, data + sample->GetActualDataLength());
    const HRESULT time = sample->GetTime(&c.Start, &c.Stop);
    c.HasStart = time == S_OK || time == VFW_S_NO_STOP_TIME;
    c.HasStop = time == S_OK;
    c.HasMediaTime = SUCCEEDED(sample->GetMediaTime(&c.MediaStart, &c.MediaStop));
    c.Sync = sample->IsSyncPoint() == S_OK;
    c.Preroll = sample->IsPreroll() == S_OK;
    c.Discontinuity = sample->IsDiscontinuity() == S_OK;
    AM_MEDIA_TYPE* type = nullptr;
    c.HasType = sample->GetMediaType(&type) == S_OK;
    DeleteMediaType(type);
    std::lock_guard lock(FLock);
    FSamples.push_back(std::move(c));
}

void TTapCollector::RecordSegment(REFERENCE_TIME start) {
    std::lock_guard lock(FLock);
    FSegmentStarts.push_back(start);
}

std::vector<TCollectedSample> TTapCollector::Samples() const {
    std::lock_guard lock(FLock);
    return FSamples;
}

size_t TTapCollector::Count() const {
    std::lock_guard lock(FLock);
    return FSamples.size();
}

std::vector<REFERENCE_TIME> TTapCollector::SegmentStarts() const {
    std::lock_guard lock(FLock);
    return FSegmentStarts;
}

TMessageLog::TMessageLog() : FWindow([this](TMessage& m) { Handle(m); }) {}

void TMessageLog::Handle(TMessage& m) {
    TLoggedMessage logged;
    logged.Msg = m.Msg;
    logged.WParam = m.WParam;
    logged.LParam = m.LParam;
    switch (m.Msg) {
    case WM_POSITIONTEXT:
    case WM_NAVPOSITIONTEXT:
        logged.Text = ReadPositionText(m);
        break;
    case WM_DVCODE:
        logged.Delivered = FVideoTap && ReadDVCode(m, FVideoTap->FrameDataRing(), logged.Frame);
        break;
    case WM_AUDIODATA:
        logged.Delivered = FAudioTap && ReadAudioData(m, FAudioTap->AudioDataRing(), logged.Frame);
        break;
    case WM_VIDEODATA:
        logged.Delivered = FVideoTap && ReadVideoData(m, FVideoTap->VideoDataRing(), logged.Video);
        break;
    case WM_DVINLAY:
        logged.Delivered = FVideoTap && ReadDVInlay(m, FVideoTap->InlayRing(), logged.Inlay);
        break;
    case WM_FRAMEDURATION:
        logged.Value = ReadFrameDuration(m);
        break;
    case WM_MARKREACHED: {
        const TMarkReached reached = ReadMarkReached(m);
        logged.Value = reached.Target;
        logged.Position = reached.Position;
        break;
    }
    default:
        break;
    }
    {
        std::lock_guard lock(FLock);
        FMessages.push_back(logged);
    }
    if (FHook)
        FHook(logged);
}

void TMessageLog::Pump() {
    ProcessMessages();
}

std::vector<TLoggedMessage> TMessageLog::Messages() const {
    std::lock_guard lock(FLock);
    return FMessages;
}

std::vector<TLoggedMessage> TMessageLog::Of(UINT msg) const {
    std::vector<TLoggedMessage> out;
    for (const TLoggedMessage& m : Messages())
        if (m.Msg == msg)
            out.push_back(m);
    return out;
}

void TMessageLog::Clear() {
    std::lock_guard lock(FLock);
    FMessages.clear();
}

} // namespace kelvara::test
