#pragma once
// Turns decoded pictures into the decoders' output, 32-bit RGB (B, G, R, X in memory) in
// bottom-up rows as a DIB holds them, through libswscale with the picture's own colour matrix
// and range: the matrix the stream states, else BT.709 for HD pictures (more than 576 lines or
// 1024 columns) and BT.601 for SD ones; limited range unless the stream says full. Deeper
// sources (10-bit and more) come down to 8 bits per component. A picture of another size than
// the output is scaled to it.
//
// Thread contract: one thread at a time (the decoder's streaming thread).
#include "platform/filters/FFmpegUtil.h"

#include <cstdint>

class TVideoConverter {
public:
    // SWS_CS_* matrix and full-range flag chosen for a picture.
    static int MatrixOf(const AVFrame* frame);
    static bool IsFullRange(const AVFrame* frame);

    // Writes frame into dst: width x height pixels, rows of stride bytes, the bottom row first.
    // False when the picture cannot be converted.
    bool Convert(const AVFrame* frame, uint8_t* dst, int width, int height, int stride);

private:
    bool Prepare(const AVFrame* frame, int width, int height);

    kelvara::ff::TSwsPtr FContext;
    int FSourceWidth = 0, FSourceHeight = 0, FSourceFormat = -1;
    int FWidth = 0, FHeight = 0, FMatrix = -1;
    bool FFullRange = false;
};
