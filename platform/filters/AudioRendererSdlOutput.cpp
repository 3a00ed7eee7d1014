#include "platform/filters/AudioRendererSdlOutput.h"

#include <SDL.h>
#include <mutex>

namespace {

// SDL's subsystem counting is not thread-safe: opening and closing devices goes through here.
std::mutex& SdlLock() {
    static std::mutex lock;
    return lock;
}

// About 20 ms of frames, as a power of two.
Uint16 BufferFramesFor(int rate) {
    Uint16 frames = 256;
    while (frames < 8192 && frames * 50 < rate)
        frames = Uint16(frames * 2);
    return frames;
}

} // namespace

std::unique_ptr<TSdlAudioOutput> TSdlAudioOutput::Open(int channels, int rate, TAudioPull pull) {
    std::lock_guard lock(SdlLock());
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    // The output object must exist before SDL may call back: the callback gets it as userdata.
    std::unique_ptr<TSdlAudioOutput> output(new TSdlAudioOutput(0, channels, 0, std::move(pull)));
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = Uint8(channels);
    want.samples = BufferFramesFor(rate);
    want.callback = &TSdlAudioOutput::Callback;
    want.userdata = output.get();
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    output->FDevice = device;
    output->FLatency = REFERENCE_TIME(have.samples) * UNITS / std::max(have.freq, 1);
    return output;
}

TSdlAudioOutput::TSdlAudioOutput(uint32_t device, int channels, REFERENCE_TIME latency,
                                 TAudioPull pull)
    : FDevice(device), FChannels(channels), FLatency(latency), FPull(std::move(pull)) {}

TSdlAudioOutput::~TSdlAudioOutput() {
    if (FDevice == 0)
        return;
    std::lock_guard lock(SdlLock());
    SDL_CloseAudioDevice(FDevice); // waits for a callback in progress
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void TSdlAudioOutput::Start() {
    SDL_PauseAudioDevice(FDevice, 0);
}

void TSdlAudioOutput::Pause() {
    SDL_PauseAudioDevice(FDevice, 1);
}

void TSdlAudioOutput::Callback(void* userdata, uint8_t* stream, int len) {
    auto* self = static_cast<TSdlAudioOutput*>(userdata);
    const int frames = len / int(sizeof(float) * size_t(self->FChannels));
    self->FPull(reinterpret_cast<float*>(stream), frames);
}
