#include "DVClip.h"

#include "ClipMaker.h"
#include "DVAudio.h"
#include "DVPacks.h"
#include "Encoders.h"
#include "PictureSource.h"
#include "ToneSource.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace {

int WriteToVector(void* opaque, uint8_t* buf, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(opaque);
    bytes->insert(bytes->end(), buf, buf + size);
    return size;
}

TOutputPtr NewMemoryOutput(const char* format, std::vector<uint8_t>& bytes) {
    AVFormatContext* c = nullptr;
    Check(avformat_alloc_output_context2(&c, nullptr, format, nullptr), "choosing the DV muxer");
    TOutputPtr out(c);
    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        throw TClipError("out of memory");
    out->pb = avio_alloc_context(buffer, kBufferSize, 1, &bytes, nullptr, WriteToVector, nullptr);
    if (!out->pb) {
        av_free(buffer);
        throw TClipError("out of memory");
    }
    out->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_BITEXACT;
    return out;
}

std::vector<int16_t> ToneSamples(int rate, int64_t first, int64_t count) {
    const TToneSource tone(rate);
    std::vector<int16_t> s(size_t(count) * 2);
    for (int64_t i = 0; i < count; ++i) {
        s[size_t(2 * i)] = tone.Sample(first + i, 0);
        s[size_t(2 * i + 1)] = tone.Sample(first + i, 1);
    }
    return s;
}

TPacketPtr PacketOf(const uint8_t* data, size_t size, int64_t pts, int stream) {
    TPacketPtr p = NewPacket();
    Check(av_new_packet(p.get(), int(size)), "packet");
    std::memcpy(p->data, data, size);
    p->pts = p->dts = pts;
    p->stream_index = stream;
    return p;
}

AVStream* AddPcmStream(AVFormatContext* c, int rate) {
    AVStream* s = avformat_new_stream(c, nullptr);
    if (!s)
        throw TClipError("out of memory");
    s->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    s->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    s->codecpar->sample_rate = rate;
    s->codecpar->format = AV_SAMPLE_FMT_S16;
    s->codecpar->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    s->codecpar->bits_per_coded_sample = 16;
    s->codecpar->block_align = 4;
    s->codecpar->bit_rate = int64_t(rate) * 32;
    s->time_base = AVRational{1, rate};
    return s;
}

// Runs the raw DV muxer over the encoded pictures with sound at muxRate; throws when the muxer
// refuses the combination.
std::vector<uint8_t> MuxDV(const std::vector<TPacketPtr>& pictures, const TVideoEncoder& video,
                           bool pal, int muxRate, const TOptions& o) {
    std::vector<uint8_t> bytes;
    TOutputPtr out = NewMemoryOutput("dv", bytes);
    AVStream* vs = avformat_new_stream(out.get(), nullptr);
    if (!vs)
        throw TClipError("out of memory");
    Check(avcodec_parameters_from_context(vs->codecpar, video.Context()), "DV video parameters");
    vs->time_base = video.Context()->time_base;
    AVStream* as = AddPcmStream(out.get(), muxRate);
    av_dict_set(&out->metadata, "creation_time", (o.Date.Iso() + "Z").c_str(), 0);
    av_dict_set(&out->metadata, "timecode", o.Timecode.Text().c_str(), 0);
    Check(avformat_write_header(out.get(), nullptr), "the DV muxer refused the streams");
    const int64_t frames = int64_t(pictures.size());
    for (int64_t i = 0; i < frames; ++i) {
        const TPacketPtr& pic = pictures[size_t(i)];
        TPacketPtr v = PacketOf(pic->data, size_t(pic->size), i, vs->index);
        Check(av_write_frame(out.get(), v.get()), "DV muxing");
        // Each picture's sound; the last picture gets one frame more so that the muxer, which
        // needs a frame's sound ahead, completes it.
        const int64_t first = DVAudioSamplesBefore(pal, muxRate, i);
        const int64_t last = DVAudioSamplesBefore(pal, muxRate, i + (i + 1 == frames ? 2 : 1));
        const auto samples = ToneSamples(muxRate, first, last - first);
        TPacketPtr a = PacketOf(reinterpret_cast<const uint8_t*>(samples.data()),
                                samples.size() * sizeof(int16_t), first, as->index);
        Check(av_write_frame(out.get(), a.get()), "DV muxing");
    }
    Check(av_write_trailer(out.get()), "DV muxing");
    return bytes;
}

