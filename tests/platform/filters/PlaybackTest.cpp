// Every container and codec the program takes plays to the end: the source and splitter of the
// media factory's table (or the source that reads the file itself), the decoders that
// intelligent connect inserts, and test sinks. Every frame that libavcodec alone decodes from
// the file arrives, the duration is that of those frames, and the sound lasts as long.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TCase {
    const char* name;
    std::function<QString()> make;
    CLSID source;
    CLSID splitter;
    bool video;
    bool audio;
};

std::ostream& operator<<(std::ostream& os, const TCase& c) {
    return os << c.name;
}

std::function<QString()> Made(const char* name, const char* kind, QStringList args) {
    return [=] {
        return Clip(QString::fromLatin1(name), QString::fromLatin1(kind),
                    args + QStringList{"--seconds", "1"});
    };
}

std::function<QString()> Remuxed(std::function<QString()> from, const char* name,
                                 const char* container) {
    return [=] {
        const QString to = ClipFolder() + u'/' + QString::fromLatin1(name);
        EXPECT_EQ(Remux(from().toStdString(), to.toStdString(), container), "");
        return to;
    };
}

std::function<QString()> Written(const char* name, const char* container, const char* video,
                                 const char* audio) {
    return [=] {
        const QString path = ClipFolder() + u'/' + QString::fromLatin1(name);
        TVideoClipRecipe v;
        v.encoder = video;
        v.bframes = v.encoder == "libx265" ? 0 : 2;
        if (v.encoder == "libx265")
            v.options = {{"preset", "ultrafast"}, {"x265-params", "log-level=none"}};
        if (v.encoder == "mpeg2video")
            v.width = 720, v.height = 576;
        TAudioClipRecipe a;
        a.encoder = audio;
        EXPECT_EQ(WriteClip(path.toStdString(), container, &v, &a), "");
        return path;
    };
}

class Playback : public testing::TestWithParam<TCase> {};

TEST_P(Playback, PlaysToTheEndWithEveryFrame) {
    const TCase& c = GetParam();
    const QString path = c.make();
    ASSERT_FALSE(path.isEmpty());
    const TReference ref = DecodeReference(path.toStdString(), {});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(path, c.source, c.splitter), S_OK);
    EXPECT_EQ(graph.HasVideo(), c.video);
    EXPECT_EQ(graph.HasAudio(), c.audio);
    const double duration = double(graph.Duration()) / UNITS;
    EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    // The duration is that of the longer stream: the video's frames, the sound's samples.
    double videoEnd = 0, audioEnd = 0, tolerance = 0.05;
    if (c.video) {
        ASSERT_GT(ref.frameCount, 1);
        EXPECT_EQ(int(graph.Video()->ShownCount()), ref.frameCount)
            << graph.VideoDecoderName().toStdString();
        const double frame = double(ref.pts[1] - ref.pts[0]) / UNITS;
        videoEnd = ref.frameCount * frame;
        tolerance = frame / 2;
        EXPECT_GE(duration, videoEnd - tolerance);
    }
    if (c.audio) {
        audioEnd = double(graph.Audio()->Samples().size()) /
                   std::max(1, graph.Audio()->Channels() * graph.Audio()->Rate());
        EXPECT_GT(audioEnd, 0.9) << graph.AudioDecoderName().toStdString();
    }
    EXPECT_NEAR(duration, std::max(videoEnd, audioEnd), std::max(tolerance, 0.05));
}

const auto kDV2 = Made("dv2.avi", "dv", {"--avi-type", "2"});
const auto kMpeg2 = Made("mpeg2.vob", "mpeg2", {});
const auto kH264 = Made("h264.mp4", "h264-mp4", {});

const TCase kCases[] = {
    {"raw DV, LAV Splitter Source", Made("raw.dv", "dv", {}), CLSID_LAVSplitterSource, GUID_NULL,
     true, true},
    {"DV type 2 AVI, AVI Splitter", kDV2, CLSID_AsyncReader, CLSID_AviSplitter, true, true},
    {"DV type 2 AVI, LAV Splitter Source", kDV2, CLSID_LAVSplitterSource, GUID_NULL, true, true},
    {"DV type 1 AVI, AVI Splitter and DV splitter", Made("dv1.avi", "dv", {"--avi-type", "1"}),
     CLSID_AsyncReader, CLSID_AviSplitter, true, true},
    {"NTSC DV with 32 kHz 12-bit sound",
     Made("dv-ntsc.avi", "dv", {"--system", "ntsc", "--audio-rate", "32000", "--audio-bits", "12"}),
     CLSID_AsyncReader, CLSID_AviSplitter, true, true},
    {"MPEG-2 program stream, MPEG-2 Splitter", kMpeg2, CLSID_AsyncReader, CLSID_MMSPLITTER, true,
     true},
    {"MPEG-2 program stream, LAV Splitter Source", kMpeg2, CLSID_LAVSplitterSource, GUID_NULL, true,
     true},
    {"MPEG-2 transport stream, MPEG-2 Splitter", Remuxed(kMpeg2, "mpeg2.ts", "mpegts"),
     CLSID_AsyncReader, CLSID_MMSPLITTER, true, true},
    {"MPEG-1 system stream, MPEG-I Stream Splitter", Made("mpeg1.mpg", "mpeg1", {}),
     CLSID_AsyncReader, CLSID_MPEG1Splitter, true, true},
    {"H.264 and AAC in MP4", kH264, CLSID_LAVSplitterSource, GUID_NULL, true, true},
    {"H.264 and AAC in Matroska", Made("h264.mkv", "h264-mkv", {}), CLSID_LAVSplitterSource,
     GUID_NULL, true, true},
    {"H.264 in QuickTime", Remuxed(kH264, "h264.mov", "mov"), CLSID_LAVSplitterSource, GUID_NULL,
     true, true},
    {"H.264 in a transport stream, MPEG-2 Splitter", Remuxed(kH264, "h264.m2ts", "mpegts"),
     CLSID_AsyncReader, CLSID_MMSPLITTER, true, true},
    {"HEVC and AC-3 in Matroska", Written("hevc.mkv", "matroska", "libx265", "ac3"),
     CLSID_LAVSplitterSource, GUID_NULL, true, true},
    {"MPEG-4 part 2 and MP3 in AVI", Written("mpeg4.avi", "avi", "mpeg4", "libmp3lame"),
     CLSID_AsyncReader, CLSID_AviSplitter, true, true},
    {"MPEG-2 and AC-3 in a program stream", Written("ac3.vob", "vob", "mpeg2video", "ac3"),
     CLSID_AsyncReader, CLSID_MMSPLITTER, true, true},
    {"Motion JPEG and PCM in AVI", Made("mjpeg.avi", "mjpeg-avi", {}), CLSID_AsyncReader,
     CLSID_AviSplitter, true, true},
    {"WMV and WMA, WM ASF Reader", Made("clip.wmv", "wmv", {}), CLSID_WMAsfReader, GUID_NULL, true,
     true},
    {"WMV and WMA, LAV Splitter Source", Made("clip2.wmv", "wmv", {}), CLSID_LAVSplitterSource,
     GUID_NULL, true, true},
    {"WAV, Wave Parser", Made("clip.wav", "wav", {}), CLSID_AsyncReader, CLSID_WAVEParser, false,
     true},
    {"MPEG audio, LAV Splitter Source", Made("clip.mp2", "audio", {}), CLSID_LAVSplitterSource,
     GUID_NULL, false, true},
};

INSTANTIATE_TEST_SUITE_P(Clips, Playback, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

} // namespace
