#include "tests/platform/filters/support/ClipWriter.h"

#include "FrameDigits.h"

#include <algorithm>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

namespace kelvara::test {

namespace {

struct TOutputCloser {
    void operator()(AVFormatContext* c) const {
        if (c && c->pb && !(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct TInputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct TCodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct TFrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct TPacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using TOutput = std::unique_ptr<AVFormatContext, TOutputCloser>;
using TInput = std::unique_ptr<AVFormatContext, TInputCloser>;
using TCodec = std::unique_ptr<AVCodecContext, TCodecFreer>;
using TFrame = std::unique_ptr<AVFrame, TFrameFreer>;
using TPacket = std::unique_ptr<AVPacket, TPacketFreer>;

struct TYuvValue {
    double y, cb, cr;
};

// The R'G'B' (0..1) of a colour in Y'CbCr of the matrix, as the standard defines it.
TYuvValue ToYuv(const TRgb& c, AVColorSpace matrix) {
    const bool hd = matrix == AVCOL_SPC_BT709;
    const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114;
    const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
    const double y = kr * r + (1 - kr - kb) * g + kb * b;
    return {y, (b - y) / (2 * (1 - kb)), (r - y) / (2 * (1 - kr))};
}

int Quantise(double v, bool luma, bool full, int depth) {
    const double scale = double(1 << (depth - 8));
    double q;
    if (full)
        q = luma ? v * ((1 << depth) - 1) : (128 + v * 255) * scale;
    else
        q = luma ? (16 + 219 * v) * scale : (128 + 224 * v) * scale;
    return std::clamp(int(std::lround(q)), 0, (1 << depth) - 1);
}

void PutSample(AVFrame* f, int plane, int x, int y, int value, int depth) {
    uint8_t* row = f->data[plane] + size_t(y) * size_t(f->linesize[plane]);
    if (depth > 8)
        reinterpret_cast<uint16_t*>(row)[x] = uint16_t(value);
    else
        row[x] = uint8_t(value);
}

void FillBars(AVFrame* f, const TVideoClipRecipe& s) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    const int depth = d->comp[0].depth;
    const bool full = s.range == AVCOL_RANGE_JPEG;
    for (int plane = 0; plane < 3; ++plane) {
        const int sw = plane ? d->log2_chroma_w : 0, sh = plane ? d->log2_chroma_h : 0;
        const int w = AV_CEIL_RSHIFT(f->width, sw), h = AV_CEIL_RSHIFT(f->height, sh);
        for (int x = 0; x < w; ++x) {
            const TRgb& c = BarColours()[size_t((x << sw) * 8 / f->width)];
            const TYuvValue v = ToYuv(c, s.matrix);
            const int value = Quantise(plane == 0   ? v.y
                                       : plane == 1 ? v.cb
                                                    : v.cr,
                                       plane == 0, full, depth);
            for (int y = 0; y < h; ++y)
                PutSample(f, plane, x, y, value, depth);
        }
    }
}

void FillNumbers(AVFrame* f, int64_t n) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    const int depth = d->comp[0].depth;
    std::vector<uint8_t> luma(size_t(f->width) * size_t(f->height), 16);
    DrawFrameNumber(luma.data(), f->width, f->width, f->height, n);
    for (int y = 0; y < f->height; ++y)
        for (int x = 0; x < f->width; ++x)
            PutSample(f, 0, x, y, luma[size_t(y) * size_t(f->width) + size_t(x)] << (depth - 8),
                      depth);
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < AV_CEIL_RSHIFT(f->height, d->log2_chroma_h); ++y)
            for (int x = 0; x < AV_CEIL_RSHIFT(f->width, d->log2_chroma_w); ++x)
                PutSample(f, plane, x, y, 128 << (depth - 8), depth);
}

std::string Error(const std::string& what, int err) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, text, sizeof(text));
    return what + ": " + text;
}

struct TEncoding {
    TCodec codec;
    AVStream* stream = nullptr;
};

std::string WritePackets(AVFormatContext* oc, TEncoding& e, const AVFrame* frame) {
    int r = avcodec_send_frame(e.codec.get(), frame);
    if (r < 0 && r != AVERROR_EOF)
        return Error("encoding", r);
    TPacket p(av_packet_alloc());
    while ((r = avcodec_receive_packet(e.codec.get(), p.get())) >= 0) {
        av_packet_rescale_ts(p.get(), e.codec->time_base, e.stream->time_base);
        p->stream_index = e.stream->index;
        if ((r = av_interleaved_write_frame(oc, p.get())) < 0)
            return Error("writing", r);
    }
    return {};
}

AVColorPrimaries PrimariesOf(AVColorSpace m) {
    return m == AVCOL_SPC_BT709 ? AVCOL_PRI_BT709 : AVCOL_PRI_BT470BG;
}

std::string OpenVideo(AVFormatContext* oc, const TVideoClipRecipe& s, TEncoding* e) {
    const AVCodec* codec = avcodec_find_encoder_by_name(s.encoder.c_str());
    if (!codec)
        return "no encoder " + s.encoder;
    e->codec.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = e->codec.get();
    c->width = s.width;
    c->height = s.height;
    c->pix_fmt = s.format;
    c->time_base = av_inv_q(s.rate);
    c->framerate = s.rate;
    c->gop_size = s.gop;
    c->max_b_frames = s.bframes;
    c->thread_count = 2;
    if (s.tagged) {
        c->colorspace = s.matrix;
        c->color_range = s.range;
        c->color_primaries = PrimariesOf(s.matrix);
        c->color_trc = s.matrix == AVCOL_SPC_BT709 ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
    }
    if (oc->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    for (const auto& [key, value] : s.options)
        av_dict_set(&options, key.c_str(), value.c_str(), 0);
    const int r = avcodec_open2(c, codec, &options);
    av_dict_free(&options);
    if (r < 0)
        return Error("opening " + s.encoder, r);
    e->stream = avformat_new_stream(oc, nullptr);
    e->stream->time_base = c->time_base;
    e->stream->avg_frame_rate = s.rate;
    avcodec_parameters_from_context(e->stream->codecpar, c);
    return {};
}

std::string OpenAudio(AVFormatContext* oc, const TAudioClipRecipe& s, TEncoding* e) {
    const AVCodec* codec = avcodec_find_encoder_by_name(s.encoder.c_str());
    if (!codec)
        return "no encoder " + s.encoder;
    e->codec.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = e->codec.get();
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->sample_rate = s.rate;
    av_channel_layout_default(&c->ch_layout, s.channels);
    c->bit_rate = 192000;
    c->time_base = AVRational{1, s.rate};
    if (oc->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int r = avcodec_open2(c, codec, nullptr);
    if (r < 0)
        return Error("opening " + s.encoder, r);
    e->stream = avformat_new_stream(oc, nullptr);
    e->stream->time_base = c->time_base;
    avcodec_parameters_from_context(e->stream->codecpar, c);
    return {};
}

// A 440 Hz tone of n samples starting at sample `first`, in the encoder's format.
void FillTone(AVFrame* f, int64_t first) {
    for (int i = 0; i < f->nb_samples; ++i) {
        const double v = 0.3 * std::sin(2 * M_PI * 440.0 * double(first + i) / f->sample_rate);
        for (int ch = 0; ch < f->ch_layout.nb_channels; ++ch) {
            const bool planar = av_sample_fmt_is_planar(AVSampleFormat(f->format));
            const int at = planar ? i : i * f->ch_layout.nb_channels + ch;
            uint8_t* base = f->extended_data[planar ? ch : 0];
            switch (av_get_packed_sample_fmt(AVSampleFormat(f->format))) {
            case AV_SAMPLE_FMT_U8:
                base[at] = uint8_t(128 + std::lround(v * 127.0));
                break;
            case AV_SAMPLE_FMT_S16:
                reinterpret_cast<int16_t*>(base)[at] = int16_t(v * 32767.0);
                break;
            case AV_SAMPLE_FMT_S32:
                reinterpret_cast<int32_t*>(base)[at] = int32_t(v * 2147483647.0);
                break;
            case AV_SAMPLE_FMT_FLT:
                reinterpret_cast<float*>(base)[at] = float(v);
                break;
            case AV_SAMPLE_FMT_DBL:
                reinterpret_cast<double*>(base)[at] = v;
                break;
            default:
                return; // a format the tests do not use
            }
        }
    }
}

std::string EncodeVideo(AVFormatContext* oc, const TVideoClipRecipe& s, TEncoding& e) {
    TFrame f(av_frame_alloc());
    f->format = s.format;
    f->width = s.width;
    f->height = s.height;
    if (av_frame_get_buffer(f.get(), 0) < 0)
        return "no picture buffer";
    for (int i = 0; i < s.frames; ++i) {
        av_frame_make_writable(f.get());
        if (s.pattern == TPattern::Bars)
            FillBars(f.get(), s);
        else
            FillNumbers(f.get(), i);
        f->pts = i;
        if (std::string err = WritePackets(oc, e, f.get()); !err.empty())
            return err;
    }
    return WritePackets(oc, e, nullptr);
}

std::string EncodeAudio(AVFormatContext* oc, TEncoding& e, int64_t total) {
    AVCodecContext* c = e.codec.get();
    const int frameSize = c->frame_size > 0 ? c->frame_size : 1024;
    TFrame f(av_frame_alloc());
    for (int64_t first = 0; first < total; first += frameSize) {
        f->format = c->sample_fmt;
        f->sample_rate = c->sample_rate;
        av_channel_layout_copy(&f->ch_layout, &c->ch_layout);
        f->nb_samples = int(std::min<int64_t>(frameSize, total - first));
        if (c->frame_size > 0 && !(c->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
            f->nb_samples = frameSize;
        if (av_frame_get_buffer(f.get(), 0) < 0)
            return "no sound buffer";
        FillTone(f.get(), first);
        f->pts = first;
        if (std::string err = WritePackets(oc, e, f.get()); !err.empty())
            return err;
        av_frame_unref(f.get());
    }
    return WritePackets(oc, e, nullptr);
}

} // namespace

const std::vector<TRgb>& BarColours() {
    static const std::vector<TRgb> bars = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191},
                                           {0, 191, 0},     {191, 0, 191}, {191, 0, 0},
                                           {0, 0, 191},     {0, 0, 0}};
    return bars;
}

bool HasEncoder(const char* name) {
    return avcodec_find_encoder_by_name(name) != nullptr;
}

std::string WriteClip(const std::string& path, const std::string& container,
                      const TVideoClipRecipe* video, const TAudioClipRecipe* audio) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, container.c_str(), path.c_str()) < 0)
        return "no muxer " + container;
    TOutput oc(raw);
    TEncoding v, a;
    if (video)
        if (std::string err = OpenVideo(oc.get(), *video, &v); !err.empty())
            return err;
    if (audio)
        if (std::string err = OpenAudio(oc.get(), *audio, &a); !err.empty())
            return err;
    if (!(oc->oformat->flags & AVFMT_NOFILE) &&
        avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return "cannot write " + path;
    if (int r = avformat_write_header(oc.get(), nullptr); r < 0)
        return Error("header", r);
    if (video)
        if (std::string err = EncodeVideo(oc.get(), *video, v); !err.empty())
            return err;
    if (audio) {
        const int64_t samples =
            video
                ? av_rescale(video->frames, int64_t(audio->rate) * video->rate.den, video->rate.num)
                : audio->rate;
        if (std::string err = EncodeAudio(oc.get(), a, samples); !err.empty())
            return err;
    }
    if (int r = av_write_trailer(oc.get()); r < 0)
        return Error("trailer", r);
    return {};
}

