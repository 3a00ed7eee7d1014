#pragma once
// Small glue between the media platform and FFmpeg: owning handles for the library's objects,
// time conversion between stream time bases and 100-ns media times, and error texts.
#include "platform/graph/FormatBlocks.h"

#include <memory>
#include <string>

#include <QString>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kelvara::ff {

struct TFormatCloser {
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
struct TSwsFreer {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};
struct TSwrFreer {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
struct TParametersFreer {
    void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};

using TFormatPtr = std::unique_ptr<AVFormatContext, TFormatCloser>;
using TCodecPtr = std::unique_ptr<AVCodecContext, TCodecFreer>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameFreer>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketFreer>;
using TSwsPtr = std::unique_ptr<SwsContext, TSwsFreer>;
using TSwrPtr = std::unique_ptr<SwrContext, TSwrFreer>;
using TParametersPtr = std::unique_ptr<AVCodecParameters, TParametersFreer>;

inline TFramePtr NewFrame() {
    return TFramePtr(av_frame_alloc());
}
inline TPacketPtr NewPacket() {
    return TPacketPtr(av_packet_alloc());
}

// The time base of media times: 100 ns.
inline constexpr AVRational kMediaTimeBase{1, 10'000'000};

// A timestamp of a stream in 100-ns units, rounded to the nearest unit (AV_NOPTS_VALUE stays).
int64_t ToMediaTime(int64_t ts, AVRational timeBase);
// A media time in a stream's time base, rounded down (so that a seek lands at or before it).
int64_t FromMediaTime(REFERENCE_TIME t, AVRational timeBase);
// The duration of one frame at a rate (frames per second) in 100-ns units; 0 when unknown.
REFERENCE_TIME FrameDurationOf(AVRational rate);

// The library's text for an error code.
std::string ErrorText(int err);

// Quietens the libraries' own logging (warnings about damaged input are expected and are not
// the program's output); once per process.
void InitLogging();

} // namespace kelvara::ff
