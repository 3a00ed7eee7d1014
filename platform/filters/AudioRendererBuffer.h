#pragma once
// The sound the audio renderer has queued and not yet handed to the output: interleaved float
// frames, each at a known stream time. Push places a sample's frames at their time: a gap
// before them (beyond a tolerance) is filled with silence, an overlap with what is queued is cut
// from their front, and frames already late when nothing is queued are left out. Pull hands the
// oldest frames to the output with the channel gains applied and silence for what is missing.
// When more than the capacity is queued, the oldest frames are dropped.
//
// Not locked: the audio renderer guards it with its buffer lock.
#include "platform/graph/FormatBlocks.h"

#include <optional>
#include <vector>

class TAudioBuffer {
public:
    TAudioBuffer(int channels, int rate, REFERENCE_TIME capacity);

    // Queues `count` frames whose first is due at stream time `start`. `heardNext`, when known,
    // is the stream time at which a frame queued now would be heard if nothing were queued.
    void Push(const float* frames, int count, REFERENCE_TIME start,
              std::optional<REFERENCE_TIME> heardNext);
    // Puts `duration` of silence in front of what is queued (the queue then starts earlier).
    void PrependSilence(REFERENCE_TIME duration);
    // Fills `count` frames of `out`; returns how many came from the queue.
    int Pull(float* out, int count, const float* channelGains);
    void Clear();

    int Queued() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    // The stream time of the next frame Pull hands out (meaningful while something is queued,
    // or since the last frame was pulled).
    REFERENCE_TIME HeadTime() const { return FBaseTime + DurationOf(FHeadFrames); }
    // The stream time just after the last queued frame.
    REFERENCE_TIME TailTime() const { return HeadTime() + DurationOf(FCount); }
    bool HasTime() const { return FHasTime; }
    int Channels() const { return FChannels; }
    int Rate() const { return FRate; }
    REFERENCE_TIME DurationOf(long long frames) const { return frames * UNITS / FRate; }
    long long FramesOf(REFERENCE_TIME duration) const { return duration * FRate / UNITS; }

private:
    // Appends `count` frames (silence for null), dropping the oldest to make room.
    void Append(const float* frames, long long count);
    void DropOldest(int count);
    void SetHeadTime(REFERENCE_TIME time);

    int FChannels;
    int FRate;
    int FCapacity; // frames
    std::vector<float> FRing;
    int FHead = 0; // first queued frame
    int FCount = 0;
    // The head's time is FBaseTime + FHeadFrames frames: counted in frames, so that it does not
    // drift by rounding.
    REFERENCE_TIME FBaseTime = 0;
    long long FHeadFrames = 0;
    bool FHasTime = false;
};
