#pragma once
// Video and audio encoders of libavcodec set up for short deterministic clips: one thread,
// bit-exact flags, fixed settings.
#include "AvPtr.h"

#include <string>
#include <utility>
#include <vector>

struct TVideoSettings {
    std::vector<std::string> Encoders; // tried in order; the first that libavcodec has is used
    AVPixelFormat PixelFormat = AV_PIX_FMT_YUV420P;
    int Width = 720;
    int Height = 576;
    AVRational Rate{25, 1};        // frames per second
    AVRational SampleAspect{0, 1}; // 0/1: square pixels, unspecified
    int Gop = 12;
    int BFrames = 0;
    int64_t BitRate = 0;
    int RcBufferSize = 0;
    int64_t RcMaxRate = 0;
    int QScale = 0; // fixed quantiser when not 0
    std::vector<std::pair<std::string, std::string>> PrivateOptions;
};

struct TAudioSettings {
    std::string Encoder;
    int Rate = 48000;
    int Channels = 2;
    int64_t BitRate = 0;
};

class TVideoEncoder {
public:
    TVideoEncoder(const TVideoSettings& settings, bool globalHeader);
    AVCodecContext* Context() const { return FContext.get(); }
    std::string Name() const { return FContext->codec->name; }
    // A frame buffer of the encoder's size and format to draw into.
    TFramePtr NewPicture() const;
    // Sends a picture (nullptr: end of stream) and collects what the encoder gives back.
    std::vector<TPacketPtr> Encode(const AVFrame* picture);

private:
    TCodecContextPtr FContext;
};

class TAudioEncoder {
public:
    TAudioEncoder(const TAudioSettings& settings, bool globalHeader);
    AVCodecContext* Context() const { return FContext.get(); }
    std::string Name() const { return FContext->codec->name; }
    int FrameSize() const; // samples per frame the encoder takes
    TFramePtr NewFrame(int samples) const;
    std::vector<TPacketPtr> Encode(const AVFrame* frame);

private:
    TCodecContextPtr FContext;
};
