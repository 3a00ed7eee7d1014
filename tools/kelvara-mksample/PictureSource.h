#pragma once
// The pictures of a clip, drawn straight into the planes of an 8-bit planar YUV frame: colour
// bars with a box that moves from frame to frame, or the frame's own number in large digits.
#include <cstdint>
#include <string>
#include <utility>

extern "C" {
#include <libavutil/frame.h>
}

class TPictureSource {
public:
    explicit TPictureSource(std::string pattern) : FPattern(std::move(pattern)) {}
    // Fills frame (already allocated with its format, width and height) with picture number n.
    void Fill(AVFrame* frame, int64_t n) const;

private:
    void FillBars(AVFrame* frame, int64_t n) const;
    void FillNumber(AVFrame* frame, int64_t n) const;
    std::string FPattern;
};
