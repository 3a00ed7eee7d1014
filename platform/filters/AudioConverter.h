#pragma once
// Turns decoded sound of any sample format, layout and rate into interleaved 16-bit PCM of the
// audio decoder's output (one or two channels at the output rate) through libswresample; more
// than two channels are mixed down to stereo.
//
// Thread contract: one thread at a time (the decoder's streaming thread).
#include "platform/filters/FFmpegUtil.h"

#include <cstdint>
#include <vector>

class TAudioConverter {
public:
    TAudioConverter() = default;
    ~TAudioConverter();
    TAudioConverter(const TAudioConverter&) = delete;
    TAudioConverter& operator=(const TAudioConverter&) = delete;

    void SetOutput(int channels, int rate);
    int Channels() const { return FChannels; }
    int Rate() const { return FRate; }

    // Appends the frame's samples, converted; false when the frame's format cannot be read.
    bool Convert(const AVFrame* frame, std::vector<int16_t>* out);
    // Appends what the resampler still holds.
    void Drain(std::vector<int16_t>* out);
    // Forgets what the resampler holds (a new segment).
    void Reset();

private:
    bool Prepare(const AVFrame* frame);
    void Append(const uint8_t* const* in, int count, std::vector<int16_t>* out);

    kelvara::ff::TSwrPtr FContext;
    int FChannels = 2, FRate = 48000;
    int FInRate = 0, FInFormat = -1;
    AVChannelLayout FInLayout{};
};
