#pragma once
// The in-place transform: one input pin and one output pin that pass the same sample on. The
// output pin offers downstream the allocator the upstream filter delivers from, so samples
// travel without a copy; when downstream insists on its own allocator each sample is copied
// into one of its buffers first. A filter overrides CheckInputType and Transform(sample) (and
// whichever other hooks it needs; GetMediaType offers the input's type by default).
//
// Delivery rule: Transform answering S_OK delivers the sample, S_FALSE drops it. A dropped
// sample blocks nothing: the upstream thread goes on at once with the next one.
#include "platform/graph/TransformFilter.h"

class CTransInPlaceFilter : public CTransformFilter {
public:
    CTransInPlaceFilter(const QString& objectName, REFCLSID clsid, bool bModifiesData = true);

    virtual HRESULT Transform(IMediaSample* pSample) = 0;
    HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
    // Position 0: the input pin's connection type; VFW_S_NO_MORE_ITEMS after it or while the
    // input is not connected.
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProperties) override;
    HRESULT Receive(IMediaSample* pSample) override;

    bool ModifiesData() const { return FModifiesData; }
    // True when the sample must be copied: the output delivers from another allocator than the
    // one the input receives from.
    bool UsingDifferentAllocators() const;

protected:
    void CreatePins() override;
    // A delivery buffer holding a copy of the sample (data, times, flags, media type).
    HRESULT Copy(IMediaSample* pSource, IMediaSample** ppCopy);

private:
    using CTransformFilter::Transform;
    bool FModifiesData;
};

class CTransInPlaceInputPin : public CTransformInputPin {
public:
    CTransInPlaceInputPin(const QString& objectName, CTransInPlaceFilter* filter, HRESULT* phr,
                          const QString& pinName);
    // Downstream's allocator when the output is connected, so both sides share buffers.
    HRESULT GetAllocator(IMemAllocator** ppAllocator) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
};

class CTransInPlaceOutputPin : public CTransformOutputPin {
public:
    CTransInPlaceOutputPin(const QString& objectName, CTransInPlaceFilter* filter, HRESULT* phr,
                           const QString& pinName);
    // Offers the input's allocator first; falls back to the usual negotiation.
    HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) override;
};
