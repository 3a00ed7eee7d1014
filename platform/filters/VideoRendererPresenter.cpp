#include "platform/filters/VideoRendererPresenter.h"

#include <cstring>

#include <QPainter>
#include <QRegion>

namespace {

QColor ColorOf(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QRect ToQRect(const RECT& r) {
    return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
}

bool IsOrdered(const RECT& r) {
    return r.right >= r.left && r.bottom >= r.top;
}

} // namespace

QRect LetterBoxRect(const QRect& area, qint64 ax, qint64 ay) {
    if (ax <= 0 || ay <= 0 || area.isEmpty())
        return area;
    const qint64 w = area.width(), h = area.height();
    qint64 fitW = w, fitH = h;
    if (w * ay > h * ax) // the area is wider than the picture: bars left and right
        fitW = (h * ax + ay / 2) / ay;
    else
        fitH = (w * ay + ax / 2) / ax;
    return QRect(area.left() + int((w - fitW) / 2), area.top() + int((h - fitH) / 2), int(fitW),
                 int(fitH));
}

size_t PackedDibSize(const QImage& image) {
    return sizeof(BITMAPINFOHEADER) + size_t(image.width()) * size_t(image.height()) * 4;
}

void WritePackedDib(const QImage& image, BYTE* out) {
    BITMAPINFOHEADER header;
    header.biWidth = image.width();
    header.biHeight = image.height(); // positive: bottom-up
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(size_t(image.width()) * size_t(image.height()) * 4);
    std::memcpy(out, &header, sizeof header);
    BYTE* pixels = out + sizeof header;
    const size_t row = size_t(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(pixels + size_t(image.height() - 1 - y) * row, image.constScanLine(y), row);
}

bool TVideoPresenter::SetFormat(const std::optional<TVideoFormat>& format) {
    std::lock_guard lock(FLock);
    const QSize before = FFormat ? FFormat->PictureSize() : QSize();
    const QSize after = format ? format->PictureSize() : QSize();
    FFormat = format;
    if (before == after)
        return false;
    FFrame = QImage();
    FCompositeValid = false;
    if (FSourceSet && !QRect(QPoint(0, 0), after).contains(ToQRect(FSource)))
        FSourceSet = false; // a source rectangle outside the new picture: show all of it
    return true;
}

std::optional<TVideoFormat> TVideoPresenter::Format() const {
    std::lock_guard lock(FLock);
    return FFormat;
}

void TVideoPresenter::ShowFrame(QImage frame) {
    std::function<void()> repaint;
    {
        std::lock_guard lock(FLock);
        FSpare = std::move(FFrame);
        FFrame = std::move(frame);
        FComposite = QImage(); // it may share the old frame's pixels
        FCompositeValid = false;
        repaint = FRepaint;
    }
    if (repaint)
        repaint();
}

QImage TVideoPresenter::TakeSpareFrame() {
    std::lock_guard lock(FLock);
    return std::move(FSpare);
}

void TVideoPresenter::ClearFrame() {
    std::function<void()> repaint;
    {
        std::lock_guard lock(FLock);
        FFrame = QImage();
        FSpare = QImage();
        FComposite = QImage();
        FCompositeValid = false;
        repaint = FRepaint;
    }
    if (repaint)
        repaint();
}

bool TVideoPresenter::HasFrame() const {
    std::lock_guard lock(FLock);
    return !FFrame.isNull();
}

HRESULT TVideoPresenter::SetVideoPosition(const RECT* source, const RECT* destination) {
    if (!source && !destination)
        return E_POINTER;
    std::lock_guard lock(FLock);
    if (destination && !IsOrdered(*destination))
        return E_INVALIDARG;
    if (source) {
        const QRect r = ToQRect(*source);
        const QSize size = FFormat ? FFormat->PictureSize() : QSize();
        if (!IsOrdered(*source) || r.isEmpty() ||
            (size.isValid() && !QRect(QPoint(0, 0), size).contains(r)))
            return E_INVALIDARG;
    }
    if (source) {
        FSource = *source;
        FSourceSet = true;
    }
    if (destination)
        FDestination = *destination;
    return S_OK;
}

QRect TVideoPresenter::SourceRectLocked() const {
    if (FSourceSet)
        return ToQRect(FSource);
    return FFormat ? QRect(QPoint(0, 0), FFormat->PictureSize()) : QRect();
}

void TVideoPresenter::GetVideoPosition(RECT* source, RECT* destination) const {
    std::lock_guard lock(FLock);
    if (source) {
        const QRect r = SourceRectLocked();
        *source = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    if (destination)
        *destination = FDestination;
}

RECT TVideoPresenter::Destination() const {
    std::lock_guard lock(FLock);
    return FDestination;
}

void TVideoPresenter::SetAspectRatioMode(DWORD mode) {
    std::lock_guard lock(FLock);
    FAspectMode = mode;
}

DWORD TVideoPresenter::AspectRatioMode() const {
    std::lock_guard lock(FLock);
    return FAspectMode;
}

void TVideoPresenter::SetBorderColor(COLORREF color) {
    std::lock_guard lock(FLock);
    FBorder = color;
}

COLORREF TVideoPresenter::BorderColor() const {
    std::lock_guard lock(FLock);
    return FBorder;
}

void TVideoPresenter::SetRenderingPrefs(DWORD prefs) {
    std::lock_guard lock(FLock);
    FRenderPrefs = prefs;
}

DWORD TVideoPresenter::RenderingPrefs() const {
    std::lock_guard lock(FLock);
    return FRenderPrefs;
}

void TVideoPresenter::SetRepaintRequest(std::function<void()> request) {
    std::lock_guard lock(FLock);
    FRepaint = std::move(request);
}

void TVideoPresenter::RequestRepaint() const {
    std::function<void()> repaint;
    {
        std::lock_guard lock(FLock);
        repaint = FRepaint;
    }
    if (repaint)
        repaint();
}

QImage TVideoPresenter::CompositeLocked() const {
    if (!FCompositeValid) {
        FComposite = FMixer.Compose(FFrame);
        FCompositeValid = true;
    }
    return FComposite;
}

QImage TVideoPresenter::Composite() const {
    std::lock_guard lock(FLock);
    return CompositeLocked();
}

QRect TVideoPresenter::PictureRectLocked(const QRect& area) const {
    if (FAspectMode != VMR9ARMode_LetterBox || !FFormat)
        return area;
    // The aspect of the part shown: the picture's aspect scaled by the part's share of it.
    const QRect source = SourceRectLocked();
    const QSize size = FFormat->PictureSize();
    if (source.isEmpty() || size.isEmpty())
        return area;
    const qint64 ax = qint64(FFormat->aspectX) * source.width() * size.height();
    const qint64 ay = qint64(FFormat->aspectY) * source.height() * size.width();
    return LetterBoxRect(area, ax, ay);
}

QRect TVideoPresenter::PictureRect(const QRect& area) const {
    std::lock_guard lock(FLock);
    return PictureRectLocked(area);
}

void TVideoPresenter::Paint(QPainter& painter, const QRect& area) const {
    if (area.isEmpty())
        return;
    QImage image;
    QRect picture, source;
    QColor border;
    bool bars = true;
    {
        // Painting runs outside the lock, so that a new frame never waits for the screen.
        std::lock_guard lock(FLock);
        image = CompositeLocked();
        picture = PictureRectLocked(area);
        source = SourceRectLocked();
        border = ColorOf(FBorder);
        bars = !(FRenderPrefs & RenderPrefs9_DoNotRenderBorder);
    }
    if (bars)
        for (const QRect& bar : QRegion(area).subtracted(QRegion(picture)))
            painter.fillRect(bar, border);
    if (image.isNull() || source.isEmpty()) {
        painter.fillRect(picture, border);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, picture.size() != source.size());
    painter.drawImage(picture, image, source);
    painter.restore();
}
