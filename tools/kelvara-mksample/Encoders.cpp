#include "Encoders.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

const AVCodec* FindEncoder(const std::vector<std::string>& names) {
    for (const auto& n : names)
        if (const AVCodec* c = avcodec_find_encoder_by_name(n.c_str()))
            return c;
    std::string all;
    for (const auto& n : names)
        all += (all.empty() ? "" : ", ") + n;
    throw TClipError("libavcodec has none of these encoders: " + all);
}

TCodecContextPtr NewContext(const AVCodec* codec) {
    TCodecContextPtr c(avcodec_alloc_context3(codec));
    if (!c)
        throw TClipError("out of memory");
    c->thread_count = 1;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    return c;
}

std::vector<TPacketPtr> Drain(AVCodecContext* c) {
    std::vector<TPacketPtr> packets;
    for (;;) {
        TPacketPtr p = NewPacket();
        const int r = avcodec_receive_packet(c, p.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
            return packets;
        Check(r, "encoding");
        packets.push_back(std::move(p));
    }
}

AVSampleFormat PreferredSampleFormat(const AVCodec* codec) {
    if (!codec->sample_fmts)
        return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_S16)
            return *f;
    return codec->sample_fmts[0];
}

} // namespace

TVideoEncoder::TVideoEncoder(const TVideoSettings& s, bool globalHeader) {
    const AVCodec* codec = FindEncoder(s.Encoders);
    FContext = NewContext(codec);
    AVCodecContext* c = FContext.get();
    c->width = s.Width;
    c->height = s.Height;
    c->pix_fmt = s.PixelFormat;
    c->time_base = av_inv_q(s.Rate);
    c->framerate = s.Rate;
    c->sample_aspect_ratio = s.SampleAspect;
    c->gop_size = s.Gop;
    c->max_b_frames = s.BFrames;
    c->bit_rate = s.BitRate;
    c->rc_buffer_size = s.RcBufferSize;
    c->rc_max_rate = s.RcMaxRate;
    if (s.QScale > 0) {
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * s.QScale;
    }
    if (globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    for (const auto& [key, value] : s.PrivateOptions)
        av_opt_set(c->priv_data, key.c_str(), value.c_str(),
                   0); // options a codec lacks are skipped
    Check(avcodec_open2(c, codec, nullptr), "opening the video encoder");
}

TFramePtr TVideoEncoder::NewPicture() const {
    TFramePtr f = ::NewFrame();
    f->format = FContext->pix_fmt;
    f->width = FContext->width;
    f->height = FContext->height;
    Check(av_frame_get_buffer(f.get(), 0), "picture buffer");
    return f;
}

std::vector<TPacketPtr> TVideoEncoder::Encode(const AVFrame* picture) {
    Check(avcodec_send_frame(FContext.get(), picture), "encoding video");
    return Drain(FContext.get());
}

TAudioEncoder::TAudioEncoder(const TAudioSettings& s, bool globalHeader) {
    const AVCodec* codec = FindEncoder({s.Encoder});
    FContext = NewContext(codec);
    AVCodecContext* c = FContext.get();
    c->sample_rate = s.Rate;
    c->sample_fmt = PreferredSampleFormat(codec);
    av_channel_layout_default(&c->ch_layout, s.Channels);
    c->time_base = AVRational{1, s.Rate};
    c->bit_rate = s.BitRate;
    if (globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(c, codec, nullptr), "opening the audio encoder");
}

int TAudioEncoder::FrameSize() const {
    return FContext->frame_size > 0 ? FContext->frame_size : 1024;
}

TFramePtr TAudioEncoder::NewFrame(int samples) const {
    TFramePtr f = ::NewFrame();
    f->format = FContext->sample_fmt;
    f->sample_rate = FContext->sample_rate;
    Check(av_channel_layout_copy(&f->ch_layout, &FContext->ch_layout), "channel layout");
    f->nb_samples = samples;
    Check(av_frame_get_buffer(f.get(), 0), "audio buffer");
    return f;
}

std::vector<TPacketPtr> TAudioEncoder::Encode(const AVFrame* frame) {
    Check(avcodec_send_frame(FContext.get(), frame), "encoding audio");
    return Drain(FContext.get());
}
