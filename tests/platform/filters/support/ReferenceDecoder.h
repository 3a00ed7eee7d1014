#pragma once
// An independent reading of a clip for the frame and colour checks: libavformat and libavcodec
// alone decode the video from the start and count the pictures as they come out; the pictures
// asked for are turned into RGB with the textbook Y'CbCr equations (BT.601 for SD, BT.709 for
// HD unless the stream states its matrix; the range the stream states), without libswscale.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kelvara::test {

// B, G, R, X bytes per pixel, the top row first.
struct TRgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    // Component c (0 = B, 1 = G, 2 = R) of the pixel at x, y.
    int At(int x, int y, int c) const {
        return pixels[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(c)];
    }
};

struct TReference {
    int frameCount = 0;
    std::vector<int64_t> pts;          // each picture's time stamp in 100-ns units
    std::vector<int> keyFrames;        // the pictures that are key frames
    std::map<int, TRgbImage> pictures; // those asked for
};

// Decodes the first video stream of the file; pictures numbered from 0 in output order.
TReference DecodeReference(const std::string& path, const std::set<int>& wanted);

// Peak signal-to-noise ratio of two images of one size over B, G and R, in dB (1000 when
// they are equal, 0 when the sizes differ).
double Psnr(const TRgbImage& a, const TRgbImage& b);

// The image of a packed DIB (BITMAPINFOHEADER + 32-bit pixels, bottom-up when biHeight > 0).
TRgbImage ImageOfDib(const uint8_t* dib, size_t size);

// The frame number drawn by the "numbers" pattern, or -1.
int64_t ReadNumber(const TRgbImage& image);

} // namespace kelvara::test
