#pragma once
// A frame's own number drawn in large seven-segment digits, and read back from a decoded
// picture: the "numbers" pattern of the clip maker, with which a test can tell which frame a
// grabbed picture shows. Six digits, white on black, centred; thick enough to survive lossy
// compression.
#include <cstdint>
#include <functional>

struct TDigitLayout {
    int Digits = 6;
    int Pitch = 0; // distance between the left edges of two digits
    int DigitWidth = 0;
    int DigitHeight = 0;
    int Thickness = 0; // of a segment
    int Left = 0;      // left edge of the first digit
    int Top = 0;
};

TDigitLayout DigitLayoutFor(int width, int height);

// Draws number (mod 10^6) into an 8-bit luma plane with the given value for lit segments; the
// caller fills the background.
void DrawFrameNumber(uint8_t* luma, int stride, int width, int height, int64_t number,
                     uint8_t lit = 235);

// Reads the number from a picture of the given size; luma(x, y) gives 0..255. -1 when a digit
// is no digit (the picture does not show the pattern).
int64_t ReadFrameNumber(int width, int height, const std::function<int(int x, int y)>& luma);
