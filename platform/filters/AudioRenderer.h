#pragma once
// The audio renderer (CLSID_DSoundRender, "Default DirectSound Device"). It takes PCM or float
// sound (see TAudioFormat), queues it up to RenderAhead before it is due and plays it through
// SDL2, or through the null output when no device can be opened. It offers the graph a
// reference clock that follows the sound heard while it plays, stands still while it is paused
// and runs with the system's clock otherwise (CAudioClock), and IBasicAudio: volume in
// hundredths of a decibel (-10000 silence .. 0 full) and balance, applied as the sound leaves.
// Without a reference clock (a graph run as fast as it can go) nothing is played: sound has no
// time to be heard at, and holding the stream back to play it would slow the graph.
//
// A format change carried by a sample is applied when it keeps the rate and the channels; the
// sound of a change that does not is dropped (the output is opened for one rate and channel
// count per run).
//
// Thread contract: samples arrive on the upstream streaming thread (DoRenderSample); the output
// pulls from its own thread (PullAudio); state changes, the opening and closing of the output
// and the interface calls come from the graph's thread (IBasicAudio and the clock from any
// thread). The queue and the format of the run are guarded by FBufferLock, which is never held
// while the output is started, paused or closed.
#include "platform/filters/AudioRendererBuffer.h"
#include "platform/filters/AudioRendererClock.h"
#include "platform/filters/AudioRendererFormat.h"
#include "platform/filters/AudioRendererOutput.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/BaseRenderer.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class CAudioRenderer : public CBaseRenderer, public IBasicAudio {
public:
    CAudioRenderer();
    ~CAudioRenderer() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;

    // CBaseRenderer.
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT BreakConnect() override;
    HRESULT DoRenderSample(IMediaSample* pMediaSample) override;
    HRESULT OnStartStreaming() override;
    HRESULT OnStopStreaming() override;
    void OnBeginFlush() override;
    REFERENCE_TIME RenderAhead() const override;
    // While playing, the position of the sound heard now (not of the last sample queued).
    HRESULT GetCurrentMediaPosition(LONGLONG* pPosition) override;

    // IBasicAudio.
    HRESULT put_Volume(LONG lVolume) override;
    HRESULT get_Volume(LONG* plVolume) override;
    HRESULT put_Balance(LONG lBalance) override;
    HRESULT get_Balance(LONG* plBalance) override;

    // True while the sound of a run goes to the null output (no device could be opened).
    bool UsesNullOutput() const { return FNullOutput.load(); }
    // The gain of a volume or a balance side in hundredths of a decibel (-10000: silence).
    static float GainOf(LONG hundredthsOfDecibel);
    // The gain of each channel for a volume and a balance (channels 0 and 1 are left and right).
    static std::array<float, 8> ChannelGains(LONG volume, LONG balance, int channels);

private:
    // Runs on the output's thread.
    void PullAudio(float* out, int frames);
    // The stream time at which a frame queued now would be heard, while running.
    std::optional<REFERENCE_TIME> HeardNext() const;

    const ComPtr<CAudioClock> FClock;
    std::atomic<LONG> FVolume{0};
    std::atomic<LONG> FBalance{0};
    std::atomic<bool> FRunning{false};
    std::atomic<bool> FNullOutput{false};
    std::atomic<REFERENCE_TIME> FLatency{0};
    std::vector<float> FConverted; // the streaming thread's own

    mutable std::mutex FBufferLock;
    // guarded by FBufferLock
    std::optional<TAudioFormat> FFormat;    // of the connection
    std::optional<TAudioFormat> FRunFormat; // the output's, while streaming
    std::unique_ptr<TAudioBuffer> FBuffer;
    // end of fields guarded by FBufferLock

    // The graph's thread only; last, so that it is closed before the rest goes.
    std::unique_ptr<TAudioOutput> FOutput;
};
