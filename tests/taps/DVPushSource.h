#pragma once
// A seekable source of PAL DV frames (dvsd, 144000 bytes, 25 per second) on its own streaming
// thread, and a stand-in DV decoder, for tests of the taps and the frame keeper on running
// graphs. Frame n carries the recording date BaseDate + n seconds and the time code of frame n
// (n / 25 seconds and n % 25 frames), so that any frame tells which it is. After a seek to T the
// source restarts at the frame at or before T: frames before T carry the preroll flag and
// negative times, times are relative to T (every frame is a key frame).
#include "platform/graph/SourceFilter.h"
#include "platform/graph/SourceSeeking.h"
#include "platform/graph/SourceStream.h"
#include "platform/graph/TransformFilter.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace kelvara::test {

inline constexpr CLSID CLSID_DVPushSource{
    0x7C1D2E3F, 0x2B3C, 0x4D5E, {0x8F, 0x02, 0x11, 0x21, 0x31, 0x41, 0x51, 0x03}};
inline constexpr CLSID CLSID_TestDVDecoder{
    0x7C1D2E3F, 0x2B3C, 0x4D5E, {0x8F, 0x02, 0x11, 0x21, 0x31, 0x41, 0x51, 0x04}};
inline constexpr REFERENCE_TIME DVFrameDuration = 400000;

struct TDVTapeStart {
    int Year = 2005, Month = 12, Day = 31, Hour = 23, Minute = 59, Second = 50;
};

// The DV frame n of the tape that starts at `start`.
std::vector<uint8_t> DVTapeFrame(const TDVTapeStart& start, int n);
// The recording date (days since 1899-12-30) of frame n.
double DVTapeDate(const TDVTapeStart& start, int n);
// "h:mm:ss:ff" of frame n's time code.
QString DVTapeTimecode(int n);

class TDVPushSource : public CSource {
public:
    explicit TDVPushSource(int frames, TDVTapeStart start = {});
    int Frames() const { return FFrames; }
    const TDVTapeStart& TapeStart() const { return FStart; }

private:
    int FFrames;
    TDVTapeStart FStart;
};

// dvsd in, the same bytes out in buffers of its own; like every decoder it delivers nothing for
// preroll samples. Every dropEvery-th frame (by its file position) is dropped, as a decoder drops
// a damaged frame (0: none).
class TTestDVDecoder : public CTransformFilter {
public:
    explicit TTestDVDecoder(int dropEvery = 0);
    HRESULT CheckInputType(const CMediaType* mtIn) override;
    HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut) override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    int FDropEvery;
    std::atomic<REFERENCE_TIME> FSegmentStart{0};
};

} // namespace kelvara::test
