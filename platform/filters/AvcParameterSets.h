#pragma once
// The two ways H.264 parameter sets travel: FFmpeg's avcC record (MP4, Matroska) and the
// sequence header of an AVC1 FORMAT_MPEG2Video block, where each SPS and PPS is preceded by its
// length in two big-endian bytes and dwFlags holds the NAL length size. The splitters write the
// second from the first; the decoders rebuild the first from the second.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct TAvcSequenceHeader {
    std::vector<uint8_t> sets; // length-prefixed SPS, then PPS
    int nalLengthSize = 4;
    int profile = 0;
    int level = 0;
};

// nullopt when the bytes are not an avcC record (it is read within its bounds).
std::optional<TAvcSequenceHeader> SequenceHeaderFromAvcC(std::span<const uint8_t> avcC);

// The avcC record of length-prefixed parameter sets; empty when they hold no SPS, a set runs
// past the end, or nalLengthSize is not 1, 2 or 4.
std::vector<uint8_t> AvcCFromSequenceHeader(std::span<const uint8_t> sets, int nalLengthSize);
