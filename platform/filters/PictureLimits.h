#pragma once
// The largest pictures the program takes, and what one video stream may hold in memory.
//
// A picture may be at most 8192 pixels on a side and 8192 x 4352 = 35 651 584 pixels in all:
// the largest frame of the highest levels of H.264 and HEVC (level 6.2, 139 264 macroblocks),
// which covers DCI 8K (8192 x 4320) and UHD-2 (7680 x 4320). Beyond that no camera or broadcast
// format goes; a larger size in a file comes from damaged or hostile parameter sets, and one
// 32-bit picture of it would take more than 136 MB (a claimed 8192 x 8192 takes 256 MB, and a
// stream holds several: decoder threads, output buffers, the renderer's images). The decoders
// refuse such a stream when they connect (KELVARA_E_PICTURE_TOO_LARGE) and skip a picture that
// grows beyond the limit in the middle of a stream; the renderer refuses such a type.
//
// Decoder threads each hold pictures of their own, so their number is bounded by the size of a
// picture: at most kMaxDecoderThreadBytes of decoded pictures in flight, and never more threads
// than kMaxDecoderThreads. A stream of the largest pictures decodes on a few threads whatever
// the machine; small ones use every core.
#include <algorithm>
#include <cstdint>

inline constexpr int kMaxPictureSide = 8192;
inline constexpr int64_t kMaxPicturePixels = int64_t(8192) * 4352;
inline constexpr int64_t kMaxDecoderThreadBytes = int64_t(256) << 20;
inline constexpr int kMaxDecoderThreads = 16;

// Whether a picture of width x height is one the program takes (both positive and within the
// limits).
constexpr bool IsPictureSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// Decoder threads for pictures of width x height with bytesPerPixel bytes per pixel as decoded
// (1.5 for 8-bit 4:2:0, up to 6 for 16-bit 4:4:4), on a machine with `cores` cores. One more
// than the cores, as FFmpeg's own choice: the thread that feeds the decoder also converts and
// passes on each picture, and the extra frame in flight keeps the cores decoding meanwhile.
constexpr int DecoderThreadsFor(int64_t width, int64_t height, double bytesPerPixel, int cores) {
    const double picture = double(std::max<int64_t>(width, 1)) *
                           double(std::max<int64_t>(height, 1)) * std::max(bytesPerPixel, 1.0);
    const int byMemory = int(std::clamp(double(kMaxDecoderThreadBytes) / picture, 1.0, 1024.0));
    const int wanted = cores > 1 ? cores + 1 : 1;
    return std::clamp(std::min(byMemory, wanted), 1, kMaxDecoderThreads);
}
