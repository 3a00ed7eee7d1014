#include "scripting/GraphicsDecls.h"

#include "scripting/Compiler.h"

#include <cstdint>

namespace kelvara::script {

namespace {

struct NamedColor {
    const char* name;
    uint32_t value;
};

// 0x00BBGGRR; system colours carry their index in the low byte and 0xFF in the top byte.
constexpr NamedColor kColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clWhite", 0xFFFFFF},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", 0xFF000000},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018},
};

struct TypeDecl {
    const char* name;
    const char* declaration;
};

constexpr TypeDecl kTypes[] = {
    {"TColor", "-$7FFFFFFF-1..$7FFFFFFF"},
    {"TFontStyle", "(fsBold, fsItalic, fsUnderline, fsStrikeOut)"},
    {"TFontStyles", "set of TFontStyle"},
    {"TFontPitch", "(fpDefault, fpVariable, fpFixed)"},
    {"TFontName", "string"},
    {"TFontCharset", "Byte"},
    {"TPenStyle", "(psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)"},
    {"TPenMode", "(pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, "
                 "pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, "
                 "pmNotMask, pmXor, pmNotXor)"},
    {"TBrushStyle", "(bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, "
                    "bsCross, bsDiagCross)"},
    {"TFillStyle", "(fsSurface, fsBorder)"},
    {"TFillMode", "(fmAlternate, fmWinding)"},
    {"TCopyMode", "Longint"},
};

constexpr TypeDecl kClasses[] = {
    {"TPersistent", "TObject"},    {"TGraphicsObject", "TPersistent"},
    {"TFont", "TGraphicsObject"},  {"TPen", "TGraphicsObject"},
    {"TBrush", "TGraphicsObject"}, {"TCanvas", "TPersistent"},
    {"TGraphic", "TPersistent"},   {"TBitmap", "TGraphic"},
    {"TPicture", "TPersistent"},
};

} // namespace

void DeclareStandardGraphics(Compiler& c) {
    for (const auto& t : kTypes)
        c.AddType(QLatin1String(t.name), QLatin1String(t.declaration));
    for (const auto& color : kColors)
        c.AddConstant(QLatin1String(color.name), QStringLiteral("TColor"),
                      QVariant(int(int32_t(color.value))));
    for (const auto& cls : kClasses)
        c.AddClass(QLatin1String(cls.name), QLatin1String(cls.declaration));
}

} // namespace kelvara::script
