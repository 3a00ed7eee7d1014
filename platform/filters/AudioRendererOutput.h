#pragma once
// Where the audio renderer's sound goes: an output that asks for interleaved float frames from
// a thread of its own (the pull function) at the pace at which they are played. OpenAudioOutput
// opens the default SDL audio device; when none can be opened it gives the null output, which
// asks for frames at the pace of the system's clock and discards them, so that a machine
// without sound plays at the right speed all the same.
#include "platform/graph/FormatBlocks.h"

#include <functional>
#include <memory>

// Fills `frames` interleaved frames at `out`; runs on the output's thread.
using TAudioPull = std::function<void(float* out, int frames)>;

class TAudioOutput {
public:
    virtual ~TAudioOutput() = default;
    // Starts (again) asking for frames; Pause stops asking. An output starts paused.
    virtual void Start() = 0;
    virtual void Pause() = 0;
    // How long after it is handed over a frame is heard.
    virtual REFERENCE_TIME Latency() const = 0;
    virtual bool IsNull() const = 0;
};

std::unique_ptr<TAudioOutput> OpenAudioOutput(int channels, int rate, TAudioPull pull);
