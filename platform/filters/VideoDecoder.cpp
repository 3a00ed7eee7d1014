#include "platform/filters/VideoDecoder.h"

#include "platform/filters/DecoderInput.h"
#include "platform/filters/DecoderMediaTypes.h"
#include "platform/filters/PictureLimits.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

using namespace kelvara::ff;

namespace {

// Output samples: one shown, one queued, one being filled.
constexpr LONG kOutputBuffers = 3;

CMediaType Rgb32Type(int width, int height, REFERENCE_TIME frameDuration) {
    CMediaType mt(MEDIATYPE_Video, MEDIASUBTYPE_RGB32, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.rcSource = vih.rcTarget = RECT{0, 0, width, height};
    vih.AvgTimePerFrame = frameDuration;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = 32;
    vih.bmiHeader.biCompression = BI_RGB;
    vih.bmiHeader.biSizeImage = DWORD(width) * DWORD(height) * 4;
    vih.dwBitRate = DWORD(std::min<int64_t>(
        0xFFFFFFFF,
        frameDuration > 0 ? int64_t(vih.bmiHeader.biSizeImage) * 8 * UNITS / frameDuration : 0));
    mt.SetFormat(vih);
    mt.bFixedSizeSamples = 1;
    mt.bTemporalCompression = 0;
    mt.lSampleSize = vih.bmiHeader.biSizeImage;
    return mt;
}

} // namespace

TVideoDecoder::TVideoDecoder(const QString& name, REFCLSID clsid, TDecoderFamily family)
    : CTransformFilter(name, clsid), FFamily(family), FFrame(NewFrame()), FPacket(NewPacket()) {
    InitLogging();
}

TVideoDecoder::~TVideoDecoder() {
    Stop();
}

HRESULT TVideoDecoder::CheckInputType(const CMediaType* mtIn) {
    if (!mtIn)
        return E_POINTER;
    const TParametersPtr p = VideoCodecParameters(*mtIn);
    if (!p || !FamilyTakesVideo(FFamily, p->codec_id))
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (!IsPictureSizeAllowed(p->width, p->height)) {
        GRAPH_TRACE(QStringLiteral("%1: pictures of %2 x %3 are larger than the program shows "
                                   "(%4 on a side, %5 pixels in all)")
                        .arg(ObjectName())
                        .arg(p->width)
                        .arg(p->height)
                        .arg(kMaxPictureSide)
                        .arg(kMaxPicturePixels));
        return KELVARA_E_PICTURE_TOO_LARGE;
    }
    return S_OK;
}

HRESULT TVideoDecoder::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    if (!mtIn || !mtOut)
        return E_POINTER;
    const TParametersPtr p = VideoCodecParameters(*mtIn);
    const auto vih = mtOut->ReadFormat<VIDEOINFOHEADER>();
    if (!p || mtOut->majortype != MEDIATYPE_Video || mtOut->subtype != MEDIASUBTYPE_RGB32 ||
        mtOut->formattype != FORMAT_VideoInfo || !vih)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const bool sameSize =
        vih->bmiHeader.biWidth == p->width &&
        (vih->bmiHeader.biHeight == p->height || vih->bmiHeader.biHeight == -p->height);
    return sameSize && vih->bmiHeader.biBitCount == 32 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TVideoDecoder::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    const CMediaType in = InputPin()->CurrentMediaType();
    const TParametersPtr p = VideoCodecParameters(in);
    if (!p)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = Rgb32Type(p->width, p->height, VideoTypeFrameDuration(in));
    return S_OK;
}

HRESULT TVideoDecoder::SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    if (direction == PINDIR_INPUT) {
        FFrameDuration = VideoTypeFrameDuration(*pmt);
    } else if (const auto vih = pmt->ReadFormat<VIDEOINFOHEADER>()) {
        FWidth = vih->bmiHeader.biWidth;
        FHeight = std::abs(vih->bmiHeader.biHeight);
        FTopDown = vih->bmiHeader.biHeight < 0;
    }
    return S_OK;
}

