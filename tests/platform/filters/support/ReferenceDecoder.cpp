#include "tests/platform/filters/support/ReferenceDecoder.h"

#include "FrameDigits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

namespace kelvara::test {

namespace {

struct TCoefficients {
    double kr, kb;
};

TCoefficients MatrixOf(const AVFrame* f) {
    switch (f->colorspace) {
    case AVCOL_SPC_BT709:
        return {0.2126, 0.0722};
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return {0.2627, 0.0593};
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
        return {0.299, 0.114};
    default:
        return f->height > 576 || f->width > 1024 ? TCoefficients{0.2126, 0.0722}
                                                  : TCoefficients{0.299, 0.114};
    }
}

bool IsFull(const AVFrame* f) {
    const int fmt = f->format;
    return f->color_range == AVCOL_RANGE_JPEG || fmt == AV_PIX_FMT_YUVJ420P ||
           fmt == AV_PIX_FMT_YUVJ422P || fmt == AV_PIX_FMT_YUVJ444P || fmt == AV_PIX_FMT_YUVJ411P;
}

int Sample(const AVFrame* f, int plane, int x, int y, int depth) {
    const uint8_t* row = f->data[plane] + ptrdiff_t(y) * f->linesize[plane];
    return depth > 8 ? reinterpret_cast<const uint16_t*>(row)[x] : row[x];
}

TRgbImage ToRgb(const AVFrame* f) {
    TRgbImage image;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    if (!d || (d->flags & AV_PIX_FMT_FLAG_RGB) || d->nb_components < 3 ||
        !(d->flags & AV_PIX_FMT_FLAG_PLANAR))
        return image;
    const int depth = d->comp[0].depth;
    const double scale = double(1 << (depth - 8)), top = double((1 << depth) - 1);
    const bool full = IsFull(f);
    const TCoefficients m = MatrixOf(f);
    image.width = f->width;
    image.height = f->height;
    image.pixels.resize(size_t(f->width) * size_t(f->height) * 4);
    for (int y = 0; y < f->height; ++y)
        for (int x = 0; x < f->width; ++x) {
            const int Y = Sample(f, 0, x, y, depth);
            const int Cb = Sample(f, 1, x >> d->log2_chroma_w, y >> d->log2_chroma_h, depth);
            const int Cr = Sample(f, 2, x >> d->log2_chroma_w, y >> d->log2_chroma_h, depth);
            const double yy = full ? Y / top : (Y / scale - 16) / 219;
            const double cb = full ? (Cb / scale - 128) / 255 : (Cb / scale - 128) / 224;
            const double cr = full ? (Cr / scale - 128) / 255 : (Cr / scale - 128) / 224;
            const double r = yy + 2 * (1 - m.kr) * cr;
            const double b = yy + 2 * (1 - m.kb) * cb;
            const double g = (yy - m.kr * r - m.kb * b) / (1 - m.kr - m.kb);
            uint8_t* px = image.pixels.data() + (size_t(y) * size_t(f->width) + size_t(x)) * 4;
            const auto out = [](double v) {
                return uint8_t(std::clamp(std::lround(v * 255), 0L, 255L));
            };
            px[0] = out(b);
            px[1] = out(g);
            px[2] = out(r);
            px[3] = 255;
        }
    return image;
}

} // namespace

TReference DecodeReference(const std::string& path, const std::set<int>& wanted) {
    TReference ref;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return ref;
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> in(
        raw, [](AVFormatContext* c) { avformat_close_input(&c); });
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return ref;
    const int s = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (s < 0)
        return ref;
    const AVCodec* codec = avcodec_find_decoder(raw->streams[s]->codecpar->codec_id);
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> d(
        avcodec_alloc_context3(codec), [](AVCodecContext* c) { avcodec_free_context(&c); });
    avcodec_parameters_to_context(d.get(), raw->streams[s]->codecpar);
    d->pkt_timebase = raw->streams[s]->time_base;
    d->thread_count = 1;
    if (avcodec_open2(d.get(), codec, nullptr) < 0)
        return ref;
    constexpr AVRational kUnits{1, 10000000};
    const int64_t frameDuration =
        av_rescale_q(1, av_inv_q(raw->streams[s]->avg_frame_rate), kUnits);
    AVPacket* p = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    const auto drain = [&] {
        while (avcodec_receive_frame(d.get(), f) >= 0) {
            const int n = ref.frameCount++;
            // The last pictures of an MPEG stream may come without a time: one frame on.
            int64_t t = f->best_effort_timestamp;
            t = t != AV_NOPTS_VALUE ? av_rescale_q(t, raw->streams[s]->time_base, kUnits)
                : ref.pts.empty()   ? 0
                                    : ref.pts.back() + frameDuration;
            ref.pts.push_back(t);
            if (f->key_frame)
                ref.keyFrames.push_back(n);
            if (wanted.count(n))
                ref.pictures[n] = ToRgb(f);
            av_frame_unref(f);
        }
    };
    while (av_read_frame(raw, p) >= 0) {
        if (p->stream_index == s && avcodec_send_packet(d.get(), p) >= 0)
            drain();
        av_packet_unref(p);
    }
    avcodec_send_packet(d.get(), nullptr);
    drain();
    av_frame_free(&f);
    av_packet_free(&p);
    return ref;
}

double Psnr(const TRgbImage& a, const TRgbImage& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() ||
        a.pixels.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        if (i % 4 == 3)
            continue;
        const double e = double(a.pixels[i]) - double(b.pixels[i]);
        sum += e * e;
    }
    const double mse = sum / (double(a.pixels.size()) * 3 / 4);
    return mse == 0 ? 1000 : 10 * std::log10(255.0 * 255.0 / mse);
}

TRgbImage ImageOfDib(const uint8_t* dib, size_t size) {
    TRgbImage image;
    if (!dib || size < 40)
        return image;
    int32_t width = 0, height = 0;
    uint16_t bits = 0;
    uint32_t header = 0;
    std::memcpy(&header, dib, 4);
    std::memcpy(&width, dib + 4, 4);
    std::memcpy(&height, dib + 8, 4);
    std::memcpy(&bits, dib + 14, 2);
    const size_t rows = size_t(std::abs(height)), row = size_t(std::max(0, width)) * 4;
    if (bits != 32 || header < 40 || size < header + rows * row)
        return image;
    image.width = width;
    image.height = int(rows);
    image.pixels.resize(rows * row);
    for (size_t y = 0; y < rows; ++y) {
        const size_t from = height > 0 ? rows - 1 - y : y;
        std::memcpy(image.pixels.data() + y * row, dib + header + from * row, row);
    }
    return image;
}

int64_t ReadNumber(const TRgbImage& image) {
    if (image.pixels.empty())
        return -1;
    return ReadFrameNumber(image.width, image.height, [&](int x, int y) {
        return (image.At(x, y, 0) + image.At(x, y, 1) + image.At(x, y, 2)) / 3;
    });
}

} // namespace kelvara::test
