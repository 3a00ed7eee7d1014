#include "taps/uMediaDescriptions.h"

#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/rtl/QtPrinters.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

AM_MEDIA_TYPE VideoInfoType(const GUID& subtype, int32_t w, int32_t h, int64_t avgTime,
                            uint32_t compression = 0) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.bmiHeader.biWidth = w;
    vih.bmiHeader.biHeight = h;
    vih.bmiHeader.biBitCount = 24;
    vih.bmiHeader.biCompression = compression;
    vih.AvgTimePerFrame = avgTime;
    vih.dwBitRate = 28800000;
    mt.SetFormat(vih);
    return mt;
}

VIDEOINFOHEADER2 Vih2(int32_t w, int32_t h, int64_t avgTime, uint32_t ax, uint32_t ay,
                      uint32_t compression = 0) {
    VIDEOINFOHEADER2 vih;
    vih.bmiHeader.biWidth = w;
    vih.bmiHeader.biHeight = h;
    vih.bmiHeader.biBitCount = 12;
    vih.bmiHeader.biCompression = compression;
    vih.AvgTimePerFrame = avgTime;
    vih.dwPictAspectRatioX = ax;
    vih.dwPictAspectRatioY = ay;
    vih.dwBitRate = 1000;
    return vih;
}

AM_MEDIA_TYPE VideoInfo2Type(const GUID& subtype, const VIDEOINFOHEADER2& vih) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo2);
    mt.SetFormat(vih);
    return mt;
}

AM_MEDIA_TYPE Mpeg2Type(const VIDEOINFOHEADER2& vih) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video);
    MPEG2VIDEOINFO info;
    info.hdr = vih;
    mt.SetFormat(info);
    return mt;
}

AM_MEDIA_TYPE AudioType(const GUID& subtype, uint16_t tag, uint16_t channels, uint32_t rate,
                        uint16_t bits, uint32_t bytesPerSecond) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Audio, subtype, FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx;
    wfx.wFormatTag = tag;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = rate;
    wfx.wBitsPerSample = bits;
    wfx.nAvgBytesPerSec = bytesPerSecond;
    mt.SetFormat(wfx);
    return mt;
}

AM_MEDIA_TYPE Truncated(AM_MEDIA_TYPE mt, size_t size) {
    std::vector<BYTE> bytes(mt.pbFormat(), mt.pbFormat() + size);
    mt.SetFormat(bytes.data(), bytes.size());
    return mt;
}

} // namespace

TEST(DescribeVideoType, VideoInfo2WithAspect) {
    const TVideoData d =
        DescribeVideoType(VideoInfo2Type(MEDIASUBTYPE_YV12, Vih2(720, -576, 400000, 4, 3)));
    EXPECT_TRUE(d.Parsed);
    EXPECT_EQ(d.FormatName, QStringLiteral("YV12"));
    EXPECT_EQ(d.Description, QStringLiteral("YV12 (4x3)"));
    EXPECT_EQ(d.AspectKind, akFourThree);
    EXPECT_EQ(d.Width, 720);
    EXPECT_EQ(d.Height, -576);
    EXPECT_EQ(d.BitCount, 12);
    EXPECT_EQ(d.BitRate, 1000);
    EXPECT_EQ(d.AvgTimePerFrame, 400000);
    EXPECT_EQ(d.FrameRate, 25.0);
    EXPECT_EQ(d.SizeText, QStringLiteral("720x-576 - 25 fps"));
}

TEST(DescribeVideoType, DvTypesHaveNoAspectFromTheBlock) {
    for (const GUID& sub : {MEDIASUBTYPE_dvsd, MEDIASUBTYPE_DVSD}) {
        const TVideoData d = DescribeVideoType(VideoInfo2Type(sub, Vih2(720, 576, 400000, 16, 9)));
        EXPECT_EQ(d.FormatName, QStringLiteral("DV Type 2"));
        EXPECT_EQ(d.Description, QStringLiteral("DV Type 2"));
        EXPECT_EQ(d.AspectX, 0);
        EXPECT_EQ(d.AspectKind, akNone);
    }
    const TVideoData cp =
        DescribeVideoType(VideoInfo2Type(MEDIASUBTYPE_dvcp, Vih2(720, 480, 333667, 4, 3)));
    EXPECT_EQ(cp.Description, QStringLiteral("DV Type 1"));
    EXPECT_EQ(cp.SizeText, QStringLiteral("720x480 - 29.97 fps"));
    const TVideoData vi = DescribeVideoType(VideoInfoType(MEDIASUBTYPE_dvsd, 720, 576, 400000));
    EXPECT_TRUE(vi.Parsed);
    EXPECT_EQ(vi.Description, QStringLiteral("DV Type 2"));
    EXPECT_EQ(vi.BitRate, 28800000);
    EXPECT_EQ(vi.BitCount, 24);
}

