#include "platform/filters/AudioRendererFormat.h"

#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxChannels = 8;
constexpr DWORD kMaxRate = 768000;

// The wave format tag a type stands for: its own, or the extensible format's sub-format.
std::optional<WORD> TagOf(const AM_MEDIA_TYPE& mt, const WAVEFORMATEX& wfx) {
    if (wfx.wFormatTag != WAVE_FORMAT_EXTENSIBLE)
        return wfx.wFormatTag;
    const auto ext = mt.ReadFormat<WAVEFORMATEXTENSIBLE>();
    if (!ext || wfx.cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX))
        return std::nullopt;
    const GUID sub = ext->SubFormat;
    if (sub == MEDIASUBTYPE_PCM)
        return WAVE_FORMAT_PCM;
    if (sub == MEDIASUBTYPE_IEEE_FLOAT)
        return WAVE_FORMAT_IEEE_FLOAT;
    return std::nullopt;
}

int32_t ReadSigned(const BYTE* p, int bytes) {
    switch (bytes) {
    case 2:
        return int16_t(uint16_t(p[0] | (p[1] << 8)));
    case 3:
        return int32_t(uint32_t(p[0] << 8 | p[1] << 16 | p[2] << 24)) >> 8;
    default:
        return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                       uint32_t(p[3]) << 24);
    }
}

} // namespace

std::optional<TAudioFormat> TAudioFormat::FromMediaType(const AM_MEDIA_TYPE& mt) {
    if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx)
        return std::nullopt;
    const auto wfx = mt.ReadFormat<WAVEFORMATEX>();
    if (!wfx)
        return std::nullopt;
    const std::optional<WORD> tag = TagOf(mt, *wfx);
    if (!tag || (*tag != WAVE_FORMAT_PCM && *tag != WAVE_FORMAT_IEEE_FLOAT))
        return std::nullopt;
    if (mt.subtype != MEDIASUBTYPE_PCM && mt.subtype != MEDIASUBTYPE_IEEE_FLOAT &&
        mt.subtype != FourCCGuid(WAVE_FORMAT_EXTENSIBLE))
        return std::nullopt;
    TAudioFormat f;
    f.channels = wfx->nChannels;
    f.rate = int(wfx->nSamplesPerSec);
    f.bitsPerSample = wfx->wBitsPerSample;
    f.isFloat = *tag == WAVE_FORMAT_IEEE_FLOAT;
    f.blockAlign = wfx->nBlockAlign;
    const bool bitsOk = f.isFloat ? f.bitsPerSample == 32
                                  : (f.bitsPerSample == 8 || f.bitsPerSample == 16 ||
                                     f.bitsPerSample == 24 || f.bitsPerSample == 32);
    if (!bitsOk || f.channels < 1 || f.channels > kMaxChannels || wfx->nSamplesPerSec < 1 ||
        wfx->nSamplesPerSec > kMaxRate || f.blockAlign != f.channels * f.bitsPerSample / 8)
        return std::nullopt;
    return f;
}

int TAudioFormat::ToFloat(const BYTE* data, size_t bytes, float* out) const {
    const int frames = FramesIn(bytes);
    const size_t samples = size_t(frames) * size_t(channels);
    const int width = bitsPerSample / 8;
    for (size_t i = 0; i < samples; ++i) {
        const BYTE* p = data + i * size_t(width);
        if (isFloat) {
            float v;
            std::memcpy(&v, p, 4);
            out[i] = v == v ? std::clamp(v, -1.0f, 1.0f) : 0.0f; // NaN plays as silence
        } else if (width == 1) {
            out[i] = float(int(p[0]) - 128) / 128.0f;
        } else {
            const double scale = 1.0 / double(1ull << (bitsPerSample - 1));
            out[i] = float(double(ReadSigned(p, width)) * scale);
        }
    }
    return frames;
}
