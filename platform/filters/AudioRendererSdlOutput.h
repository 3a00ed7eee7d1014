#pragma once
// The audio output on SDL2: the default playback device of the audio driver SDL picks
// (SDL_AUDIODRIVER chooses one; "dummy" plays nothing at the device's pace). Frames are handed
// over as 32-bit floats; SDL converts them to what the device takes. The audio subsystem is
// started with the first open device and shut down with the last.
//
// Thread contract: Open, Start, Pause and the destructor come from one thread at a time; the
// pull function runs on SDL's audio thread, never after the destructor has returned.
#include "platform/filters/AudioRendererOutput.h"

#include <cstdint>

class TSdlAudioOutput : public TAudioOutput {
public:
    // Null when the audio subsystem or the device cannot be opened.
    static std::unique_ptr<TSdlAudioOutput> Open(int channels, int rate, TAudioPull pull);
    ~TSdlAudioOutput() override;

    void Start() override;
    void Pause() override;
    REFERENCE_TIME Latency() const override { return FLatency; }
    bool IsNull() const override { return false; }

private:
    TSdlAudioOutput(uint32_t device, int channels, REFERENCE_TIME latency, TAudioPull pull);
    static void Callback(void* userdata, uint8_t* stream, int len);

    uint32_t FDevice;
    int FChannels;
    REFERENCE_TIME FLatency;
    TAudioPull FPull;
};
