#pragma once
// The copying transform: one input pin, one output pin with buffers of its own; each input
// sample is transformed into a new output sample. A filter overrides CheckInputType,
// CheckTransform, GetMediaType, DecideBufferSize and Transform (and, when it needs them,
// SetMediaType, CompleteConnect, BreakConnect, StartStreaming, StopStreaming, NewSegment,
// BeginFlush / EndFlush, EndOfStream).
//
// Delivery rule: Transform answering S_OK delivers the output sample, S_FALSE drops it; an
// output sample flagged preroll is never delivered (decoders decode preroll samples but show
// none of them).
//
// Thread contract: Receive, EndOfStream and NewSegment run on the upstream streaming thread under
// the receive lock; state changes run on the graph's thread under the filter lock. Stop waits for
// the receive lock through GraphWaitUntil, so a Transform that sends to the GUI thread cannot
// deadlock a stop.
#include "platform/graph/BaseFilter.h"
#include "platform/graph/TransformPins.h"

#include <atomic>
#include <memory>
#include <mutex>

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(const QString& objectName, REFCLSID clsid);
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;
    HRESULT Stop() override;
    HRESULT Pause() override;

    virtual HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut);
    virtual HRESULT CheckInputType(const CMediaType* mtIn) = 0;
    virtual HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) = 0;
    virtual HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) = 0;

    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    virtual HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt);
    virtual HRESULT CheckConnect(PIN_DIRECTION dir, IPin* pPin);
    virtual HRESULT BreakConnect(PIN_DIRECTION dir);
    virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* pReceivePin);

    // Called by the input pin with the receive lock held, after the streaming checks.
    virtual HRESULT Receive(IMediaSample* pSample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    CTransformInputPin* InputPin();
    CTransformOutputPin* OutputPin();
    TGraphMutex& ReceiveLock() { return FReceiveLock; }

    // Ends the stream on a failure of the filter's own (memory running out, a picture it
    // cannot take): downstream gets the end of the stream, the graph EC_ERRORABORT with hr, and
    // the input refuses samples until the next flush or stop. Answers hr. The input pin does
    // it for a Receive that throws (E_OUTOFMEMORY for std::bad_alloc).
    HRESULT AbortStream(HRESULT hr);

protected:
    // Creates the two pins; the in-place transform makes its own kind.
    virtual void CreatePins();
    // A delivery buffer carrying the input sample's times, media times and flags.
    virtual HRESULT InitializeOutputSample(IMediaSample* pSample, IMediaSample** ppOutSample);

    TGraphMutex FReceiveLock;
    std::unique_ptr<CTransformInputPin> FInput;
    std::unique_ptr<CTransformOutputPin> FOutput;
    std::atomic<bool> FStreaming{false};

private:
    std::once_flag FPinsCreated;
};
