#pragma once
// Ways to damage a media file's bytes for the broken-media corpus: cuts, bit flips from a fixed
// seed, zeroed regions, and headers that lie (AVI sizes and counts, MPEG-2 sequence headers,
// JPEG frame headers, the picture size in an H.264 sequence parameter set). Each patcher returns
// how many places it changed, so that a corpus entry that changed nothing is noticed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>

namespace kelvara::test {

QByteArray Truncated(const QByteArray& bytes, double keep);
// `count` bits flipped at positions drawn from a fixed seed, spread over the whole file.
QByteArray FlipBits(const QByteArray& bytes, uint32_t seed, int count);
QByteArray Zeroed(QByteArray bytes, qsizetype from, qsizetype length);

// The chunks of a RIFF AVI file (lists are walked into).
struct TAviChunk {
    std::string Id;     // "avih", "strh", "LIST", "00dc", ...
    std::string List;   // for LIST and RIFF: "hdrl", "strl", "movi", "AVI "
    qsizetype Offset;   // of the chunk's header
    uint32_t Size;      // as written
    std::string Parent; // the list type it is in
};
std::vector<TAviChunk> AviChunks(const QByteArray& bytes);

// Writes a 32-bit little-endian value at offset.
void Put32(QByteArray& bytes, qsizetype offset, uint32_t value);

// Where the first video frame's payload lies in an AVI file (a ##dc or ##db chunk in movi).
std::optional<std::pair<qsizetype, qsizetype>> FirstAviFrame(const QByteArray& bytes);

// Every MPEG-2 sequence header (00 00 01 B3) made to claim width x height; transport streams
// (packets of 188 bytes) only where the header does not cross a packet's start.
int PatchSequenceHeaders(QByteArray& bytes, int width, int height, bool transportStream);

// Every baseline or extended JPEG frame header (SOF0, SOF1) made to claim width x height.
int PatchJpegFrameHeaders(QByteArray& bytes, int width, int height);

// The sequence parameter set in the file's avcC box rewritten to claim a picture of
// widthMbs x heightMbs macroblocks (cropping and VUI left out, padded to its old length).
// 0 when there is no avcC or its SPS is of a form this does not rewrite.
int PatchAvcPictureSize(QByteArray& bytes, uint32_t widthMbs, uint32_t heightMbs);

} // namespace kelvara::test
