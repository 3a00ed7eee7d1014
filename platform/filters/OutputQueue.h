#pragma once
// Delivery through a thread of its own, for a filter that feeds several outputs from one input
// thread (the DV splitter's video and sound): each output has a queue and a thread that
// delivers from it, so that a paused renderer holding its sample on one output does not keep
// the other output from getting its first sample. The queue holds a few samples; the input
// thread waits while it is full.
//
// Flushing: BeginFlush drops what is queued, tells downstream at once (which releases a
// delivery blocked there) and refuses samples until EndFlush, which waits for the thread to be
// idle before passing the flush's end downstream. End of stream and new segments travel in
// order with the samples.
//
// Thread contract: Receive, EndOfStream and NewSegment from the input's streaming thread;
// Start, Stop, BeginFlush and EndFlush from the graph's thread (Stop after the filter stopped
// downstream, so that a delivery in progress returns).
#include "platform/com/ComPtr.h"
#include "platform/graph/BaseOutputPin.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class TOutputQueue {
public:
    TOutputQueue(CBaseOutputPin* pin, size_t depth);
    ~TOutputQueue();
    TOutputQueue(const TOutputQueue&) = delete;
    TOutputQueue& operator=(const TOutputQueue&) = delete;

    // E_OUTOFMEMORY when the system cannot start the queue's thread.
    HRESULT Start();
    void Stop();
    // S_OK: queued; S_FALSE: flushing, or downstream refused an earlier sample.
    HRESULT Receive(IMediaSample* sample);
    void EndOfStream();
    void NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    void BeginFlush();
    void EndFlush();

private:
    enum class TKind { Sample, EndOfStream, NewSegment };
    struct TItem {
        TKind kind;
        ComPtr<IMediaSample> sample;
        REFERENCE_TIME start = 0, stop = 0;
        double rate = 1.0;
    };
    void Put(TItem item);
    void Run();

    CBaseOutputPin* const FPin;
    const size_t FDepth;
    std::thread FThread;
    std::mutex FLock;
    std::condition_variable FChanged;
    // guarded by FLock
    std::deque<TItem> FItems;
    bool FRunning = false;
    bool FFlushing = false;
    bool FBusy = false;
    HRESULT FRefused = S_OK;
};
