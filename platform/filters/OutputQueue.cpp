#include "platform/filters/OutputQueue.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/BaseFilter.h"

TOutputQueue::TOutputQueue(CBaseOutputPin* pin, size_t depth) : FPin(pin), FDepth(depth) {}

TOutputQueue::~TOutputQueue() {
    Stop();
}

HRESULT TOutputQueue::Start() {
    std::lock_guard lock(FLock);
    if (FRunning)
        return S_OK;
    FFlushing = false;
    FRefused = S_OK;
    FItems.clear();
    const HRESULT hr = HResultOf([this] { FThread = std::thread(&TOutputQueue::Run, this); });
    FRunning = SUCCEEDED(hr);
    return hr;
}

void TOutputQueue::Stop() {
    {
        std::lock_guard lock(FLock);
        if (!FRunning)
            return;
        FRunning = false;
        FItems.clear();
    }
    FChanged.notify_all();
    // The thread may be in a delivery that the stopping downstream filter releases.
    FPin->Filter()->WaitForThreads([this] {
        std::lock_guard lock(FLock);
        return !FBusy;
    });
    FThread.join();
}

void TOutputQueue::Put(TItem item) {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [this] { return !FRunning || FFlushing || FItems.size() < FDepth; });
    if (!FRunning || FFlushing)
        return;
    FItems.push_back(std::move(item));
    FChanged.notify_all();
}

HRESULT TOutputQueue::Receive(IMediaSample* sample) {
    {
        std::lock_guard lock(FLock);
        if (!FRunning || FFlushing || FRefused != S_OK)
            return S_FALSE;
    }
    Put({TKind::Sample, ComPtr<IMediaSample>(sample)});
    return S_OK;
}

void TOutputQueue::EndOfStream() {
    Put({TKind::EndOfStream, {}});
}

void TOutputQueue::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    Put({TKind::NewSegment, {}, start, stop, rate});
}

void TOutputQueue::BeginFlush() {
    {
        std::lock_guard lock(FLock);
        FFlushing = true;
        FItems.clear();
    }
    FChanged.notify_all();
    FPin->DeliverBeginFlush();
}

void TOutputQueue::EndFlush() {
    FPin->Filter()->WaitForThreads([this] {
        std::lock_guard lock(FLock);
        return !FBusy;
    });
    {
        std::lock_guard lock(FLock);
        FItems.clear();
        FFlushing = false;
        FRefused = S_OK;
    }
    FPin->DeliverEndFlush();
}

void TOutputQueue::Run() {
    for (;;) {
        TItem item;
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [this] { return !FRunning || !FItems.empty(); });
            if (!FRunning)
                return;
            item = std::move(FItems.front());
            FItems.pop_front();
            FBusy = true;
        }
        FChanged.notify_all();
        HRESULT hr = S_OK;
        if (item.kind == TKind::Sample)
            hr = FPin->Deliver(item.sample.Get());
        else if (item.kind == TKind::EndOfStream)
            FPin->DeliverEndOfStream();
        else
            FPin->DeliverNewSegment(item.start, item.stop, item.rate);
        item = TItem();
        {
            std::lock_guard lock(FLock);
            FBusy = false;
            if (hr != S_OK && !FFlushing)
                FRefused = hr;
        }
        FPin->Filter()->WakeWaiters();
    }
}
