#include "FrameDigits.h"

#include <algorithm>
#include <array>

namespace {

// Segments a to g, top, upper right, lower right, bottom, lower left, upper left, middle.
struct TSegment {
    int X0, Y0, X1, Y1; // rectangle inside a digit cell, right and bottom excluded
};

std::array<TSegment, 7> Segments(const TDigitLayout& l) {
    const int w = l.DigitWidth, h = l.DigitHeight, t = l.Thickness, m = h / 2;
    return {{{t, 0, w - t, t},
             {w - t, t, w, m},
             {w - t, m, w, h - t},
             {t, h - t, w - t, h},
             {0, m, t, h - t},
             {0, t, t, m},
             {t, m - t / 2, w - t, m - t / 2 + t}}};
}

// Lit segments of each digit, bit 0 = a ... bit 6 = g.
constexpr uint8_t kDigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

int DigitAt(const TDigitLayout& l, int64_t number, int position) {
    for (int i = l.Digits - 1; i > position; --i)
        number /= 10;
    return int(number % 10);
}

} // namespace

TDigitLayout DigitLayoutFor(int width, int height) {
    TDigitLayout l;
    l.Pitch = width * 9 / 10 / l.Digits;
    l.DigitWidth = l.Pitch * 7 / 10;
    l.DigitHeight = std::min(height * 6 / 10, l.DigitWidth * 2);
    l.Thickness = std::max(2, l.DigitWidth / 5);
    l.Left = (width - l.Digits * l.Pitch) / 2 + (l.Pitch - l.DigitWidth) / 2;
    l.Top = (height - l.DigitHeight) / 2;
    return l;
}

void DrawFrameNumber(uint8_t* luma, int stride, int width, int height, int64_t number,
                     uint8_t lit) {
    const TDigitLayout l = DigitLayoutFor(width, height);
    const auto segments = Segments(l);
    number = ((number % 1000000) + 1000000) % 1000000;
    for (int p = 0; p < l.Digits; ++p) {
        const uint8_t on = kDigitSegments[DigitAt(l, number, p)];
        const int cellX = l.Left + p * l.Pitch;
        for (int s = 0; s < 7; ++s) {
            if (!(on & (1 << s)))
                continue;
            const TSegment& g = segments[size_t(s)];
            for (int y = l.Top + g.Y0; y < l.Top + g.Y1 && y < height; ++y)
                for (int x = cellX + g.X0; x < cellX + g.X1 && x < width; ++x)
                    luma[size_t(y) * size_t(stride) + size_t(x)] = lit;
        }
    }
}

int64_t ReadFrameNumber(int width, int height, const std::function<int(int x, int y)>& luma) {
    const TDigitLayout l = DigitLayoutFor(width, height);
    if (l.Thickness < 2 || l.DigitHeight < 8)
        return -1;
    const auto segments = Segments(l);
    int64_t number = 0;
    for (int p = 0; p < l.Digits; ++p) {
        const int cellX = l.Left + p * l.Pitch;
        uint8_t seen = 0;
        for (int s = 0; s < 7; ++s) {
            const TSegment& g = segments[size_t(s)];
            const int cx = cellX + (g.X0 + g.X1) / 2, cy = l.Top + (g.Y0 + g.Y1) / 2;
            if (luma(std::clamp(cx, 0, width - 1), std::clamp(cy, 0, height - 1)) > 128)
                seen |= uint8_t(1 << s);
        }
        const auto* digit = std::find(std::begin(kDigitSegments), std::end(kDigitSegments), seen);
        if (digit == std::end(kDigitSegments))
            return -1;
        number = number * 10 + (digit - std::begin(kDigitSegments));
    }
    return number;
}
