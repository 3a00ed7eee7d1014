#include "DVAudio.h"
#include "ToneSource.h"
#include "platform/rtl/DateTime.h"
#include "taps/uDVData.h"
#include "tests/platform/rtl/QtPrinters.h"
#include "tests/tools/MksampleSupport.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

struct TDVCase {
    const char* name;
    bool pal;
    const char* file; // .dv or .avi
    int aviType;      // 0 for raw DV
    const char* aspect;
    int rate;
    int bits;
    const char* date;
    const char* timecode;
};

// The DV frames of a file: straight from a raw DV file, through libavformat from an AVI.
std::vector<std::vector<uint8_t>> DVFrames(const std::string& path, bool raw, bool pal) {
    std::vector<std::vector<uint8_t>> frames;
    const size_t size = pal ? DVFrameSize625 : DVFrameSize525;
    if (raw) {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return frames;
        const QByteArray all = f.readAll();
        for (qsizetype at = 0; at + qsizetype(size) <= all.size(); at += qsizetype(size))
            frames.emplace_back(all.begin() + at, all.begin() + at + qsizetype(size));
        return frames;
    }
    TInputPtr in = OpenMedia(path);
    if (!in)
        return frames;
    const int v = FindStream(in.get(), AVMEDIA_TYPE_VIDEO);
    for (auto& p : ReadPackets(in.get()))
        if (p.Stream == v)
            frames.push_back(std::move(p.Bytes));
    return frames;
}

TDVDecodeSettings IsoSettings() {
    TDVDecodeSettings s;
    s.Locale = TFormatSettings::FromLocale(QLocale(QStringLiteral("en_US")));
    s.DateFormat = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    s.VideoFormatName = QStringLiteral("DV Type 2");
    return s;
}

// The date of frame n: the muxer advances the date of frame 0 by whole seconds of frames.
QString ExpectedDate(const char* date0, int64_t n, bool pal) {
    QDateTime t = QDateTime::fromString(QString::fromUtf8(date0), Qt::ISODate);
    t.setTimeZone(QTimeZone::utc());
    const int64_t seconds = pal ? n / 25 : n * 1001 / 30000;
    return t.addSecs(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString ExpectedTimecode(const char* tc0, int64_t n, bool pal) {
    int h, m, s, f;
    std::sscanf(tc0, "%d:%d:%d:%d", &h, &m, &s, &f);
    const int base = pal ? 25 : 30;
    int64_t total = ((int64_t(h) * 60 + m) * 60 + s) * base + f + n;
    f = int(total % base);
    total /= base;
    return QStringLiteral("%1:%2:%3:%4")
        .arg(total / 3600 % 24)
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'))
        .arg(f, 2, 10, QLatin1Char('0'));
}

class MksampleDV : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string Path(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }
};

} // namespace