TEST(DescribeVideoType, AspectKindsAndReduction) {
    struct Case {
        uint32_t x, y;
        uint8_t kind;
        int32_t rx, ry;
        const char* description;
    } cases[] = {
        {1920, 1080, akSixteenNine, 1920, 1080, "YV12 (16x9)"},
        {1000, 750, akFourThree, 1000, 750, "YV12 (4x3)"},
        {235, 100, akOther, 24, 10, "YV12 (24x10)"},
        {2350, 1000, akOther, 24, 10, "YV12 (24x10)"},
        {0, 0, akNone, 0, 0, "YV12"},
        {5, 0, akOther, 5, 0, "YV12 (5x0)"},
        {185, 100, akOther, 18, 10, "YV12 (18x10)"}, // 18.5 rounds to the even 18
        {1, 1, akOther, 1, 1, "YV12 (1x1)"},
        {0xFFFFFFFFu, 3, akOther, -1, 3, "YV12 (-1x3)"},
    };
    for (const auto& c : cases) {
        const TVideoData d =
            DescribeVideoType(VideoInfo2Type(MEDIASUBTYPE_YV12, Vih2(640, 480, 0, c.x, c.y)));
        EXPECT_EQ(d.AspectKind, c.kind) << c.x << ":" << c.y;
        EXPECT_EQ(d.AspectX, c.rx) << c.x << ":" << c.y;
        EXPECT_EQ(d.AspectY, c.ry) << c.x << ":" << c.y;
        EXPECT_EQ(d.Description, QString::fromUtf8(c.description)) << c.x << ":" << c.y;
    }
}

TEST(DescribeVideoType, FrameRateTexts) {
    struct Case {
        int64_t avg;
        const char* size;
    } cases[] = {{417083, "320x240 - 23.98 fps"},
                 {400000, "320x240 - 25 fps"},
                 {333667, "320x240 - 29.97 fps"},
                 {333333, "320x240 - 30 fps"},
                 {166833, "320x240 - 59.94 fps"},
                 {0, "320x240"},
                 {-5, "320x240"},
                 {1, "320x240 - 10000000 fps"}};
    for (const auto& c : cases) {
        const TVideoData d = DescribeVideoType(VideoInfoType(MEDIASUBTYPE_RGB24, 320, 240, c.avg));
        EXPECT_EQ(d.SizeText, QString::fromUtf8(c.size)) << c.avg;
    }
    const TVideoData film = DescribeVideoType(VideoInfoType(MEDIASUBTYPE_RGB24, 1, 1, 417083));
    EXPECT_NEAR(film.FrameRate, 23.976, 0.001);
    const QLocale saved;
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    const TVideoData fr = DescribeVideoType(VideoInfoType(MEDIASUBTYPE_RGB24, 320, 240, 417083));
    QLocale::setDefault(saved);
    EXPECT_EQ(fr.SizeText, QStringLiteral("320x240 - 23,98 fps"));
}