HRESULT TVideoDecoder::DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) {
    if (!pAllocator || !pprop)
        return E_POINTER;
    const CMediaType out = OutputPin()->CurrentMediaType();
    ALLOCATOR_PROPERTIES wanted = *pprop;
    wanted.cBuffers = std::max(wanted.cBuffers, kOutputBuffers);
    wanted.cbBuffer = std::max(wanted.cbBuffer, LONG(out.lSampleSize));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 16);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= wanted.cbBuffer ? S_OK : E_FAIL;
}

HRESULT TVideoDecoder::OpenCodec() {
    const TParametersPtr p = VideoCodecParameters(InputPin()->CurrentMediaType());
    const AVCodec* codec = p ? avcodec_find_decoder(p->codec_id) : nullptr;
    if (!codec)
        return VFW_E_UNSUPPORTED_VIDEO;
    TCodecPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), p.get()) < 0)
        return E_OUTOFMEMORY;
    context->pkt_timebase = kMediaTimeBase;
    // The codec refuses a picture larger than the program shows before it allocates it (a
    // stream whose parameter sets change to a larger size midway).
    context->max_pixels = kMaxPicturePixels;
    // Each frame thread holds pictures of its own: as many as the machine has, within the
    // memory bound for the picture size (decoded pictures taken at up to 3 bytes a pixel).
    context->thread_count =
        DecoderThreadsFor(p->width, p->height, 3.0, int(std::thread::hardware_concurrency()));
    context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    // Damaged pictures are concealed and shown rather than dropped, as FFmpeg's own tools do.
    context->error_concealment = FF_EC_GUESS_MVS | FF_EC_DEBLOCK;
    const int opened = avcodec_open2(context.get(), codec, nullptr);
    if (opened < 0)
        return opened == AVERROR(ENOMEM) ? E_OUTOFMEMORY : VFW_E_UNSUPPORTED_VIDEO;
    GRAPH_TRACE(QStringLiteral("%1: %2 for %3 x %4, %5 thread(s)")
                    .arg(ObjectName(), QString::fromLatin1(codec->name))
                    .arg(p->width)
                    .arg(p->height)
                    .arg(context->thread_count));
    FCodec = std::move(context);
    return S_OK;
}

