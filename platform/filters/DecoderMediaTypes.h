#pragma once
// What the decoders read from their input media type: the FFmpeg codec and its parameters
// (picture size, sample rate and channels, the codec's extra bytes from the format block), for
// the types the splitters make and for those other splitters make the same way: FOURCC and
// wave-format-tag sub-types, the MPEG and Dolby sub-types, FORMAT_VideoInfo / VideoInfo2 /
// MPEGVideo / MPEG2Video and FORMAT_WaveFormatEx blocks. Every read stays inside the block.
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/MediaType.h"

// The codec parameters of a compressed (or raw YUV) video type; null for other types,
// uncompressed RGB included, and for codecs without a decoder.
kelvara::ff::TParametersPtr VideoCodecParameters(const AM_MEDIA_TYPE& mt);
// The codec parameters of an audio type; null for other types and codecs without a decoder.
kelvara::ff::TParametersPtr AudioCodecParameters(const AM_MEDIA_TYPE& mt);

// The frame duration a video type states (AvgTimePerFrame), 0 when it states none.
REFERENCE_TIME VideoTypeFrameDuration(const AM_MEDIA_TYPE& mt);
