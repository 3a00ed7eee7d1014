#pragma once
// Reading a DV frame (IEC 61834, 25 Mbit/s): its TV system, the auxiliary packs that the
// FORMAT_DvInfo block carries, the audio parameters of the AAUX source pack, and the sound
// itself, unshuffled from the audio DIF blocks into interleaved 16-bit stereo. A frame is 10
// (525/60) or 12 (625/50) DIF sequences of 12000 bytes; every function reads only what the span
// holds, so a short or hostile buffer is never read past its end.
#include "platform/graph/FormatBlocks.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr size_t kDVSequenceBytes = 12000;
inline constexpr size_t kDVFrameBytes525 = 120000;
inline constexpr size_t kDVFrameBytes625 = 144000;

// The system of a frame from the header block of its first sequence; nullopt when the buffer
// does not start with a DV header block.
struct TDVSystem {
    bool pal = true;
    size_t frameBytes = kDVFrameBytes625;
    int sequences = 12;
    REFERENCE_TIME frameDuration = 400000;
};
std::optional<TDVSystem> ReadDVSystem(std::span<const uint8_t> frame);

// The number of the DIF sequence that the buffer starts with, read from the section types of
// its first six blocks (a header, two subcode and three VAUX blocks, the order every sequence
// starts with); nullopt when the buffer does not start with a DIF sequence.
std::optional<int> ReadDVSequenceNumber(std::span<const uint8_t> data);

// Whether the frame was recorded: its first sequence starts with a header block and carries a
// VAUX source pack. A dropout (a frame of zeros, as a capture writes for a damaged stretch of
// tape) is not, and says nothing about the tape's system or sound.
bool IsRecordedDVFrame(std::span<const uint8_t> frame);

// The five bytes of the first pack with `id` in the VAUX blocks (video packs, 0x60..) or the
// audio blocks (0x50..) of one sequence; nullopt when the sequence has none.
std::optional<std::array<uint8_t, 5>> FindDVPack(std::span<const uint8_t> frame, int sequence,
                                                 uint8_t id);

// The packs of FORMAT_DvInfo: AAUX source and control of both audio halves, VAUX source and
// control; a missing pack is 0.
DVINFO ReadDVInfo(std::span<const uint8_t> frame);

// The sound of a frame as its AAUX source pack states it.
struct TDVAudioFormat {
    int rate = 0;    // 48000, 44100 or 32000
    int bits = 0;    // 16 or 12
    int samples = 0; // per channel in this frame
};
std::optional<TDVAudioFormat> ReadDVAudioFormat(std::span<const uint8_t> frame);

// Appends the frame's first stereo pair as interleaved 16-bit samples (format.samples pairs);
// positions that hold the no-sample code give 0. False when the frame is shorter than its
// system says or its audio format is not 16- or 12-bit.
bool ExtractDVAudio(std::span<const uint8_t> frame, const TDVAudioFormat& format,
                    std::vector<int16_t>* stereo);
