#pragma once
// The null transform placed on elementary stream sources: every video or audio sample is copied
// into a buffer of the filter's own output allocator and delivered unchanged, times and flags
// included. Preroll samples are delivered too: the decoder downstream needs them to reach the
// frames after a seek.
//
// Thread contract: Receive and Transform run on the input's streaming thread under the receive
// lock; DecideBufferSize on the thread that connects the graph.
#include "platform/graph/TransformFilter.h"

// {83036780-D1E1-49D3-8CE7-77DA63D25D8F}
inline constexpr CLSID CLSID_AVDummy{
    0x83036780, 0xD1E1, 0x49D3, {0x8C, 0xE7, 0x77, 0xDA, 0x63, 0xD2, 0x5D, 0x8F}};
inline constexpr char16_t AVDummyGraphName[] = u"AVDummy";

class TAVDummy : public CTransformFilter {
public:
    TAVDummy();

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT Receive(IMediaSample* pSample) override;
    // Copies the payload and the sample properties; fails when the output buffer is too small.
    HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut) override;
    // Video or audio only.
    HRESULT CheckInputType(const CMediaType* mtIn) override;
    // Same major type, sub-type and format type.
    HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
    // Buffers at least as large as the input's; E_FAIL when the allocator grants smaller ones.
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) override;
    // Position 0: the input's connection type.
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;

    // Times (start only when the input has no stop time, none when it has none), media times,
    // sync point, preroll and discontinuity flags, and a format change the sample carries.
    static HRESULT CopySampleProperties(IMediaSample* pIn, IMediaSample* pOut);
};
