#pragma once
// An input pin that receives samples (IMemInputPin): the allocator agreed with the upstream
// output pin, the flushing and run-time error flags, and the streaming checks that every
// Receive and EndOfStream begins with.
#include "platform/graph/BasePin.h"
#include "platform/graph/SampleInterfaces.h"

#include <atomic>

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(const QString& objectName, CBaseFilter* filter, HRESULT* phr,
                  const QString& pinName);

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return CBasePin::QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return CBasePin::AddRef(); }
    ULONG Release() override { return CBasePin::Release(); }
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetAllocator(IMemAllocator** ppAllocator) override;
    HRESULT NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;
    // The checks every sample passes: CheckStreaming, then a media type carried by the sample
    // (a format change) must pass CheckMediaType, else the stream stops with EC_ERRORABORT.
    // Subclasses call it first and process the sample when it gives S_OK.
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                            LONG* nSamplesProcessed) override;
    HRESULT ReceiveCanBlock() override;

    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT EndOfStream() override;
    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

    // S_OK while samples may be processed; VFW_E_NOT_CONNECTED, VFW_E_WRONG_STATE (stopped),
    // S_FALSE (flushing) or VFW_E_RUNTIME_ERROR otherwise.
    virtual HRESULT CheckStreaming();
    bool IsFlushing() const { return FFlushing.load(); }
    bool IsReadOnly() const { return FReadOnly.load(); }
    ComPtr<IMemAllocator> Allocator() const;
    // Marks a run-time error: samples are refused until the next flush or stop.
    void SetRunTimeError() { FRunTimeError.store(true); }
    bool HasRunTimeError() const { return FRunTimeError.load(); }

protected:
    // Ends the stream downstream from inside Receive (a refused format change), on the thread
    // that holds whatever lock the subclass's Receive took: a subclass whose EndOfStream takes
    // that lock does the same work here without it. By default EndOfStream.
    virtual HRESULT EndOfStreamFromReceive() { return EndOfStream(); }

private:
    std::atomic<bool> FFlushing{false};
    std::atomic<bool> FRunTimeError{false};
    std::atomic<bool> FReadOnly{false};
    mutable std::mutex FAllocatorLock;
    ComPtr<IMemAllocator> FAllocator; // guarded by FAllocatorLock
};
