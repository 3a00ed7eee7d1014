#pragma once
// The toolkit's font object: what a font action holds, what the preferences store and what the
// inlay draws with. The height is the stored measure (negative = character height in pixels);
// the size in points is derived from it through PixelsPerInch, so both stay consistent.
#include <cstdint>

#include <QString>

#include "platform/ui/Types.h"

class QFont;

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t; // a set of TFontStyle bits

enum TFontPitch : int32_t { fpDefault = 0, fpVariable = 1, fpFixed = 2 };

constexpr uint8_t DEFAULT_CHARSET = 1;

class TFont {
public:
    TFont();

    QString Name;
    TColor Color;
    TFontStyles Style = 0;
    uint8_t Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = fpDefault;

    int32_t Height() const { return FHeight; }
    void SetHeight(int32_t height) { FHeight = height; }
    // Points, rounded as MulDiv does: -Height * 72 / PixelsPerInch.
    int32_t Size() const;
    void SetSize(int32_t points);
    int32_t PixelsPerInch() const { return FPixelsPerInch; }
    // Changing the resolution keeps the size in points.
    void SetPixelsPerInch(int32_t ppi);

    bool HasStyle(TFontStyle s) const { return (Style & s) != 0; }
    void SetStyle(TFontStyle s, bool on) { Style = on ? (Style | s) : (Style & ~s); }

    // A QFont with this name, point size and style (colour is not part of a QFont).
    QFont ToQFont() const;

    friend bool operator==(const TFont&, const TFont&) = default;

private:
    int32_t FHeight;
    int32_t FPixelsPerInch = 96;
};

// MulDiv of the toolkit: a * b / c rounded half away from zero, computed in 64 bits; -1 for c = 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);
