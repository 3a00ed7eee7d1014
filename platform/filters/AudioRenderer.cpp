#include "platform/filters/AudioRenderer.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cmath>

namespace {

// How far ahead of its time sound is queued: enough to ride over the output's buffer and a
// late decoder, little enough to drop quickly on a seek.
constexpr REFERENCE_TIME kRenderAhead = 200 * MILLISECONDS;
// How much sound may wait in the queue; beyond it the oldest is dropped.
constexpr REFERENCE_TIME kQueueCapacity = 2 * UNITS;

} // namespace

CAudioRenderer::CAudioRenderer()
    : CBaseRenderer(CLSID_DSoundRender, QStringLiteral("Default DirectSound Device")),
      FClock(MakeComObject<CAudioClock>()) {}

CAudioRenderer::~CAudioRenderer() {
    FOutput.reset(); // no pull may run into a renderer that is going
}

HRESULT CAudioRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IBasicAudio)
        return GetInterface(static_cast<IBasicAudio*>(this), ppv);
    if (riid == IID_IReferenceClock)
        return GetInterface(static_cast<IReferenceClock*>(FClock.Get()), ppv);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

float CAudioRenderer::GainOf(LONG hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= -10000)
        return 0.0f;
    if (hundredthsOfDecibel >= 0)
        return 1.0f;
    return float(std::pow(10.0, double(hundredthsOfDecibel) / 2000.0));
}

std::array<float, 8> CAudioRenderer::ChannelGains(LONG volume, LONG balance, int channels) {
    const float gain = GainOf(volume);
    std::array<float, 8> gains;
    gains.fill(gain);
    if (channels >= 2) {
        gains[0] = gain * GainOf(std::min<LONG>(-balance, 0)); // a balance to the right
        gains[1] = gain * GainOf(std::min<LONG>(balance, 0));  // a balance to the left
    }
    return gains;
}

