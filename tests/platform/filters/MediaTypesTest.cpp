// The media types on the splitters' pins are those a Windows splitter gives, so that the media
// descriptions read them right: FOURCC sub-types, FORMAT_MPEG2Video with the sequence header,
// dvsd with FORMAT_VideoInfo, interleaved DV with FORMAT_DvInfo, FORMAT_WaveFormatEx with the
// wave format tag, bTemporalCompression for inter-coded video; and the decoders' output types
// carry the picture size and the frame duration.
#include "platform/filters/FilterGuids.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"
#include "taps/uMediaDescriptions.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TVideoExpect {
    GUID subtype, format;
    bool temporal;
    const char* description; // DescribeVideoType(...).Description
    int width, height;
    REFERENCE_TIME frame;
};

struct TAudioExpect {
    GUID subtype;
    const char* audioText; // DescribeAudioFormat's text, after AudioFormatName
};

struct TTypeCase {
    const char* name;
    const char* file;
    const char* kind;
    QStringList args;
    CLSID source, splitter;
    TVideoExpect video;
    TAudioExpect audio;
};

std::ostream& operator<<(std::ostream& os, const TTypeCase& c) {
    return os << c.name;
}

class SplitterTypes : public testing::TestWithParam<TTypeCase> {};

TEST_P(SplitterTypes, AreDescribedAsTheirStreams) {
    const TTypeCase& c = GetParam();
    const QString path = Clip(QString::fromLatin1(c.file), QString::fromLatin1(c.kind),
                              c.args + QStringList{"--seconds", "1"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.OpenStreams(path, c.source, c.splitter), S_OK);
    const CMediaType video = graph.StreamType(MEDIATYPE_Video);
    EXPECT_EQ(GuidToString(video.subtype), GuidToString(c.video.subtype));
    EXPECT_EQ(GuidToString(video.formattype), GuidToString(c.video.format));
    EXPECT_EQ(video.bTemporalCompression != 0, c.video.temporal);
    const TVideoData d = DescribeVideoType(video);
    EXPECT_TRUE(d.Parsed);
    EXPECT_EQ(d.Description.toStdString(), c.video.description);
    EXPECT_EQ(d.Width, c.video.width);
    EXPECT_EQ(d.Height, c.video.height);
    EXPECT_EQ(d.AvgTimePerFrame, c.video.frame);

    const CMediaType audio = graph.StreamType(MEDIATYPE_Audio);
    EXPECT_EQ(GuidToString(audio.subtype), GuidToString(c.audio.subtype));
    EXPECT_EQ(audio.formattype, FORMAT_WaveFormatEx);
    TframeData frame;
    frame.FormatName = AudioFormatName(audio);
    ASSERT_TRUE(DescribeAudioFormat(audio, false, frame));
    EXPECT_EQ(frame.AudioText.toStdString(), c.audio.audioText);
}

const GUID kWmv2 = FourCCGuid("WMV2");
const GUID kWma2 = FourCCGuid(0x0161);

const TTypeCase kTypes[] = {
    {"DV type 2 AVI",
     "types-dv2.avi",
     "dv",
     {"--avi-type", "2"},
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     {MEDIASUBTYPE_dvsd, FORMAT_VideoInfo, false, "DV Type 2", 720, 576, 400000},
     {MEDIASUBTYPE_PCM, "PCM 48000Hz 16bits  stereo"}},
    {"MPEG-2 program stream",
     "types-mpeg2.vob",
     "mpeg2",
     {},
     CLSID_AsyncReader,
     CLSID_MMSPLITTER,
     {MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video, true, "MPEG2 (16x9)", 720, 576, 400000},
     {MEDIASUBTYPE_MPEG2_AUDIO, "MPEG 48000Hz 192Kb/s stereo"}},
    {"MPEG-1 system stream",
     "types-mpeg1.mpg",
     "mpeg1",
     {},
     CLSID_AsyncReader,
     CLSID_MPEG1Splitter,
     {MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo, true, "MPEG1", 352, 288, 400000},
     {MEDIASUBTYPE_MPEG1Audio, "MPEG 44100Hz 224Kb/s stereo"}},
    {"H.264 in MP4",
     "types-h264.mp4",
     "h264-mp4",
     {},
     CLSID_LAVSplitterSource,
     GUID_NULL,
     {MEDIASUBTYPE_AVC1, FORMAT_MPEG2Video, true, "AVC1 (16x9)", 640, 360, 400000},
     {MEDIASUBTYPE_AAC, "AAC 48000Hz 16bits  stereo"}},
    {"Motion JPEG in AVI",
     "types-mjpeg.avi",
     "mjpeg-avi",
     {},
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     {MEDIASUBTYPE_MJPG, FORMAT_VideoInfo, false, "MJPG", 640, 480, 400000},
     {MEDIASUBTYPE_PCM, "PCM 48000Hz 16bits  stereo"}},
    {"WMV in ASF",
     "types.wmv",
     "wmv",
     {},
     CLSID_WMAsfReader,
     GUID_NULL,
     {kWmv2, FORMAT_VideoInfo, true, "WMV2", 320, 240, 400000},
     {kWma2, "WMA 44100Hz 16bits  stereo"}},
};

INSTANTIATE_TEST_SUITE_P(Splitters, SplitterTypes, testing::ValuesIn(kTypes),
                         [](const testing::TestParamInfo<TTypeCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

// MPEG-2 video carries its sequence header, which the video tap reads from every sample too.
TEST(SplitterTypeBlocks, Mpeg2VideoCarriesItsSequenceHeader) {
    const QString path = Clip("types-mpeg2.vob", "mpeg2", {"--seconds", "1"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.OpenStreams(path, CLSID_AsyncReader, CLSID_MMSPLITTER), S_OK);
    const CMediaType type = graph.StreamType(MEDIATYPE_Video);
    const auto info = type.ReadFormat<MPEG2VIDEOINFO>();
    ASSERT_TRUE(info);
    ASSERT_GE(info->cbSequenceHeader, 12u);
    ASSERT_GE(type.cbFormat(), MPEG2VIDEOINFO_SIZE(info->cbSequenceHeader));
    const uint8_t* header = type.pbFormat() + offsetof(MPEG2VIDEOINFO, dwSequenceHeader);
    TVideoData fromHeader;
    ASSERT_TRUE(DescribeMpeg2Header({header, info->cbSequenceHeader}, fromHeader));
    EXPECT_EQ(fromHeader.Width, 720);
    EXPECT_EQ(fromHeader.Height, 576);
    EXPECT_EQ(fromHeader.Description, QStringLiteral("MPEG2 (16x9)"));
    EXPECT_EQ(info->hdr.dwPictAspectRatioX, 16u);
    EXPECT_EQ(info->hdr.dwPictAspectRatioY, 9u);
}

// AVC1 keeps its parameter sets length-prefixed with the NAL length size in dwFlags.
TEST(SplitterTypeBlocks, Avc1CarriesLengthPrefixedParameterSets) {
    const QString path = Clip("types-h264.mp4", "h264-mp4", {"--seconds", "1"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.OpenStreams(path, CLSID_LAVSplitterSource), S_OK);
    const CMediaType type = graph.StreamType(MEDIATYPE_Video);
    const auto info = type.ReadFormat<MPEG2VIDEOINFO>();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->dwFlags, 4u);
    ASSERT_GT(info->cbSequenceHeader, 4u);
    const uint8_t* sets = type.pbFormat() + offsetof(MPEG2VIDEOINFO, dwSequenceHeader);
    const size_t first = size_t(sets[0]) << 8 | sets[1];
    EXPECT_EQ(sets[2] & 0x1F, 7); // a sequence parameter set comes first
    ASSERT_LT(first + 2, info->cbSequenceHeader);
    EXPECT_EQ(sets[first + 2 + 2] & 0x1F, 8); // then a picture parameter set
}

// A type-1 DV AVI gives one interleaved pin whose DVINFO holds the packs of the first frame,
// and the DV splitter behind it gives DV video and PCM sound.
TEST(SplitterTypeBlocks, InterleavedDVCarriesItsPacksAndSplitsIntoVideoAndSound) {
    const QString path = Clip("types-dv1.avi", "dv", {"--seconds", "1", "--avi-type", "1"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.OpenStreams(path, CLSID_AsyncReader, CLSID_AviSplitter), S_OK);
    EXPECT_FALSE(graph.StreamType(MEDIATYPE_Video).IsValid());
    EXPECT_FALSE(graph.StreamType(MEDIATYPE_Audio).IsValid());
    const CMediaType type = graph.StreamType(MEDIATYPE_Interleaved);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_dvsd);
    EXPECT_EQ(type.formattype, FORMAT_DvInfo);
    EXPECT_EQ(type.lSampleSize, 144000u);
    const auto info = type.ReadFormat<DVINFO>();
    ASSERT_TRUE(info);
    EXPECT_NE(info->dwDVAAuxSrc, 0u);
    EXPECT_NE(info->dwDVVAuxSrc, 0u);
    EXPECT_EQ((info->dwDVVAuxSrc >> 16) & 0x20, 0x20u); // 625/50

    TPlaybackGraph rendered;
    ASSERT_EQ(rendered.Open(path, CLSID_AsyncReader, CLSID_AviSplitter), S_OK);
    EXPECT_TRUE(rendered.HasVideo());
    EXPECT_TRUE(rendered.HasAudio());
}

// What the decoders give: RGB32 of the picture's size with the stream's frame duration, and
// 16-bit PCM at the stream's rate.
TEST(DecoderTypes, CarryThePictureSizeAndFrameDuration) {
    const QString path = Clip("types-h264.mp4", "h264-mp4", {"--seconds", "1"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(path, CLSID_LAVSplitterSource), S_OK);
    CMediaType video, audio;
    PinsOf(graph.VideoRenderer())[0]->ConnectionMediaType(&video);
    PinsOf(graph.Audio())[0]->ConnectionMediaType(&audio);
    EXPECT_EQ(video.subtype, MEDIASUBTYPE_RGB32);
    EXPECT_EQ(video.bTemporalCompression, 0);
    const TVideoData d = DescribeVideoType(video);
    EXPECT_EQ(d.FormatName, QStringLiteral("RGB32"));
    EXPECT_EQ(d.Width, 640);
    EXPECT_EQ(d.Height, 360);
    EXPECT_EQ(d.BitCount, 32);
    EXPECT_EQ(d.AvgTimePerFrame, 400000);
    TframeData frame;
    frame.FormatName = AudioFormatName(audio);
    ASSERT_TRUE(DescribeAudioFormat(audio, false, frame));
    EXPECT_EQ(frame.AudioText, QStringLiteral("PCM 48000Hz 16bits  stereo"));
}

} // namespace
