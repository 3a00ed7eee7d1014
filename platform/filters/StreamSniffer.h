#pragma once
// Recognises a byte stream by its first bytes, the way the file source states the sub-type of
// its MEDIATYPE_Stream output: AVI, WAVE, ASF, MPEG-2 transport stream, MPEG-2 program stream
// (and VOB), MPEG-1 system stream, MPEG video elementary stream; GUID_NULL for anything else.
// The splitters use the same answers to refuse streams that are not theirs.
#include "platform/com/Guid.h"

#include <cstdint>
#include <span>

// How many leading bytes the sniffer looks at (more are ignored).
inline constexpr size_t kSniffBytes = 65536;

// The MEDIATYPE_Stream sub-type of a stream that starts with `head`.
GUID SniffStreamSubtype(std::span<const uint8_t> head);

// Offset of the first MPEG pack header (00 00 01 BA) in head, or -1.
long FindPackHeader(std::span<const uint8_t> head);