void ApplyEdits(TDVClip& clip, const TOptions& o) {
    for (size_t i = 0; i < clip.Frames.size(); ++i) {
        std::span<uint8_t> f(clip.Frames[i]);
        if (o.RemoveTimecode.Contains(int64_t(i)))
            RemoveDVPacks(f, {0x13});
        if (o.RemoveDate.Contains(int64_t(i)))
            RemoveDVPacks(f, {0x62, 0x63, 0x52, 0x53});
        if (!o.InvalidDate.empty() && o.InvalidDateFrames.Contains(int64_t(i))) {
            if (o.InvalidDate == "month0")
                SetDVRecordingDay(f, std::max(1, o.Date.Day), 0);
            else
                SetDVRecordingDay(f, 31, 4);
        }
    }
}

bool EndsWith(std::string s, const std::string& suffix) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void WriteRawDV(const std::string& path, const TDVFrames& frames) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& f : frames)
        out.write(reinterpret_cast<const char*>(f.data()), std::streamsize(f.size()));
    if (!out.flush())
        throw TClipError("cannot write " + path);
}

void WriteType2Avi(const std::string& path, const TDVClip& clip, const TVideoEncoder& video) {
    AVFormatContext* c = nullptr;
    Check(avformat_alloc_output_context2(&c, nullptr, "avi", path.c_str()), "choosing AVI");
    TOutputPtr out(c);
    out->flags |= AVFMT_FLAG_BITEXACT;
    AVStream* vs = avformat_new_stream(out.get(), nullptr);
    if (!vs)
        throw TClipError("out of memory");
    Check(avcodec_parameters_from_context(vs->codecpar, video.Context()), "DV video parameters");
    vs->time_base = video.Context()->time_base;
    AVStream* as = AddPcmStream(out.get(), clip.SampleRate);
    Check(avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE), ("opening " + path).c_str());
    Check(avformat_write_header(out.get(), nullptr), "writing the AVI header");
    const AVRational frameTime = video.Context()->time_base;
    for (size_t i = 0; i < clip.Frames.size(); ++i) {
        TPacketPtr v =
            PacketOf(clip.Frames[i].data(), clip.Frames[i].size(), int64_t(i), vs->index);
        v->flags |= AV_PKT_FLAG_KEY;
        v->duration = 1;
        av_packet_rescale_ts(v.get(), frameTime, vs->time_base);
        Check(av_interleaved_write_frame(out.get(), v.get()), "writing the AVI");
        const int64_t first = DVAudioSamplesBefore(clip.Pal, clip.SampleRate, int64_t(i));
        const int64_t count = DVAudioSamplesInFrame(clip.Pal, clip.SampleRate, int64_t(i));
        TPacketPtr a = PacketOf(reinterpret_cast<const uint8_t*>(&clip.Audio[size_t(2 * first)]),
                                size_t(count) * 4, first, as->index);
        a->flags |= AV_PKT_FLAG_KEY;
        a->duration = count;
        av_packet_rescale_ts(a.get(), AVRational{1, clip.SampleRate}, as->time_base);
        Check(av_interleaved_write_frame(out.get(), a.get()), "writing the AVI");
    }
    Check(av_write_trailer(out.get()), "finishing the AVI");
}

TVideoSettings DVVideoSettings(const TOptions& o, bool pal) {
    TVideoSettings s;
    s.Encoders = {"dvvideo"};
    s.Width = 720;
    s.Height = pal ? 576 : 480;
    s.PixelFormat = pal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
    s.Rate = pal ? AVRational{25, 1} : AVRational{30000, 1001};
    const bool wide = o.Aspect == "16:9";
    s.SampleAspect = pal ? (wide ? AVRational{64, 45} : AVRational{16, 15})
                         : (wide ? AVRational{32, 27} : AVRational{8, 9});
    s.Gop = 1;
    return s;
}

} // namespace

