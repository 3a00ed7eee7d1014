#pragma once
// The media types of splitter output pins, built from FFmpeg's stream parameters the way the
// platform's splitters describe their streams:
// - video: FOURCC sub-types with FORMAT_VideoInfo and the codec's extra bytes after the header;
//   MPEG-2 video as MEDIASUBTYPE_MPEG2_VIDEO with FORMAT_MPEG2Video and its sequence header;
//   MPEG-1 video with FORMAT_MPEGVideo and its sequence header; H.264 and HEVC with
//   FORMAT_MPEG2Video (AVC1 with length-prefixed parameter sets, H264 with Annex B ones); DV
//   as dvsd with FORMAT_VideoInfo; bTemporalCompression set for inter-coded video;
// - interleaved DV (type-1 DV AVI): MEDIATYPE_Interleaved, dvsd, FORMAT_DvInfo;
// - audio: FORMAT_WaveFormatEx with the wave format tag and the codec's extra bytes, and the
//   MPEG and Dolby sub-types of the MPEG splitters.
// A codec that has neither a FOURCC nor a wave format tag gets FFmpegCodecSubtype(codec id).
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaType.h"

#include <span>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

// Which splitter describes the stream: the AVI splitter keeps the file's own headers
// (FORMAT_VideoInfo for every video codec), the MPEG splitters use the MPEG and Dolby sub-types.
enum class TSplitterFlavour { Avi, MpegProgram, MpegSystem, Wave, Asf, Generic };

// The type of a stream's output pin; false for streams that get no pin (data, subtitles,
// attachments, codecs FFmpeg does not know). A video stream of unknown size (0 x 0) gets one.
bool StreamMediaType(const AVStream* stream, TSplitterFlavour flavour, CMediaType* type);

// The type of the interleaved pin of a type-1 DV stream, with the packs of its first frame.
CMediaType InterleavedDVType(std::span<const uint8_t> firstFrame);

// The frame duration of a video stream in 100-ns units (0 when the rate is unknown).
REFERENCE_TIME StreamFrameDuration(const AVStream* stream);
