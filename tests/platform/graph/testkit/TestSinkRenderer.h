#pragma once
// A renderer for tests: accepts video of one major type (or anything), records every sample it
// presents (frame stamp, times, whether it was shown while paused) and the segments it was given.
#include "platform/graph/BaseRenderer.h"
#include "tests/platform/graph/testkit/TestMediaTypes.h"

#include <mutex>
#include <vector>

namespace kelvara::test {

inline constexpr CLSID CLSID_TestSinkRenderer{
    0x6B1C2D3E, 0x1A2B, 0x4C5D, {0x9E, 0x01, 0x10, 0x20, 0x30, 0x40, 0x50, 0x03}};

struct TRenderedSample {
    TFrameStamp stamp;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool hasTime = false;
    bool preroll = false;
    bool whilePaused = false;
};

class TTestSinkRenderer : public CBaseRenderer {
public:
    explicit TTestSinkRenderer(REFGUID acceptedSubtype = MEDIASUBTYPE_RGB32);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT DoRenderSample(IMediaSample* pMediaSample) override;
    void OnReceiveFirstSample(IMediaSample* pMediaSample) override;

    std::vector<TRenderedSample> Rendered() const;
    size_t RenderedCount() const;
    void ClearRendered();
    // Waits (serving the GUI thread) until at least n samples were presented.
    bool WaitForRendered(size_t n, int timeoutMs);

private:
    void Record(IMediaSample* sample, bool whilePaused);

    GUID FSubtype;
    mutable std::mutex FLock;
    std::vector<TRenderedSample> FRendered; // guarded by FLock
};

} // namespace kelvara::test
