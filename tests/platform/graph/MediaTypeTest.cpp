#include "platform/graph/MediaType.h"

#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

AM_MEDIA_TYPE VideoType(LONG width, LONG height) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, MEDIASUBTYPE_RGB32, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.AvgTimePerFrame = 400000;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = 32;
    mt.SetFormat(vih);
    return mt;
}

TEST(MediaType, CopiesOwnTheirFormatBlock) {
    AM_MEDIA_TYPE a = VideoType(720, 576);
    AM_MEDIA_TYPE b = a;
    ASSERT_EQ(b.cbFormat(), 88u);
    EXPECT_NE(a.pbFormat(), b.pbFormat());
    EXPECT_EQ(a, b);
    b.FormatAs<VIDEOINFOHEADER>()->bmiHeader.biWidth = 640;
    EXPECT_EQ(a.FormatAs<VIDEOINFOHEADER>()->bmiHeader.biWidth, 720);
    EXPECT_NE(a, b);
    AM_MEDIA_TYPE moved = std::move(b);
    EXPECT_EQ(moved.FormatAs<VIDEOINFOHEADER>()->bmiHeader.biWidth, 640);
}

TEST(MediaType, ShortBlocksAreNotReadAsLongerStructures) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, MEDIASUBTYPE_RGB32, FORMAT_VideoInfo2);
    mt.AllocFormatBuffer(111);
    EXPECT_EQ(mt.FormatAs<VIDEOINFOHEADER2>(), nullptr);
    EXPECT_FALSE(mt.ReadFormat<VIDEOINFOHEADER2>().has_value());
    EXPECT_NE(mt.FormatAs<VIDEOINFOHEADER>(), nullptr);
    mt.ResetFormatBuffer();
    EXPECT_EQ(mt.cbFormat(), 0u);
    EXPECT_EQ(mt.pbFormat(), nullptr);
    EXPECT_EQ(mt.FormatAs<BYTE>(), nullptr);
    mt.SetFormat(nullptr, 10);
    EXPECT_EQ(mt.cbFormat(), 0u);
}

TEST(MediaType, AllocatedBlocksStartZeroed) {
    AM_MEDIA_TYPE mt;
    BYTE* p = mt.AllocFormatBuffer(32);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(p[i], 0);
    EXPECT_EQ(mt.AllocFormatBuffer(0), nullptr);
}