TEST_F(MksampleDV, CodesReadBackFromEveryContainer) {
    const TDVCase cases[] = {
        {"PAL raw", true, "p.dv", 0, "4:3", 48000, 16, "2005-12-25T15:04:05", "01:02:03:04"},
        {"PAL type 1", true, "p1.avi", 1, "16:9", 44100, 16, "2005-12-31T23:59:59", "23:59:59:20"},
        {"PAL type 2", true, "p2.avi", 2, "4:3", 32000, 12, "1999-02-28T12:00:00", "00:00:00:00"},
        {"NTSC raw", false, "n.dv", 0, "16:9", 32000, 16, "2039-07-04T09:08:07", "10:11:12:13"},
        {"NTSC type 1", false, "n1.avi", 1, "4:3", 48000, 16, "1970-01-01T00:00:00", "05:06:07:08"},
        {"NTSC type 2", false, "n2.avi", 2, "16:9", 44100, 16, "2000-02-29T23:59:59",
         "00:59:59:29"},
    };
    for (const auto& c : cases) {
        QStringList args{QStringLiteral("dv"),           QString::fromStdString(Path(c.file)),
                         QStringLiteral("--system"),     QString::fromUtf8(c.pal ? "pal" : "ntsc"),
                         QStringLiteral("--date"),       QString::fromUtf8(c.date),
                         QStringLiteral("--timecode"),   QString::fromUtf8(c.timecode),
                         QStringLiteral("--seconds"),    QStringLiteral("1.2"),
                         QStringLiteral("--aspect"),     QString::fromUtf8(c.aspect),
                         QStringLiteral("--audio-rate"), QString::number(c.rate),
                         QStringLiteral("--audio-bits"), QString::number(c.bits)};
        if (c.aviType)
            args << QStringLiteral("--avi-type") << QString::number(c.aviType);
        const TToolRun r = RunMksample(args);
        ASSERT_EQ(r.ExitCode, 0) << c.name << ": " << r.Err;
        EXPECT_EQ(r.Param("dv_date"), c.date);
        EXPECT_EQ(r.Param("dv_timecode"), c.timecode);

        auto frames = DVFrames(Path(c.file), c.aviType == 0, c.pal);
        ASSERT_EQ(int64_t(frames.size()), r.Number("frames")) << c.name;
        const TDVStreamKind kind =
            c.aviType == 1 ? TDVStreamKind::Interleaved : TDVStreamKind::Video;
        for (size_t n : {size_t(0), size_t(7), frames.size() - 1}) {
            TframeData f;
            TVideoData v;
            ASSERT_TRUE(DecodeDVFrame(kind, frames[n], IsoSettings(), f, v)) << c.name;
            EXPECT_TRUE(f.DVFrameValid) << c.name << " frame " << n;
            EXPECT_TRUE(IsCompleteFrame(frames[n], c.pal ? tvPal : tvNTSC)) << c.name << " " << n;
            EXPECT_EQ(f.TVSystem, c.pal ? tvPal : tvNTSC) << c.name;
            EXPECT_EQ(v.AspectKind, std::string(c.aspect) == "16:9" ? akSixteenNine : akFourThree)
                << c.name;
            EXPECT_TRUE(f.DateValid) << c.name << " frame " << n;
            EXPECT_EQ(f.DateText, ExpectedDate(c.date, int64_t(n), c.pal))
                << c.name << " frame " << n;
            EXPECT_TRUE(f.TimecodeValid) << c.name << " frame " << n;
            EXPECT_EQ(f.TimecodeText, ExpectedTimecode(c.timecode, int64_t(n), c.pal))
                << c.name << " frame " << n;
            EXPECT_EQ(ReadAudioRate(frames[n]), c.rate) << c.name;
            EXPECT_EQ(ReadAudioBits(frames[n]), c.bits) << c.name;
            if (kind == TDVStreamKind::Interleaved) {
                EXPECT_EQ(f.AudioText,
                          QStringLiteral("DV %1Hz %2bits stereo").arg(c.rate).arg(c.bits));
                EXPECT_EQ(v.Height, c.pal ? 576 : 480);
            }
        }
    }
}

