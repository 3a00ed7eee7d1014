#include "tests/platform/graph/testkit/TestDecoder.h"

#include "platform/graph/MediaSample.h"

#include <algorithm>

namespace kelvara::test {

CLSID TestDecoderClsid(int which) {
    return GUID{0x6B1C2D3E,
                0x1A2B,
                0x4C5D,
                {0x9E, 0x01, 0x10, 0x20, 0x30, 0x40, 0x60, uint8_t(0x10 + which)}};
}

TTestDecoder::TTestDecoder(REFCLSID clsid)
    : CTransformFilter(QStringLiteral("Test decoder"), clsid) {}

HRESULT TTestDecoder::CheckInputType(const CMediaType* mtIn) {
    return mtIn->majortype == MEDIATYPE_Video && mtIn->subtype == MEDIASUBTYPE_TestCodec &&
                   mtIn->formattype == FORMAT_VideoInfo && mtIn->FormatAs<VIDEOINFOHEADER>()
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TTestDecoder::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
    if (CheckInputType(mtIn) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return mtOut->majortype == MEDIATYPE_Video && mtOut->subtype == MEDIASUBTYPE_RGB32
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TTestDecoder::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    const CMediaType in = InputPin()->CurrentMediaType();
    const VIDEOINFOHEADER* vih = in.FormatAs<VIDEOINFOHEADER>();
    if (!vih)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = MakeVideoType(MEDIASUBTYPE_RGB32, vih->bmiHeader.biWidth, vih->bmiHeader.biHeight,
                                vih->AvgTimePerFrame);
    return S_OK;
}

HRESULT TTestDecoder::DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) {
    ALLOCATOR_PROPERTIES wanted = *pprop;
    wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 3);
    wanted.cbBuffer =
        std::max<LONG>(wanted.cbBuffer, LONG(OutputPin()->CurrentMediaType().lSampleSize));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

HRESULT TTestDecoder::Transform(IMediaSample* pIn, IMediaSample* pOut) {
    ++FDecoded;
    if (pIn->IsPreroll() == S_OK)
        ++FPreroll;
    TFrameStamp stamp;
    if (!ReadStamp(pIn, &stamp))
        return E_FAIL;
    pOut->SetActualDataLength(pOut->GetSize());
    WriteStamp(pOut, stamp);
    return S_OK;
}

TRegFilter TestDecoderRegistration(int which, DWORD merit) {
    TRegFilter reg;
    reg.clsid = TestDecoderClsid(which);
    reg.name = QStringLiteral("Test Decoder %1").arg(QChar('A' + which));
    reg.merit = merit;
    TRegFilterPin in;
    in.mediaTypes.push_back({MEDIATYPE_Video, MEDIASUBTYPE_TestCodec});
    TRegFilterPin out;
    out.bOutput = true;
    out.mediaTypes.push_back({MEDIATYPE_Video, MEDIASUBTYPE_RGB32});
    reg.pins = {in, out};
    return reg;
}

TScopedRegistration::TScopedRegistration(const TRegFilter& filter, TCreateInstanceFn create)
    : FClsid(filter.clsid) {
    TClassRegistry::Instance().RegisterClass(filter.clsid, std::move(create));
    TClassRegistry::Instance().RegisterFilter(filter);
}

TScopedRegistration::~TScopedRegistration() {
    TClassRegistry::Instance().Unregister(FClsid);
}

TScopedTestDecoder::TScopedTestDecoder(int which, DWORD merit)
    : TScopedRegistration(
          TestDecoderRegistration(which, merit), [which](IUnknown*, REFIID riid, void** ppv) {
              ComPtr<TTestDecoder> decoder = MakeComObject<TTestDecoder>(TestDecoderClsid(which));
              return decoder->QueryInterface(riid, ppv);
          }) {}

} // namespace kelvara::test
