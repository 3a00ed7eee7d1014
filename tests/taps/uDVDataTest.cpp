#include "taps/uDVData.h"

#include "platform/rtl/DateTime.h"
#include "tests/platform/rtl/QtPrinters.h"
#include "tests/taps/DVFrameBuilder.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

TDVDecodeSettings UsSettings() {
    TDVDecodeSettings s;
    s.Locale = TFormatSettings::FromLocale(QLocale(QStringLiteral("en_US")));
    s.VideoFormatName = QStringLiteral("DV Type 2");
    return s;
}

double Date(int y, int mo, int d, int h, int mi, int s) {
    double v = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, 0, v));
    return v;
}

bool Decode(TDVStreamKind kind, std::vector<uint8_t>& bytes, TframeData& f, TVideoData& v,
            const TDVDecodeSettings& s = UsSettings()) {
    return DecodeDVFrame(kind, bytes, s, f, v);
}

} // namespace

TEST(DetectSystem, MajorityRepairsByteThreeOfTheFirstTenSequences) {
    TDVFrameBuilder b(tvPal);
    for (int n : {1, 4, 8})
        b.Seq(n)[3] = 0x3F;
    b.Seq(10)[3] = 0x3F;
    b.Seq(11)[3] = 0x12;
    EXPECT_EQ(DetectSystem(b.Bytes), tvPal);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(b.Seq(n)[3], 0xBF) << "sequence " << n;
    EXPECT_EQ(b.Seq(10)[3], 0x3F);
    EXPECT_EQ(b.Seq(11)[3], 0x12);

    TDVFrameBuilder ntsc(tvNTSC);
    ntsc.Seq(2)[3] = 0xBF;
    ntsc.Seq(3)[3] = 0x00;
    EXPECT_EQ(DetectSystem(ntsc.Bytes), tvNTSC);
    EXPECT_EQ(ntsc.Seq(2)[3], 0x3F);
    EXPECT_EQ(ntsc.Seq(3)[3], 0x3F);
}

TEST(DetectSystem, TieLeavesTheBufferAlone) {
    TDVFrameBuilder b(tvPal);
    for (int n = 0; n < 5; ++n)
        b.Seq(n)[3] = 0x3F;
    const auto before = b.Bytes;
    EXPECT_EQ(DetectSystem(b.Bytes), tvUndetermined);
    EXPECT_EQ(b.Bytes, before);
    std::vector<uint8_t> none(DVFrameSize525, 0);
    EXPECT_EQ(DetectSystem(none), tvUndetermined);
}

// Ten sequences flagged 625/50: a 525/60 frame with lying flags. The frame's size wins and the
// flags are repaired, so that the decoder reads it as what it is; the description says so too.
TEST(DetectSystem, TheFrameSizeOverridesLyingFlags) {
    TDVFrameBuilder ntsc(tvNTSC);
    for (int n = 0; n < 10; ++n)
        ntsc.Seq(n)[3] = 0xBF;
    TframeData f;
    TVideoData v;
    v.Width = 720;
    v.Height = 576; // what a splitter made of the first frame's flags
    TDVDecodeSettings s = UsSettings();
    s.VideoFormatName = QStringLiteral("DV Type 2");
    ASSERT_TRUE(Decode(TDVStreamKind::Video, ntsc.Bytes, f, v, s));
    EXPECT_EQ(f.TVSystem, tvNTSC);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(ntsc.Seq(n)[3], 0x3F) << "sequence " << n;
    EXPECT_EQ(v.Description, QStringLiteral("DV Type 2 NTSC (4x3)"));
    EXPECT_EQ(v.Height, 480);
    EXPECT_EQ(v.SizeText, QStringLiteral("720x480 - 29.97 fps"));
    // A tie stays a tie, whatever the size.
    TDVFrameBuilder pal(tvPal);
    for (int n = 0; n < 5; ++n)
        pal.Seq(n)[3] = 0x3F;
    const auto before = pal.Bytes;
    EXPECT_EQ(DetectSystem(pal.Bytes, tvPal), tvUndetermined);
    EXPECT_EQ(pal.Bytes, before);
}

