#pragma once
// Media types of the test filters: uncompressed RGB32 video, and a "compressed" test codec
// (FOURCC KLVC) that only the test decoders accept. Every payload starts with the frame index
// and the stream index (two 32-bit numbers), so that tests can tell which frame arrived.
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MediaType.h"
#include "platform/graph/SampleInterfaces.h"

#include <cstdint>

namespace kelvara::test {

inline constexpr GUID MEDIASUBTYPE_TestCodec = FourCCGuid("KLVC");

// A video type with a VIDEOINFOHEADER of the given size and frame duration.
AM_MEDIA_TYPE MakeVideoType(REFGUID subtype, LONG width, LONG height, REFERENCE_TIME frameDuration,
                            bool temporalCompression = false);

struct TFrameStamp {
    uint32_t frame = 0;
    uint32_t stream = 0;
};

// Writes / reads the stamp at the start of a sample's buffer (false when it is too small).
bool WriteStamp(IMediaSample* sample, TFrameStamp stamp);
bool ReadStamp(IMediaSample* sample, TFrameStamp* stamp);

} // namespace kelvara::test
