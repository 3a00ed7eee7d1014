#include "presentation/uTextGauge.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QPainter>
#include <QPainterPath>

namespace {

// The caption as a format with one integer: its first %d takes the value, %% is a percent sign.
QString FormatCaption(const QString& caption, int value) {
    QString out;
    bool used = false;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'%' && i + 1 < caption.size()) {
            if (caption[i + 1] == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            if (caption[i + 1] == u'd' && !used) {
                out += QString::number(value);
                used = true;
                ++i;
                continue;
            }
        }
        out += caption[i];
    }
    return out;
}

// dst := dst XOR src on the colour bits (the raster operation SRCINVERT); both RGB32 of one size.
void XorInto(QImage& dst, const QImage& src) {
    for (int y = 0; y < dst.height(); ++y) {
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < dst.width(); ++x)
            d[x] = ((d[x] ^ s[x]) & 0x00FFFFFFu) | 0xFF000000u;
    }
}

} // namespace

TTextGauge::TTextGauge(QWidget* parent) : QWidget(parent) {
    resize(100, 100);
}

void TTextGauge::SetRange(int minValue, int maxValue) {
    FMin = minValue;
    FMax = std::max(minValue, maxValue);
    FProgress = std::clamp(FProgress, FMin, FMax);
    Changed();
}

void TTextGauge::SetProgress(int progress) {
    FProgress = std::clamp(progress, FMin, FMax);
    Changed();
}

void TTextGauge::SetAlertValue(int value) {
    FAlert = value;
    Changed();
}

void TTextGauge::SetKind(TGaugeKind kind) {
    FKind = kind;
    Changed();
}

void TTextGauge::SetTextKind(TGaugeTextKind kind) {
    FTextKind = kind;
    Changed();
}

void TTextGauge::SetShowText(bool show) {
    FShowText = show;
    Changed();
}

void TTextGauge::SetCustomText(bool custom) {
    FCustomText = custom;
    Changed();
}

void TTextGauge::SetCaption(const QString& caption) {
    FCaption = caption;
    Changed();
}

void TTextGauge::SetBorder(TGaugeBorder border) {
    FBorder = border;
    Changed();
}

void TTextGauge::SetForeColor(const QColor& colour) {
    FFore = colour;
    Changed();
}

void TTextGauge::SetBackColor(const QColor& colour) {
    FBack = colour;
    Changed();
}

void TTextGauge::Changed() {
    update();
}

int TTextGauge::Percent() const {
    const int64_t range = int64_t(FMax) - FMin;
    if (range <= 0)
        return 0;
    return int((int64_t(FProgress) - FMin) * 100 / range);
}

QString TTextGauge::Text() const {
    if (FCustomText)
        return FCaption;
    switch (FTextKind) {
    case TGaugeTextKind::PercentDone:
        return QString::number(Percent()) + u'%';
    case TGaugeTextKind::ValueDone:
        return FormatCaption(FCaption, FProgress);
    case TGaugeTextKind::ValueLeft:
        return FormatCaption(FCaption, FMax - FProgress);
    case TGaugeTextKind::PercentLeft:
        return QString::number(100 - Percent()) + u'%';
    }
    return {};
}

QColor TTextGauge::CurrentColor() const {
    const bool done =
        FTextKind == TGaugeTextKind::PercentDone || FTextKind == TGaugeTextKind::ValueDone;
    const bool alert = done ? FProgress > FAlert : FProgress < FAlert;
    return alert ? QColor(AlertColor) : FFore;
}

QRect TTextGauge::GaugeArea() const {
    const QRect all(QPoint(0, 0), size());
    return FBorder == TGaugeBorder::Single ? all.adjusted(1, 1, -1, -1) : all;
}

QImage TTextGauge::Render() const {
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    // The gauge is drawn on a black background and combined with it by XOR: the same as a copy.
    image.fill(Qt::black);
    QImage gauge(image.size(), QImage::Format_RGB32);
    gauge.fill(palette().color(QPalette::Window));
    const QRect area = GaugeArea();
    PaintGauge(gauge, area);
    XorInto(image, gauge);
    if (FShowText)
        PaintText(image, area);
    return image;
}

void TTextGauge::PaintGauge(QImage& image, const QRect& area) const {
    QPainter p(&image);
    if (FBorder == TGaugeBorder::Single) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(0, 0), image.size()).adjusted(0, 0, -1, -1));
    }
    const QColor colour = CurrentColor();
    const int percent = Percent();
    switch (FKind) {
    case TGaugeKind::Text:
        p.fillRect(area, FBack);
        break;
    case TGaugeKind::HorizontalBar: {
        p.fillRect(area, FBack);
        const int w = area.width() * percent / 100;
        p.fillRect(QRect(area.left(), area.top(), w, area.height()), colour);
        break;
    }
    case TGaugeKind::VerticalBar: {
        p.fillRect(area, FBack);
        const int h = area.height() * percent / 100;
        p.fillRect(QRect(area.left(), area.bottom() + 1 - h, area.width(), h), colour);
        break;
    }
    case TGaugeKind::Pie: {
        p.fillRect(area, palette().color(QPalette::Window));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(colour);
        p.setBrush(FBack);
        p.drawEllipse(area.adjusted(0, 0, -1, -1));
        if (percent > 0) {
            p.setBrush(colour);
            // From twelve o'clock, clockwise (Qt counts sixteenths of a degree, anticlockwise).
            p.drawPie(area.adjusted(0, 0, -1, -1), 90 * 16, -percent * 360 * 16 / 100);
        }
        break;
    }
    case TGaugeKind::Needle:
        PaintNeedle(p, area);
        break;
    }
}

void TTextGauge::PaintNeedle(QPainter& p, const QRect& area) const {
    const QColor colour = CurrentColor();
    p.fillRect(area, palette().color(QPalette::Window));
    p.save();
    p.translate(area.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), area.size()));
    const int width = area.width();
    const int bottom = area.height();
    // A half disc spanning the width, resting on the bottom edge.
    p.setPen(colour);
    p.setBrush(FBack);
    p.drawPie(QRect(0, 0, width - 1, 2 * bottom - 1), 0, 180 * 16);
    p.drawLine(0, bottom - 1, width - 1, bottom - 1);
    const int percent = Percent();
    if (percent > 0) {
        const double theta = percent / 100.0 * std::numbers::pi;
        const int half = width / 2;
        const QPoint tip(int(std::lround((1 - std::cos(theta)) * half)),
                         int(std::lround((1 - std::sin(theta)) * (bottom - 1))));
        p.drawLine(QPoint(half, bottom - 1), tip);
    }
    p.restore();
}

void TTextGauge::PaintText(QImage& image, const QRect& area) const {
    // White text on black, without antialiasing, combined by XOR: black leaves the picture as it
    // is, white inverts it.
    QImage layer(image.size(), QImage::Format_RGB32);
    layer.fill(Qt::black);
    {
        QPainter p(&layer);
        QFont f = font();
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(area, Qt::AlignCenter, Text());
    }
    XorInto(image, layer);
}

void TTextGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Render());
}
