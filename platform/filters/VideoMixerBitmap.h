#pragma once
// The mixer's alpha bitmap: a copy of the pixels handed to SetAlphaBitmap with the parameters
// that say how it is laid over the video (source rectangle, normalized destination, opacity,
// colour key, filtering). BlendOnto draws it over a composed frame: pixels of the key colour
// are left out, the rest is blended with the opacity (and, for an image with an alpha channel
// given as the surface, with its own alpha). Point filtering scales it by nearest pixels,
// every other filter mode bilinearly; a reversed destination mirrors it.
//
// Not locked: the video renderer guards it with its presentation lock.
#include "platform/filters/RendererInterfaces.h"

#include <QImage>

class TVideoMixerBitmap {
public:
    HRESULT Set(const VMR9AlphaBitmap& params);
    HRESULT Update(const VMR9AlphaBitmap& params);
    void Get(VMR9AlphaBitmap* params) const;
    bool IsEnabled() const { return FEnabled; }
    // Draws the bitmap over `target` (RGB32), whose whole area is the mixer's output.
    void BlendOnto(QImage& target) const;

private:
    HRESULT CheckParameters(const VMR9AlphaBitmap& params, const QImage& source) const;
    void TakeParameters(const VMR9AlphaBitmap& params);
    // The source part with the key colour cleared, premultiplied, scaled to `size`.
    const QImage& Overlay(QSize size, bool mirrorX, bool mirrorY) const;

    bool FEnabled = false;
    bool FOwnAlpha = false; // the source's alpha channel counts (a surface with alpha)
    QImage FSource;
    DWORD FFlags = 0;
    RECT FSrc;
    VMR9NormalizedRect FDest;
    float FAlpha = 1.0f;
    COLORREF FKey = 0;
    DWORD FFilterMode = 0;

    // The last overlay built, reused while nothing it depends on changes.
    mutable QImage FOverlay;
    mutable QSize FOverlaySize;
    mutable bool FOverlayMirrorX = false;
    mutable bool FOverlayMirrorY = false;
    mutable bool FOverlayValid = false;
};
