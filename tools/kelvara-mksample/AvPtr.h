#pragma once
// Owning handles for the FFmpeg objects the clip maker uses, and its error type: every failure
// becomes a TClipError with a text for the user.
#include <memory>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

struct TClipError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline std::string AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Throws with the step's name and FFmpeg's text when code is an error.
inline int Check(int code, const char* step) {
    if (code < 0)
        throw TClipError(std::string(step) + ": " + AvErrorText(code));
    return code;
}

struct TCodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct TFrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct TPacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
// An output context with its file or its memory I/O context; both are closed with it.
struct TOutputDeleter {
    void operator()(AVFormatContext* c) const {
        if (c->pb && (c->flags & AVFMT_FLAG_CUSTOM_IO)) {
            av_freep(&c->pb->buffer);
            avio_context_free(&c->pb);
        } else if (c->pb && !(c->oformat->flags & AVFMT_NOFILE)) {
            avio_closep(&c->pb);
        }
        avformat_free_context(c);
    }
};

using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextDeleter>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameDeleter>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketDeleter>;
using TOutputPtr = std::unique_ptr<AVFormatContext, TOutputDeleter>;

inline TFramePtr NewFrame() {
    TFramePtr f(av_frame_alloc());
    if (!f)
        throw TClipError("out of memory");
    return f;
}

inline TPacketPtr NewPacket() {
    TPacketPtr p(av_packet_alloc());
    if (!p)
        throw TClipError("out of memory");
    return p;
}
