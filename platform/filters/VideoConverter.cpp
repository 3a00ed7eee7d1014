#include "platform/filters/VideoConverter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

bool IsHD(const AVFrame* frame) {
    return frame->height > 576 || frame->width > 1024;
}

bool IsRgbFormat(int format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(format));
    return d && (d->flags & AV_PIX_FMT_FLAG_RGB);
}

// The formats whose name says full range (the "J" formats of JPEG decoders).
bool IsJpegFormat(int format) {
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P ||
           format == AV_PIX_FMT_YUVJ444P || format == AV_PIX_FMT_YUVJ440P ||
           format == AV_PIX_FMT_YUVJ411P;
}

} // namespace

int TVideoConverter::MatrixOf(const AVFrame* frame) {
    switch (frame->colorspace) {
    case AVCOL_SPC_BT709:
        return SWS_CS_ITU709;
    case AVCOL_SPC_FCC:
        return SWS_CS_FCC;
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
        return SWS_CS_ITU601;
    case AVCOL_SPC_SMPTE240M:
        return SWS_CS_SMPTE240M;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return SWS_CS_BT2020;
    default:
        return IsHD(frame) ? SWS_CS_ITU709 : SWS_CS_ITU601;
    }
}

bool TVideoConverter::IsFullRange(const AVFrame* frame) {
    return frame->color_range == AVCOL_RANGE_JPEG || IsJpegFormat(frame->format);
}

bool TVideoConverter::Prepare(const AVFrame* frame, int width, int height) {
    const int matrix = MatrixOf(frame);
    const bool full = IsFullRange(frame);
    if (FContext && frame->width == FSourceWidth && frame->height == FSourceHeight &&
        frame->format == FSourceFormat && width == FWidth && height == FHeight &&
        matrix == FMatrix && full == FFullRange)
        return true;
    FContext.reset(sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), width,
                                  height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr,
                                  nullptr, nullptr));
    if (!FContext)
        return false;
    if (!IsRgbFormat(frame->format)) {
        const int* coefficients = sws_getCoefficients(matrix);
        sws_setColorspaceDetails(FContext.get(), coefficients, full ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    }
    FSourceWidth = frame->width;
    FSourceHeight = frame->height;
    FSourceFormat = frame->format;
    FWidth = width;
    FHeight = height;
    FMatrix = matrix;
    FFullRange = full;
    return true;
}

bool TVideoConverter::Convert(const AVFrame* frame, uint8_t* dst, int width, int height,
                              int stride) {
    if (!frame || !dst || width <= 0 || height <= 0 || frame->width <= 0 || frame->height <= 0 ||
        !Prepare(frame, width, height))
        return false;
    // The last row first, walked backwards: a bottom-up DIB.
    uint8_t* planes[4] = {dst + size_t(height - 1) * size_t(stride), nullptr, nullptr, nullptr};
    const int strides[4] = {-stride, 0, 0, 0};
    return sws_scale(FContext.get(), frame->data, frame->linesize, 0, frame->height, planes,
                     strides) == height;
}
