#include "platform/filters/AudioDecoder.h"

#include "platform/filters/DecoderInput.h"
#include "platform/filters/DecoderMediaTypes.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace kelvara::ff;

namespace {

constexpr LONG kOutputBuffers = 8;
// A time stamp this close to where the sound already runs continues it (no gap, no jitter).
constexpr REFERENCE_TIME kContinuity = 20 * MILLISECONDS;

CMediaType PcmType(int channels, int rate) {
    WAVEFORMATEX wfx;
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = WORD(channels);
    wfx.nSamplesPerSec = DWORD(rate);
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = WORD(channels * 2);
    wfx.nAvgBytesPerSec = DWORD(rate) * wfx.nBlockAlign;
    CMediaType mt(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    mt.SetFormat(wfx);
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = wfx.nBlockAlign;
    return mt;
}

int SamplesPerBuffer(int rate) {
    return std::max(1024, rate / 10);
}

} // namespace

TAudioDecoder::TAudioDecoder(const QString& name, REFCLSID clsid, TDecoderFamily family)
    : CTransformFilter(name, clsid), FFamily(family), FFrame(NewFrame()), FPacket(NewPacket()) {
    InitLogging();
}

TAudioDecoder::~TAudioDecoder() {
    Stop();
}

HRESULT TAudioDecoder::CheckInputType(const CMediaType* mtIn) {
    if (!mtIn)
        return E_POINTER;
    const TParametersPtr p = AudioCodecParameters(*mtIn);
    return p && FamilyTakesAudio(FFamily, p->codec_id) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TAudioDecoder::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    if (!mtIn || !mtOut)
        return E_POINTER;
    const TParametersPtr p = AudioCodecParameters(*mtIn);
    const auto wfx = mtOut->ReadFormat<WAVEFORMATEX>();
    if (!p || mtOut->majortype != MEDIATYPE_Audio || mtOut->subtype != MEDIASUBTYPE_PCM ||
        mtOut->formattype != FORMAT_WaveFormatEx || !wfx)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const bool ok = wfx->wFormatTag == WAVE_FORMAT_PCM && wfx->wBitsPerSample == 16 &&
                    (wfx->nChannels == 1 || wfx->nChannels == 2) &&
                    wfx->nBlockAlign == wfx->nChannels * 2 && wfx->nSamplesPerSec > 0;
    return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TAudioDecoder::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    const TParametersPtr p = AudioCodecParameters(InputPin()->CurrentMediaType());
    if (!p)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = PcmType(std::min(2, p->ch_layout.nb_channels), p->sample_rate);
    return S_OK;
}

HRESULT TAudioDecoder::SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    if (direction == PINDIR_OUTPUT) {
        if (const auto wfx = pmt->ReadFormat<WAVEFORMATEX>()) {
            FChannels = wfx->nChannels;
            FRate = int(wfx->nSamplesPerSec);
        }
    }
    return S_OK;
}

HRESULT TAudioDecoder::DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) {
    if (!pAllocator || !pprop)
        return E_POINTER;
    ALLOCATOR_PROPERTIES wanted = *pprop;
    wanted.cBuffers = std::max(wanted.cBuffers, kOutputBuffers);
    wanted.cbBuffer = std::max(wanted.cbBuffer, LONG(SamplesPerBuffer(FRate) * FChannels * 2));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= FChannels * 2 ? S_OK : E_FAIL;
}

HRESULT TAudioDecoder::OpenCodec() {
    const TParametersPtr p = AudioCodecParameters(InputPin()->CurrentMediaType());
    const AVCodec* codec = p ? avcodec_find_decoder(p->codec_id) : nullptr;
    if (!codec)
        return VFW_E_UNSUPPORTED_AUDIO;
    TCodecPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), p.get()) < 0)
        return E_OUTOFMEMORY;
    context->pkt_timebase = kMediaTimeBase;
    const int opened = avcodec_open2(context.get(), codec, nullptr);
    if (opened < 0)
        return opened == AVERROR(ENOMEM) ? E_OUTOFMEMORY : VFW_E_UNSUPPORTED_AUDIO;
    FCodec = std::move(context);
    return S_OK;
}

HRESULT TAudioDecoder::StartStreaming() {
    FConverter.SetOutput(FChannels, FRate);
    FNextTime = AV_NOPTS_VALUE;
    FSegmentStart = true;
    return OpenCodec();
}

