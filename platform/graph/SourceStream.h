#pragma once
// An output pin that pushes samples from a streaming thread of its own. The thread starts when
// the filter leaves Stopped (it pushes while paused too: a renderer then holds the first sample)
// and ends when the filter stops. Each run of its loop starts with OnThreadStartPlay (by default
// DeliverNewSegment of the filter's segment), then fills and delivers buffers until FillBuffer
// answers S_FALSE (end of stream: EndOfStream is delivered) or a delivery fails (downstream
// flushing or stopping); the thread then waits for a restart (a seek) or for the stop. A
// FillBuffer that fails (or throws: memory running out is E_OUTOFMEMORY) ends the stream with
// EC_ERRORABORT, as does an allocator that has no memory for a sample.
//
// Thread contract: FillBuffer, OnThreadCreate / OnThreadDestroy / OnThreadStartPlay run on the
// pin's streaming thread. Active / Inactive / PauseStreaming / ResumeStreaming run on the graph's
// thread; their waits for the streaming thread go through GraphWaitUntil. A FillBuffer that
// blocks on something of its own must return when StopRequested() becomes true (it is told
// through OnStopRequested).
#include "platform/graph/BaseOutputPin.h"
#include "platform/graph/SourceSeeking.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CSource;

class CSourceStream : public CBaseOutputPin, public IMediaSeeking {
public:
    CSourceStream(const QString& objectName, HRESULT* phr, CSource* filter, const QString& pinName);
    ~CSourceStream() override;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return CBaseOutputPin::QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return CBaseOutputPin::AddRef(); }
    ULONG Release() override { return CBaseOutputPin::Release(); }
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Active() override;
    HRESULT Inactive() override;
    // The default offers GetMediaType(0) only.
    HRESULT CheckMediaType(const CMediaType* pmt) override;

    // Stops the thread's loop and waits until it is idle (no delivery in progress); the caller
    // has flushed downstream first. False when the thread is not running.
    bool PauseStreaming();
    // Starts the loop again (after a seek).
    void ResumeStreaming();
    bool IsStreaming() const { return FThreadAlive.load(); }

    // IMediaSeeking, handed to the filter's CSourceSeeking (E_NOTIMPL without one).
    HRESULT GetCapabilities(DWORD* pCapabilities) override;
    HRESULT CheckCapabilities(DWORD* pCapabilities) override;
    HRESULT IsFormatSupported(const GUID* pFormat) override;
    HRESULT QueryPreferredFormat(GUID* pFormat) override;
    HRESULT GetTimeFormat(GUID* pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID* pFormat) override;
    HRESULT SetTimeFormat(const GUID* pFormat) override;
    HRESULT GetDuration(LONGLONG* pDuration) override;
    HRESULT GetStopPosition(LONGLONG* pStop) override;
    HRESULT GetCurrentPosition(LONGLONG* pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                              const GUID* pSourceFormat) override;
    HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                         DWORD dwStopFlags) override;
    HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
    HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double* pdRate) override;
    HRESULT GetPreroll(LONGLONG* pllPreroll) override;

protected:
    // S_OK: deliver the sample; S_FALSE: end of stream; a failure aborts the stream
    // (EC_ERRORABORT).
    virtual HRESULT FillBuffer(IMediaSample* pSample) = 0;
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    virtual HRESULT OnThreadStartPlay();
    // Tells a FillBuffer that waits on something of its own to give up now.
    virtual void OnStopRequested() {}
    bool StopRequested() const { return FStopLoop.load(); }

    CSource* const FSource;

private:
    void ThreadProc();
    bool WaitForRun();
    void DoBufferProcessingLoop();
    // Ends the stream downstream and tells the graph (EC_ERRORABORT with hr), unless the loop
    // was told to stop.
    void AbortStream(HRESULT hr);

    std::thread FThread;
    std::atomic<bool> FThreadAlive{false};
    std::atomic<bool> FStopLoop{false};
    std::mutex FCommandLock;
    std::condition_variable FCommand;
    // guarded by FCommandLock
    bool FRunRequested = false;
    bool FExitRequested = false;
    bool FLooping = false;
};