std::string Remux(const std::string& from, const std::string& to, const std::string& container) {
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, from.c_str(), nullptr, nullptr) < 0)
        return "cannot open " + from;
    TInput input(in);
    if (avformat_find_stream_info(in, nullptr) < 0)
        return "no streams in " + from;
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, container.c_str(), to.c_str()) < 0)
        return "no muxer " + container;
    TOutput oc(raw);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* s = avformat_new_stream(oc.get(), nullptr);
        avcodec_parameters_copy(s->codecpar, in->streams[i]->codecpar);
        s->codecpar->codec_tag = 0;
        s->time_base = in->streams[i]->time_base;
    }
    if (avio_open(&oc->pb, to.c_str(), AVIO_FLAG_WRITE) < 0)
        return "cannot write " + to;
    if (int r = avformat_write_header(oc.get(), nullptr); r < 0)
        return Error("header", r);
    TPacket p(av_packet_alloc());
    while (av_read_frame(in, p.get()) >= 0) {
        av_packet_rescale_ts(p.get(), in->streams[p->stream_index]->time_base,
                             oc->streams[p->stream_index]->time_base);
        p->pos = -1;
        if (int r = av_interleaved_write_frame(oc.get(), p.get()); r < 0)
            return Error("writing", r);
    }
    return av_write_trailer(oc.get()) < 0 ? "trailer" : "";
}

} // namespace kelvara::test
