#include "platform/graph/RendererInputPin.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/BaseRenderer.h"

CRendererInputPin::CRendererInputPin(CBaseRenderer* renderer, HRESULT* phr, const QString& pinName)
    : CBaseInputPin(QStringLiteral("Renderer input pin"), renderer, phr, pinName),
      FRenderer(renderer) {}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* pmt) {
    return pmt ? FRenderer->CheckMediaType(pmt) : E_POINTER;
}

HRESULT CRendererInputPin::SetMediaType(const CMediaType* pmt) {
    const HRESULT hr = CBaseInputPin::SetMediaType(pmt);
    return FAILED(hr) ? hr : FRenderer->SetMediaType(pmt);
}

HRESULT CRendererInputPin::CompleteConnect(IPin* pReceivePin) {
    const HRESULT hr = FRenderer->CompleteConnect(pReceivePin);
    return FAILED(hr) ? hr : CBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT CRendererInputPin::BreakConnect() {
    FRenderer->BreakConnect();
    return CBaseInputPin::BreakConnect();
}

HRESULT CRendererInputPin::Receive(IMediaSample* pSample) {
    std::lock_guard lock(FRenderer->ReceiveLock());
    const HRESULT checked = CBaseInputPin::Receive(pSample);
    if (checked != S_OK)
        return checked;
    bool threw = false;
    const HRESULT hr = HResultOf([&] { return FRenderer->Receive(pSample); }, &threw);
    if (threw)
        FRenderer->AbortRendering(hr);
    return hr;
}

HRESULT CRendererInputPin::EndOfStream() {
    std::lock_guard lock(FRenderer->ReceiveLock());
    const HRESULT hr = CheckStreaming();
    return hr == S_OK ? FRenderer->EndOfStream() : hr;
}

HRESULT CRendererInputPin::EndOfStreamFromReceive() {
    return FRenderer->EndOfStream();
}

HRESULT CRendererInputPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    return FRenderer->BeginFlush();
}

HRESULT CRendererInputPin::EndFlush() {
    const HRESULT hr = FRenderer->EndFlush();
    CBaseInputPin::EndFlush();
    return hr;
}

HRESULT CRendererInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    CBasePin::NewSegment(tStart, tStop, dRate);
    return FRenderer->NewSegment(tStart, tStop, dRate);
}
