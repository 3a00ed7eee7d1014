#include "Kinds.h"

#include "ClipMaker.h"
#include "DVClip.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

namespace {

const std::vector<TKind> kKinds = {
    {"dv", "DV 25 Mbit/s, PAL or NTSC, raw (.dv) or AVI type 1 or 2 (.avi), with recording date, "
           "time code and removable or invalid packs"},
    {"mpeg2", "MPEG-2 program stream: PAL 16:9 or NTSC 4:3, B-frames, open GOPs, MPEG audio"},
    {"mpeg2-ts", "MPEG-2 in a transport stream: the mpeg2 kind's video and sound"},
    {"mpeg1", "MPEG-1 system stream: 352x288 (PAL) or 352x240 (NTSC), B-frames, MPEG audio"},
    {"h264-mp4", "H.264 (MPEG-4 part 2 without libx264) in MP4, long GOP, B-frames, AAC"},
    {"h264-mkv", "H.264 (MPEG-4 part 2 without libx264) in Matroska, long GOP, B-frames, AAC"},
    {"hevc-mkv", "HEVC (libx265) in Matroska, 320x180 unless --size, AAC"},
    {"mjpeg-avi", "Motion JPEG in AVI with PCM sound"},
    {"wmv", "Windows Media Video 8 and Audio 2 in ASF"},
    {"wav", "PCM sound in a WAV file"},
    {"audio", "sound only: MPEG-1 layer II elementary stream"},
    {"numbers", "every frame shows its own number in large digits, H.264 in MP4 (every video kind "
                "takes --pattern numbers)"},
    {"truncated", "a clip of kind --from (mpeg2) cut at --keep (0.5) of its length"},
    {"empty", "a file of zero bytes"},
    {"random", "--bytes (65536) random bytes from --seed (1)"},
};

AVRational SystemRate(const TOptions& o) {
    return o.System == "ntsc" ? AVRational{30000, 1001} : AVRational{25, 1};
}

// Square pixels unless the kind or --aspect asks for a display aspect.
AVRational SampleAspectFor(const std::string& aspect, int w, int h) {
    if (aspect.empty())
        return {1, 1};
    const int dw = aspect == "16:9" ? 16 : 4, dh = aspect == "16:9" ? 9 : 3;
    AVRational sar{dw * h, dh * w};
    av_reduce(&sar.num, &sar.den, sar.num, sar.den, 1 << 20);
    return sar;
}

std::string AspectText(AVRational sar, int w, int h) {
    int64_t x = int64_t(sar.num) * w, y = int64_t(sar.den) * h;
    const int64_t g = std::gcd(x, y);
    x /= g;
    y /= g;
    return std::to_string(x) + ":" + std::to_string(y);
}

void ApplyCommonOverrides(const TOptions& o, TClipRecipe& s) {
    if (o.Width) {
        s.Video.Width = o.Width;
        s.Video.Height = o.Height;
    }
    if (o.RateNum)
        s.Video.Rate = AVRational{o.RateNum, o.RateDen};
    if (o.Gop)
        s.Video.Gop = o.Gop;
    if (o.BFrames >= 0)
        s.Video.BFrames = o.BFrames;
    if (o.AudioRate)
        s.Audio.Rate = o.AudioRate;
    if (o.NoAudio)
        s.HasAudio = false;
}

TClipRecipe Mpeg2Recipe(const TOptions& o) {
    TClipRecipe s;
    s.Container = "vob";
    const bool ntsc = o.System == "ntsc";
    s.Video.Encoders = {"mpeg2video"};
    s.Video.Width = 720;
    s.Video.Height = ntsc ? 480 : 576;
    s.Video.Rate = SystemRate(o);
    s.Video.Gop = ntsc ? 15 : 12;
    s.Video.BFrames = 2;
    s.Video.BitRate = 5000000;
    s.Video.RcMaxRate = 9000000;
    s.Video.RcBufferSize = 1835008;
    s.Audio = {"mp2", 48000, 2, 192000};
    ApplyCommonOverrides(o, s);
    const std::string aspect = o.Aspect.empty() ? (ntsc ? "4:3" : "16:9") : o.Aspect;
    s.Video.SampleAspect = SampleAspectFor(aspect, s.Video.Width, s.Video.Height);
    return s;
}

TClipRecipe Mpeg1Recipe(const TOptions& o) {
    TClipRecipe s;
    s.Container = "mpeg";
    const bool ntsc = o.System == "ntsc";
    s.Video.Encoders = {"mpeg1video"};
    s.Video.Width = 352;
    s.Video.Height = ntsc ? 240 : 288;
    s.Video.Rate = SystemRate(o);
    s.Video.Gop = ntsc ? 15 : 12;
    s.Video.BFrames = 2;
    s.Video.BitRate = 1150000;
    s.Video.RcBufferSize = 327680;
    s.Video.RcMaxRate = 1150000;
    s.Audio = {"mp2", 44100, 2, 224000};
    ApplyCommonOverrides(o, s);
    s.Video.SampleAspect = SampleAspectFor(o.Aspect, s.Video.Width, s.Video.Height);
    return s;
}

TClipRecipe H264Recipe(const TOptions& o, const std::string& container) {
    TClipRecipe s;
    s.Container = container;
    s.Video.Encoders = {"libx264", "mpeg4"};
    s.Video.Width = 640;
    s.Video.Height = 360;
    s.Video.Rate = SystemRate(o);
    s.Video.Gop = 250;
    s.Video.BFrames = 3;
    s.Video.BitRate = 1000000; // used by MPEG-4 part 2; x264 keeps its own rate control
    s.Video.PrivateOptions = {{"preset", "veryfast"}, {"crf", "23"}};
    s.Audio = {"aac", 48000, 2, 128000};
    ApplyCommonOverrides(o, s);
    s.Video.SampleAspect = SampleAspectFor(o.Aspect, s.Video.Width, s.Video.Height);
    return s;
}

TClipRecipe HevcRecipe(const TOptions& o) {
    TClipRecipe s;
    s.Container = "matroska";
    s.Video.Encoders = {"libx265"};
    s.Video.Width = 320;
    s.Video.Height = 180;
    s.Video.Rate = SystemRate(o);
    s.Video.Gop = 25;
    s.Video.BFrames = 2;
    s.Video.PrivateOptions = {{"preset", "ultrafast"}, {"x265-params", "log-level=error"}};
    s.Audio = {"aac", 48000, 2, 128000};
    ApplyCommonOverrides(o, s);
    s.Video.SampleAspect = SampleAspectFor(o.Aspect, s.Video.Width, s.Video.Height);
    return s;
}

TClipRecipe MjpegRecipe(const TOptions& o) {
    TClipRecipe s;
    s.Container = "avi";
    s.Video.Encoders = {"mjpeg"};
    s.Video.PixelFormat = AV_PIX_FMT_YUVJ420P;
    s.Video.Width = 640;
    s.Video.Height = 480;
    s.Video.Rate = SystemRate(o);
    s.Video.Gop = 1;
    s.Video.QScale = 3;
    s.Audio = {"pcm_s16le", 48000, 2, 0};
    ApplyCommonOverrides(o, s);
    s.Video.BFrames = 0;
    s.Video.SampleAspect = SampleAspectFor(o.Aspect, s.Video.Width, s.Video.Height);
    return s;
}

TClipRecipe WmvRecipe(const TOptions& o) {
    TClipRecipe s;
    s.Container = "asf";
    s.Video.Encoders = {"wmv2"};
    s.Video.Width = 320;
    s.Video.Height = 240;
    s.Video.Rate = SystemRate(o);
    s.Video.Gop = 25;
    s.Video.BitRate = 800000;
    s.Audio = {"wmav2", 44100, 2, 128000};
    ApplyCommonOverrides(o, s);
    s.Video.BFrames = 0;
    s.Video.SampleAspect = SampleAspectFor(o.Aspect, s.Video.Width, s.Video.Height);
    return s;
}

TClipRecipe AudioOnlyRecipe(const TOptions& o, const std::string& container, TAudioSettings audio) {
    TClipRecipe s;
    s.Container = container;
    s.HasVideo = false;
    s.Audio = audio;
    if (o.AudioRate)
        s.Audio.Rate = o.AudioRate;
    return s;
}

TClipRecipe RecipeFor(const TOptions& o, const std::string& kind) {
    if (kind == "mpeg2")
        return Mpeg2Recipe(o);
    if (kind == "mpeg2-ts") {
        TClipRecipe s = Mpeg2Recipe(o);
        s.Container = "mpegts";
        return s;
    }
    if (kind == "hevc-mkv")
        return HevcRecipe(o);
    if (kind == "mpeg1")
        return Mpeg1Recipe(o);
    if (kind == "h264-mp4" || kind == "numbers")
        return H264Recipe(o, "mp4");
    if (kind == "h264-mkv")
        return H264Recipe(o, "matroska");
    if (kind == "mjpeg-avi")
        return MjpegRecipe(o);
    if (kind == "wmv")
        return WmvRecipe(o);
    if (kind == "wav")
        return AudioOnlyRecipe(o, "wav", {"pcm_s16le", 48000, 2, 0});
    if (kind == "audio")
        return AudioOnlyRecipe(o, "mp2", {"mp2", 48000, 2, 192000});
    throw TClipError("unknown kind " + kind + " (see --list)");
}

void MakeKind(const TOptions& o, const std::string& kind, TClipParams& params) {
    if (kind == "dv") {
        MakeDVClip(o, params);
        return;
    }
    const TClipRecipe recipe = RecipeFor(o, kind);
    const std::string pattern = kind == "numbers" ? "numbers" : o.Pattern;
    MakeEncodedClip(recipe, o.Out, o.Seconds, pattern, params);
    if (recipe.HasVideo)
        params.Set("aspect",
                   AspectText(recipe.Video.SampleAspect, recipe.Video.Width, recipe.Video.Height));
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out.flush())
        throw TClipError("cannot write " + path);
}

} // namespace

