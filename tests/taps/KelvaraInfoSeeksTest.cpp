// kelvara-info --at, the navigation manager's frame-exact seek on the paused graph: the picture
// the renderer shows after each seek equals libavcodec's own decode of the file counted from its
// start (never a seek), for every kind of clip the program reads: at the first frame, on a key
// frame, just before and just after one, mid-GOP, stepping back frame by frame across a key frame,
// and past the end (the last reachable frame, duration minus two frames, and the row says so).
// Each clip runs through the registered filters (the program's choice) and through the private
// decoder packages beside the tool (--source private), which must show the same pictures.
#include "tests/platform/filters/support/ReferenceDecoder.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <algorithm>
#include <set>

#include <QDir>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

using namespace kelvara::test;

struct TSeekClip {
    const char* Name;
    const char* File;
    const char* Kind;
    QStringList Args;
};

void PrintTo(const TSeekClip& c, std::ostream* os) {
    *os << c.Name;
}

// One row of --csv with --at: target,frame,position,recording_date,timecode,landing.
struct TLanding {
    QString Target;
    int Frame = -1;
    QString Landing;
};

std::vector<TLanding> Landings(const QString& csv) {
    std::vector<TLanding> rows;
    QStringList lines = csv.split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    for (const QString& line : lines) {
        const QStringList f = line.split(u',');
        if (f.size() == 6)
            rows.push_back({f[0], f[1].toInt(), f[5]});
    }
    return rows;
}

TRgbImage ImageOfFile(const QString& path) {
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    TRgbImage out;
    out.width = image.width();
    out.height = image.height();
    out.pixels.resize(size_t(out.width) * size_t(out.height) * 4);
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.pixels.data() + size_t(y) * size_t(out.width) * 4, image.constScanLine(y),
                    size_t(out.width) * 4);
    return out;
}

// The targets: first frame; the second key frame, the frames around it and a step back across
// it; mid-GOP; the last frame and one past the end.
std::vector<int> TargetsOf(const TReference& ref) {
    const int n = ref.frameCount;
    const auto key =
        std::find_if(ref.keyFrames.begin(), ref.keyFrames.end(), [](int k) { return k > 2; });
    const int k = key != ref.keyFrames.end() ? *key : n / 2;
    const auto next = key != ref.keyFrames.end() ? std::next(key) : key;
    const int gopEnd = next != ref.keyFrames.end() ? *next : n;
    return {0, k, k + 1, k - 1, (k + gopEnd) / 2, k + 1, k, k - 1, k - 2, n - 1, n + 50};
}

void ExpectLandsExactly(const QString& path, const QString& source = QStringLiteral("auto")) {
    const TReference counted = DecodeReference(path.toStdString(), {});
    ASSERT_GT(counted.frameCount, 10);
    const std::vector<int> targets = TargetsOf(counted);
    const int lastReachable = counted.frameCount - 2;
    QStringList list;
    std::set<int> wanted;
    for (int t : targets) {
        list << QStringLiteral("#%1").arg(t);
        wanted.insert(std::min(t, lastReachable));
    }
    QTemporaryDir saved;
    const TRun r = RunTool(QStringLiteral("kelvara-info"),
                           {QStringLiteral("--csv"), QStringLiteral("--source"), source,
                            QStringLiteral("--at"), list.join(u','), QStringLiteral("--save"),
                            saved.path(), path});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const std::vector<TLanding> rows = Landings(r.Out);
    ASSERT_EQ(rows.size(), targets.size()) << r.Out.toStdString();
    const TReference ref = DecodeReference(path.toStdString(), wanted);
    for (size_t i = 0; i < targets.size(); ++i) {
        const int expected = std::min(targets[i], lastReachable);
        SCOPED_TRACE(testing::Message() << "seek " << i << " to frame " << targets[i]);
        EXPECT_EQ(rows[i].Frame, expected);
        EXPECT_EQ(rows[i].Landing, targets[i] > lastReachable ? QStringLiteral("last_reachable")
                                                              : QStringLiteral("exact"));
        const TRgbImage shown =
            ImageOfFile(QDir(saved.path()).filePath(QStringLiteral("%1.bmp").arg(rows[i].Frame)));
        ASSERT_TRUE(ref.pictures.count(expected));
        EXPECT_GT(Psnr(shown, ref.pictures.at(expected)), 45.0);
    }
}

