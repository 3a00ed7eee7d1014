#pragma once
// The sound of a clip: a 1 kHz tone on the left channel and 1.5 kHz on the right (the same on
// every further channel pair), computed per sample index so that any stretch of it can be made
// again exactly.
#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
}

class TToneSource {
public:
    explicit TToneSource(int sampleRate) : FRate(sampleRate) {}
    int16_t Sample(int64_t index, int channel) const;
    // Fills frame->nb_samples samples from index start in the frame's sample format (s16, s16p,
    // s32, s32p, flt, fltp) and channel count.
    void Fill(AVFrame* frame, int64_t start) const;

private:
    int FRate;
};