TEST(ReadRecordingDate, YearsAndPackHeaders) {
    struct Case {
        uint8_t yearByte;
        int year;
    } cases[] = {{0x39, 2039}, {0x40, 1940}, {0x99, 1999}, {0x05, 2005}, {0x00, 2000}};
    for (const auto& c : cases) {
        TDVFrameBuilder b(tvPal);
        b.SetDateBytes(0, 0x25, 0x12, c.yearByte, 0x05, 0x04, 0x15);
        const TDVRecordingDate r = ReadRecordingDate(b.Bytes, 0);
        EXPECT_EQ(r.Year, c.year) << "year byte " << int(c.yearByte);
        EXPECT_EQ(r.Month, 12);
        EXPECT_EQ(r.Day, 25);
        EXPECT_EQ(r.Hour, 15);
        EXPECT_EQ(r.Minute, 4);
        EXPECT_EQ(r.Second, 5);
    }
    // The tens fields are masked: reserved bits do not leak into the numbers.
    TDVFrameBuilder b(tvPal);
    b.SetDateBytes(3, 0xE5, 0xF2, 0x05, 0x85, 0x84, 0xD5);
    const TDVRecordingDate r = ReadRecordingDate(b.Bytes, 3);
    EXPECT_EQ(r.Day, 25);
    EXPECT_EQ(r.Month, 12);
    EXPECT_EQ(r.Hour, 15);
    // Headers other than 0x62/0x63 or 0x00 mean no date in that sequence.
    for (auto headers : {std::pair<uint8_t, uint8_t>{0x61, 0x63}, {0x62, 0x64}, {0xFF, 0xFF}}) {
        b.SetDateBytes(1, 0x25, 0x12, 0x05, 0, 0, 0, headers.first, headers.second);
        EXPECT_EQ(ReadRecordingDate(b.Bytes, 1).Year, -1);
    }
    EXPECT_EQ(ReadRecordingDate(b.Bytes, 12).Year, -1);
    EXPECT_EQ(ReadRecordingDate(b.Bytes, -1).Year, -1);
}

TEST(ReadFrameRecordingDate, FirstSequenceWithADateDecides) {
    TDVFrameBuilder b(tvPal);
    b.RemoveDate();
    double d = 1;
    EXPECT_FALSE(ReadFrameRecordingDate(b.Bytes, d));
    EXPECT_EQ(d, 0);
    b.SetDateBytes(4, 0x25, 0x12, 0x05, 0x05, 0x04, 0x15);
    ASSERT_TRUE(ReadFrameRecordingDate(b.Bytes, d));
    EXPECT_EQ(d, Date(2005, 12, 25, 15, 4, 5));
    // An invalid date in an earlier sequence is the answer: no date.
    b.SetDateBytes(2, 0x31, 0x04, 0x05, 0, 0, 0); // 31 April
    EXPECT_FALSE(ReadFrameRecordingDate(b.Bytes, d));
    // Sequences 10 and 11 are not searched.
    TDVFrameBuilder late(tvPal);
    late.RemoveDate();
    late.SetDateBytes(10, 0x25, 0x12, 0x05, 0, 0, 0);
    EXPECT_FALSE(ReadFrameRecordingDate(late.Bytes, d));
}

