#pragma once
// Where kelvara-info's audio stream ends after its tap: a renderer that takes any type, shows
// nothing and plays nothing. The tool needs only the stream's description (the tap gives it);
// the sound itself is neither decoded nor sent to a device, so the tool runs as fast as the
// video goes and on machines without sound.
#include "platform/graph/BaseRenderer.h"

inline constexpr CLSID CLSID_InfoAudioSink{
    0x2D6F4A1B, 0x8C3E, 0x4B57, {0x9A, 0x61, 0x0E, 0x4D, 0x2C, 0x73, 0xB5, 0x18}};

class TInfoAudioSink : public CBaseRenderer {
public:
    TInfoAudioSink();
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT DoRenderSample(IMediaSample* pMediaSample) override;
};
