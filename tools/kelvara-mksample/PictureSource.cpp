#include "PictureSource.h"

#include "AvPtr.h"
#include "FrameDigits.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

struct TYuv {
    uint8_t Y, U, V;
};

// 75 % colour bars: white, yellow, cyan, green, magenta, red, blue, black.
constexpr TYuv kBars[8] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                           {84, 184, 198},  {65, 100, 212}, {35, 212, 114}, {16, 128, 128}};

void Plane(AVFrame* f, int plane, int& w, int& h) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    if (!d || (d->flags & AV_PIX_FMT_FLAG_RGB) || d->nb_components < 3)
        throw TClipError("the picture source draws only planar YUV");
    w = plane == 0 ? f->width : AV_CEIL_RSHIFT(f->width, d->log2_chroma_w);
    h = plane == 0 ? f->height : AV_CEIL_RSHIFT(f->height, d->log2_chroma_h);
}

void FillPlane(AVFrame* f, int plane, uint8_t value) {
    int w, h;
    Plane(f, plane, w, h);
    for (int y = 0; y < h; ++y)
        std::memset(f->data[plane] + size_t(y) * size_t(f->linesize[plane]), value, size_t(w));
}

} // namespace

void TPictureSource::Fill(AVFrame* frame, int64_t n) const {
    Check(av_frame_make_writable(frame), "frame buffer");
    if (FPattern == "numbers")
        FillNumber(frame, n);
    else
        FillBars(frame, n);
}

void TPictureSource::FillBars(AVFrame* f, int64_t n) const {
    for (int p = 0; p < 3; ++p) {
        int w, h;
        Plane(f, p, w, h);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = f->data[p] + size_t(y) * size_t(f->linesize[p]);
            for (int x = 0; x < w; ++x) {
                const TYuv& c = kBars[x * 8 / w];
                row[x] = p == 0 ? c.Y : p == 1 ? c.U : c.V;
            }
        }
    }
    // A white box that moves right by 8 pixels per frame, so that every frame differs.
    const int box = std::max(8, f->height / 8);
    const int x0 = int((n * 8) % std::max(1, f->width - box)), y0 = f->height / 3;
    for (int y = y0; y < y0 + box && y < f->height; ++y)
        std::memset(f->data[0] + size_t(y) * size_t(f->linesize[0]) + x0, 235, size_t(box));
}

void TPictureSource::FillNumber(AVFrame* f, int64_t n) const {
    FillPlane(f, 0, 16);
    FillPlane(f, 1, 128);
    FillPlane(f, 2, 128);
    DrawFrameNumber(f->data[0], f->linesize[0], f->width, f->height, n);
}