HRESULT TVideoDecoder::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IDecodeAhead)
        return GetInterface(static_cast<IDecodeAhead*>(this), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TVideoDecoder::SkipUntil(REFERENCE_TIME sampleTime) {
    if (!FCodec)
        return VFW_E_WRONG_STATE;
    FSkipUntil.store(sampleTime);
    return S_OK;
}

HRESULT TVideoDecoder::BeginFlush() {
    FSkipUntil.store(kNoSkip);
    return CTransformFilter::BeginFlush();
}

HRESULT TVideoDecoder::StartStreaming() {
    FSkipUntil.store(kNoSkip);
    FNextTime = AV_NOPTS_VALUE;
    FSegmentStart = true;
    FSkippedWidth = FSkippedHeight = 0;
    return OpenCodec();
}

HRESULT TVideoDecoder::StopStreaming() {
    FCodec.reset();
    return S_OK;
}

HRESULT TVideoDecoder::Receive(IMediaSample* pSample) {
    if (!FCodec)
        return VFW_E_WRONG_STATE;
    const HRESULT packed = PacketFromSample(pSample, FPacket.get());
    if (packed != S_OK)
        return FAILED(packed) ? AbortStream(packed) : S_OK;
    LONGLONG decodeStart = 0, decodeStop = 0;
    FPacket->dts =
        SUCCEEDED(pSample->GetMediaTime(&decodeStart, &decodeStop)) ? decodeStart : AV_NOPTS_VALUE;
    if (pSample->IsSyncPoint() == S_OK)
        FPacket->flags |= AV_PKT_FLAG_KEY;
    bool outOfMemory = false;
    const HRESULT hr = SendAndDrain(
        FCodec.get(), FPacket.get(), [this] { return DrainFrames(); }, &outOfMemory);
    return outOfMemory ? AbortStream(hr) : hr;
}

HRESULT TVideoDecoder::DrainFrames() {
    for (;;) {
        const int r = avcodec_receive_frame(FCodec.get(), FFrame.get());
        if (r < 0)
            return FAILED(CodecFailure(r)) ? AbortStream(E_OUTOFMEMORY) : S_OK;
        ++FDecoded;
        const HRESULT hr = DeliverFrame(FFrame.get());
        av_frame_unref(FFrame.get());
        if (hr != S_OK)
            return hr;
    }
}

HRESULT TVideoDecoder::DeliverFrame(const AVFrame* frame) {
    REFERENCE_TIME start = frame->best_effort_timestamp;
    if (start == AV_NOPTS_VALUE)
        start = FNextTime;
    REFERENCE_TIME duration = FFrameDuration;
    if (duration <= 0 && frame->pkt_duration > 0)
        duration = frame->pkt_duration;
    if (start != AV_NOPTS_VALUE)
        FNextTime = start + duration;
    const bool preroll =
        start != AV_NOPTS_VALUE && (duration > 0 ? 2 * start < -duration : start < 0);
    if (preroll || !TakesPicture(frame))
        return S_OK;
    const REFERENCE_TIME skipUntil = FSkipUntil.load();
    if (skipUntil != kNoSkip && start != AV_NOPTS_VALUE) {
        if (start + std::max<REFERENCE_TIME>(duration, 1) <= skipUntil)
            return S_OK;
        FSkipUntil.store(kNoSkip);
    }
    IMediaSample* raw = nullptr;
    HRESULT hr = OutputPin()->GetDeliveryBuffer(&raw, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    ComPtr<IMediaSample> out;
    out.Attach(raw);
    BYTE* buffer = nullptr;
    out->GetPointer(&buffer);
    const LONG bytes = LONG(FWidth) * LONG(FHeight) * 4;
    if (!buffer || out->GetSize() < bytes)
        return VFW_E_BUFFER_OVERFLOW;
    const int stride = FWidth * 4;
    const bool converted =
        FTopDown ? FConverter.Convert(frame, buffer + size_t(FHeight - 1) * size_t(stride), FWidth,
                                      FHeight, -stride)
                 : FConverter.Convert(frame, buffer, FWidth, FHeight, stride);
    if (!converted) {
        GRAPH_TRACE(QStringLiteral("%1: a picture of format %2 cannot be converted")
                        .arg(ObjectName())
                        .arg(frame->format));
        return S_OK;
    }
    out->SetActualDataLength(bytes);
    if (start != AV_NOPTS_VALUE) {
        REFERENCE_TIME stop = start + std::max<REFERENCE_TIME>(duration, 1);
        out->SetTime(&start, &stop);
    }
    out->SetSyncPoint(1);
    out->SetDiscontinuity(FSegmentStart);
    FSegmentStart = false;
    hr = OutputPin()->Deliver(out.Get());
    if (hr == S_OK)
        ++FDelivered;
    return hr;
}

bool TVideoDecoder::TakesPicture(const AVFrame* frame) {
    if (IsPictureSizeAllowed(frame->width, frame->height))
        return true;
    // A stream that grows beyond the limit midway: its pictures are skipped (told once per size)
    // until it comes back within it.
    if (frame->width != FSkippedWidth || frame->height != FSkippedHeight) {
        FSkippedWidth = frame->width;
        FSkippedHeight = frame->height;
        GRAPH_TRACE(QStringLiteral("%1: a picture of %2 x %3 is larger than the program shows, "
                                   "skipped")
                        .arg(ObjectName())
                        .arg(frame->width)
                        .arg(frame->height));
    }
    return false;
}

HRESULT TVideoDecoder::EndOfStream() {
    if (FCodec) {
        // What the decoder still holds (reordered and threaded frames) comes out now.
        avcodec_send_packet(FCodec.get(), nullptr);
        DrainFrames();
        avcodec_flush_buffers(FCodec.get());
        if (InputPin()->HasRunTimeError())
            return S_OK; // the stream was ended by a failure while draining
    }
    return CTransformFilter::EndOfStream();
}

HRESULT TVideoDecoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    {
        std::lock_guard lock(ReceiveLock());
        if (FCodec)
            avcodec_flush_buffers(FCodec.get());
        FNextTime = AV_NOPTS_VALUE;
        FSegmentStart = true;
        FSkipUntil.store(kNoSkip);
    }
    return CTransformFilter::NewSegment(tStart, tStop, dRate);
}
