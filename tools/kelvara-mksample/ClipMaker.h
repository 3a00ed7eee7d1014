#pragma once
// Encodes and muxes a clip with libavformat: pictures from TPictureSource, sound from
// TToneSource, the container and codecs of a TClipRecipe.
#include "ClipParams.h"
#include "Encoders.h"

#include <string>

struct TClipRecipe {
    std::string Container; // libavformat muxer name
    bool HasVideo = true;
    TVideoSettings Video;
    bool HasAudio = true;
    TAudioSettings Audio;
};

// Number of pictures of a clip of the given length.
int64_t FrameCount(double seconds, AVRational rate);

// Writes the clip to out and records its parameters.
void MakeEncodedClip(const TClipRecipe& recipe, const std::string& out, double seconds,
                     const std::string& pattern, TClipParams& params);
