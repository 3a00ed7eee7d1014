#include "modules/support/PrivateDecoders.h"

#include "modules/support/PackageSettings.h"
#include "platform/filters/DecoderMediaTypes.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SampleInterfaces.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool Refuses(const QSet<QString>& refused, const kelvara::ff::TParametersPtr& parameters) {
    return parameters && refused.contains(TPackageSettings::CodecName(parameters->codec_id));
}

} // namespace

TPrivateVideoDecoder::TPrivateVideoDecoder(const QString& name, REFCLSID clsid,
                                           const QString& settingsKey, bool postProcessing)
    : TVideoDecoder(name, clsid, TDecoderFamily::All), FPostCapable(postProcessing),
      FDeinterlace(postProcessing &&
                   TPackageSettings(settingsKey).Flag(QStringLiteral("Deinterlace"), false)),
      FRefused(TPackageSettings(settingsKey).RefusedCodecs()) {}

bool TPrivateVideoDecoder::IsRgb32(const CMediaType& mt) {
    if (mt.majortype != MEDIATYPE_Video || mt.subtype != MEDIASUBTYPE_RGB32 ||
        mt.formattype != FORMAT_VideoInfo)
        return false;
    const VIDEOINFOHEADER* vih = mt.FormatAs<VIDEOINFOHEADER>();
    return vih && vih->bmiHeader.biWidth > 0 && vih->bmiHeader.biHeight != 0 &&
           vih->bmiHeader.biBitCount == 32;
}

HRESULT TPrivateVideoDecoder::CheckInputType(const CMediaType* mtIn) {
    if (!mtIn)
        return E_POINTER;
    if (FPostCapable && IsRgb32(*mtIn))
        return S_OK;
    if (Refuses(FRefused, VideoCodecParameters(*mtIn)))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return TVideoDecoder::CheckInputType(mtIn);
}

HRESULT TPrivateVideoDecoder::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    if (!mtIn || !mtOut)
        return E_POINTER;
    if (!FPostCapable || !IsRgb32(*mtIn))
        return TVideoDecoder::CheckTransform(mtIn, mtOut);
    if (!IsRgb32(*mtOut))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const auto& in = mtIn->FormatAs<VIDEOINFOHEADER>()->bmiHeader;
    const auto& out = mtOut->FormatAs<VIDEOINFOHEADER>()->bmiHeader;
    return in.biWidth == out.biWidth && in.biHeight == out.biHeight ? S_OK
                                                                    : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TPrivateVideoDecoder::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!FPostProcess)
        return TVideoDecoder::GetMediaType(iPosition, pMediaType);
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = InputPin()->CurrentMediaType();
    return S_OK;
}

HRESULT TPrivateVideoDecoder::DecideBufferSize(IMemAllocator* pAllocator,
                                               ALLOCATOR_PROPERTIES* pprop) {
    if (!FPostProcess)
        return TVideoDecoder::DecideBufferSize(pAllocator, pprop);
    if (!pAllocator || !pprop)
        return E_POINTER;
    ALLOCATOR_PROPERTIES wanted = *pprop;
    wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 2);
    wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, LONG(4) * FWidth * FHeight);
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 16);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= wanted.cbBuffer ? S_OK : E_FAIL;
}

HRESULT TPrivateVideoDecoder::SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) {
    if (direction == PINDIR_INPUT && pmt) {
        FPostProcess = FPostCapable && IsRgb32(*pmt);
        if (FPostProcess) {
            const auto& bmi = pmt->FormatAs<VIDEOINFOHEADER>()->bmiHeader;
            FWidth = bmi.biWidth;
            FHeight = std::abs(bmi.biHeight);
        }
    }
    if (FPostProcess)
        return CTransformFilter::SetMediaType(direction, pmt);
    return TVideoDecoder::SetMediaType(direction, pmt);
}

HRESULT TPrivateVideoDecoder::StartStreaming() {
    return FPostProcess ? S_OK : TVideoDecoder::StartStreaming();
}

HRESULT TPrivateVideoDecoder::StopStreaming() {
    return FPostProcess ? S_OK : TVideoDecoder::StopStreaming();
}

HRESULT TPrivateVideoDecoder::Receive(IMediaSample* pSample) {
    return FPostProcess ? CTransformFilter::Receive(pSample) : TVideoDecoder::Receive(pSample);
}

HRESULT TPrivateVideoDecoder::EndOfStream() {
    return FPostProcess ? CTransformFilter::EndOfStream() : TVideoDecoder::EndOfStream();
}

HRESULT TPrivateVideoDecoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop,
                                         double dRate) {
    return FPostProcess ? CTransformFilter::NewSegment(tStart, tStop, dRate)
                        : TVideoDecoder::NewSegment(tStart, tStop, dRate);
}

HRESULT TPrivateVideoDecoder::BeginFlush() {
    return FPostProcess ? CTransformFilter::BeginFlush() : TVideoDecoder::BeginFlush();
}

HRESULT TPrivateVideoDecoder::SkipUntil(REFERENCE_TIME sampleTime) {
    if (!FPostProcess)
        return TVideoDecoder::SkipUntil(sampleTime);
    ComPtr<IPin> peer;
    if (FAILED(InputPin()->ConnectedTo(peer.GetAddressOf())) || !peer)
        return VFW_E_NOT_CONNECTED;
    const auto decoder = QueryInterfaceOf<IDecodeAhead>(FilterOf(peer.Get()).Get());
    return decoder ? decoder->SkipUntil(sampleTime) : E_NOINTERFACE;
}

HRESULT TPrivateVideoDecoder::Transform(IMediaSample* pIn, IMediaSample* pOut) {
    if (!FPostProcess)
        return TVideoDecoder::Transform(pIn, pOut);
    BYTE* source = nullptr;
    BYTE* target = nullptr;
    if (FAILED(pIn->GetPointer(&source)) || FAILED(pOut->GetPointer(&target)))
        return E_POINTER;
    const long bytes = long(4) * FWidth * FHeight;
    if (pIn->GetActualDataLength() < bytes || pOut->GetSize() < bytes)
        return S_FALSE; // a short picture is dropped, not read past its end
    if (FDeinterlace) {
        const QImage in(source, FWidth, FHeight, qsizetype(4) * FWidth, QImage::Format_RGB32);
        QImage out(target, FWidth, FHeight, qsizetype(4) * FWidth, QImage::Format_RGB32);
        FDeinterlacer.Deinterlace(in, out);
        if (out.constBits() != target)
            std::memcpy(target, out.constBits(), size_t(bytes));
    } else {
        std::memcpy(target, source, size_t(bytes));
    }
    pOut->SetActualDataLength(bytes);
    return S_OK;
}

TPrivateAudioDecoder::TPrivateAudioDecoder(const QString& name, REFCLSID clsid,
                                           const QString& settingsKey)
    : TAudioDecoder(name, clsid, TDecoderFamily::All),
      FRefused(TPackageSettings(settingsKey).RefusedCodecs()) {}

HRESULT TPrivateAudioDecoder::CheckInputType(const CMediaType* mtIn) {
    if (!mtIn)
        return E_POINTER;
    if (Refuses(FRefused, AudioCodecParameters(*mtIn)))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return TAudioDecoder::CheckInputType(mtIn);
}
