#pragma once
// A seekable push source for the renderers' tests: one output pin of a given media type whose
// samples the test fills (a picture with known pixels, a tone). Sample n of the stream sits at
// n x the sample duration; after a seek it restarts from the key sample at or before the
// target, marking the samples before it as preroll, as a splitter does. The source can be held
// back before a given sample (to watch a renderer wait), and can attach a new media type to one
// sample (a format change).
#include "platform/graph/SourceFilter.h"
#include "platform/graph/SourceSeeking.h"
#include "platform/graph/SourceStream.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include <QImage>

namespace kelvara::test {

// Fills the payload of sample `index` (size bytes at data); answers the bytes used.
using TSampleFill = std::function<LONG(int index, BYTE* data, LONG size)>;

struct TRendererSourceConfig {
    AM_MEDIA_TYPE type;
    int samples = 10;
    REFERENCE_TIME sampleDuration = 400000;
    LONG bufferSize = 0; // 0: the type's lSampleSize
    int keyInterval = 1;
    TSampleFill fill;
    // A type attached to sample `changeAt` (none when changeAt < 0).
    int changeAt = -1;
    AM_MEDIA_TYPE changedType;
};

inline constexpr CLSID CLSID_RendererTestSource{
    0x6B1C2D3E, 0x1A2B, 0x4C5D, {0x9E, 0x01, 0x10, 0x20, 0x30, 0x40, 0x50, 0x21}};

class TRendererTestSource : public CSource {
public:
    explicit TRendererTestSource(TRendererSourceConfig config);
    const TRendererSourceConfig& Config() const { return FConfig; }

    // While held, the streaming thread waits before filling sample `index` or a later one.
    void HoldAt(int index);
    void ReleaseHold();
    // Called by the pin: waits while sample `index` is held back (false: give up, stopping).
    bool WaitUntilFree(int index, const std::function<bool()>& stopping);
    void WakeHeld();
    // Samples filled so far (preroll included).
    int Delivered() const { return FDelivered.load(); }
    void CountDelivered() { ++FDelivered; }

private:
    TRendererSourceConfig FConfig;
    std::atomic<int> FDelivered{0};
    std::mutex FHoldLock;
    std::condition_variable FHoldChanged;
    std::optional<int> FHoldAt; // guarded by FHoldLock
};

// An upright RGB32 picture whose pixels tell frame, column and row apart.
QImage PatternImage(int frame, int width, int height);
// Writes an upright image into a bitmap buffer of the given layout (4 or 3 bytes per pixel,
// rows padded to four bytes, bottom-up unless topDown); answers the bytes written.
LONG WriteBitmap(const QImage& upright, BYTE* data, LONG size, int bytesPerPixel, bool topDown);
// An RGB video type with a VIDEOINFOHEADER (height < 0: top-down).
AM_MEDIA_TYPE RgbVideoType(REFGUID subtype, LONG width, LONG height, REFERENCE_TIME duration);
// A PCM (or float) audio type.
AM_MEDIA_TYPE PcmAudioType(int channels, int rate, int bits, bool isFloat = false);

} // namespace kelvara::test
