#pragma once
// The audio output used when no device can be opened: a thread that asks for frames at the pace
// of the system's monotonic clock and discards them, so that the renderer's clock and the
// end of its stream come at the right time without sound.
//
// Thread contract: Start, Pause and the destructor come from one thread at a time; the pull
// function runs on the output's own thread, never after the destructor has returned.
#include "platform/filters/AudioRendererOutput.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class TNullAudioOutput : public TAudioOutput {
public:
    TNullAudioOutput(int channels, int rate, TAudioPull pull);
    ~TNullAudioOutput() override;

    void Start() override;
    void Pause() override;
    REFERENCE_TIME Latency() const override { return 0; }
    bool IsNull() const override { return true; }

private:
    void ThreadProc();

    const int FChannels;
    const int FRate;
    TAudioPull FPull;
    std::mutex FLock;
    std::condition_variable FChanged;
    // guarded by FLock
    bool FRunning = false;
    bool FExit = false;
    std::chrono::steady_clock::time_point FRunStart;
    long long FPulled = 0; // frames asked for since FRunStart
    // end of fields guarded by FLock
    std::thread FThread;
};
