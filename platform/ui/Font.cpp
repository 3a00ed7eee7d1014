#include "platform/ui/Font.h"

#include <QFont>

namespace {
constexpr TColor clWindowText = TColor(0xFF000008);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return -1;
    const int64_t p = int64_t(a) * b;
    const int64_t half = (c > 0 ? c : -int64_t(c)) / 2;
    const bool negative = (p < 0) != (c < 0);
    const int64_t q = ((p < 0 ? -p : p) + half) / (c > 0 ? c : -int64_t(c));
    return int32_t(negative ? -q : q);
}

TFont::TFont() : Name(QStringLiteral("Tahoma")), Color(clWindowText), FHeight(-11) {}

int32_t TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int32_t points) { FHeight = -MulDiv(points, FPixelsPerInch, 72); }

void TFont::SetPixelsPerInch(int32_t ppi) {
    if (ppi <= 0 || ppi == FPixelsPerInch)
        return;
    const int32_t points = Size();
    FPixelsPerInch = ppi;
    SetSize(points);
}

QFont TFont::ToQFont() const {
    QFont f(Name);
    const int32_t pts = Size();
    if (pts > 0)
        f.setPointSize(pts);
    f.setBold(HasStyle(fsBold));
    f.setItalic(HasStyle(fsItalic));
    f.setUnderline(HasStyle(fsUnderline));
    f.setStrikeOut(HasStyle(fsStrikeOut));
    switch (Pitch) {
    case fpFixed:
        f.setFixedPitch(true);
        break;
    case fpVariable:
        f.setFixedPitch(false);
        break;
    default:
        break;
    }
    return f;
}
