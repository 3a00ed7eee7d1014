#include "InfoAudioSink.h"

TInfoAudioSink::TInfoAudioSink()
    : CBaseRenderer(CLSID_InfoAudioSink, QStringLiteral("kelvara-info audio sink")) {}

HRESULT TInfoAudioSink::CheckMediaType(const CMediaType* pmt) {
    return pmt ? S_OK : E_POINTER;
}

HRESULT TInfoAudioSink::DoRenderSample(IMediaSample*) {
    return S_OK;
}