TEST(MediaType, PartialMatchTreatsNullFieldsAsWildcards) {
    const AM_MEDIA_TYPE full = VideoType(720, 576);
    struct Case {
        const char* what;
        AM_MEDIA_TYPE partial;
        bool matches;
    };
    AM_MEDIA_TYPE otherBlock = VideoType(640, 480);
    AM_MEDIA_TYPE sameBlock = VideoType(720, 576);
    const Case cases[] = {
        {"all null", AM_MEDIA_TYPE(), true},
        {"major only", AM_MEDIA_TYPE(MEDIATYPE_Video, GUID_NULL), true},
        {"other major", AM_MEDIA_TYPE(MEDIATYPE_Audio, GUID_NULL), false},
        {"sub only", AM_MEDIA_TYPE(GUID_NULL, MEDIASUBTYPE_RGB32), true},
        {"other sub", AM_MEDIA_TYPE(MEDIATYPE_Video, MEDIASUBTYPE_RGB24), false},
        {"format type without block", AM_MEDIA_TYPE(GUID_NULL, GUID_NULL, FORMAT_VideoInfo), true},
        {"other format type", AM_MEDIA_TYPE(GUID_NULL, GUID_NULL, FORMAT_VideoInfo2), false},
        {"same block", sameBlock, true},
        {"other block", otherBlock, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(full.MatchesPartial(c.partial), c.matches) << c.what;
}

TEST(MediaType, HeapCopiesForOutParameters) {
    const AM_MEDIA_TYPE mt = VideoType(320, 240);
    MediaTypePtr copy(CreateMediaType(mt));
    ASSERT_TRUE(copy);
    EXPECT_EQ(*copy, mt);
    AM_MEDIA_TYPE target;
    EXPECT_EQ(CopyMediaType(&target, copy.get()), S_OK);
    EXPECT_EQ(target, mt);
    EXPECT_EQ(CopyMediaType(nullptr, &mt), E_POINTER);
    FreeMediaType(target);
    EXPECT_EQ(target.cbFormat(), 0u);
}

TEST(MediaGuids, FourCCSubtypesAndPublishedValues) {
    struct Case {
        GUID guid;
        const char* text;
    };
    const Case cases[] = {
        {MEDIATYPE_Video, "{73646976-0000-0010-8000-00AA00389B71}"},
        {MEDIATYPE_Audio, "{73647561-0000-0010-8000-00AA00389B71}"},
        {MEDIATYPE_Interleaved, "{73766169-0000-0010-8000-00AA00389B71}"},
        {MEDIATYPE_Stream, "{E436EB83-524F-11CE-9F53-0020AF0BA770}"},
        {MEDIASUBTYPE_dvsd, "{64737664-0000-0010-8000-00AA00389B71}"},
        {MEDIASUBTYPE_H264, "{34363248-0000-0010-8000-00AA00389B71}"},
        {MEDIASUBTYPE_avc1, "{31637661-0000-0010-8000-00AA00389B71}"},
        {MEDIASUBTYPE_PCM, "{00000001-0000-0010-8000-00AA00389B71}"},
        {MEDIASUBTYPE_RGB1, "{E436EB78-524F-11CE-9F53-0020AF0BA770}"},
        {MEDIASUBTYPE_RGB32, "{E436EB7E-524F-11CE-9F53-0020AF0BA770}"},
        {MEDIASUBTYPE_MPEG1Packet, "{E436EB80-524F-11CE-9F53-0020AF0BA770}"},
        {MEDIASUBTYPE_MPEG1Audio, "{E436EB87-524F-11CE-9F53-0020AF0BA770}"},
        {MEDIASUBTYPE_MPEG2_VIDEO, "{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}"},
        {MEDIASUBTYPE_DOLBY_AC3, "{E06D802C-DB46-11CF-B4D1-00805F6CBBEA}"},
        {MEDIASUBTYPE_DVD_LPCM_AUDIO, "{E06D8032-DB46-11CF-B4D1-00805F6CBBEA}"},
        {FORMAT_VideoInfo, "{05589F80-C356-11CE-BF01-00AA0055595A}"},
        {FORMAT_WaveFormatEx, "{05589F81-C356-11CE-BF01-00AA0055595A}"},
        {FORMAT_MPEGVideo, "{05589F82-C356-11CE-BF01-00AA0055595A}"},
        {FORMAT_DvInfo, "{05589F84-C356-11CE-BF01-00AA0055595A}"},
        {FORMAT_VideoInfo2, "{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}"},
        {FORMAT_MPEG2Video, "{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}"},
        {PIN_CATEGORY_CAPTURE, "{FB6C4281-0353-11D1-905F-0000C0CC16BA}"},
        {TIME_FORMAT_MEDIA_TIME, "{7B785574-8C82-11CF-BC0C-00AA00AC74F6}"},
        {CLSID_DVSplitter, "{4EB31670-9FC6-11CF-AF6E-00AA00B67A42}"},
        {CLSID_AsyncReader, "{E436EBB5-524F-11CE-9F53-0020AF0BA770}"},
        {CLSID_DSoundRender, "{79376820-07D0-11CF-A24D-0020AFD79767}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GuidToString(c.guid).toStdString(), c.text);
    EXPECT_TRUE(IsFourCCGuid(MEDIASUBTYPE_dvsd));
    EXPECT_FALSE(IsFourCCGuid(MEDIASUBTYPE_RGB24));
    EXPECT_EQ(MEDIASUBTYPE_dvsd.Data1, MAKEFOURCC('d', 'v', 's', 'd'));
}

} // namespace
