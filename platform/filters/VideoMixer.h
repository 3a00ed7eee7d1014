#pragma once
// The video renderer's mixer: per stream an output rectangle (normalized; reversed edges mirror
// the stream: the flips), an opacity and a Z order; the background colour; the mixing
// preferences; and the alpha bitmap laid over everything. Compose builds the image as displayed
// from stream 0's frame: the mixer's output has the frame's size.
//
// Not locked: the video renderer guards it with its presentation lock.
#include "platform/filters/RendererInterfaces.h"
#include "platform/filters/VideoMixerBitmap.h"

#include <array>

#include <QImage>

class TVideoMixer {
public:
    TVideoMixer();

    // The number of streams set through the filter configuration (1 until then).
    void SetStreamCount(DWORD count) { FStreamCount = count; }
    DWORD StreamCount() const { return FStreamCount; }

    HRESULT SetOutputRect(DWORD stream, const VMR9NormalizedRect* rect);
    HRESULT GetOutputRect(DWORD stream, VMR9NormalizedRect* rect) const;
    HRESULT SetAlpha(DWORD stream, float alpha);
    HRESULT GetAlpha(DWORD stream, float* alpha) const;
    HRESULT SetZOrder(DWORD stream, DWORD z);
    HRESULT GetZOrder(DWORD stream, DWORD* z) const;
    void SetBackground(COLORREF color) { FBackground = color; }
    COLORREF Background() const { return FBackground; }
    HRESULT SetMixingPrefs(DWORD prefs);
    DWORD MixingPrefs() const { return FPrefs; }

    TVideoMixerBitmap& Bitmap() { return FBitmap; }
    const TVideoMixerBitmap& Bitmap() const { return FBitmap; }

    // The frame of stream 0 as displayed (RGB32, the frame's size). Shares the frame's pixels
    // when the mixer leaves it as it is.
    QImage Compose(const QImage& frame) const;

private:
    struct TStream {
        VMR9NormalizedRect output;
        float alpha = 1.0f;
        DWORD z = 0;
    };
    bool IsStream(DWORD stream) const { return stream < FStreamCount; }
    QImage PlaceStream(const QImage& frame, const TStream& stream) const;

    DWORD FStreamCount = 1;
    std::array<TStream, MAX_MIXER_STREAMS> FStreams;
    COLORREF FBackground = 0;
    DWORD FPrefs =
        MixerPref9_NoDecimation | MixerPref9_BiLinearFiltering | MixerPref9_RenderTargetRGB;
    TVideoMixerBitmap FBitmap;
};
