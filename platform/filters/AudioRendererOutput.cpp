#include "platform/filters/AudioRendererOutput.h"

#include "platform/filters/AudioRendererNullOutput.h"
#include "platform/filters/AudioRendererSdlOutput.h"

std::unique_ptr<TAudioOutput> OpenAudioOutput(int channels, int rate, TAudioPull pull) {
    if (std::unique_ptr<TSdlAudioOutput> device = TSdlAudioOutput::Open(channels, rate, pull))
        return device;
    return std::make_unique<TNullAudioOutput>(channels, rate, std::move(pull));
}
