#pragma once
// Base of renderers: one input pin; each sample is presented when the reference clock reaches
// its time (at once without a clock). While paused the renderer shows the first sample it gets
// (OnReceiveFirstSample, counted as drawn) and holds it, blocking its upstream until Run, a
// flush or Stop; until it holds one, GetState answers VFW_S_STATE_INTERMEDIATE (also after a
// flush, until a new sample came). Preroll samples are not shown. End of stream raises
// EC_COMPLETE once the last sample's time has passed (at Run when it came while paused). It
// offers IMediaSeeking (passed upstream; the current position is that of the sample shown),
// IQualProp (frames drawn, sync offset), IAMFilterMiscFlags (a renderer) and IHeldSampleRelease
// (while paused, let the held sample go and hold the next one: Receive returns, and the next
// sample is shown as the first one of a pause; or let it go and drop the samples that follow,
// counting as ready; a state change or a flush ends either).
//
// A renderer overrides CheckMediaType and DoRenderSample, and as needed SetMediaType,
// OnReceiveFirstSample, OnStartStreaming / OnStopStreaming, OnBeginFlush, RenderAhead,
// CompleteConnect / BreakConnect.
//
// Thread contract: Receive and EndOfStream run on the upstream streaming thread under the
// receive lock, DoRenderSample and OnReceiveFirstSample on that thread too (no lock of the
// renderer held). State changes, flushes and GetState run on the graph's thread; their waits for
// the streaming thread go through GraphWaitUntil.
#include "platform/graph/BaseFilter.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/graph/PosPassThru.h"
#include "platform/graph/RendererInputPin.h"

#include <condition_variable>
#include <memory>
#include <mutex>

class CBaseRenderer : public CBaseFilter,
                      public IQualProp,
                      public IAMFilterMiscFlags,
                      public IHeldSampleRelease {
public:
    CBaseRenderer(REFCLSID clsid, const QString& objectName);
    ~CBaseRenderer() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT GetState(DWORD dwMSecs, FILTER_STATE* State) override;

    virtual HRESULT CheckMediaType(const CMediaType* pmt) = 0;
    virtual HRESULT DoRenderSample(IMediaSample* pMediaSample) = 0;
    virtual HRESULT SetMediaType(const CMediaType*) { return S_OK; }
    virtual HRESULT CompleteConnect(IPin*) { return S_OK; }
    virtual HRESULT BreakConnect() { return S_OK; }
    // Shows the sample that arrives while paused; the default renders it.
    virtual void OnReceiveFirstSample(IMediaSample* pMediaSample);
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    // Called at the start of a flush, before the held sample is released (an audio renderer
    // drops the sound it has queued).
    virtual void OnBeginFlush() {}
    // How long before its time a sample is handed to DoRenderSample while running: an audio
    // renderer queues sound that far ahead of the moment it is heard. 0: at its time.
    virtual REFERENCE_TIME RenderAhead() const { return 0; }

    // From the input pin.
    HRESULT Receive(IMediaSample* pSample);
    HRESULT EndOfStream();
    HRESULT BeginFlush();
    HRESULT EndFlush();
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    // The media position of what is shown: segment start + the shown sample's time x rate. A
    // renderer that takes samples ahead of their time (RenderAhead) says what is heard instead.
    virtual HRESULT GetCurrentMediaPosition(LONGLONG* pPosition);
    CRendererInputPin* InputPin();
    TGraphMutex& ReceiveLock() { return FReceiveLock; }
    // True while paused with a sample held, or at the end of the stream.
    bool IsReady();
    // Ends rendering on a failure of the renderer's own (memory running out for a picture): the
    // graph gets EC_ERRORABORT with hr, once, and samples are refused until the next flush or
    // stop. The input pin does it for a Receive that throws.
    void AbortRendering(HRESULT hr);

    HRESULT get_FramesDroppedInRenderer(int* pcFrames) override;
    HRESULT get_FramesDrawn(int* pcFramesDrawn) override;
    HRESULT get_AvgFrameRate(int* piAvgFrameRate) override;
    HRESULT get_Jitter(int* iJitter) override;
    HRESULT get_AvgSyncOffset(int* piAvg) override;
    HRESULT get_DevSyncOffset(int* piDev) override;
    ULONG GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }
    HRESULT ReleaseHeldSample(bool holdNext) override;

private:
    void RenderAndCount(IMediaSample* sample, bool first, REFERENCE_TIME due, bool timed);
    void ChangeEpochLocked();
    void SendEndOfStream();
    bool WaitUntilDue(std::unique_lock<std::mutex>& lock, REFERENCE_TIME due, uint64_t epoch);

    std::once_flag FPinCreated;
    std::unique_ptr<CRendererInputPin> FInput;
    std::unique_ptr<CPosPassThru> FPosition;
    TGraphMutex FReceiveLock;

    std::mutex FRenderLock;
    std::condition_variable FRenderChanged;
    // guarded by FRenderLock
    uint64_t FEpoch = 0;           // changes with every state change and flush
    bool FHolding = false;         // a sample is in Receive
    bool FShown = false;           // ... and has been shown
    bool FReleaseHeld = false;     // ... and is to be let go while paused
    bool FDropWhilePaused = false; // samples are dropped until a state change or flush
    bool FEndOfStream = false;
    bool FEndOfStreamSent = false;
    bool FHaveShown = false; // a sample was shown since the segment began
    REFERENCE_TIME FShownStart = 0;
    REFERENCE_TIME FLastStop = 0;
    bool FHaveLastStop = false;
    REFERENCE_TIME FSegmentStart = 0;
    double FSegmentRate = 1.0;
    bool FHaveSegment = false;
    int FFramesDrawn = 0;
    long long FSyncCount = 0;
    double FSyncSum = 0; // ms
    double FSyncSquares = 0;
    long long FIntervalCount = 0;
    double FIntervalSum = 0; // ms
    double FIntervalSquares = 0;
    REFERENCE_TIME FLastRenderClock = 0;
    bool FHaveLastRender = false;
};