TEST(DescribeVideoType, ReadersAndTheirMinimumBlockSizes) {
    const auto vi = VideoInfoType(MEDIASUBTYPE_RGB32, 64, 48, 400000);
    EXPECT_TRUE(DescribeVideoType(vi).Parsed);
    EXPECT_FALSE(DescribeVideoType(Truncated(vi, 87)).Parsed);
    const auto vi2 = VideoInfo2Type(MEDIASUBTYPE_YV12, Vih2(64, 48, 400000, 4, 3));
    EXPECT_FALSE(DescribeVideoType(Truncated(vi2, 111)).Parsed);
    const auto dv2 = VideoInfo2Type(MEDIASUBTYPE_dvsd, Vih2(64, 48, 400000, 4, 3));
    EXPECT_FALSE(DescribeVideoType(Truncated(dv2, 111)).Parsed);
    const auto m2 = Mpeg2Type(Vih2(720, 576, 400000, 16, 9));
    const TVideoData mpeg2 = DescribeVideoType(m2);
    EXPECT_TRUE(mpeg2.Parsed);
    EXPECT_EQ(mpeg2.Description, QStringLiteral("MPEG2 (16x9)"));
    EXPECT_FALSE(DescribeVideoType(Truncated(m2, 135)).Parsed);
    AM_MEDIA_TYPE m1(MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo);
    MPEG1VIDEOINFO info;
    info.hdr.bmiHeader.biWidth = 352;
    info.hdr.bmiHeader.biHeight = 288;
    info.hdr.AvgTimePerFrame = 400000;
    m1.SetFormat(info);
    const TVideoData mpeg1 = DescribeVideoType(m1);
    EXPECT_EQ(mpeg1.Description, QStringLiteral("MPEG1"));
    EXPECT_EQ(mpeg1.SizeText, QStringLiteral("352x288 - 25 fps"));
    EXPECT_FALSE(DescribeVideoType(Truncated(m1, 103)).Parsed);
    const TVideoData none = DescribeVideoType(AM_MEDIA_TYPE(MEDIATYPE_Video, MEDIASUBTYPE_YV12));
    EXPECT_FALSE(none.Parsed);
    EXPECT_EQ(none.Width, 0);
    EXPECT_TRUE(none.Description.isEmpty());
}

TEST(VideoFormatName, FourCCsRgbAndFormatTypes) {
    EXPECT_EQ(VideoFormatName(VideoInfoType(MEDIASUBTYPE_RGB24, 1, 1, 0)), QStringLiteral("RGB24"));
    EXPECT_EQ(VideoFormatName(VideoInfoType(MEDIASUBTYPE_RGB565, 1, 1, 0)),
              QStringLiteral("RGB565"));
    EXPECT_EQ(VideoFormatName(VideoInfoType(MEDIASUBTYPE_H264, 1, 1, 0)), QStringLiteral("H264"));
    EXPECT_EQ(VideoFormatName(VideoInfoType(FourCCGuid(0x00313233), 1, 1, 0)),
              QStringLiteral("321 "));
    EXPECT_EQ(VideoFormatName(VideoInfoType(MEDIASUBTYPE_DVSD, 1, 1, 0)),
              QStringLiteral("DV Type 2"));
    EXPECT_EQ(VideoFormatName(VideoInfoType(FourCCGuid("DvCp"), 1, 1, 0)),
              QStringLiteral("DV Type 1"));
    // Not a FOURCC and not RGB: the compression code of the format block.
    const GUID other = MEDIASUBTYPE_MPEG1Payload;
    EXPECT_EQ(VideoFormatName(VideoInfoType(other, 1, 1, 0, MAKEFOURCC('m', 'p', '4', 'v'))),
              QStringLiteral("mp4v"));
    EXPECT_EQ(VideoFormatName(VideoInfoType(other, 1, 1, 0, 0)), QStringLiteral("    "));
    EXPECT_EQ(
        VideoFormatName(VideoInfo2Type(other, Vih2(1, 1, 0, 0, 0, MAKEFOURCC('W', 'M', 'V', '3')))),
        QStringLiteral("WMV3"));
    EXPECT_EQ(VideoFormatName(Truncated(VideoInfoType(other, 1, 1, 0, 1), 67)), QString());
    EXPECT_EQ(VideoFormatName(AM_MEDIA_TYPE(MEDIATYPE_Video, other, FORMAT_MPEGVideo)),
              QStringLiteral("MPEG1"));
    EXPECT_EQ(VideoFormatName(AM_MEDIA_TYPE(MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, GUID_NULL)),
              QStringLiteral("MPEG2"));
}

