#pragma once
// The DV kind: DV frames encoded by libavcodec's dvvideo encoder and assembled by libavformat's
// raw DV muxer, which writes the time code and recording date packs (from the timecode and
// creation_time metadata) and the sound; the sound is rewritten where the muxer cannot write
// the asked rate or depth, and packs are edited in chosen frames. The frames are then written
// as raw DV (.dv), as a type-2 AVI (a dvsd video stream and a PCM stream, written by
// libavformat) or as a type-1 AVI (one interleaved stream, our own RIFF writer).
#include "AviType1Writer.h"
#include "ClipParams.h"
#include "Options.h"

struct TDVClip {
    bool Pal = true;
    TDVFrames Frames;
    int SampleRate = 48000;
    int Bits = 16;
    std::vector<int16_t> Audio; // interleaved stereo, every sample of every frame
};

TDVClip MakeDVFrames(const TOptions& options, TClipParams& params);
void MakeDVClip(const TOptions& options, TClipParams& params);
