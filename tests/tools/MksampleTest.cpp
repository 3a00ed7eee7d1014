#include "FrameDigits.h"
#include "taps/uMediaDescriptions.h"
#include "tests/tools/MksampleSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

class Mksample : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string Path(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }
    TToolRun Make(const char* kind, const char* file, QStringList extra = {}) {
        QStringList args{QString::fromUtf8(kind), QString::fromStdString(Path(file))};
        args += extra;
        TToolRun r = RunMksample(args);
        EXPECT_EQ(r.ExitCode, 0) << kind << ": " << r.Err;
        return r;
    }
};

AVCodecID CodecOfEncoder(const std::string& name) {
    const AVCodec* c = avcodec_find_encoder_by_name(name.c_str());
    return c ? c->id : AV_CODEC_ID_NONE;
}

} // namespace

TEST_F(Mksample, ListsItsKindsAndRefusesBadCommandLines) {
    const TToolRun list = RunMksample({QStringLiteral("--list")});
    ASSERT_EQ(list.ExitCode, 0);
    for (const char* kind :
         {"dv", "mpeg2", "mpeg2-ts", "mpeg1", "h264-mp4", "h264-mkv", "hevc-mkv", "mjpeg-avi",
          "wmv", "wav", "audio", "numbers", "truncated", "empty", "random"})
        EXPECT_NE(list.Out.find(std::string(kind) + "\t"), std::string::npos) << kind;

    const QString out = QString::fromStdString(Path("x.avi"));
    const struct {
        QStringList args;
        int exitCode;
    } bad[] = {
        {{QStringLiteral("dv")}, 2},
        {{QStringLiteral("dv"), out, QStringLiteral("--system"), QStringLiteral("secam")}, 2},
        {{QStringLiteral("dv"), out, QStringLiteral("--date"),
          QStringLiteral("2005-04-31T00:00:00")},
         2},
        {{QStringLiteral("dv"), out, QStringLiteral("--timecode"), QStringLiteral("1:2")}, 2},
        {{QStringLiteral("dv"), out, QStringLiteral("--avi-type"), QStringLiteral("3")}, 2},
        {{QStringLiteral("dv"), out, QStringLiteral("--bogus"), QStringLiteral("1")}, 2},
        {{QStringLiteral("dv"), out, QStringLiteral("--remove-date"), QStringLiteral("5-2")}, 2},
        {{QStringLiteral("nosuchkind"), out}, 1},
        {{QStringLiteral("dv"), QString::fromStdString(Path("x.mkv"))}, 1},
        {{QStringLiteral("dv"), out, QStringLiteral("--audio-bits"), QStringLiteral("12")}, 1},
        {{QStringLiteral("dv"), out, QStringLiteral("--date"),
          QStringLiteral("2040-01-01T00:00:00")},
         2},
        {{QStringLiteral("dv"), out, QStringLiteral("--timecode"), QStringLiteral("00:00:00:25")},
         1},
        {{QStringLiteral("dv"), out, QStringLiteral("--timecode"), QStringLiteral("00:00:00;02")},
         1},
    };
    for (const auto& b : bad) {
        const TToolRun r = RunMksample(b.args);
        EXPECT_EQ(r.ExitCode, b.exitCode) << b.args.join(u' ').toStdString();
        EXPECT_FALSE(r.Err.empty());
    }
    EXPECT_FALSE(QFile::exists(out)) << "a failed clip leaves no file";
}

TEST_F(Mksample, JsonHoldsTheSameParameters) {
    const TToolRun text = Make("wav", "a.wav");
    const TToolRun json = Make("wav", "b.wav", {QStringLiteral("--json")});
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(json.Out)).object();
    ASSERT_FALSE(o.isEmpty()) << json.Out;
    EXPECT_EQ(o.size(), int(text.Params.size()));
    EXPECT_EQ(o.value(QStringLiteral("sample_rate")).toInt(), 48000);
    EXPECT_EQ(o.value(QStringLiteral("kind")).toString(), QStringLiteral("wav"));
}

