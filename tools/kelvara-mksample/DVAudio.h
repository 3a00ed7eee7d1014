#pragma once
// The audio of a DV frame (IEC 61834): the samples of each channel are spread over the audio
// DIF blocks by a fixed shuffle, 16-bit linear (big-endian) or 12-bit non-linear (two channels
// in three bytes), and described by the AAUX source pack of every audio block. libavformat's DV
// muxer writes 16-bit sound only, and at 44.1 and 32 kHz only in 625/50 frames; this writes
// every rate and both depths.
#include <cstdint>
#include <span>

// DIF sequence (within the first half of the frame), audio block (0..8) and byte offset of
// sample n of a frame.
struct TDVAudioPosition {
    int Sequence = 0;
    int Block = 0;
    int Byte = 0;
};

TDVAudioPosition DVAudioPosition(bool pal, int64_t n, bool twelveBit);

// Samples per frame that the AAUX source pack can state, and the count of frame n: 1600, 1602,
// 1602, 1602, 1602 for 48 kHz in 525/60 (the locked pattern), else the even spread of the rate
// over the frame rate.
int DVAudioMinSamples(bool pal, int rate);
int DVAudioMaxSamples(bool pal, int rate);
int DVAudioSamplesInFrame(bool pal, int rate, int64_t frame);
int64_t DVAudioSamplesBefore(bool pal, int rate, int64_t frame);

// The 12-bit non-linear code of a 16-bit sample (the nearest code), and back.
uint16_t DVEncode12(int16_t sample);
int16_t DVDecode12(uint16_t code);

// Writes count stereo samples (interleaved left, right) into the audio blocks of one frame of
// 10 (525/60) or 12 (625/50) DIF sequences, fills unused positions with the no-sample code and
// sets the sample count, rate and depth of every AAUX source pack. In 12-bit mode the pair goes
// into the first half of the sequences and the second half carries silent channels 3 and 4.
void WriteDVAudio(std::span<uint8_t> frame, bool pal, int rate, int bits, const int16_t* stereo,
                  int count);