class KelvaraInfoSeeks : public testing::TestWithParam<std::tuple<TSeekClip, const char*>> {
protected:
    QString Make(const TSeekClip& c) {
        const QString path = dir.filePath(QString::fromUtf8(c.File));
        QStringList args{QString::fromUtf8(c.Kind), path, QStringLiteral("--seconds"),
                         QStringLiteral("3")};
        args << c.Args;
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return path;
    }
    QTemporaryDir dir;
};

TEST_P(KelvaraInfoSeeks, LandsOnTheFrameAnIndependentDecodeCounts) {
    const TSeekClip& c = std::get<0>(GetParam());
    if (QString::fromUtf8(c.Kind) == u"hevc-mkv" && !avcodec_find_encoder_by_name("libx265"))
        GTEST_SKIP() << "no HEVC encoder";
    ExpectLandsExactly(Make(c), QString::fromLatin1(std::get<1>(GetParam())));
}

const QStringList kNoAudio{QStringLiteral("--no-audio")};
const QStringList kLongGop{QStringLiteral("--gop"), QStringLiteral("30"),
                           QStringLiteral("--bframes"), QStringLiteral("3"),
                           QStringLiteral("--no-audio")};

const TSeekClip kClips[] = {
    {"DvRawPal", "pal.dv", "dv", {QStringLiteral("--system"), QStringLiteral("pal")}},
    // NTSC DV samples its colour 4:1:1: across the sharp colour edges of the bars the
    // reference's own upsampling of it differs from the renderer's, so these clips show digits.
    {"DvRawNtsc",
     "ntsc.dv",
     "dv",
     {QStringLiteral("--system"), QStringLiteral("ntsc"), QStringLiteral("--pattern"),
      QStringLiteral("numbers")}},
    {"DvType1Pal", "t1.avi", "dv", {QStringLiteral("--avi-type"), QStringLiteral("1")}},
    {"DvType2Ntsc",
     "t2.avi",
     "dv",
     {QStringLiteral("--avi-type"), QStringLiteral("2"), QStringLiteral("--system"),
      QStringLiteral("ntsc"), QStringLiteral("--pattern"), QStringLiteral("numbers")}},
    {"Mpeg2ProgramStream", "m2.mpg", "mpeg2", kLongGop},
    {"Mpeg1", "m1.mpg", "mpeg1", kLongGop},
    {"H264Mp4", "h.mp4", "h264-mp4", kLongGop},
    {"H264Mkv", "h.mkv", "h264-mkv", kLongGop},
    {"HevcMkv", "x.mkv", "hevc-mkv", kLongGop},
    {"Mjpeg", "j.avi", "mjpeg-avi", kNoAudio},
    {"Wmv", "w.wmv", "wmv", kLongGop},
};

INSTANTIATE_TEST_SUITE_P(
    Clips, KelvaraInfoSeeks,
    testing::Combine(testing::ValuesIn(kClips), testing::Values("auto", "private")),
    [](const testing::TestParamInfo<std::tuple<TSeekClip, const char*>>& info) {
        const std::string source = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).Name) + (source == "auto" ? "" : "Private");
    });

// H.264 in a transport stream: the MP4 clip's stream, copied into MPEG-TS by FFmpeg's own tool;
// through the registered filters and through the private packages.
TEST(KelvaraInfoSeeksTs, H264InATransportStreamLandsExactly) {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        GTEST_SKIP() << "no ffmpeg to make the transport stream";
    QTemporaryDir dir;
    const QString mp4 = dir.filePath(QStringLiteral("h.mp4"));
    const QString ts = dir.filePath(QStringLiteral("h.ts"));
    QStringList args{QStringLiteral("h264-mp4"), mp4, QStringLiteral("--seconds"),
                     QStringLiteral("3")};
    args << kLongGop;
    ASSERT_EQ(RunTool(QStringLiteral("kelvara-mksample"), args).ExitCode, 0);
    const TChildRun remux =
        RunChild(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), mp4,
                          QStringLiteral("-c"), QStringLiteral("copy"), ts});
    ASSERT_TRUE(remux.Exited()) << remux.Err;
    ASSERT_EQ(remux.ExitCode, 0) << remux.Err;
    ExpectLandsExactly(ts);
    ExpectLandsExactly(ts, QStringLiteral("private"));
}

} // namespace
