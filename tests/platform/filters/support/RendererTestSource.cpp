#include "tests/platform/filters/support/RendererTestSource.h"

#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cstring>

namespace kelvara::test {
namespace {

class TRendererTestPin : public CSourceStream {
public:
    explicit TRendererTestPin(TRendererTestSource* source)
        : CSourceStream(QStringLiteral("Renderer test pin"), nullptr, source,
                        QStringLiteral("Out")),
          FOwner(source) {}

    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override {
        if (!pMediaType)
            return E_POINTER;
        if (iPosition < 0)
            return E_INVALIDARG;
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = FOwner->Config().type;
        return S_OK;
    }

    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override {
        const TRendererSourceConfig& c = FOwner->Config();
        LONG size = c.bufferSize > 0 ? c.bufferSize : LONG(c.type.lSampleSize);
        if (c.changeAt >= 0)
            size = std::max(size, LONG(c.changedType.lSampleSize));
        ALLOCATOR_PROPERTIES wanted = *pRequest;
        wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 3);
        wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, size);
        wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
        ALLOCATOR_PROPERTIES actual;
        const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
        if (FAILED(hr))
            return hr;
        return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
    }

protected:
    HRESULT OnThreadStartPlay() override {
        const TRendererSourceConfig& c = FOwner->Config();
        FSegment = FOwner->Seeking()->Segment();
        const int target = int(FSegment.start / c.sampleDuration);
        const int key = std::max(c.keyInterval, 1);
        FNext = std::max(0, target - target % key);
        return CSourceStream::OnThreadStartPlay();
    }

    void OnStopRequested() override { FOwner->WakeHeld(); }

    HRESULT FillBuffer(IMediaSample* pSample) override {
        const TRendererSourceConfig& c = FOwner->Config();
        const REFERENCE_TIME at = REFERENCE_TIME(FNext) * c.sampleDuration;
        if (FNext >= c.samples || at >= FSegment.stop)
            return S_FALSE;
        if (!FOwner->WaitUntilFree(FNext, [this] { return StopRequested(); }))
            return S_FALSE;
        REFERENCE_TIME start = REFERENCE_TIME(double(at - FSegment.start) / FSegment.rate);
        REFERENCE_TIME stop =
            REFERENCE_TIME(double(at + c.sampleDuration - FSegment.start) / FSegment.rate);
        pSample->SetTime(&start, &stop);
        pSample->SetSyncPoint(FNext % std::max(c.keyInterval, 1) == 0);
        pSample->SetPreroll(at < FSegment.start);
        if (FNext == c.changeAt) {
            AM_MEDIA_TYPE changed = c.changedType;
            pSample->SetMediaType(&changed);
        }
        BYTE* data = nullptr;
        pSample->GetPointer(&data);
        const LONG used = c.fill ? c.fill(FNext, data, pSample->GetSize()) : pSample->GetSize();
        pSample->SetActualDataLength(std::clamp<LONG>(used, 0, pSample->GetSize()));
        ++FNext;
        FOwner->CountDelivered();
        return S_OK;
    }

private:
    TRendererTestSource* const FOwner;
    int FNext = 0;
    TSourceSegment FSegment;
};

} // namespace

TRendererTestSource::TRendererTestSource(TRendererSourceConfig config)
    : CSource(QStringLiteral("Renderer test source"), CLSID_RendererTestSource),
      FConfig(std::move(config)) {
    SetSeeking(std::make_unique<CSourceSeeking>(this, FConfig.samples * FConfig.sampleDuration));
    AddPin(std::make_unique<TRendererTestPin>(this));
}

void TRendererTestSource::HoldAt(int index) {
    std::lock_guard lock(FHoldLock);
    FHoldAt = index;
}

void TRendererTestSource::ReleaseHold() {
    {
        std::lock_guard lock(FHoldLock);
        FHoldAt.reset();
    }
    FHoldChanged.notify_all();
}

void TRendererTestSource::WakeHeld() {
    std::lock_guard lock(FHoldLock);
    FHoldChanged.notify_all();
}

bool TRendererTestSource::WaitUntilFree(int index, const std::function<bool()>& stopping) {
    std::unique_lock lock(FHoldLock);
    while (FHoldAt && index >= *FHoldAt) {
        if (stopping())
            return false;
        FHoldChanged.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

QImage PatternImage(int frame, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uint32_t r = uint32_t(x * 7 + frame * 31) & 0xFF;
            const uint32_t g = uint32_t(y * 5 + frame * 17) & 0xFF;
            const uint32_t b = uint32_t((x ^ y) * 3 + frame * 11) & 0xFF;
            line[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    return image;
}

LONG WriteBitmap(const QImage& upright, BYTE* data, LONG size, int bytesPerPixel, bool topDown) {
    const QImage image = upright.convertToFormat(QImage::Format_RGB32);
    const int stride = (image.width() * bytesPerPixel + 3) & ~3;
    const LONG needed = LONG(stride) * image.height();
    if (needed > size)
        return 0;
    std::memset(data, 0, size_t(needed));
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        BYTE* out = data + size_t(topDown ? y : image.height() - 1 - y) * size_t(stride);
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t p = in[x];
            out[x * bytesPerPixel + 0] = BYTE(p);
            out[x * bytesPerPixel + 1] = BYTE(p >> 8);
            out[x * bytesPerPixel + 2] = BYTE(p >> 16);
            if (bytesPerPixel == 4)
                out[x * bytesPerPixel + 3] = 0; // the fourth byte of RGB32 is not alpha
        }
    }
    return needed;
}

AM_MEDIA_TYPE RgbVideoType(REFGUID subtype, LONG width, LONG height, REFERENCE_TIME duration) {
    const int bytes = subtype == MEDIASUBTYPE_RGB24 ? 3 : 4;
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.AvgTimePerFrame = duration;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = WORD(bytes * 8);
    vih.bmiHeader.biSizeImage = DWORD(((width * bytes + 3) & ~3) * std::abs(height));
    mt.SetFormat(vih);
    mt.lSampleSize = vih.bmiHeader.biSizeImage;
    return mt;
}

AM_MEDIA_TYPE PcmAudioType(int channels, int rate, int bits, bool isFloat) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Audio, isFloat ? MEDIASUBTYPE_IEEE_FLOAT : MEDIASUBTYPE_PCM,
                     FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx;
    wfx.wFormatTag = isFloat ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    wfx.nChannels = WORD(channels);
    wfx.nSamplesPerSec = DWORD(rate);
    wfx.wBitsPerSample = WORD(bits);
    wfx.nBlockAlign = WORD(channels * bits / 8);
    wfx.nAvgBytesPerSec = DWORD(rate) * wfx.nBlockAlign;
    mt.SetFormat(wfx);
    mt.lSampleSize = wfx.nBlockAlign;
    return mt;
}

} // namespace kelvara::test
