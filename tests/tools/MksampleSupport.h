#pragma once
// Running kelvara-mksample from tests and looking into what it made with libavformat and
// libavcodec, the reference demuxers and decoders.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>
#include <QTemporaryDir>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct TToolRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
    std::map<std::string, std::string> Params;
    std::string Param(const std::string& key) const {
        const auto it = Params.find(key);
        return it == Params.end() ? std::string() : it->second;
    }
    int64_t Number(const std::string& key) const {
        const std::string v = Param(key);
        return v.empty() ? -1 : std::stoll(v);
    }
};

inline TToolRun RunMksample(const QStringList& args) {
    kelvara::test::TChildOptions options;
    options.Timeout = std::chrono::minutes(2);
    const kelvara::test::TChildRun run = kelvara::test::RunChild(
        kelvara::test::ToolPath(QStringLiteral("kelvara-mksample")), args, options);
    TToolRun r;
    if (!run.Started || run.TimedOut)
        return r;
    r.ExitCode = run.Exited() ? run.ExitCode : -1;
    r.Out = run.Out;
    r.Err = run.Err;
    size_t start = 0;
    while (start < r.Out.size()) {
        const size_t end = r.Out.find('\n', start);
        const std::string line = r.Out.substr(start, end == std::string::npos ? end : end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            r.Params[line.substr(0, eq)] = line.substr(eq + 1);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return r;
}

struct TInputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
using TInputPtr = std::unique_ptr<AVFormatContext, TInputCloser>;

inline TInputPtr OpenMedia(const std::string& path) {
    av_log_set_level(AV_LOG_ERROR); // the demuxers' warnings about short test clips are noise
    AVFormatContext* c = nullptr;
    if (avformat_open_input(&c, path.c_str(), nullptr, nullptr) < 0)
        return nullptr;
    TInputPtr in(c);
    if (avformat_find_stream_info(c, nullptr) < 0)
        return nullptr;
    return in;
}

struct TPacketData {
    int Stream = 0;
    std::vector<uint8_t> Bytes;
    int64_t Pts = 0;
    bool Key = false;
};

// Every packet of the file in file order.
inline std::vector<TPacketData> ReadPackets(AVFormatContext* c) {
    std::vector<TPacketData> packets;
    AVPacket* p = av_packet_alloc();
    while (av_read_frame(c, p) >= 0) {
        packets.push_back({p->stream_index, std::vector<uint8_t>(p->data, p->data + p->size),
                           p->pts, (p->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(p);
    }
    av_packet_free(&p);
    return packets;
}

inline int FindStream(AVFormatContext* c, AVMediaType type) {
    return av_find_best_stream(c, type, -1, -1, nullptr, 0);
}

struct TDecodedFrame {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Luma; // Width x Height
    AVPictureType Type = AV_PICTURE_TYPE_NONE;
};

// Decodes the video stream of a file; frames come in presentation order.
inline std::vector<TDecodedFrame> DecodeVideo(const std::string& path) {
    std::vector<TDecodedFrame> frames;
    TInputPtr in = OpenMedia(path);
    if (!in)
        return frames;
    const int s = FindStream(in.get(), AVMEDIA_TYPE_VIDEO);
    if (s < 0)
        return frames;
    const AVCodec* codec = avcodec_find_decoder(in->streams[s]->codecpar->codec_id);
    AVCodecContext* d = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(d, in->streams[s]->codecpar);
    d->thread_count = 1;
    if (avcodec_open2(d, codec, nullptr) < 0) {
        avcodec_free_context(&d);
        return frames;
    }
    AVPacket* p = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(d, f) >= 0) {
            TDecodedFrame out;
            out.Width = f->width;
            out.Height = f->height;
            out.Type = f->pict_type;
            out.Luma.resize(size_t(f->width) * size_t(f->height));
            for (int y = 0; y < f->height; ++y)
                std::copy_n(f->data[0] + size_t(y) * size_t(f->linesize[0]), f->width,
                            out.Luma.begin() + long(size_t(y) * size_t(f->width)));
            frames.push_back(std::move(out));
        }
    };
    while (av_read_frame(in.get(), p) >= 0) {
        if (p->stream_index == s && avcodec_send_packet(d, p) >= 0)
            drain();
        av_packet_unref(p);
    }
    avcodec_send_packet(d, nullptr);
    drain();
    av_frame_free(&f);
    av_packet_free(&p);
    avcodec_free_context(&d);
    return frames;
}

// Decodes the first audio stream into interleaved 16-bit samples (PCM streams only).
inline std::vector<int16_t> ReadPcm(const std::string& path, int streamOfType = 0) {
    std::vector<int16_t> samples;
    TInputPtr in = OpenMedia(path);
    if (!in)
        return samples;
    int wanted = -1, seen = 0;
    for (unsigned i = 0; i < in->nb_streams; ++i)
        if (in->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && seen++ == streamOfType)
            wanted = int(i);
    for (const auto& p : ReadPackets(in.get()))
        if (p.Stream == wanted)
            for (size_t k = 0; k + 1 < p.Bytes.size(); k += 2)
                samples.push_back(int16_t(p.Bytes[k] | p.Bytes[k + 1] << 8));
    return samples;
}
