// The live text inlay of the video window: its actions, the drawing of the lines with their
// outline into a bitmap of the video's native size, and the hand-over to the renderer's mixer.
#include "commands/uActionRows.h"
#include "commands/uCheckAction.h"
#include "commands/uColorAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uFontAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uPointAction.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ShortCuts.h"
#include "presentation/uWindowLessMan.h"

#include <cmath>

#include <QFontMetrics>
#include <QPainter>

namespace {

COLORREF ColorRefOf(const QColor& c) {
    return COLORREF(c.red() | c.green() << 8 | c.blue() << 16);
}

} // namespace

// ---- actions

void TWindowLessMan::CreateInlayActions() {
    new TCheckAction(QStringLiteral("caInsertTextOn"), this);
    new TIntegerAction(QStringLiteral("iaInsertBorderWidth"), this);
    new TColorAction(QStringLiteral("iaInsertBorderColor"), this);
    new TFontAction(QStringLiteral("faInsertFont"), this);
    new TColorAction(QStringLiteral("iaInsertTransparentColor"), this);
    new TCheckAction(QStringLiteral("caInsertAntiAliasing"), this);
    new TDoubleAction(QStringLiteral("daInsertTransparency"), this);
    new TPointAction(QStringLiteral("paInsertPosition"), this);
    new TIntegerAction(QStringLiteral("iaInsertAlignLines"), this);
}

void TWindowLessMan::InitInlayActions() {
    static const TActionRow rows[] = {
        {"caInsertTextOn", "InsertTextOn", ShortCut('I', scCtrl), true},
        {"iaInsertBorderWidth", "InsertBorderWidth", 0, true},
        {"iaInsertBorderColor", "InsertBorderColor", 0, true},
        {"faInsertFont", "InsertFont", 0, true},
        {"iaInsertTransparentColor", "InsertTransparentColor", 0, false},
        {"caInsertAntiAliasing", "InsertAntiAliasing", ShortCut('N', scCtrl), true},
        {"daInsertTransparency", "InsertTransparency", 0, false},
        {"paInsertPosition", "InsertPosition", 0, true},
        {"iaInsertAlignLines", "AlignLines", 0, true},
    };
    InitActionRows(*this, rows);
    if (auto* a = FindAction<TCheckAction>(QStringLiteral("caInsertTextOn")))
        a->SetDefaultValue(false);
    if (auto* a = FindAction<TIntegerAction>(QStringLiteral("iaInsertBorderWidth")))
        a->SetDefaultValue(2);
    if (auto* a = FindAction<TColorAction>(QStringLiteral("iaInsertBorderColor")))
        a->SetDefaultValue(clBlack);
    if (auto* a = FindAction<TFontAction>(QStringLiteral("faInsertFont"))) {
        TFont font;
        font.Name = QStringLiteral("Arial");
        font.SetHeight(-33);
        font.Style = fsBold;
        font.Color = clYellow;
        a->SetDefaultValue(font);
    }
    if (auto* a = FindAction<TColorAction>(QStringLiteral("iaInsertTransparentColor")))
        a->SetDefaultValue(clWhite);
    if (auto* a = FindAction<TCheckAction>(QStringLiteral("caInsertAntiAliasing")))
        a->SetDefaultValue(true);
    if (auto* a = FindAction<TDoubleAction>(QStringLiteral("daInsertTransparency")))
        a->SetDefaultValue(1.0);
    if (auto* a = FindAction<TPointAction>(QStringLiteral("paInsertPosition")))
        a->SetDefaultValue(TPoint{5000, 8200});
    if (auto* a = FindAction<TIntegerAction>(QStringLiteral("iaInsertAlignLines")))
        a->SetDefaultValue(0);
}