TEST_F(Mksample, EveryKindOpensWithTheAdvertisedParameters) {
    const struct {
        const char* kind;
        const char* file;
        QStringList extra;
    } cases[] = {
        {"mpeg2", "pal.mpg", {}},
        {"mpeg2", "ntsc.vob", {QStringLiteral("--system"), QStringLiteral("ntsc")}},
        {"mpeg2-ts", "pal.ts", {QStringLiteral("--size"), QStringLiteral("320x240")}},
        {"mpeg1", "vcd.mpg", {}},
        {"h264-mp4", "h.mp4", {}},
        {"hevc-mkv", "hevc.mkv", {QStringLiteral("--seconds"), QStringLiteral("0.6")}},
        {"h264-mkv", "h.mkv", {}},
        {"mjpeg-avi", "m.avi", {}},
        {"wmv", "w.wmv", {}},
        {"wav", "s.wav", {QStringLiteral("--audio-rate"), QStringLiteral("44100")}},
        {"audio", "a.mp2", {}},
        {"numbers", "n.mp4", {QStringLiteral("--seconds"), QStringLiteral("0.6")}},
        {"mpeg2",
         "noaudio.mpg",
         {QStringLiteral("--no-audio"), QStringLiteral("--size"), QStringLiteral("352x288")}},
    };
    for (const auto& c : cases) {
        const TToolRun r = Make(c.kind, c.file, c.extra);
        TInputPtr in = OpenMedia(Path(c.file));
        ASSERT_TRUE(in) << c.file;
        const int v = FindStream(in.get(), AVMEDIA_TYPE_VIDEO);
        const int a = FindStream(in.get(), AVMEDIA_TYPE_AUDIO);
        if (r.Params.count("video_codec")) {
            ASSERT_GE(v, 0) << c.file;
            const AVCodecParameters* p = in->streams[v]->codecpar;
            EXPECT_EQ(p->codec_id, CodecOfEncoder(r.Param("video_codec"))) << c.file;
            EXPECT_EQ(p->width, r.Number("width")) << c.file;
            EXPECT_EQ(p->height, r.Number("height")) << c.file;
            const AVRational rate = in->streams[v]->r_frame_rate;
            EXPECT_EQ(std::to_string(rate.num) + "/" + std::to_string(rate.den),
                      r.Param("frame_rate"))
                << c.file;
            int64_t packets = 0;
            for (const auto& pk : ReadPackets(in.get()))
                packets += pk.Stream == v;
            EXPECT_EQ(packets, r.Number("frames")) << c.file;
            EXPECT_EQ(int64_t(DecodeVideo(Path(c.file)).size()), r.Number("frames")) << c.file;
        } else {
            EXPECT_LT(v, 0) << c.file;
        }
        if (r.Params.count("audio_codec")) {
            ASSERT_GE(a, 0) << c.file;
            const AVCodecParameters* p = in->streams[a]->codecpar;
            EXPECT_EQ(p->codec_id, CodecOfEncoder(r.Param("audio_codec"))) << c.file;
            EXPECT_EQ(p->sample_rate, r.Number("sample_rate")) << c.file;
            EXPECT_EQ(p->ch_layout.nb_channels, r.Number("channels")) << c.file;
        } else {
            EXPECT_LT(a, 0) << c.file;
        }
        EXPECT_EQ(QFile(QString::fromStdString(Path(c.file))).size(), r.Number("size")) << c.file;
    }
}

TEST_F(Mksample, Mpeg2HasBFramesOpenGopsAndTheSequenceHeaderItAdvertises) {
    const struct {
        const char* file;
        QStringList extra;
        int width, height;
        uint8_t aspect;
        double rate;
    } cases[] = {
        {"pal.mpg", {}, 720, 576, akSixteenNine, 25.0},
        {"ntsc.mpg",
         {QStringLiteral("--system"), QStringLiteral("ntsc")},
         720,
         480,
         akFourThree,
         30000.0 / 1001},
    };
    for (const auto& c : cases) {
        const TToolRun r = Make("mpeg2", c.file, c.extra);
        EXPECT_EQ(r.Param("aspect"), c.aspect == akSixteenNine ? "16:9" : "4:3");
        TInputPtr in = OpenMedia(Path(c.file));
        ASSERT_TRUE(in);
        const int v = FindStream(in.get(), AVMEDIA_TYPE_VIDEO);
        std::vector<uint8_t> video;
        for (const auto& p : ReadPackets(in.get()))
            if (p.Stream == v)
                video.insert(video.end(), p.Bytes.begin(), p.Bytes.end());
        TVideoData d;
        ASSERT_TRUE(DescribeMpeg2Header(video, d)) << c.file;
        EXPECT_EQ(d.Width, c.width);
        EXPECT_EQ(d.Height, c.height);
        EXPECT_EQ(d.AspectKind, c.aspect);
        EXPECT_DOUBLE_EQ(d.FrameRate, c.rate);
        // GOP headers after the first must leave closed_gop clear: B-frames reach back.
        int gops = 0, openGops = 0;
        for (size_t i = 0; i + 7 < video.size(); ++i)
            if (video[i] == 0 && video[i + 1] == 0 && video[i + 2] == 1 && video[i + 3] == 0xB8) {
                ++gops;
                openGops += gops > 1 && !(video[i + 7] & 0x40);
            }
        EXPECT_GE(gops, 2) << c.file;
        EXPECT_EQ(openGops, gops - 1) << c.file;
        int bFrames = 0;
        for (const auto& f : DecodeVideo(Path(c.file)))
            bFrames += f.Type == AV_PICTURE_TYPE_B;
        EXPECT_GT(bFrames, 0) << c.file;
    }
}

