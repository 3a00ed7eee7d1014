#include "platform/filters/AudioRendererBuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// Time stamps within this of where the frames would land anyway are taken as contiguous.
constexpr REFERENCE_TIME kTolerance = 30 * MILLISECONDS;

} // namespace

TAudioBuffer::TAudioBuffer(int channels, int rate, REFERENCE_TIME capacity)
    : FChannels(std::max(channels, 1)), FRate(std::max(rate, 1)),
      FCapacity(int(std::max<long long>(capacity * FRate / UNITS, 1))),
      FRing(size_t(FCapacity) * size_t(FChannels)) {}

void TAudioBuffer::SetHeadTime(REFERENCE_TIME time) {
    FBaseTime = time;
    FHeadFrames = 0;
    FHasTime = true;
}

void TAudioBuffer::Clear() {
    FHead = 0;
    FCount = 0;
    FBaseTime = 0;
    FHeadFrames = 0;
    FHasTime = false;
}

void TAudioBuffer::DropOldest(int count) {
    count = std::clamp(count, 0, FCount);
    FHead = (FHead + count) % FCapacity;
    FCount -= count;
    FHeadFrames += count;
}

void TAudioBuffer::Append(const float* frames, long long count) {
    if (count <= 0)
        return;
    if (count > FCapacity) {
        // More than fits: only the last FCapacity frames stay, the rest passes as if played.
        const long long skipped = count - FCapacity;
        FHeadFrames += FCount + skipped;
        FHead = 0;
        FCount = 0;
        if (frames)
            frames += skipped * FChannels;
        count = FCapacity;
    }
    DropOldest(int(count) - (FCapacity - FCount));
    int at = (FHead + FCount) % FCapacity;
    long long left = count;
    while (left > 0) {
        const int run = int(std::min<long long>(left, FCapacity - at));
        float* to = FRing.data() + size_t(at) * size_t(FChannels);
        const size_t values = size_t(run) * size_t(FChannels);
        if (frames) {
            std::memcpy(to, frames, values * sizeof(float));
            frames += values;
        } else {
            std::fill_n(to, values, 0.0f);
        }
        FCount += run;
        left -= run;
        at = (at + run) % FCapacity;
    }
}

void TAudioBuffer::Push(const float* frames, int count, REFERENCE_TIME start,
                        std::optional<REFERENCE_TIME> heardNext) {
    if (count <= 0 || !frames)
        return;
    if (FCount == 0) {
        if (!heardNext) {
            SetHeadTime(start);
            Append(frames, count);
            return;
        }
        SetHeadTime(*heardNext);
    }
    const REFERENCE_TIME expected = HeadTime() + DurationOf(FCount);
    const REFERENCE_TIME gap = start - expected;
    if (gap > kTolerance) {
        Append(nullptr, FramesOf(gap));
    } else if (gap < -kTolerance) {
        const long long late = FramesOf(-gap);
        if (late >= count)
            return;
        frames += late * FChannels;
        count -= int(late);
    }
    Append(frames, count);
}

void TAudioBuffer::PrependSilence(REFERENCE_TIME duration) {
    const int frames = int(std::clamp<long long>(FramesOf(duration), 0, FCapacity - FCount));
    if (frames == 0)
        return;
    FHead = (FHead - frames % FCapacity + FCapacity) % FCapacity;
    for (int i = 0; i < frames; ++i)
        std::fill_n(FRing.data() + size_t((FHead + i) % FCapacity) * size_t(FChannels), FChannels,
                    0.0f);
    FCount += frames;
    FHeadFrames -= frames;
}

int TAudioBuffer::Pull(float* out, int count, const float* channelGains) {
    const int taken = std::clamp(count, 0, FCount);
    for (int i = 0; i < taken; ++i) {
        const float* from = FRing.data() + size_t((FHead + i) % FCapacity) * size_t(FChannels);
        for (int c = 0; c < FChannels; ++c)
            out[size_t(i) * FChannels + c] = from[c] * channelGains[c];
    }
    std::fill(out + size_t(taken) * FChannels, out + size_t(std::max(count, 0)) * FChannels, 0.0f);
    DropOldest(taken);
    return taken;
}
