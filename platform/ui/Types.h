#pragma once
// The toolkit's small value types that actions, preferences and pages pass around: points,
// rectangles, colours and 16-bit shortcut codes.
#include <cstdint>

// A point in pixels or in the program's own units.
struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle given by its edges; Right and Bottom lie just outside it.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// A colour: 0x00BBGGRR, or a system colour (the system colour index in the low byte and 0xFF in
// the top byte, so negative as a signed number).
using TColor = int32_t;

// Virtual-key code in the low byte plus 0x2000 for Shift, 0x4000 for Ctrl, 0x8000 for Alt;
// 0 means no shortcut.
using TShortCut = uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