TEST(DescribeMpeg2Header, SequenceHeaders) {
    struct Case {
        std::vector<uint8_t> bytes;
        int w, h;
        uint8_t kind;
        double rate;
        const char* description;
    } cases[] = {
        {{0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x33, 0xFF},
         720,
         576,
         akSixteenNine,
         25,
         "MPEG2 (16x9)"},
        {{0, 0, 1, 0xB3, 0x2D, 0x01, 0xE0, 0x24},
         720,
         480,
         akFourThree,
         30000.0 / 1001,
         "MPEG2 (4x3)"},
        {{0, 0, 1, 0xB3, 0x78, 0x04, 0x38, 0x11}, 1920, 1080, akNone, 24000.0 / 1001, "MPEG2"},
        {{0, 0, 1, 0xB3, 0x16, 0x01, 0x20, 0x48}, 352, 288, akNone, 60, "MPEG2"},
        {{0, 0, 1, 0xB3, 0x00, 0x00, 0x10, 0x27},
         0,
         16,
         akFourThree,
         60000.0 / 1001,
         "MPEG2 (4x3)"},
    };
    for (const auto& c : cases) {
        TVideoData d;
        d.SizeText = QStringLiteral("kept");
        d.AvgTimePerFrame = 123;
        ASSERT_TRUE(DescribeMpeg2Header(c.bytes, d)) << c.description;
        EXPECT_EQ(d.Width, c.w);
        EXPECT_EQ(d.Height, c.h);
        EXPECT_EQ(d.AspectKind, c.kind);
        EXPECT_DOUBLE_EQ(d.FrameRate, c.rate);
        EXPECT_EQ(d.Description, QString::fromUtf8(c.description));
        EXPECT_EQ(d.SizeText, QStringLiteral("kept"));
        EXPECT_EQ(d.AvgTimePerFrame, 123);
    }
    TVideoData reserved;
    reserved.FrameRate = 12.5;
    ASSERT_TRUE(
        DescribeMpeg2Header(std::vector<uint8_t>{0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x29}, reserved));
    EXPECT_EQ(reserved.FrameRate, 12.5) << "a reserved rate code leaves the rate alone";
}

TEST(DescribeMpeg2Header, DeclinesAnythingElse) {
    const std::vector<std::vector<uint8_t>> bad = {
        {},
        {0, 0, 1, 0xB3, 0x2D, 0x02, 0x40},       // too short
        {0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x30}, // frame rate code 0
        {0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x03}, // aspect code 0
        {0, 0, 1, 0xB5, 0x2D, 0x02, 0x40, 0x33}, // an extension start code
        {0, 1, 1, 0xB3, 0x2D, 0x02, 0x40, 0x33},
    };
    for (const auto& b : bad) {
        TVideoData d;
        d.Width = 7;
        EXPECT_FALSE(DescribeMpeg2Header(b, d)) << b.size();
        EXPECT_EQ(d.Width, 7);
    }
}

TEST(AudioFormatName, SubtypesThenTheWaveFormatTag) {
    struct Case {
        GUID subtype;
        uint16_t tag;
        const char* name;
    } cases[] = {
        {MEDIASUBTYPE_PCM, 0x0001, "PCM"},
        {MEDIASUBTYPE_IEEE_FLOAT, 0x0003, "IEEE"},
        {MEDIASUBTYPE_MPEG1AudioPayload, 0x0050, "MPEG"},
        {FourCCGuid(0x00000055), 0x0055, "MP3"},
        {FourCCGuid(0x00000055), 0, "RGB"},
        {FourCCGuid(0x00000163), 0x0163, "WMA_"},
        {FourCCGuid(0x00000162), 0x0162, "WMA_"},
        {MEDIASUBTYPE_MPEG2_AUDIO, 0, "MPEG2"},
        {MEDIASUBTYPE_DOLBY_AC3, 0, "DOLBY AC3"},
        {MEDIASUBTYPE_DOLBY_AC3, 0x2000, "AC3"},
        {MEDIASUBTYPE_DVD_LPCM_AUDIO, 0, "LPCM"},
        {MEDIASUBTYPE_MPEG1Packet, 0, "MPEG1Packet"},
        {MEDIASUBTYPE_MPEG1Payload, 0, "MPEG1Payload"},
        {MEDIASUBTYPE_MPEG1Audio, 0, "MPEG1"},
        {FourCCGuid("fLaC"), 0, "fLaC"},
        {FourCCGuid("fLaC"), 0x1234, "fLaC"}, // a tag the table does not know
        {MEDIASUBTYPE_MPEG2_VIDEO, 0x0088, "ISIA"},
        {MEDIASUBTYPE_MPEG2_VIDEO, 0, ""},
    };
    for (const auto& c : cases) {
        const auto mt = AudioType(c.subtype, c.tag, 2, 48000, 16, 192000);
        EXPECT_EQ(AudioFormatName(mt), QString::fromUtf8(c.name))
            << GuidToString(c.subtype).toStdString();
    }
    // Without a usable wave format block only the sub-type speaks.
    EXPECT_EQ(AudioFormatName(Truncated(AudioType(FourCCGuid(0x55), 0x55, 2, 1, 1, 1), 17)),
              QStringLiteral("RGB"));
    AM_MEDIA_TYPE video = AudioType(MEDIASUBTYPE_PCM, 1, 2, 48000, 16, 192000);
    video.majortype = MEDIATYPE_Video;
    EXPECT_EQ(AudioFormatName(video), QString());
}