HRESULT CAudioRenderer::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    return TAudioFormat::FromMediaType(*pmt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioRenderer::SetMediaType(const CMediaType* pmt) {
    const std::optional<TAudioFormat> format = TAudioFormat::FromMediaType(*pmt);
    if (!format)
        return VFW_E_TYPE_NOT_ACCEPTED;
    std::lock_guard lock(FBufferLock);
    FFormat = format;
    return S_OK;
}

HRESULT CAudioRenderer::BreakConnect() {
    std::lock_guard lock(FBufferLock);
    FFormat.reset();
    return S_OK;
}

HRESULT CAudioRenderer::OnStartStreaming() {
    std::optional<TAudioFormat> format;
    {
        std::lock_guard lock(FBufferLock);
        format = FFormat;
        FRunFormat = format;
        FBuffer =
            format ? std::make_unique<TAudioBuffer>(format->channels, format->rate, kQueueCapacity)
                   : nullptr;
    }
    if (!format)
        return S_OK;
    const HRESULT opened = HResultOf([&] {
        FOutput = OpenAudioOutput(format->channels, format->rate,
                                  [this](float* out, int frames) { PullAudio(out, frames); });
    });
    if (FAILED(opened))
        return opened; // no thread or memory for the output
    FLatency.store(FOutput->Latency());
    FNullOutput.store(FOutput->IsNull());
    GRAPH_TRACE(QStringLiteral("audio renderer: %1 Hz, %2 channels, %3")
                    .arg(format->rate)
                    .arg(format->channels)
                    .arg(FOutput->IsNull() ? QStringLiteral("no device, null output")
                                           : QStringLiteral("SDL device")));
    return S_OK;
}

HRESULT CAudioRenderer::OnStopStreaming() {
    FOutput.reset();
    std::lock_guard lock(FBufferLock);
    FBuffer.reset();
    FRunFormat.reset();
    return S_OK;
}

HRESULT CAudioRenderer::Stop() {
    FRunning.store(false);
    const HRESULT hr = CBaseRenderer::Stop();
    FClock->Resume();
    return hr;
}

HRESULT CAudioRenderer::Pause() {
    FRunning.store(false);
    FClock->Hold();
    if (FOutput)
        FOutput->Pause();
    return CBaseRenderer::Pause();
}

HRESULT CAudioRenderer::Run(REFERENCE_TIME tStart) {
    const HRESULT hr = CBaseRenderer::Run(tStart);
    if (FAILED(hr))
        return hr;
    REFERENCE_TIME now = 0;
    if (SUCCEEDED(StreamTime(&now))) {
        // The sound queued while paused starts at its own time, not at once.
        std::lock_guard lock(FBufferLock);
        if (FBuffer && !FBuffer->IsEmpty())
            FBuffer->PrependSilence(FBuffer->HeadTime() - (now + FLatency.load()));
    }
    FRunning.store(true);
    FClock->Resume();
    if (FOutput)
        FOutput->Start();
    return S_OK;
}

void CAudioRenderer::OnBeginFlush() {
    std::lock_guard lock(FBufferLock);
    if (FBuffer)
        FBuffer->Clear();
}

REFERENCE_TIME CAudioRenderer::RenderAhead() const {
    return kRenderAhead;
}

HRESULT CAudioRenderer::GetCurrentMediaPosition(LONGLONG* pPosition) {
    const HRESULT hr = CBaseRenderer::GetCurrentMediaPosition(pPosition);
    REFERENCE_TIME now = 0;
    if (FAILED(hr) || !FRunning.load() || FAILED(StreamTime(&now)))
        return hr;
    const REFERENCE_TIME segmentStart = InputPin()->CurrentStartTime();
    const LONGLONG heard = segmentStart + LONGLONG(double(std::max<REFERENCE_TIME>(now, 0)) *
                                                   InputPin()->CurrentRate());
    *pPosition = std::max(segmentStart, std::min(*pPosition, heard));
    return hr;
}

std::optional<REFERENCE_TIME> CAudioRenderer::HeardNext() const {
    REFERENCE_TIME now = 0;
    if (!FRunning.load() || FAILED(StreamTime(&now)))
        return std::nullopt;
    return now + FLatency.load();
}

HRESULT CAudioRenderer::DoRenderSample(IMediaSample* pMediaSample) {
    if (!Clock())
        return S_OK;
    AM_MEDIA_TYPE* raw = nullptr;
    if (pMediaSample->GetMediaType(&raw) == S_OK) {
        const MediaTypePtr type(raw);
        std::lock_guard lock(FBufferLock);
        FFormat = TAudioFormat::FromMediaType(*type);
    }
    std::optional<TAudioFormat> format;
    {
        std::lock_guard lock(FBufferLock);
        const bool playable = FFormat && FRunFormat && FFormat->rate == FRunFormat->rate &&
                              FFormat->channels == FRunFormat->channels;
        if (playable)
            format = FFormat;
    }
    BYTE* data = nullptr;
    if (!format || FAILED(pMediaSample->GetPointer(&data)))
        return S_OK;
    const size_t bytes = size_t(std::max<LONG>(pMediaSample->GetActualDataLength(), 0));
    FConverted.resize(size_t(format->FramesIn(bytes)) * size_t(format->channels));
    const int frames = format->ToFloat(data, bytes, FConverted.data());
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = SUCCEEDED(pMediaSample->GetTime(&start, &stop));
    const std::optional<REFERENCE_TIME> heardNext = HeardNext();
    std::lock_guard lock(FBufferLock);
    if (FBuffer)
        FBuffer->Push(FConverted.data(), frames, timed ? start : FBuffer->TailTime(), heardNext);
    return S_OK;
}

void CAudioRenderer::PullAudio(float* out, int frames) {
    const ComPtr<IReferenceClock> graphClock = Clock();
    const bool ours = graphClock.Get() == static_cast<IReferenceClock*>(FClock.Get());
    std::lock_guard lock(FBufferLock);
    const int channels = FRunFormat ? FRunFormat->channels : 1;
    if (!FBuffer) {
        std::fill_n(out, size_t(frames) * size_t(channels), 0.0f);
        return;
    }
    const std::array<float, 8> gains = ChannelGains(FVolume.load(), FBalance.load(), channels);
    const bool timed = !FBuffer->IsEmpty() && FBuffer->HasTime();
    const REFERENCE_TIME head = FBuffer->HeadTime();
    const int played = FBuffer->Pull(out, frames, gains.data());
    // The first frame handed over now is heard after the output's latency.
    if (ours && timed && played > 0 && FRunning.load())
        FClock->Follow(StartTime() + head - FLatency.load());
}

HRESULT CAudioRenderer::put_Volume(LONG lVolume) {
    if (lVolume < -10000 || lVolume > 0)
        return E_INVALIDARG;
    FVolume.store(lVolume);
    return S_OK;
}

HRESULT CAudioRenderer::get_Volume(LONG* plVolume) {
    if (!plVolume)
        return E_POINTER;
    *plVolume = FVolume.load();
    return S_OK;
}

HRESULT CAudioRenderer::put_Balance(LONG lBalance) {
    if (lBalance < -10000 || lBalance > 10000)
        return E_INVALIDARG;
    FBalance.store(lBalance);
    return S_OK;
}

HRESULT CAudioRenderer::get_Balance(LONG* plBalance) {
    if (!plBalance)
        return E_POINTER;
    *plBalance = FBalance.load();
    return S_OK;
}
