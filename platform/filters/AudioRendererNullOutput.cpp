#include "platform/filters/AudioRendererNullOutput.h"

#include <algorithm>

namespace {

constexpr auto kPeriod = std::chrono::milliseconds(10);

} // namespace

TNullAudioOutput::TNullAudioOutput(int channels, int rate, TAudioPull pull)
    : FChannels(std::max(channels, 1)), FRate(std::max(rate, 1)), FPull(std::move(pull)),
      FThread([this] { ThreadProc(); }) {}

TNullAudioOutput::~TNullAudioOutput() {
    {
        std::lock_guard lock(FLock);
        FExit = true;
    }
    FChanged.notify_all();
    FThread.join();
}

void TNullAudioOutput::Start() {
    {
        std::lock_guard lock(FLock);
        if (FRunning)
            return;
        FRunning = true;
        FRunStart = std::chrono::steady_clock::now();
        FPulled = 0;
    }
    FChanged.notify_all();
}

void TNullAudioOutput::Pause() {
    std::lock_guard lock(FLock);
    FRunning = false;
}

void TNullAudioOutput::ThreadProc() {
    std::vector<float> scratch;
    std::unique_lock lock(FLock);
    while (!FExit) {
        if (!FRunning) {
            FChanged.wait(lock, [this] { return FExit || FRunning; });
            continue;
        }
        const auto elapsed = std::chrono::steady_clock::now() - FRunStart;
        const long long due =
            std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * FRate /
            1000000;
        const int frames = int(std::clamp<long long>(due - FPulled, 0, FRate));
        if (frames > 0) {
            FPulled += frames;
            scratch.resize(size_t(frames) * size_t(FChannels));
            lock.unlock();
            FPull(scratch.data(), frames);
            lock.lock();
        }
        FChanged.wait_for(lock, kPeriod, [this] { return FExit || !FRunning; });
    }
}
