#include "platform/filters/VideoMixer.h"

#include <cmath>

#include <QPainter>

namespace {

QColor ColorOf(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool IsWhole(const VMR9NormalizedRect& r) {
    auto edge = [](float v) { return v == 0.0f || v == 1.0f; };
    return edge(r.left) && edge(r.right) && edge(r.top) && edge(r.bottom);
}

} // namespace

TVideoMixer::TVideoMixer() {
    for (DWORD i = 0; i < MAX_MIXER_STREAMS; ++i)
        FStreams[i].z = i;
}

HRESULT TVideoMixer::SetOutputRect(DWORD stream, const VMR9NormalizedRect* rect) {
    if (!rect)
        return E_POINTER;
    if (!IsStream(stream) || !IsValidOutputRect(*rect))
        return E_INVALIDARG;
    FStreams[stream].output = *rect;
    return S_OK;
}

HRESULT TVideoMixer::GetOutputRect(DWORD stream, VMR9NormalizedRect* rect) const {
    if (!rect)
        return E_POINTER;
    if (!IsStream(stream))
        return E_INVALIDARG;
    *rect = FStreams[stream].output;
    return S_OK;
}

HRESULT TVideoMixer::SetAlpha(DWORD stream, float alpha) {
    if (!IsStream(stream) || !(alpha >= 0.0f && alpha <= 1.0f))
        return E_INVALIDARG;
    FStreams[stream].alpha = alpha;
    return S_OK;
}

HRESULT TVideoMixer::GetAlpha(DWORD stream, float* alpha) const {
    if (!alpha)
        return E_POINTER;
    if (!IsStream(stream))
        return E_INVALIDARG;
    *alpha = FStreams[stream].alpha;
    return S_OK;
}

HRESULT TVideoMixer::SetZOrder(DWORD stream, DWORD z) {
    if (!IsStream(stream))
        return E_INVALIDARG;
    FStreams[stream].z = z;
    return S_OK;
}

HRESULT TVideoMixer::GetZOrder(DWORD stream, DWORD* z) const {
    if (!z)
        return E_POINTER;
    if (!IsStream(stream))
        return E_INVALIDARG;
    *z = FStreams[stream].z;
    return S_OK;
}

HRESULT TVideoMixer::SetMixingPrefs(DWORD prefs) {
    if (prefs &
        ~DWORD(MixerPref9_DecimateMask | MixerPref9_FilteringMask | MixerPref9_RenderTargetMask))
        return E_INVALIDARG;
    FPrefs = prefs;
    return S_OK;
}

QImage TVideoMixer::PlaceStream(const QImage& frame, const TStream& stream) const {
    const VMR9NormalizedRect& r = stream.output;
    const bool mirrorX = r.left > r.right, mirrorY = r.top > r.bottom;
    if (IsWhole(r) && stream.alpha >= 1.0f)
        return (mirrorX || mirrorY) ? frame.mirrored(mirrorX, mirrorY) : frame;
    QImage out(frame.size(), QImage::Format_RGB32);
    out.fill(ColorOf(FBackground));
    const double w = frame.width(), h = frame.height();
    const long x0 = std::lround(r.left * w), x1 = std::lround(r.right * w);
    const long y0 = std::lround(r.top * h), y1 = std::lround(r.bottom * h);
    const QRect area(QPoint(int(std::min(x0, x1)), int(std::min(y0, y1))),
                     QSize(int(std::labs(x1 - x0)), int(std::labs(y1 - y0))));
    if (area.isEmpty())
        return out;
    const bool point = (FPrefs & MixerPref9_FilteringMask) == MixerPref9_PointFiltering;
    const QImage placed = frame
                              .scaled(area.size(), Qt::IgnoreAspectRatio,
                                      point ? Qt::FastTransformation : Qt::SmoothTransformation)
                              .mirrored(mirrorX, mirrorY);
    QPainter painter(&out);
    painter.setOpacity(stream.alpha);
    painter.drawImage(area.topLeft(), placed);
    return out;
}

QImage TVideoMixer::Compose(const QImage& frame) const {
    if (frame.isNull())
        return {};
    QImage out = PlaceStream(frame, FStreams[0]);
    FBitmap.BlendOnto(out); // painting on `out` detaches it from the frame
    return out;
}
