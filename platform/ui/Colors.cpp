#include "platform/ui/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TColorIdent {
    TColor Color;
    const char* Ident;
};

// In the table's own order; the aliases clLtGray and clDkGray come after the names that
// ColorToIdent gives for their values.
constexpr TColorIdent ColorIdents[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};

constexpr TColor RGB(int r, int g, int b) {
    return TColor(r | (g << 8) | (b << 16));
}

// The usual desktop values of the system colours, by index; used where the palette has no role.
constexpr TColor SystemDefaults[] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
    RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
    RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
    RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
    RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240),
};

struct TPaletteRole {
    int Index;
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

constexpr TPaletteRole PaletteRoles[] = {
    {4, QPalette::Active, QPalette::Window},
    {5, QPalette::Active, QPalette::Base},
    {7, QPalette::Active, QPalette::WindowText},
    {8, QPalette::Active, QPalette::Text},
    {13, QPalette::Active, QPalette::Highlight},
    {14, QPalette::Active, QPalette::HighlightedText},
    {15, QPalette::Active, QPalette::Button},
    {16, QPalette::Active, QPalette::Dark},
    {17, QPalette::Disabled, QPalette::Text},
    {18, QPalette::Active, QPalette::ButtonText},
    {20, QPalette::Active, QPalette::Light},
    {21, QPalette::Active, QPalette::Shadow},
    {22, QPalette::Active, QPalette::Midlight},
    {23, QPalette::Active, QPalette::ToolTipText},
    {24, QPalette::Active, QPalette::ToolTipBase},
    {26, QPalette::Active, QPalette::Link},
    {29, QPalette::Active, QPalette::Highlight},
    {30, QPalette::Active, QPalette::Window},
};

TColor FromRgb(QRgb rgb) {
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

} // namespace

std::optional<TColor> IdentToColor(const QString& ident) {
    for (const TColorIdent& c : ColorIdents)
        if (ident.compare(QLatin1String(c.Ident), Qt::CaseInsensitive) == 0)
            return c.Color;
    return std::nullopt;
}

std::optional<QString> ColorToIdent(TColor color) {
    for (const TColorIdent& c : ColorIdents)
        if (c.Color == color)
            return QString::fromLatin1(c.Ident);
    return std::nullopt;
}

TColor ColorToRGB(TColor color) {
    if (color >= 0)
        return color;
    const int index = color & 0xFF;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QPalette palette = QGuiApplication::palette();
        for (const TPaletteRole& r : PaletteRoles)
            if (r.Index == index)
                return FromRgb(palette.color(r.Group, r.Role).rgb());
    }
    if (index < int(std::size(SystemDefaults)))
        return SystemDefaults[index];
    return clBlack;
}

QColor ToQColor(TColor color) {
    if (color == clNone || color == clDefault)
        return QColor();
    const uint32_t rgb = uint32_t(ColorToRGB(color));
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color) {
    if (!color.isValid())
        return clNone;
    return FromRgb(color.rgb());
}