void TWindowLessMan::FindInlayActions() {
    caInsertTextOn = FindAction<TCheckAction>(QStringLiteral("caInsertTextOn"));
    iaInsertBorderWidth = FindAction<TIntegerAction>(QStringLiteral("iaInsertBorderWidth"));
    iaInsertBorderColor = FindAction<TColorAction>(QStringLiteral("iaInsertBorderColor"));
    faInsertFont = FindAction<TFontAction>(QStringLiteral("faInsertFont"));
    iaInsertTransparentColor = FindAction<TColorAction>(QStringLiteral("iaInsertTransparentColor"));
    caInsertAntiAliasing = FindAction<TCheckAction>(QStringLiteral("caInsertAntiAliasing"));
    daInsertTransparency = FindAction<TDoubleAction>(QStringLiteral("daInsertTransparency"));
    paInsertPosition = FindAction<TPointAction>(QStringLiteral("paInsertPosition"));
    iaInsertAlignLines = FindAction<TIntegerAction>(QStringLiteral("iaInsertAlignLines"));
}

void TWindowLessMan::WireInlayActions() {
    if (caInsertTextOn) {
        caInsertTextOn->SetTrueCaption(QStringLiteral("Disable Inlay"));
        caInsertTextOn->SetFalseCaption(QStringLiteral("Enable inlay"));
        caInsertTextOn->SetTrueHint(QStringLiteral("Click to deactivate inlaying"));
        caInsertTextOn->SetFalseHint(QStringLiteral("Click to activate inlaying"));
        caInsertTextOn->OnInternalTrueApply = [this] { InlayOn(); };
        caInsertTextOn->OnInternalFalseApply = [this] { InlayOff(); };
    }
    if (caInsertAntiAliasing) {
        caInsertAntiAliasing->SetTrueCaption(QStringLiteral("Deactivate antialiasing"));
        caInsertAntiAliasing->SetFalseCaption(QStringLiteral("Activate antialiasing"));
        caInsertAntiAliasing->SetTrueHint(QStringLiteral("Click to deactivate antialiasing"));
        caInsertAntiAliasing->SetFalseHint(QStringLiteral("Click to activate antialiasing"));
        caInsertAntiAliasing->OnInternalTrueApply = [this] { SetInsertAntiAliasing(true); };
        caInsertAntiAliasing->OnInternalFalseApply = [this] { SetInsertAntiAliasing(false); };
    }
    if (iaInsertBorderWidth)
        iaInsertBorderWidth->OnInternalApply = [this](int32_t w) { SetInsertBorderWidth(w); };
    if (iaInsertBorderColor)
        iaInsertBorderColor->OnInternalApply = [this](TColor c) {
            SetInsertBorderColor(ToQColor(c));
        };
    if (faInsertFont)
        faInsertFont->OnInternalApply = [this](const TFont& f) { SetInsertFont(f); };
    if (iaInsertTransparentColor)
        iaInsertTransparentColor->OnInternalApply = [this](TColor c) {
            SetInsertTransparentColor(ToQColor(c));
        };
    if (daInsertTransparency)
        daInsertTransparency->OnInternalApply = [this](double v) { SetInsertTransparency(v); };
    if (paInsertPosition)
        paInsertPosition->OnInternalApply = [this](const TPoint& p) { SetInsertPosition(p); };
    if (iaInsertAlignLines) {
        iaInsertAlignLines->OnInternalApply = [this](int32_t a) { SetInsertAlignLines(a); };
        iaInsertAlignLines->OnInternalBeforeSave = [this](int32_t& a) {
            a = FInsertAlign;
            return true;
        };
    }
}

// ---- setters

void TWindowLessMan::SetInsertFont(const TFont& font) {
    FInsertFont = font;
    RedrawInlay();
}

void TWindowLessMan::SetInsertBorderWidth(int width) {
    FInsertBorder = std::max(0, width);
    RedrawInlay();
}

void TWindowLessMan::SetInsertBorderColor(const QColor& colour) {
    FInsertBorderColor = colour;
    RedrawInlay();
}

void TWindowLessMan::SetInsertTransparency(double opacity) {
    FInsertTransparency = std::clamp(opacity, 0.0, 1.0);
    RedrawInlay();
}

void TWindowLessMan::SetInsertTransparentColor(const QColor& colour) {
    FInsertKey = colour;
    RedrawInlay();
}

void TWindowLessMan::SetInsertAntiAliasing(bool on) {
    FInsertAntiAliasing = on;
    RedrawInlay();
}

void TWindowLessMan::SetInsertAlignLines(int alignment) {
    FInsertAlign = alignment;
    for (TInlayLine& line : FLines)
        line.Alignment = alignment;
    RedrawInlay();
}