TEST_F(MksampleDV, RemovedAndInvalidPacksInChosenFrames) {
    const struct {
        const char* name;
        QStringList extra;
        std::vector<int> noTimecode, noDate;
    } cases[] = {
        {"time code removed",
         {QStringLiteral("--remove-timecode"), QStringLiteral("2,5-6")},
         {2, 5, 6},
         {}},
        {"date removed",
         {QStringLiteral("--remove-date"), QStringLiteral("all")},
         {},
         {0, 1, 2, 3, 4, 5, 6, 7}},
        {"month 0",
         {QStringLiteral("--invalid-date"), QStringLiteral("month0"),
          QStringLiteral("--invalid-date-frames"), QStringLiteral("1-3")},
         {},
         {1, 2, 3}},
        {"31 April",
         {QStringLiteral("--invalid-date"), QStringLiteral("april31")},
         {},
         {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (bool pal : {true, false})
        for (const auto& c : cases) {
            QStringList args{
                QStringLiteral("dv"),        QString::fromStdString(Path("v.avi")),
                QStringLiteral("--system"),  pal ? QStringLiteral("pal") : QStringLiteral("ntsc"),
                QStringLiteral("--seconds"), QStringLiteral("0.3")};
            args += c.extra;
            const TToolRun r = RunMksample(args);
            ASSERT_EQ(r.ExitCode, 0) << c.name << ": " << r.Err;
            const auto frames = DVFrames(Path("v.avi"), false, pal);
            ASSERT_GE(frames.size(), size_t(8));
            for (size_t n = 0; n < 8; ++n) {
                auto bytes = frames[n];
                TframeData f;
                TVideoData v;
                ASSERT_TRUE(DecodeDVFrame(TDVStreamKind::Video, bytes, TDVDecodeSettings(), f, v));
                const bool wantNoTimecode =
                    std::count(c.noTimecode.begin(), c.noTimecode.end(), int(n));
                const bool wantNoDate = std::count(c.noDate.begin(), c.noDate.end(), int(n));
                EXPECT_EQ(f.TimecodeText == QStringLiteral("NoTimecode"), wantNoTimecode)
                    << c.name << " frame " << n << " " << f.TimecodeText.toStdString();
                EXPECT_EQ(f.DateText == QStringLiteral("No Datecode"), wantNoDate)
                    << c.name << " frame " << n << " " << f.DateText.toStdString();
                EXPECT_TRUE(f.DVFrameValid);
            }
        }
}

TEST_F(MksampleDV, SoundDecodesToTheToneItWasMadeFrom) {
    const struct {
        bool pal;
        int rate, bits;
    } cases[] = {{true, 48000, 16},  {true, 44100, 16},  {true, 32000, 12},
                 {false, 48000, 16}, {false, 44100, 16}, {false, 32000, 12}};
    for (const auto& c : cases) {
        const std::string file = Path("s.dv");
        const TToolRun r = RunMksample(
            {QStringLiteral("dv"), QString::fromStdString(file), QStringLiteral("--system"),
             c.pal ? QStringLiteral("pal") : QStringLiteral("ntsc"), QStringLiteral("--seconds"),
             QStringLiteral("0.5"), QStringLiteral("--audio-rate"), QString::number(c.rate),
             QStringLiteral("--audio-bits"), QString::number(c.bits)});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        // libavformat's DV demuxer is the reference reader of the embedded sound.
        const std::vector<int16_t> pcm = ReadPcm(file);
        const int64_t frames = r.Number("frames");
        ASSERT_EQ(int64_t(pcm.size()) / 2, DVAudioSamplesBefore(c.pal, c.rate, frames))
            << c.rate << " " << c.pal;
        const TToneSource tone(c.rate);
        int mismatches = 0;
        for (size_t i = 0; i < pcm.size() / 2; ++i)
            for (int ch = 0; ch < 2; ++ch) {
                int16_t want = tone.Sample(int64_t(i), ch);
                if (c.bits == 12)
                    want = DVDecode12(DVEncode12(want));
                mismatches += pcm[2 * i + size_t(ch)] != want;
            }
        EXPECT_EQ(mismatches, 0) << c.rate << " Hz " << c.bits << " bits "
                                 << (c.pal ? "PAL" : "NTSC");
    }
}

TEST_F(MksampleDV, OurSoundWriterLaysSamplesOutAsTheMuxerDoes) {
    for (bool pal : {true, false}) {
        const std::string file = Path("m.dv");
        const TToolRun r = RunMksample({QStringLiteral("dv"), QString::fromStdString(file),
                                        QStringLiteral("--system"),
                                        pal ? QStringLiteral("pal") : QStringLiteral("ntsc"),
                                        QStringLiteral("--seconds"), QStringLiteral("0.2")});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        ASSERT_EQ(r.Param("dv_audio_written_by"), "libavformat");
        const auto frames = DVFrames(file, true, pal);
        const TToneSource tone(48000);
        for (int64_t n = 0; n < int64_t(frames.size()); ++n) {
            const int64_t first = DVAudioSamplesBefore(pal, 48000, n);
            const int count = DVAudioSamplesInFrame(pal, 48000, n);
            std::vector<int16_t> samples;
            for (int i = 0; i < count; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    samples.push_back(tone.Sample(first + i, ch));
            std::vector<uint8_t> ours = frames[size_t(n)];
            WriteDVAudio(ours, pal, 48000, 16, samples.data(), count);
            // Every used sample slot holds the same bytes in both frames.
            const int half = pal ? 6 : 5;
            for (int i = 0; i < count; ++i) {
                const TDVAudioPosition p = DVAudioPosition(pal, i, false);
                for (int ch = 0; ch < 2; ++ch) {
                    const size_t at = size_t(p.Sequence + ch * half) * 12000 + 480 +
                                      size_t(p.Block) * 1280 + size_t(p.Byte);
                    ASSERT_EQ(ours[at], frames[size_t(n)][at]) << "frame " << n << " sample " << i;
                    ASSERT_EQ(ours[at + 1], frames[size_t(n)][at + 1]);
                }
            }
            EXPECT_EQ(ReadAudioRate(ours), 48000);
        }
    }
}

TEST(DVAudioCompander, TwelveBitCodesRoundTripAndStayMonotonic) {
    int previous = -40000;
    for (int v = -2047; v <= 2047; ++v) {
        const uint16_t code = uint16_t(v & 0xFFF);
        const int16_t decoded = DVDecode12(code);
        EXPECT_GT(decoded, previous) << v;
        previous = decoded;
        EXPECT_EQ(DVEncode12(decoded), code) << v;
    }
    EXPECT_EQ(DVDecode12(0x7FF), 32704);
    EXPECT_EQ(DVDecode12(0x801), -32641);
    EXPECT_EQ(DVEncode12(32767), 0x7FF);
    EXPECT_EQ(DVEncode12(-32768), 0x801);
    EXPECT_EQ(DVEncode12(0), 0);
}
