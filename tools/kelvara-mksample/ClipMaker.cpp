#include "ClipMaker.h"

#include "PictureSource.h"
#include "ToneSource.h"

#include <cmath>

namespace {

// An output file with one video and one audio stream at most.
class TMuxer {
public:
    TMuxer(const std::string& container, const std::string& out) {
        AVFormatContext* c = nullptr;
        Check(avformat_alloc_output_context2(&c, nullptr, container.c_str(), out.c_str()),
              "choosing the container");
        FOutput.reset(c);
        FOutput->flags |= AVFMT_FLAG_BITEXACT;
    }
    bool NeedsGlobalHeader() const { return FOutput->oformat->flags & AVFMT_GLOBALHEADER; }
    AVStream* AddStream(const AVCodecContext* encoder) {
        AVStream* s = avformat_new_stream(FOutput.get(), nullptr);
        if (!s)
            throw TClipError("out of memory");
        Check(avcodec_parameters_from_context(s->codecpar, encoder), "stream parameters");
        s->time_base = encoder->time_base;
        s->sample_aspect_ratio = encoder->sample_aspect_ratio;
        return s;
    }
    void Open(const std::string& out) {
        if (!(FOutput->oformat->flags & AVFMT_NOFILE))
            Check(avio_open(&FOutput->pb, out.c_str(), AVIO_FLAG_WRITE),
                  ("opening " + out).c_str());
        Check(avformat_write_header(FOutput.get(), nullptr), "writing the header");
    }
    void Write(std::vector<TPacketPtr> packets, const AVCodecContext* encoder, AVStream* stream) {
        for (auto& p : packets) {
            // Video encoders leave the duration open; one frame each lets MP4's edit list keep
            // the last frame.
            if (encoder->codec_type == AVMEDIA_TYPE_VIDEO && p->duration == 0)
                p->duration = 1;
            av_packet_rescale_ts(p.get(), encoder->time_base, stream->time_base);
            p->stream_index = stream->index;
            Check(av_interleaved_write_frame(FOutput.get(), p.get()), "writing a packet");
        }
    }
    void Finish() { Check(av_write_trailer(FOutput.get()), "finishing the file"); }

private:
    TOutputPtr FOutput;
};

} // namespace

int64_t FrameCount(double seconds, AVRational rate) {
    return std::max<int64_t>(1, std::llround(seconds * rate.num / rate.den));
}

void MakeEncodedClip(const TClipRecipe& recipe, const std::string& out, double seconds,
                     const std::string& pattern, TClipParams& params) {
    TMuxer muxer(recipe.Container, out);
    std::unique_ptr<TVideoEncoder> video;
    std::unique_ptr<TAudioEncoder> audio;
    AVStream *videoStream = nullptr, *audioStream = nullptr;
    if (recipe.HasVideo) {
        video = std::make_unique<TVideoEncoder>(recipe.Video, muxer.NeedsGlobalHeader());
        videoStream = muxer.AddStream(video->Context());
    }
    if (recipe.HasAudio) {
        audio = std::make_unique<TAudioEncoder>(recipe.Audio, muxer.NeedsGlobalHeader());
        audioStream = muxer.AddStream(audio->Context());
    }
    muxer.Open(out);

    const AVRational rate = recipe.HasVideo ? recipe.Video.Rate : AVRational{25, 1};
    const int64_t frames = FrameCount(seconds, rate);
    const TPictureSource pictures(pattern);
    const TToneSource tone(recipe.Audio.Rate);
    TFramePtr picture = video ? video->NewPicture() : nullptr;
    int64_t audioSamples = 0;
    const int64_t totalSamples =
        int64_t(std::llround(double(frames) * rate.den / rate.num * recipe.Audio.Rate));
    for (int64_t i = 0; i < frames; ++i) {
        if (video) {
            pictures.Fill(picture.get(), i);
            picture->pts = i;
            muxer.Write(video->Encode(picture.get()), video->Context(), videoStream);
        }
        // Sound up to the start of the next picture.
        const int64_t until =
            std::min(totalSamples, (i + 1) * rate.den * recipe.Audio.Rate / rate.num);
        while (audio && audioSamples < until) {
            const int n = audio->Context()->frame_size > 0
                              ? audio->FrameSize()
                              : int(std::min<int64_t>(audio->FrameSize(), until - audioSamples));
            TFramePtr frame = audio->NewFrame(n);
            tone.Fill(frame.get(), audioSamples);
            frame->pts = audioSamples;
            audioSamples += n;
            muxer.Write(audio->Encode(frame.get()), audio->Context(), audioStream);
        }
    }
    if (video)
        muxer.Write(video->Encode(nullptr), video->Context(), videoStream);
    if (audio)
        muxer.Write(audio->Encode(nullptr), audio->Context(), audioStream);
    muxer.Finish();

    params.Set("container", recipe.Container);
    if (video) {
        params.Set("video_codec", video->Name());
        params.Set("width", recipe.Video.Width);
        params.Set("height", recipe.Video.Height);
        params.Set("frame_rate", std::to_string(rate.num) + "/" + std::to_string(rate.den));
        params.Set("frames", frames);
        params.Set("gop", recipe.Video.Gop);
        params.Set("b_frames", recipe.Video.BFrames);
        params.Set("pattern", pattern);
    }
    params.Set("duration", double(frames) * rate.den / rate.num);
    if (audio) {
        params.Set("audio_codec", audio->Name());
        params.Set("sample_rate", recipe.Audio.Rate);
        params.Set("channels", recipe.Audio.Channels);
    }
}
