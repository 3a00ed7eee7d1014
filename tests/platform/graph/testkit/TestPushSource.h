#pragma once
// A seekable push source of synthetic, timestamped frames: one or more output pins, each with
// its own streaming thread. Frame n of the file sits at n x frame duration. After a seek to T it
// restarts from the key frame at or before T: the frames before T carry the preroll flag and
// negative times, all times are relative to T and divided by the rate, as splitters do.
#include "platform/graph/SourceFilter.h"
#include "platform/graph/SourceSeeking.h"
#include "platform/graph/SourceStream.h"
#include "tests/platform/graph/testkit/TestMediaTypes.h"

#include <atomic>

namespace kelvara::test {

struct TTestSourceConfig {
    int pins = 1;
    int frames = 250;
    REFERENCE_TIME frameDuration = 400000; // 25 frames per second
    int keyInterval = 1;                   // every n-th frame is a key frame
    GUID subtype = MEDIASUBTYPE_RGB32;
    LONG width = 32;
    LONG height = 24;
    GUID category = GUID_NULL; // pin category reported by every pin
};

inline constexpr CLSID CLSID_TestPushSource{
    0x6B1C2D3E, 0x1A2B, 0x4C5D, {0x9E, 0x01, 0x10, 0x20, 0x30, 0x40, 0x50, 0x01}};

class TTestPushSource : public CSource {
public:
    explicit TTestPushSource(TTestSourceConfig config = {});
    const TTestSourceConfig& Config() const { return FConfig; }
    AM_MEDIA_TYPE StreamType() const;
    // Samples delivered downstream so far (all pins, preroll included).
    int Delivered() const { return FDelivered.load(); }
    void CountDelivered() { ++FDelivered; }

private:
    TTestSourceConfig FConfig;
    std::atomic<int> FDelivered{0};
};

class TTestPushPin : public CSourceStream {
public:
    TTestPushPin(TTestPushSource* source, int stream);

    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;

protected:
    HRESULT FillBuffer(IMediaSample* pSample) override;
    HRESULT OnThreadStartPlay() override;

private:
    TTestPushSource* const FOwner;
    const int FStream;
    int FNext = 0; // next frame index; the streaming thread's own
    TSourceSegment FSegment;
};

} // namespace kelvara::test