TEST(WaveFormatTagName, TableEntries) {
    struct Case {
        uint16_t tag;
        const char* name;
    } cases[] = {{0x0001, "PCM"},
                 {0x0050, "MPEG Audio"},
                 {0x0055, "MP3"},
                 {0x0059, "LUCENT G.723"},
                 {0x0088, "ISIAUDIO "},
                 {0x0161, "WMA"},
                 {0x0163, "WMA_Lossless"},
                 {0x1103, "LH_SBC"},
                 {0x2002, "14_4"},
                 {0x676F, "OGG_VORBIS1+"},
                 {0x7A22, "GSM_AMR"},
                 {0x0000, ""},
                 {0x0029, ""},
                 {0xFFFE, ""},
                 {0xFFFF, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(WaveFormatTagName(c.tag), QString::fromUtf8(c.name)) << std::hex << c.tag;
    int named = 0;
    for (int tag = 0; tag <= 0xFFFF; ++tag)
        named += !WaveFormatTagName(uint16_t(tag)).isEmpty();
    EXPECT_EQ(named, 144);
}

TEST(DescribeAudioFormat, TextsAsTheyStand) {
    struct Case {
        const char* name;
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
        uint32_t bytesPerSecond;
        bool dv;
        const char* text;
    } cases[] = {
        {"PCM", 2, 48000, 16, 192000, false, "PCM 48000Hz 16bits  stereo"},
        {"PCM", 2, 32000, 16, 128000, true, "PCM 32000Hz 12bits stereo"},
        {"PCM", 2, 32000, 16, 128000, false, "PCM 32000Hz 16bits  stereo"},
        {"PCM", 2, 48000, 16, 192000, true, "PCM 48000Hz 16bits  stereo"},
        {"MPEG", 2, 44100, 0, 16000, false, "MPEG 44100Hz 128Kb/s stereo"},
        {"AC3", 6, 48000, 0, 56000, false, "AC3 48000Hz 448Kb/s 6 channels"},
        {"PCM", 1, 8000, 8, 8000, false, "PCM 8000Hz 8bits  mono"},
        {"", 0, 0, 0, 0, false, " 0 channels"},
    };
    for (const auto& c : cases) {
        TframeData f;
        f.FormatName = QString::fromUtf8(c.name);
        ASSERT_TRUE(DescribeAudioFormat(
            AudioType(MEDIASUBTYPE_PCM, 1, c.channels, c.rate, c.bits, c.bytesPerSecond), c.dv, f));
        EXPECT_EQ(f.AudioText, QString::fromUtf8(c.text));
        EXPECT_EQ(f.Channels, c.channels);
        EXPECT_EQ(f.SampleRate, int(c.rate));
        EXPECT_EQ(f.BitsPerSample, c.bits);
        EXPECT_EQ(f.BitRate, int(c.bytesPerSecond * 8));
    }
    TframeData f;
    f.AudioText = QStringLiteral("old");
    EXPECT_FALSE(
        DescribeAudioFormat(Truncated(AudioType(MEDIASUBTYPE_PCM, 1, 2, 1, 1, 1), 17), false, f));
    EXPECT_FALSE(DescribeAudioFormat(AM_MEDIA_TYPE(MEDIATYPE_Audio, MEDIASUBTYPE_PCM), false, f));
    EXPECT_EQ(f.AudioText, QStringLiteral("old"));
}

TEST(SameVideoDescription, ComparesWhatTheUserSees) {
    TVideoData a = DescribeVideoType(VideoInfoType(MEDIASUBTYPE_YV12, 720, 576, 400000));
    TVideoData b = a;
    b.BitRate = 5;
    b.FrameRate = 2;
    b.AvgTimePerFrame = 9;
    EXPECT_TRUE(SameVideoDescription(a, b));
    b.SizeText += u'!';
    EXPECT_FALSE(SameVideoDescription(a, b));
    b = a;
    b.AspectKind = akOther;
    EXPECT_FALSE(SameVideoDescription(a, b));
}