TEST_F(Mksample, LongGopsWithBFrames) {
    for (const char* file : {"h.mp4", "h.mkv"}) {
        const TToolRun r = Make(std::string(file).ends_with("mp4") ? "h264-mp4" : "h264-mkv", file,
                                {QStringLiteral("--seconds"), QStringLiteral("2")});
        EXPECT_GE(r.Number("gop"), 250);
        TInputPtr in = OpenMedia(Path(file));
        ASSERT_TRUE(in);
        const int v = FindStream(in.get(), AVMEDIA_TYPE_VIDEO);
        int keys = 0;
        for (const auto& p : ReadPackets(in.get()))
            keys += p.Stream == v && p.Key;
        EXPECT_EQ(keys, 1) << file << ": one key frame in two seconds";
        int bFrames = 0;
        for (const auto& f : DecodeVideo(Path(file)))
            bFrames += f.Type == AV_PICTURE_TYPE_B;
        EXPECT_GT(bFrames, 10) << file;
    }
}

TEST_F(Mksample, EveryFrameShowsItsOwnNumber) {
    const struct {
        const char* kind;
        const char* file;
    } cases[] = {{"numbers", "n.mp4"}, {"mpeg2", "n.mpg"}, {"mjpeg-avi", "n.avi"}, {"dv", "n.dv"}};
    for (const auto& c : cases) {
        const TToolRun r = Make(c.kind, c.file,
                                {QStringLiteral("--pattern"), QStringLiteral("numbers"),
                                 QStringLiteral("--seconds"), QStringLiteral("1.2")});
        const auto frames = DecodeVideo(Path(c.file));
        ASSERT_EQ(int64_t(frames.size()), r.Number("frames")) << c.file;
        for (size_t i = 0; i < frames.size(); ++i) {
            const TDecodedFrame& f = frames[i];
            const int64_t n = ReadFrameNumber(f.Width, f.Height, [&](int x, int y) {
                return int(f.Luma[size_t(y) * size_t(f.Width) + size_t(x)]);
            });
            EXPECT_EQ(n, int64_t(i)) << c.file << " frame " << i;
        }
    }
    // A picture without the pattern reads as no number.
    const auto bars = (Make("mjpeg-avi", "bars.avi"), DecodeVideo(Path("bars.avi")));
    ASSERT_FALSE(bars.empty());
    EXPECT_EQ(ReadFrameNumber(
                  bars[0].Width, bars[0].Height,
                  [&](int x, int y) { return int(bars[0].Luma[size_t(y * bars[0].Width + x)]); }),
              -1);
}

TEST_F(Mksample, ClipsAreTheSameEveryTime) {
    for (const char* kind : {"h264-mp4", "mpeg2", "wmv"}) {
        Make(kind, "one.bin", {QStringLiteral("--seconds"), QStringLiteral("0.5")});
        Make(kind, "two.bin", {QStringLiteral("--seconds"), QStringLiteral("0.5")});
        QFile one(QString::fromStdString(Path("one.bin"))),
            two(QString::fromStdString(Path("two.bin")));
        ASSERT_TRUE(one.open(QIODevice::ReadOnly) && two.open(QIODevice::ReadOnly));
        EXPECT_EQ(one.readAll(), two.readAll()) << kind;
    }
}

TEST_F(Mksample, BrokenFiles) {
    const TToolRun cut =
        Make("truncated", "cut.mpg", {QStringLiteral("--keep"), QStringLiteral("0.5")});
    EXPECT_EQ(cut.Number("size"), cut.Number("whole_size") / 2);
    EXPECT_EQ(cut.Param("truncated_from"), "mpeg2");
    TInputPtr in = OpenMedia(Path("cut.mpg"));
    ASSERT_TRUE(in) << "a truncated program stream still opens";
    int64_t packets = 0;
    for (const auto& p : ReadPackets(in.get()))
        packets += p.Stream == FindStream(in.get(), AVMEDIA_TYPE_VIDEO);
    EXPECT_LT(packets, cut.Number("frames"));

    const TToolRun empty = Make("empty", "e.avi");
    EXPECT_EQ(empty.Number("size"), 0);
    EXPECT_FALSE(OpenMedia(Path("e.avi")));

    const TToolRun noise =
        Make("random", "r.avi", {QStringLiteral("--bytes"), QStringLiteral("4096")});
    EXPECT_EQ(noise.Number("size"), 4096);
    Make("random", "r2.avi", {QStringLiteral("--bytes"), QStringLiteral("4096")});
    QFile a(QString::fromStdString(Path("r.avi"))), b(QString::fromStdString(Path("r2.avi")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}
