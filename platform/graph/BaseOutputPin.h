#pragma once
// An output pin that delivers samples: allocator negotiation with the downstream input pin
// (DecideAllocator / DecideBufferSize), the delivery buffers, and Deliver / DeliverEndOfStream /
// DeliverBeginFlush / DeliverEndFlush / DeliverNewSegment to the peer.
//
// Thread contract: the Deliver calls and GetDeliveryBuffer may come from any streaming thread;
// they work on a copy of the peer taken under the pin's lock, so that the peer may be
// disconnected meanwhile (the delivery then fails with VFW_E_NOT_CONNECTED).
#include "platform/graph/BasePin.h"
#include "platform/graph/SampleInterfaces.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(const QString& objectName, CBaseFilter* filter, HRESULT* phr,
                   const QString& pinName);

    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT EndOfStream() override { return E_UNEXPECTED; }
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }

    // Chooses the allocator: the downstream pin's, else one of our own (InitAllocator); asks
    // DecideBufferSize for the sizes and tells the downstream pin.
    virtual HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc);
    virtual HRESULT InitAllocator(IMemAllocator** ppAlloc);
    virtual HRESULT DecideBufferSize(IMemAllocator* pAlloc,
                                     ALLOCATOR_PROPERTIES* ppropInputRequest) = 0;

    HRESULT GetDeliveryBuffer(IMediaSample** ppSample, REFERENCE_TIME* pStartTime,
                              REFERENCE_TIME* pEndTime, DWORD dwFlags);
    HRESULT Deliver(IMediaSample* pSample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    ComPtr<IMemAllocator> Allocator() const;
    ComPtr<IMemInputPin> InputPin() const;

protected:
    // Replaces the allocator (derived pins with allocators of their own).
    void SetAllocator(IMemAllocator* allocator);

private:
    mutable std::mutex FDeliveryLock;
    // guarded by FDeliveryLock
    ComPtr<IMemAllocator> FAllocator;
    ComPtr<IMemInputPin> FInputPin;
};