TEST(ReadFrameRecordingDate, InvalidCalendarValuesGiveNoDate) {
    struct Case {
        const char* what;
        uint8_t day, month, year, sec, min, hour;
    } cases[] = {
        {"all zero: 2000-00-00", 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
        {"month 0", 0x01, 0x00, 0x05, 0, 0, 0},
        {"31 April", 0x31, 0x04, 0x05, 0, 0, 0},
        {"29 February 2005", 0x29, 0x02, 0x05, 0, 0, 0},
        {"month 13", 0x01, 0x13, 0x05, 0, 0, 0},
        {"hour 25", 0x01, 0x01, 0x05, 0, 0, 0x25},
        {"minute 60", 0x01, 0x01, 0x05, 0, 0x60, 0},
        {"second 60", 0x01, 0x01, 0x05, 0x60, 0, 0},
        {"erased pack bytes", 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    };
    for (const auto& c : cases) {
        TDVFrameBuilder b(tvPal);
        b.ForEach([&](int n) { b.SetDateBytes(n, c.day, c.month, c.year, c.sec, c.min, c.hour); });
        double d = 0;
        EXPECT_FALSE(ReadFrameRecordingDate(b.Bytes, d)) << c.what;
    }
    TDVFrameBuilder zero(tvPal);
    zero.ForEach([&](int n) { zero.SetDateBytes(n, 0, 0, 0, 0, 0, 0, 0x00, 0x00); });
    EXPECT_EQ(ReadRecordingDate(zero.Bytes, 0).Year, 2000);
    TframeData f;
    ReadDVCodes(zero.Bytes, UsSettings(), f);
    EXPECT_FALSE(f.DateValid);
    EXPECT_EQ(f.DateText, QStringLiteral("No Datecode"));
    TDVFrameBuilder leap(tvPal);
    leap.SetDate(2004, 2, 29, 23, 59, 59);
    double d = 0;
    EXPECT_TRUE(ReadFrameRecordingDate(leap.Bytes, d));
}

TEST(ReadTimecode, DecodesBcdAndRefusesMissingPacks) {
    TDVFrameBuilder b(tvNTSC);
    b.SetTimecodeBytes(0, 0x04, 0x03, 0x02, 0x01);
    EXPECT_EQ(ReadTimecode(b.Bytes, 0), (TDVTimecode{1, 2, 3, 4}));
    EXPECT_EQ(TimecodeToText(ReadTimecode(b.Bytes, 0)), QStringLiteral("1:02:03:04"));
    // Flag bits of the pack (drop frame, polarity, binary groups) are masked off.
    b.SetTimecodeBytes(1, 0x64, 0x83, 0x82, 0xC1);
    EXPECT_EQ(ReadTimecode(b.Bytes, 1), (TDVTimecode{1, 2, 3, 24}));
    b.SetTimecodeBytes(2, 0x04, 0x03, 0x02, 0x01, 0x13, 0xFF);
    EXPECT_FALSE(IsValidTimecode(ReadTimecode(b.Bytes, 2)));
    b.SetTimecodeBytes(3, 0x04, 0x03, 0x02, 0x01, 0x14, 0x13);
    EXPECT_FALSE(IsValidTimecode(ReadTimecode(b.Bytes, 3)));
    b.SetTimecodeBytes(4, 0x04, 0x03, 0x60, 0x01);
    EXPECT_FALSE(IsValidTimecode(ReadTimecode(b.Bytes, 4)));
    b.SetTimecodeBytes(5, 0x04, 0x60, 0x02, 0x01);
    EXPECT_FALSE(IsValidTimecode(ReadTimecode(b.Bytes, 5)));
    EXPECT_FALSE(IsValidTimecode(ReadTimecode(b.Bytes, 10)));
}

// Random subcode data that happens to carry the pack headers: hours beyond a day, frames beyond
// the system's second and digits that are not decimal are no time code.
TEST(ReadTimecode, ValuesOutOfRangeAreNoTimecode) {
    struct TCase {
        uint8_t System, Frames, Seconds, Minutes, Hours;
        bool Valid;
    };
    for (const TCase c :
         {TCase{tvNTSC, 0x29, 0x59, 0x59, 0x23, true}, TCase{tvNTSC, 0x00, 0x00, 0x00, 0x24, false},
          TCase{tvNTSC, 0x00, 0x00, 0x40, 0x37, false},
          TCase{tvNTSC, 0x30, 0x00, 0x00, 0x00, false}, TCase{tvPal, 0x24, 0x00, 0x00, 0x00, true},
          TCase{tvPal, 0x25, 0x00, 0x00, 0x00, false},
          TCase{tvPal, 0x1A, 0x00, 0x00, 0x00, false}, // frame 14 spelt 0x1A
          TCase{tvPal, 0x00, 0x0B, 0x00, 0x00, false}, TCase{tvPal, 0x00, 0x00, 0x0F, 0x00, false},
          TCase{tvPal, 0x00, 0x00, 0x00, 0x1C, false}}) {
        TDVFrameBuilder b(c.System);
        b.ForEach([&](int n) { b.SetTimecodeBytes(n, c.Frames, c.Seconds, c.Minutes, c.Hours); });
        TDVTimecode t{};
        EXPECT_EQ(ReadFrameTimecode(b.Bytes, t), c.Valid)
            << int(c.System) << " " << std::hex << int(c.Hours) << ":" << int(c.Minutes) << ":"
            << int(c.Seconds) << ":" << int(c.Frames);
    }
}

TEST(ReadFrameTimecode, FirstValidSequenceWinsAndMissingPacksGiveNone) {
    TDVFrameBuilder b(tvPal);
    b.ForEach([&](int n) { b.SetTimecodeBytes(n, 0x04, 0x03, 0x60, 0x01); });
    TDVTimecode t{9, 9, 9, 9};
    EXPECT_FALSE(ReadFrameTimecode(b.Bytes, t));
    EXPECT_EQ(t, (TDVTimecode{9, 9, 9, 9}));
    b.SetTimecodeBytes(7, 0x10, 0x59, 0x59, 0x23);
    ASSERT_TRUE(ReadFrameTimecode(b.Bytes, t));
    EXPECT_EQ(t, (TDVTimecode{23, 59, 59, 10}));

    TDVFrameBuilder half(tvPal);
    half.ForEach([&](int n) { half.SetTimecodeBytes(n, 0x04, 0x03, 0x02, 0x01, 0x13, 0x00); });
    EXPECT_FALSE(ReadFrameTimecode(half.Bytes, t));
}

TEST(IsWideScreen, DisplayAndAspectBits) {
    struct Case {
        uint8_t disp, ap3;
        bool wide;
    } cases[] = {{0, 0, false}, {2, 0, true},  {2, 1, true}, {7, 0, true},
                 {7, 1, false}, {1, 0, false}, {7, 7, false}};
    for (const auto& c : cases) {
        TDVFrameBuilder b(tvPal);
        b.SetAspect(c.disp, c.ap3);
        EXPECT_EQ(IsWideScreen(b.Bytes), c.wide) << "DISP " << int(c.disp) << " AP3 " << int(c.ap3);
    }
    TDVFrameBuilder none(tvPal);
    none.SetAspect(2, 0);
    none.ForEach([&](int n) { none.Seq(n)[453] = 0x00; });
    EXPECT_FALSE(IsWideScreen(none.Bytes));
    // The first sequence with the pack decides, with its own AP3.
    TDVFrameBuilder mixed(tvPal);
    mixed.SetAspect(7, 1);
    mixed.Seq(0)[453] = 0x00;
    mixed.Seq(1)[7] = 0x78; // AP3 = 0 in sequence 1 only
    EXPECT_TRUE(IsWideScreen(mixed.Bytes));
}

TEST(ReadAudioParameters, RateAndBitsFromTheAauxSourcePack) {
    struct Case {
        uint8_t pc4;
        int rate, bits;
    } cases[] = {{0x00, 48000, 16}, {0x08, 44100, 16}, {0x11, 32000, 12},
                 {0x80, 48000, 16}, {0x1A, 0, 0},      {0x3F, 0, 0}};
    for (const auto& c : cases) {
        TDVFrameBuilder b(tvPal);
        b.SetAudioPC4(c.pc4);
        EXPECT_EQ(ReadAudioRate(b.Bytes), c.rate) << "PC4 " << int(c.pc4);
        EXPECT_EQ(ReadAudioBits(b.Bytes), c.bits) << "PC4 " << int(c.pc4);
    }
    TDVFrameBuilder none(tvPal);
    none.ForEach([&](int n) { none.Seq(n)[4323] = 0x52; });
    EXPECT_EQ(ReadAudioRate(none.Bytes), -1);
    EXPECT_EQ(ReadAudioBits(none.Bytes), -1);
}

TEST(IsCompleteFrame, EveryRuleOfEverySequence) {
    struct Case {
        const char* what;
        int sequence;
        size_t offset;
        uint8_t value;
    } cases[] = {
        {"header ID", 0, 0, 0x2F},
        {"DSF", 11, 3, 0x3F},
        {"TF1 set", 5, 5, 0xF8},
        {"even VAUX source", 2, 448, 0x00},
        {"even VAUX control", 4, 453, 0x00},
        {"odd VAUX source", 3, 243, 0x00},
        {"odd VAUX control", 9, 248, 0x00},
        {"even AAUX header", 6, 4323, 0x00},
        {"odd AAUX header", 7, 483, 0x00},
        {"even AAUX SMP 3", 8, 4327, 0x18},
        {"odd AAUX SMP 7", 1, 487, 0x38},
        {"even AAUX control", 10, 5603, 0x00},
        {"odd AAUX control", 11, 1763, 0x00},
    };
    TDVFrameBuilder good(tvPal);
    ASSERT_TRUE(IsCompleteFrame(good.Bytes, tvPal));
    EXPECT_FALSE(IsCompleteFrame(good.Bytes, tvNTSC));
    EXPECT_FALSE(IsCompleteFrame(good.Bytes, tvUndetermined));
    for (const auto& c : cases) {
        TDVFrameBuilder b(tvPal);
        b.Seq(c.sequence)[c.offset] = c.value;
        EXPECT_FALSE(IsCompleteFrame(b.Bytes, tvPal)) << c.what;
    }
    TDVFrameBuilder ntsc(tvNTSC);
    EXPECT_TRUE(IsCompleteFrame(ntsc.Bytes, tvNTSC));
    std::vector<uint8_t> shortPal(good.Bytes.begin(), good.Bytes.begin() + 132000);
    EXPECT_FALSE(IsCompleteFrame(shortPal, tvPal));
}

TEST(DecodeDVFrame, VideoStreamFillsDescriptionCodesAndTexts) {
    TDVFrameBuilder b(tvPal);
    b.SetDate(2005, 12, 25, 15, 4, 5);
    b.SetTimecode(1, 2, 3, 4);
    TframeData f;
    TVideoData v;
    ASSERT_TRUE(Decode(TDVStreamKind::Video, b.Bytes, f, v));
    EXPECT_TRUE(f.DVFrameValid);
    EXPECT_EQ(f.TVSystem, tvPal);
    EXPECT_EQ(v.Description, QStringLiteral("DV Type 2 Pal (4x3)"));
    EXPECT_EQ(v.FrameRate, 25.0);
    EXPECT_EQ(v.AspectKind, akFourThree);
    EXPECT_TRUE(f.DateValid);
    EXPECT_EQ(f.RecordingDate, Date(2005, 12, 25, 15, 4, 5));
    EXPECT_EQ(f.DateText, QStringLiteral("12/25/2005 - 3:04:05 PM"));
    EXPECT_TRUE(f.TimecodeValid);
    EXPECT_EQ(f.Timecode, (TDVTimecode{1, 2, 3, 4}));
    EXPECT_EQ(f.TimecodeText, QStringLiteral("1:02:03:04"));
    EXPECT_EQ(f.SampleRate, 0) << "the video variant leaves the audio fields alone";

    TDVFrameBuilder n(tvNTSC);
    n.SetAspect(2, 0);
    auto s = UsSettings();
    s.IsDVDevice = true;
    s.DateFormat = QString();
    n.SetDate(2005, 12, 25, 15, 4, 5);
    ASSERT_TRUE(Decode(TDVStreamKind::Video, n.Bytes, f, v, s));
    EXPECT_EQ(f.TVSystem, tvNTSC);
    EXPECT_EQ(v.Description, QStringLiteral("DV type 1 NTSC (16x9)"));
    EXPECT_DOUBLE_EQ(v.FrameRate, 30000.0 / 1001.0);
    EXPECT_EQ(v.AspectKind, akSixteenNine);
    EXPECT_EQ(f.DateText, QStringLiteral("12/25/2005 3:04:05 PM"));
}

TEST(DecodeDVFrame, VideoStreamOfAnotherLengthChangesNothing) {
    TDVFrameBuilder b(tvPal);
    b.SetTimecode(1, 2, 3, 4);
    TframeData f;
    TVideoData v;
    ASSERT_TRUE(Decode(TDVStreamKind::Video, b.Bytes, f, v));
    const TframeData before = f;
    const QString description = v.Description;
    for (size_t len : {size_t(0), size_t(1), size_t(119999), size_t(120001), size_t(143999),
                       size_t(144001), size_t(288000)}) {
        std::vector<uint8_t> other(len, 0x13);
        EXPECT_FALSE(Decode(TDVStreamKind::Video, other, f, v)) << len;
        EXPECT_EQ(f.TimecodeText, before.TimecodeText);
        EXPECT_EQ(f.DVFrameValid, before.DVFrameValid);
        EXPECT_EQ(v.Description, description);
    }
}

TEST(DecodeDVFrame, MissingCodesGiveTheNoCodeTextsAndKeepTheOldTimecodeBytes) {
    TDVFrameBuilder b(tvPal);
    b.SetTimecode(1, 2, 3, 4);
    TframeData f;
    TVideoData v;
    ASSERT_TRUE(Decode(TDVStreamKind::Video, b.Bytes, f, v));
    b.RemoveTimecode();
    b.RemoveDate();
    ASSERT_TRUE(Decode(TDVStreamKind::Video, b.Bytes, f, v));
    EXPECT_FALSE(f.TimecodeValid);
    EXPECT_EQ(f.TimecodeText, QStringLiteral("NoTimecode"));
    EXPECT_EQ(f.Timecode, (TDVTimecode{1, 2, 3, 4}));
    EXPECT_FALSE(f.DateValid);
    EXPECT_EQ(f.RecordingDate, 0);
    EXPECT_EQ(f.DateText, QStringLiteral("No Datecode"));
    auto s = UsSettings();
    s.NoDatecodeText = QStringLiteral("-");
    s.NoTimecodeText = QStringLiteral("--");
    ASSERT_TRUE(Decode(TDVStreamKind::Video, b.Bytes, f, v, s));
    EXPECT_EQ(f.DateText, QStringLiteral("-"));
    EXPECT_EQ(f.TimecodeText, QStringLiteral("--"));
}

TEST(DecodeDVFrame, InterleavedDescribesVideoAndAudio) {
    TDVFrameBuilder b(tvPal);
    TframeData f;
    TVideoData v;
    ASSERT_TRUE(Decode(TDVStreamKind::Interleaved, b.Bytes, f, v));
    EXPECT_EQ(v.Description, QStringLiteral("DV type1 Pal  (4x3) "));
    EXPECT_EQ(v.Width, 720);
    EXPECT_EQ(v.Height, 576);
    EXPECT_EQ(v.FrameRate, 25.0);
    EXPECT_EQ(v.SizeText, QStringLiteral("720x576 - 25 fps"));
    EXPECT_EQ(f.SampleRate, 48000);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.AudioText, QStringLiteral("DV 48000Hz 16bits stereo"));
    EXPECT_TRUE(f.DVFrameValid);

    TDVFrameBuilder n(tvNTSC);
    n.SetAspect(7, 0);
    n.SetAudioPC4(0x11);
    ASSERT_TRUE(Decode(TDVStreamKind::Interleaved, n.Bytes, f, v));
    EXPECT_EQ(v.Description, QStringLiteral("DV type1 NTSC  (16x9) "));
    EXPECT_EQ(v.Height, 480);
    EXPECT_EQ(v.SizeText, QStringLiteral("720x480 - 29.97 fps"));
    EXPECT_EQ(f.AudioText, QStringLiteral("DV 32000Hz 12bits stereo"));
    EXPECT_TRUE(f.DVFrameValid);

    n.ForEach([&](int k) { n.Seq(k)[4323] = 0x00; });
    ASSERT_TRUE(Decode(TDVStreamKind::Interleaved, n.Bytes, f, v));
    EXPECT_EQ(f.AudioText, QStringLiteral("DV -1Hz -1bits stereo"));
    EXPECT_FALSE(f.DVFrameValid) << "sequences without their AAUX pack are incomplete";
}

TEST(DecodeDVFrame, InterleavedTieSetsNoSystemFields) {
    TDVFrameBuilder b(tvPal);
    for (int n = 0; n < 5; ++n)
        b.Seq(n)[3] = 0x3F;
    TframeData f;
    TVideoData v;
    v.Width = 11;
    v.Height = 22;
    v.FrameRate = 3;
    v.SizeText = QStringLiteral("old");
    ASSERT_TRUE(Decode(TDVStreamKind::Interleaved, b.Bytes, f, v));
    EXPECT_EQ(f.TVSystem, tvUndetermined);
    EXPECT_EQ(v.Width, 11);
    EXPECT_EQ(v.Height, 22);
    EXPECT_EQ(v.FrameRate, 3);
    EXPECT_EQ(v.SizeText, QStringLiteral("old"));
    EXPECT_EQ(v.Description, QStringLiteral("DV type1  (4x3) "));
    EXPECT_FALSE(f.DVFrameValid);
}

TEST(DecodeDVFrame, InterleavedShortSamplesReadOnlyWholeSequences) {
    TDVFrameBuilder b(tvNTSC);
    b.RemoveDate();
    b.RemoveTimecode();
    b.SetDateBytes(2, 0x25, 0x12, 0x05, 0x05, 0x04, 0x15);
    b.SetTimecodeBytes(3, 0x04, 0x03, 0x02, 0x01);
    struct Case {
        size_t length;
        bool date, timecode;
    } cases[] = {{0, false, false},     {1, false, false},    {11999, false, false},
                 {35999, false, false}, {36000, true, false}, {47999, true, false},
                 {48000, true, true},   {119999, true, true}, {120000, true, true},
                 {130000, true, true}};
    for (const auto& c : cases) {
        std::vector<uint8_t> part(b.Bytes.begin(),
                                  b.Bytes.begin() + long(std::min(c.length, b.Bytes.size())));
        part.resize(c.length, 0);
        TframeData f;
        TVideoData v;
        ASSERT_TRUE(Decode(TDVStreamKind::Interleaved, part, f, v)) << c.length;
        EXPECT_EQ(f.DateValid, c.date) << c.length;
        EXPECT_EQ(f.TimecodeValid, c.timecode) << c.length;
        EXPECT_EQ(f.DVFrameValid, c.length == 120000 || c.length == 130000) << c.length;
    }
}