HRESULT TAudioDecoder::StopStreaming() {
    FCodec.reset();
    FConverter.Reset();
    return S_OK;
}

HRESULT TAudioDecoder::Receive(IMediaSample* pSample) {
    if (!FCodec)
        return VFW_E_WRONG_STATE;
    const HRESULT packed = PacketFromSample(pSample, FPacket.get());
    if (packed != S_OK)
        return FAILED(packed) ? AbortStream(packed) : S_OK;
    bool outOfMemory = false;
    const HRESULT hr = SendAndDrain(
        FCodec.get(), FPacket.get(), [this] { return DrainFrames(); }, &outOfMemory);
    return outOfMemory ? AbortStream(hr) : hr;
}

HRESULT TAudioDecoder::DrainFrames() {
    for (;;) {
        const int r = avcodec_receive_frame(FCodec.get(), FFrame.get());
        if (r < 0)
            return FAILED(CodecFailure(r)) ? AbortStream(E_OUTOFMEMORY) : S_OK;
        REFERENCE_TIME start = FFrame->best_effort_timestamp;
        if (start == AV_NOPTS_VALUE ||
            (FNextTime != AV_NOPTS_VALUE && std::abs(start - FNextTime) < kContinuity))
            start = FNextTime;
        FPcm.clear();
        FConverter.Convert(FFrame.get(), &FPcm);
        av_frame_unref(FFrame.get());
        const HRESULT hr = DeliverPcm(start);
        if (hr != S_OK)
            return hr;
    }
}

HRESULT TAudioDecoder::DeliverPcm(REFERENCE_TIME start) {
    const int64_t samples = int64_t(FPcm.size()) / FChannels;
    if (samples == 0)
        return S_OK;
    if (start == AV_NOPTS_VALUE)
        start = 0;
    FNextTime = start + av_rescale(samples, UNITS, FRate);
    int64_t offset = 0;
    if (start < 0) // sound before the segment start is cut off
        offset = std::min(samples, av_rescale_rnd(-start, FRate, UNITS, AV_ROUND_UP));
    const int64_t perBuffer = SamplesPerBuffer(FRate);
    while (offset < samples) {
        IMediaSample* raw = nullptr;
        HRESULT hr = OutputPin()->GetDeliveryBuffer(&raw, nullptr, nullptr, 0);
        if (FAILED(hr))
            return hr;
        ComPtr<IMediaSample> out;
        out.Attach(raw);
        BYTE* buffer = nullptr;
        out->GetPointer(&buffer);
        const int64_t fits = out->GetSize() / (FChannels * 2);
        const int64_t n = std::min({perBuffer, samples - offset, fits});
        if (!buffer || n <= 0)
            return VFW_E_BUFFER_OVERFLOW;
        std::memcpy(buffer, FPcm.data() + offset * FChannels, size_t(n * FChannels * 2));
        out->SetActualDataLength(LONG(n * FChannels * 2));
        REFERENCE_TIME t0 = start + av_rescale(offset, UNITS, FRate);
        REFERENCE_TIME t1 = start + av_rescale(offset + n, UNITS, FRate);
        out->SetTime(&t0, &t1);
        out->SetSyncPoint(1);
        out->SetDiscontinuity(FSegmentStart);
        FSegmentStart = false;
        hr = OutputPin()->Deliver(out.Get());
        if (hr != S_OK)
            return hr;
        offset += n;
    }
    return S_OK;
}

HRESULT TAudioDecoder::EndOfStream() {
    if (FCodec) {
        avcodec_send_packet(FCodec.get(), nullptr);
        DrainFrames();
        avcodec_flush_buffers(FCodec.get());
        if (InputPin()->HasRunTimeError())
            return S_OK; // the stream was ended by a failure while draining
        FPcm.clear();
        FConverter.Drain(&FPcm);
        DeliverPcm(FNextTime);
    }
    return CTransformFilter::EndOfStream();
}

HRESULT TAudioDecoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    {
        std::lock_guard lock(ReceiveLock());
        if (FCodec)
            avcodec_flush_buffers(FCodec.get());
        FConverter.Reset();
        FNextTime = AV_NOPTS_VALUE;
        FSegmentStart = true;
    }
    return CTransformFilter::NewSegment(tStart, tStop, dRate);
}
