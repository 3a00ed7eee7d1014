#pragma once
// The two pins of a transform filter. They hand every decision to the filter (CheckInputType,
// CheckTransform, GetMediaType, SetMediaType, CheckConnect / CompleteConnect / BreakConnect,
// DecideBufferSize) and pass samples, end of stream, flushes and segments to it. The output pin
// passes seeking upstream.
#include "platform/graph/BaseInputPin.h"
#include "platform/graph/BaseOutputPin.h"
#include "platform/graph/PosPassThru.h"

#include <memory>

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(const QString& objectName, CTransformFilter* filter, HRESULT* phr,
                       const QString& pinName);

    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

protected:
    HRESULT EndOfStreamFromReceive() override;

    CTransformFilter* const FTransform;
};

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(const QString& objectName, CTransformFilter* filter, HRESULT* phr,
                        const QString& pinName);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;

protected:
    CTransformFilter* const FTransform;

private:
    std::unique_ptr<CPosPassThru> FPosition;
};
