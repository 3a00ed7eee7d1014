#include "platform/graph/PosPassThru.h"

CPosPassThru::CPosPassThru(IUnknown* owner, IPin* pin) : FOwner(owner), FPin(pin) {}

ComPtr<IMediaSeeking> CPosPassThru::PeerSeeking() const {
    ComPtr<IPin> peer;
    if (FAILED(FPin->ConnectedTo(peer.ReleaseAndGetAddressOf())))
        return {};
    return peer.As<IMediaSeeking>();
}

#define KELVARA_FORWARD(call)                                                                      \
    ComPtr<IMediaSeeking> seeking = PeerSeeking();                                                 \
    if (!seeking)                                                                                  \
        return E_NOTIMPL;                                                                          \
    return seeking->call

HRESULT CPosPassThru::GetCapabilities(DWORD* p) {
    KELVARA_FORWARD(GetCapabilities(p));
}
HRESULT CPosPassThru::CheckCapabilities(DWORD* p) {
    KELVARA_FORWARD(CheckCapabilities(p));
}
HRESULT CPosPassThru::IsFormatSupported(const GUID* f) {
    KELVARA_FORWARD(IsFormatSupported(f));
}
HRESULT CPosPassThru::QueryPreferredFormat(GUID* f) {
    KELVARA_FORWARD(QueryPreferredFormat(f));
}
HRESULT CPosPassThru::GetTimeFormat(GUID* f) {
    KELVARA_FORWARD(GetTimeFormat(f));
}
HRESULT CPosPassThru::IsUsingTimeFormat(const GUID* f) {
    KELVARA_FORWARD(IsUsingTimeFormat(f));
}
HRESULT CPosPassThru::SetTimeFormat(const GUID* f) {
    KELVARA_FORWARD(SetTimeFormat(f));
}
HRESULT CPosPassThru::GetDuration(LONGLONG* d) {
    KELVARA_FORWARD(GetDuration(d));
}
HRESULT CPosPassThru::GetStopPosition(LONGLONG* s) {
    KELVARA_FORWARD(GetStopPosition(s));
}
HRESULT CPosPassThru::ConvertTimeFormat(LONGLONG* t, const GUID* tf, LONGLONG s, const GUID* sf) {
    KELVARA_FORWARD(ConvertTimeFormat(t, tf, s, sf));
}
HRESULT CPosPassThru::SetPositions(LONGLONG* c, DWORD cf, LONGLONG* s, DWORD sf) {
    KELVARA_FORWARD(SetPositions(c, cf, s, sf));
}
HRESULT CPosPassThru::GetPositions(LONGLONG* c, LONGLONG* s) {
    KELVARA_FORWARD(GetPositions(c, s));
}
HRESULT CPosPassThru::GetAvailable(LONGLONG* e, LONGLONG* l) {
    KELVARA_FORWARD(GetAvailable(e, l));
}
HRESULT CPosPassThru::SetRate(double r) {
    KELVARA_FORWARD(SetRate(r));
}
HRESULT CPosPassThru::GetRate(double* r) {
    KELVARA_FORWARD(GetRate(r));
}
HRESULT CPosPassThru::GetPreroll(LONGLONG* p) {
    KELVARA_FORWARD(GetPreroll(p));
}

HRESULT CPosPassThru::GetCurrentPosition(LONGLONG* pCurrent) {
    if (!pCurrent)
        return E_POINTER;
    if (FCurrentPosition) {
        const HRESULT hr = FCurrentPosition(pCurrent);
        if (SUCCEEDED(hr))
            return hr;
    }
    KELVARA_FORWARD(GetCurrentPosition(pCurrent));
}

#undef KELVARA_FORWARD