static TDVClip MakeDVFramesWith(const TOptions& o, TClipParams& params, TVideoEncoder& video) {
    TDVClip clip;
    clip.Pal = o.System == "pal";
    clip.SampleRate = o.AudioRate ? o.AudioRate : 48000;
    clip.Bits = o.AudioBits;
    DVAudioMinSamples(clip.Pal, clip.SampleRate); // refuses other rates
    if (clip.Bits == 12 && clip.SampleRate != 32000)
        throw TClipError("12-bit DV sound is 32000 Hz");
    const int64_t frames = FrameCount(o.Seconds, video.Context()->framerate);
    const TPictureSource pictures(o.Pattern);
    TFramePtr picture = video.NewPicture();
    std::vector<TPacketPtr> encoded;
    for (int64_t i = 0; i < frames; ++i) {
        pictures.Fill(picture.get(), i);
        picture->pts = i;
        for (auto& p : video.Encode(picture.get()))
            encoded.push_back(std::move(p));
    }
    for (auto& p : video.Encode(nullptr))
        encoded.push_back(std::move(p));

    int muxRate = clip.SampleRate;
    std::vector<uint8_t> bytes;
    const int logLevel = av_log_get_level();
    try {
        av_log_set_level(AV_LOG_QUIET); // a refusal here is expected and handled
        bytes = MuxDV(encoded, video, clip.Pal, muxRate, o);
        av_log_set_level(logLevel);
    } catch (const TClipError&) {
        av_log_set_level(logLevel);
        muxRate = 48000; // the muxer's 525/60 frames take 48 kHz only
        bytes = MuxDV(encoded, video, clip.Pal, muxRate, o);
    }
    const size_t frameSize = clip.Pal ? 144000 : 120000;
    if (bytes.size() < frameSize * size_t(frames))
        throw TClipError("the DV muxer wrote fewer frames than asked");
    for (int64_t i = 0; i < frames; ++i)
        clip.Frames.emplace_back(bytes.begin() + long(size_t(i) * frameSize),
                                 bytes.begin() + long(size_t(i + 1) * frameSize));

    const int64_t total = DVAudioSamplesBefore(clip.Pal, clip.SampleRate, frames);
    clip.Audio = ToneSamples(clip.SampleRate, 0, total);
    const bool rewrite = muxRate != clip.SampleRate || clip.Bits != 16;
    if (rewrite)
        for (int64_t i = 0; i < frames; ++i) {
            const int64_t first = DVAudioSamplesBefore(clip.Pal, clip.SampleRate, i);
            WriteDVAudio(clip.Frames[size_t(i)], clip.Pal, clip.SampleRate, clip.Bits,
                         &clip.Audio[size_t(2 * first)],
                         DVAudioSamplesInFrame(clip.Pal, clip.SampleRate, i));
        }
    ApplyEdits(clip, o);

    params.Set("video_codec", "dvvideo");
    params.Set("width", 720);
    params.Set("height", clip.Pal ? 576 : 480);
    params.Set("frame_rate", clip.Pal ? "25/1" : "30000/1001");
    params.Set("frames", frames);
    params.Set("duration", double(frames) * (clip.Pal ? 1.0 / 25 : 1001.0 / 30000));
    params.Set("dv_system", o.System);
    params.Set("aspect", o.Aspect.empty() ? "4:3" : o.Aspect);
    params.Set("dv_date", o.Date.Iso());
    params.Set("dv_timecode", o.Timecode.Text());
    params.Set("pattern", o.Pattern);
    params.Set("audio_codec", "pcm_s16le");
    params.Set("sample_rate", clip.SampleRate);
    params.Set("channels", 2);
    params.Set("audio_bits", clip.Bits);
    params.Set("dv_audio_written_by", rewrite ? "kelvara-mksample" : "libavformat");
    if (!o.RemoveTimecode.Empty())
        params.Set("removed_timecode_frames", o.RemoveTimecode.Text());
    if (!o.RemoveDate.Empty())
        params.Set("removed_date_frames", o.RemoveDate.Text());
    if (!o.InvalidDate.empty()) {
        params.Set("invalid_date", o.InvalidDate);
        params.Set("invalid_date_frames", o.InvalidDateFrames.Text());
    }
    return clip;
}

TDVClip MakeDVFrames(const TOptions& o, TClipParams& params) {
    TVideoEncoder video(DVVideoSettings(o, o.System == "pal"), false);
    return MakeDVFramesWith(o, params, video);
}

void MakeDVClip(const TOptions& o, TClipParams& params) {
    const bool pal = o.System == "pal";
    if (o.Timecode.Frames >= (pal ? 25 : 30))
        throw TClipError("--timecode: the frames of a time code count from 0 to " +
                         std::string(pal ? "24" : "29"));
    if (o.Timecode.DropFrame && pal)
        throw TClipError("--timecode: drop-frame time codes (HH:MM:SS;FF) are NTSC only");
    const bool raw = EndsWith(o.Out, ".dv") || EndsWith(o.Out, ".dif");
    if (!raw && !EndsWith(o.Out, ".avi"))
        throw TClipError("a DV clip is written as .dv (raw DV) or .avi");
    TVideoEncoder video(DVVideoSettings(o, pal), false);
    params.Set("container", raw ? "dv" : "avi");
    if (!raw)
        params.Set("avi_type", o.AviType);
    const TDVClip clip = MakeDVFramesWith(o, params, video);
    if (raw)
        WriteRawDV(o.Out, clip.Frames);
    else if (o.AviType == 1)
        WriteType1Avi(o.Out, clip.Frames, clip.Pal);
    else
        WriteType2Avi(o.Out, clip, video);
}
