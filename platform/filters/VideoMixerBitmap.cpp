#include "platform/filters/VideoMixerBitmap.h"

#include <cmath>

#include <QPainter>
#include <QPixmap>

namespace {

// The pixels a painter paints on, when it paints on an image or a pixmap.
QImage ImageOfPainter(QPainter* painter) {
    if (!painter || !painter->isActive() || !painter->device())
        return {};
    QPaintDevice* device = painter->device();
    if (device->devType() == QInternal::Image)
        return static_cast<QImage*>(device)->copy();
    if (device->devType() == QInternal::Pixmap)
        return static_cast<QPixmap*>(device)->toImage();
    return {};
}

bool InsideImage(const RECT& r, const QImage& image) {
    return r.left >= 0 && r.top >= 0 && r.right > r.left && r.bottom > r.top &&
           r.right <= image.width() && r.bottom <= image.height();
}

RECT WholeOf(const QImage& image) {
    return RECT{0, 0, LONG(image.width()), LONG(image.height())};
}

} // namespace

HRESULT TVideoMixerBitmap::CheckParameters(const VMR9AlphaBitmap& params,
                                           const QImage& source) const {
    if (source.isNull())
        return E_INVALIDARG;
    if (!(params.fAlpha >= 0.0f && params.fAlpha <= 1.0f))
        return E_INVALIDARG;
    if (!IsValidOutputRect(params.rDest))
        return E_INVALIDARG;
    if ((params.dwFlags & (VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcRect)) &&
        !InsideImage(params.rSrc, source))
        return E_INVALIDARG;
    return S_OK;
}

void TVideoMixerBitmap::TakeParameters(const VMR9AlphaBitmap& params) {
    FFlags = params.dwFlags & ~DWORD(VMR9AlphaBitmap_Disable);
    const bool ownRect = params.dwFlags & (VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcRect);
    FSrc = ownRect ? params.rSrc : WholeOf(FSource);
    FDest = params.rDest;
    FAlpha = params.fAlpha;
    FKey = params.clrSrcKey;
    FFilterMode = (params.dwFlags & VMR9AlphaBitmap_FilterMode) ? params.dwFilterMode : 0;
    FOverlayValid = false;
}

HRESULT TVideoMixerBitmap::Set(const VMR9AlphaBitmap& params) {
    if (params.dwFlags & VMR9AlphaBitmap_Disable) {
        FEnabled = false;
        FOverlayValid = false;
        return S_OK;
    }
    const bool fromPainter = params.dwFlags & VMR9AlphaBitmap_hDC;
    if (fromPainter && (params.dwFlags & VMR9AlphaBitmap_EntireDDS))
        return E_INVALIDARG;
    QImage source;
    if (fromPainter)
        source = ImageOfPainter(params.hdc);
    else if (params.pDDS)
        source = params.pDDS->copy();
    const HRESULT hr = CheckParameters(params, source);
    if (FAILED(hr))
        return hr;
    FOwnAlpha = !fromPainter && source.hasAlphaChannel();
    FSource = source.convertToFormat(FOwnAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    TakeParameters(params);
    FEnabled = true;
    return S_OK;
}

HRESULT TVideoMixerBitmap::Update(const VMR9AlphaBitmap& params) {
    if (params.dwFlags & VMR9AlphaBitmap_Disable) {
        FEnabled = false;
        FOverlayValid = false;
        return S_OK;
    }
    if (FSource.isNull())
        return E_INVALIDARG;
    VMR9AlphaBitmap update = params;
    if (!(update.dwFlags & VMR9AlphaBitmap_SrcRect))
        update.rSrc = FSrc; // keeps the source rectangle
    update.dwFlags = (update.dwFlags & ~DWORD(VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_EntireDDS)) |
                     VMR9AlphaBitmap_SrcRect;
    const HRESULT hr = CheckParameters(update, FSource);
    if (FAILED(hr))
        return hr;
    const DWORD source = FFlags & (VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_EntireDDS);
    TakeParameters(update);
    FFlags = (FFlags & ~DWORD(VMR9AlphaBitmap_SrcRect)) | source |
             (params.dwFlags & VMR9AlphaBitmap_SrcRect);
    FEnabled = true;
    return S_OK;
}

void TVideoMixerBitmap::Get(VMR9AlphaBitmap* params) const {
    *params = VMR9AlphaBitmap{};
    params->dwFlags = FEnabled ? FFlags : VMR9AlphaBitmap_Disable;
    params->rSrc = FSrc;
    params->rDest = FDest;
    params->fAlpha = FAlpha;
    params->clrSrcKey = FKey;
    params->dwFilterMode = FFilterMode;
}

const QImage& TVideoMixerBitmap::Overlay(QSize size, bool mirrorX, bool mirrorY) const {
    if (FOverlayValid && FOverlaySize == size && FOverlayMirrorX == mirrorX &&
        FOverlayMirrorY == mirrorY)
        return FOverlay;
    QImage part = FSource.copy(FSrc.left, FSrc.top, FSrc.right - FSrc.left, FSrc.bottom - FSrc.top)
                      .convertToFormat(QImage::Format_ARGB32);
    const bool keyed = FFlags & VMR9AlphaBitmap_SrcColorKey;
    const uint32_t key =
        (uint32_t(GetRValue(FKey)) << 16) | (uint32_t(GetGValue(FKey)) << 8) | GetBValue(FKey);
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<uint32_t*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            const uint32_t rgb = line[x] & 0x00FFFFFFu;
            if (keyed && rgb == key)
                line[x] = 0;
            else if (!FOwnAlpha)
                line[x] = rgb | 0xFF000000u;
        }
    }
    part = part.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (part.size() != size) {
        const bool point = FFilterMode == MixerPref9_PointFiltering;
        part = part.scaled(size, Qt::IgnoreAspectRatio,
                           point ? Qt::FastTransformation : Qt::SmoothTransformation);
    }
    FOverlay = part.mirrored(mirrorX, mirrorY);
    FOverlaySize = size;
    FOverlayMirrorX = mirrorX;
    FOverlayMirrorY = mirrorY;
    FOverlayValid = true;
    return FOverlay;
}

void TVideoMixerBitmap::BlendOnto(QImage& target) const {
    if (!FEnabled || target.isNull() || FAlpha <= 0.0f)
        return;
    const double w = target.width(), h = target.height();
    const long x0 = std::lround(FDest.left * w), x1 = std::lround(FDest.right * w);
    const long y0 = std::lround(FDest.top * h), y1 = std::lround(FDest.bottom * h);
    const QRect area(QPoint(int(std::min(x0, x1)), int(std::min(y0, y1))),
                     QSize(int(std::labs(x1 - x0)), int(std::labs(y1 - y0))));
    if (area.isEmpty() || !area.intersects(target.rect()))
        return;
    const QImage& overlay = Overlay(area.size(), x0 > x1, y0 > y1);
    QPainter painter(&target);
    painter.setOpacity(FAlpha);
    painter.drawImage(area.topLeft(), overlay);
}