void TWindowLessMan::SetInsertPosition(const TPoint& position) {
    FInsertPosition = position;
    RedrawInlay();
}

void TWindowLessMan::SetAutoSize(bool on) {
    FAutoSize = on;
    RedrawInlay();
}

// ---- drawing

void TWindowLessMan::InlayOn() {
    FInlayActive = true;
    DrawInlay();
}

void TWindowLessMan::InlayOff() {
    FInlayActive = false;
    if (FMixerBitmap) {
        VMR9AlphaBitmap off;
        off.dwFlags = VMR9AlphaBitmap_Disable;
        FMixerBitmap->SetAlphaBitmap(&off);
    }
}

void TWindowLessMan::RedrawInlay() {
    if (!FInlayActive)
        return;
    if (FMaxSynchro > 0 && FQuality) {
        int lag = 0;
        // A renderer that shows frames late keeps the bitmap it has.
        if (SUCCEEDED(FQuality->get_AvgSyncOffset(&lag)) && lag >= FMaxSynchro)
            return;
    }
    DrawInlay();
}

void TWindowLessMan::DrawOutlinedText(QPainter& painter, int x, int y, const QString& text) {
    const QRect far(x, y, 1 << 20, 1 << 20);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
    QFont font = painter.font();
    // The outline copies unsmoothed; the text itself smoothed when asked (and only with an
    // outline, as the smoothing switch sits inside the outline step).
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    const int w = FInsertBorder;
    bool smooth = false;
    if (w > 0) {
        painter.setPen(FInsertBorderColor);
        for (int dx = -w; dx <= w; ++dx)
            for (int dy = -w; dy <= w; ++dy)
                if (std::abs(dx) + std::abs(dy) > w)
                    painter.drawText(far.translated(dx, dy), flags, text);
        smooth = FInsertAntiAliasing;
    }
    font.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(ToQColor(FInsertFont.Color));
    painter.drawText(far, flags, text);
}

void TWindowLessMan::DrawInlay() {
    if (!FWindowless || !FMixerBitmap)
        return;
    LONG width = 0, height = 0;
    if (FAILED(FWindowless->GetNativeVideoSize(&width, &height, nullptr, nullptr)) || width <= 0 ||
        height <= 0)
        return;
    const int W = int(width), H = int(height);
    if (FInlay.size() != QSize(W, H))
        FInlay = QImage(W, H, QImage::Format_RGB32);
    TFont font = FInsertFont;
    if (FAutoSize)
        font.SetSize(std::max(W / 36, H / 28));
    FInlayFontSize = font.Size();
    FInlay.fill(FInsertKey);
    QPainter painter(&FInlay);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font.ToQFont());
    const QFontMetrics metrics(painter.font());
    const int x0 = int(int64_t(FInsertPosition.x) * W / 10000);
    const int y0 = int(int64_t(FInsertPosition.y) * H / 10000);
    int a = 0;
    for (const TInlayLine& line : FLines) {
        if (!line.Enabled)
            continue;
        const int v = int(std::lround(double(H) * line.VerticalOffset));
        a = line.Relative ? a + v : v;
        int x = int(std::lround(double(W) * line.HorizontalOffset));
        const int textWidth = metrics.horizontalAdvance(line.Text);
        if (line.Alignment == 1)
            x -= textWidth;
        else if (line.Alignment == 2)
            x -= textWidth / 2;
        DrawOutlinedText(painter, x0 + x + FInsertBorder, y0 + a + FInsertBorder, line.Text);
        a += metrics.height();
    }
    VMR9AlphaBitmap bitmap;
    bitmap.dwFlags = VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcColorKey | VMR9AlphaBitmap_FilterMode;
    bitmap.hdc = &painter;
    bitmap.rSrc = RECT{0, 0, W, H};
    bitmap.rDest = VMR9NormalizedRect{0.0f, 0.0f, 1.0f, 1.0f};
    bitmap.fAlpha = float(FInsertTransparency);
    bitmap.clrSrcKey = ColorRefOf(FInsertKey);
    bitmap.dwFilterMode = MixerPref9_PointFiltering;
    FMixerBitmap->SetAlphaBitmap(&bitmap);
}
