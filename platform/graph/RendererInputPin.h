#pragma once
// The input pin of a renderer: hands type checks, connection steps, samples, end of stream,
// flushes and segments to the CBaseRenderer.
#include "platform/graph/BaseInputPin.h"

class CBaseRenderer;

class CRendererInputPin : public CBaseInputPin {
public:
    CRendererInputPin(CBaseRenderer* renderer, HRESULT* phr, const QString& pinName);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

protected:
    HRESULT EndOfStreamFromReceive() override;

private:
    CBaseRenderer* const FRenderer;
};
