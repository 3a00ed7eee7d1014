#pragma once
// What the audio renderer reads from its input type: interleaved PCM (8-bit unsigned, 16, 24 or
// 32-bit signed) or 32-bit float, 1 to 8 channels, described by a WAVEFORMATEX or a
// WAVEFORMATEXTENSIBLE whose sub-format is PCM or float. ToFloat turns a payload into
// interleaved floats between -1 and 1, which is what the renderer queues and plays.
#include "platform/graph/MediaType.h"

#include <optional>

struct TAudioFormat {
    int channels = 0;
    int rate = 0;
    int bitsPerSample = 0;
    bool isFloat = false;
    int blockAlign = 0; // bytes per frame (one sample of every channel)

    static std::optional<TAudioFormat> FromMediaType(const AM_MEDIA_TYPE& mt);

    // Converts the whole frames of `bytes` bytes at `data` into `out`, which holds
    // FramesIn(bytes) * channels floats; returns the number of frames.
    int ToFloat(const BYTE* data, size_t bytes, float* out) const;
    int FramesIn(size_t bytes) const {
        return blockAlign > 0 ? int(bytes / size_t(blockAlign)) : 0;
    }
};
