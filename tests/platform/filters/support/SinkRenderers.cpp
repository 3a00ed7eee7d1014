#include "tests/platform/filters/support/SinkRenderers.h"

#include "platform/graph/GraphWait.h"
#include "platform/graph/MediaGuids.h"

#include <cstring>

namespace kelvara::test {

TPixelSink::TPixelSink() : CBaseRenderer(CLSID_TestPixelSink, QStringLiteral("Pixel sink")) {}

HRESULT TPixelSink::CheckMediaType(const CMediaType* pmt) {
    const auto vih = pmt->ReadFormat<VIDEOINFOHEADER>();
    return pmt->majortype == MEDIATYPE_Video && pmt->subtype == MEDIASUBTYPE_RGB32 &&
                   pmt->formattype == FORMAT_VideoInfo && vih && vih->bmiHeader.biBitCount == 32
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TPixelSink::SetMediaType(const CMediaType* pmt) {
    const auto vih = pmt->ReadFormat<VIDEOINFOHEADER>();
    std::lock_guard lock(FLock);
    FWidth = vih->bmiHeader.biWidth;
    FHeight = std::abs(vih->bmiHeader.biHeight);
    FBottomUp = vih->bmiHeader.biHeight > 0;
    return S_OK;
}

HRESULT TPixelSink::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    TShownFrame shown;
    shown.hasTime = SUCCEEDED(sample->GetTime(&shown.start, &shown.stop));
    shown.discontinuity = sample->IsDiscontinuity() == S_OK;
    {
        std::lock_guard lock(FLock);
        const size_t row = size_t(FWidth) * 4;
        FPixels.resize(row * size_t(FHeight));
        if (data && size_t(sample->GetActualDataLength()) >= FPixels.size())
            for (int y = 0; y < FHeight; ++y)
                std::memcpy(FPixels.data() + size_t(y) * row,
                            data + size_t(FBottomUp ? FHeight - 1 - y : y) * row, row);
        FShown.push_back(shown);
    }
    GraphWakeWaiters();
    return S_OK;
}

int TPixelSink::Width() const {
    std::lock_guard lock(FLock);
    return FWidth;
}

int TPixelSink::Height() const {
    std::lock_guard lock(FLock);
    return FHeight;
}

std::vector<uint8_t> TPixelSink::LastPixels() const {
    std::lock_guard lock(FLock);
    return FPixels;
}

std::vector<TShownFrame> TPixelSink::Shown() const {
    std::lock_guard lock(FLock);
    return FShown;
}

size_t TPixelSink::ShownCount() const {
    std::lock_guard lock(FLock);
    return FShown.size();
}

void TPixelSink::Clear() {
    std::lock_guard lock(FLock);
    FShown.clear();
}

TPcmSink::TPcmSink() : CBaseRenderer(CLSID_TestPcmSink, QStringLiteral("PCM sink")) {}

HRESULT TPcmSink::CheckMediaType(const CMediaType* pmt) {
    const auto wfx = pmt->ReadFormat<WAVEFORMATEX>();
    return pmt->majortype == MEDIATYPE_Audio && pmt->subtype == MEDIASUBTYPE_PCM && wfx &&
                   wfx->wBitsPerSample == 16 && (wfx->nChannels == 1 || wfx->nChannels == 2)
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TPcmSink::SetMediaType(const CMediaType* pmt) {
    const auto wfx = pmt->ReadFormat<WAVEFORMATEX>();
    std::lock_guard lock(FLock);
    FChannels = wfx->nChannels;
    FRate = int(wfx->nSamplesPerSec);
    return S_OK;
}

HRESULT TPcmSink::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&start, &stop));
    {
        std::lock_guard lock(FLock);
        const auto* pcm = reinterpret_cast<const int16_t*>(data);
        FSamples.insert(FSamples.end(), pcm, pcm + length / 2);
        FStarts.push_back(timed ? start : -1);
    }
    GraphWakeWaiters();
    return S_OK;
}

int TPcmSink::Channels() const {
    std::lock_guard lock(FLock);
    return FChannels;
}

int TPcmSink::Rate() const {
    std::lock_guard lock(FLock);
    return FRate;
}

std::vector<int16_t> TPcmSink::Samples() const {
    std::lock_guard lock(FLock);
    return FSamples;
}

std::vector<REFERENCE_TIME> TPcmSink::Starts() const {
    std::lock_guard lock(FLock);
    return FStarts;
}

void TPcmSink::Clear() {
    std::lock_guard lock(FLock);
    FSamples.clear();
    FStarts.clear();
}

} // namespace kelvara::test
