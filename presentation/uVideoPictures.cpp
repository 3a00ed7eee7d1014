#include "presentation/uVideoPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 192;

QImage Blank() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    return image;
}

// A cinch plug lying from the top down: its cable, the grip in its colour, the metal ring and pin.
void DrawPlug(QPainter& p, int x, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(x - 5, 0, 10, 60); // cable
    p.setBrush(colour);
    p.drawRoundedRect(x - 16, 56, 32, 64, 6, 6); // grip
    p.setBrush(colour.darker(130));
    for (int y = 66; y < 112; y += 10)
        p.drawRect(x - 16, y, 32, 3); // ribs
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(x - 12, 120, 24, 22); // ring
    p.setBrush(QColor(235, 215, 120));
    p.drawRect(x - 4, 142, 8, 26); // pin
}

QImage DrawNoVideo() {
    QImage image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawPlug(p, 48, QColor(250, 220, 0));
    DrawPlug(p, 96, QColor(245, 245, 245));
    DrawPlug(p, 144, QColor(220, 0, 0));
    return image;
}

QImage DrawBadVideo() {
    QImage image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The camcorder: body, lens, viewfinder and a red recording light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawRoundedRect(40, 72, 92, 58, 8, 8);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(132, 84, 22, 34);
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(QPoint(154, 101), 12, 17);
    p.setBrush(QColor(120, 160, 220));
    p.drawEllipse(QPoint(154, 101), 6, 10);
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(48, 56, 36, 16);
    p.setBrush(QColor(255, 40, 40));
    p.drawEllipse(QPoint(120, 82), 4, 4);
    // The prohibition sign over it.
    QPen pen(QColor(230, 0, 0), 14);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(96, 96), 78, 78);
    p.drawLine(QPointF(96 - 55, 96 - 55), QPointF(96 + 55, 96 + 55));
    return image;
}

} // namespace

const QImage& NoVideoPicture() {
    static const QImage image = DrawNoVideo();
    return image;
}

const QImage& BadVideoPicture() {
    static const QImage image = DrawBadVideo();
    return image;
}