const std::vector<TKind>& Kinds() {
    return kKinds;
}

void MakeClip(const TOptions& o, TClipParams& params) {
    params.Set("kind", o.Kind);
    params.Set("file", o.Out);
    if (o.Kind == "empty") {
        WriteBytes(o.Out, {});
    } else if (o.Kind == "random") {
        std::mt19937 rng(o.Seed);
        std::vector<char> bytes(size_t(o.Bytes));
        for (char& c : bytes)
            c = char(rng() & 0xFF);
        WriteBytes(o.Out, bytes);
        params.Set("seed", int64_t(o.Seed));
    } else if (o.Kind == "truncated") {
        if (o.From == "truncated" || o.From == "empty" || o.From == "random")
            throw TClipError("--from names a kind that makes a whole clip");
        MakeKind(o, o.From, params);
        const auto whole = std::filesystem::file_size(o.Out);
        const auto kept = std::max<uintmax_t>(1, uintmax_t(double(whole) * o.Keep));
        std::filesystem::resize_file(o.Out, kept);
        params.Set("kind", o.Kind);
        params.Set("truncated_from", o.From);
        params.Set("whole_size", int64_t(whole));
    } else {
        MakeKind(o, o.Kind, params);
    }
    params.Set("size", int64_t(std::filesystem::file_size(o.Out)));
}
