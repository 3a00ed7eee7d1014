#pragma once
// Renderers for the filter tests. The video sink takes RGB32 (FORMAT_VideoInfo) and keeps the
// pixels of the frame it showed last, top row first, with the times of every frame it showed;
// the audio sink takes 16-bit PCM and keeps every sample with the time it started at.
#include "platform/graph/BaseRenderer.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace kelvara::test {

inline constexpr CLSID CLSID_TestPixelSink{
    0x7C0B4A11, 0x51D2, 0x4E8F, {0x91, 0x2A, 0x33, 0x0D, 0x5E, 0x61, 0x70, 0x01}};
inline constexpr CLSID CLSID_TestPcmSink{
    0x7C0B4A11, 0x51D2, 0x4E8F, {0x91, 0x2A, 0x33, 0x0D, 0x5E, 0x61, 0x70, 0x02}};

struct TShownFrame {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool hasTime = false;
    bool discontinuity = false;
};

class TPixelSink : public CBaseRenderer {
public:
    TPixelSink();
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT DoRenderSample(IMediaSample* pMediaSample) override;

    int Width() const;
    int Height() const;
    // The last frame, B, G, R, X bytes per pixel, the top row first.
    std::vector<uint8_t> LastPixels() const;
    std::vector<TShownFrame> Shown() const;
    size_t ShownCount() const;
    void Clear();

private:
    mutable std::mutex FLock;
    // guarded by FLock
    int FWidth = 0, FHeight = 0;
    bool FBottomUp = true;
    std::vector<uint8_t> FPixels;
    std::vector<TShownFrame> FShown;
};

class TPcmSink : public CBaseRenderer {
public:
    TPcmSink();
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT DoRenderSample(IMediaSample* pMediaSample) override;

    int Channels() const;
    int Rate() const;
    std::vector<int16_t> Samples() const;
    // Start time of each sample received.
    std::vector<REFERENCE_TIME> Starts() const;
    void Clear();

private:
    mutable std::mutex FLock;
    // guarded by FLock
    int FChannels = 0, FRate = 0;
    std::vector<int16_t> FSamples;
    std::vector<REFERENCE_TIME> FStarts;
};

} // namespace kelvara::test
