#pragma once
// Reads the stream headers at the start of an AVI file for what FFmpeg's demuxer does not say:
// whether a stream is interleaved DV ("iavs", a type-1 DV AVI), which the AVI splitter offers
// as one MEDIATYPE_Interleaved pin rather than as video and audio. The walk over the RIFF
// chunks stays inside the bytes it is given.
#include <cstdint>
#include <span>

// True when the header list of the AVI file that starts with `head` has an "iavs" stream.
bool HasInterleavedDVStream(std::span<const uint8_t> head);
