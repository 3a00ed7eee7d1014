// The decoder choice's records and lists: records that create their filter once and keep it,
// private records that wait for their package, the fixed exclusions, and the decoder memory
// written to and read back from both preference stores.
#include "media/uDecoders.h"

#include "platform/com/ClassRegistry.h"
#include "platform/graph/MediaGuids.h"
#include "preferences/uPreferences.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

const GUID kH264{0x34363248, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID kMpeg2Video{
    0xE06D8026, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};

TEST(TFilterRec, ARegisteredRecordCreatesItsFilterOnceAndDropsItOnRequest) {
    TScopedTestDecoder registered(0, MERIT_NORMAL);
    TFilterRec* rec = TFilterRecs::Make(TestDecoderClsid(0), fkRegistered, QStringLiteral("Dec"));
    const ComPtr<IBaseFilter> first = rec->GetFilter();
    ASSERT_TRUE(first);
    EXPECT_EQ(rec->GetFilter().Get(), first.Get());
    rec->SetInstance(first.Get()); // registered records drop theirs whatever is passed
    EXPECT_FALSE(rec->HasInstance());
    const ComPtr<IBaseFilter> second = rec->GetFilter();
    ASSERT_TRUE(second);
    EXPECT_NE(second.Get(), first.Get());

    TFilterRec* missing =
        TFilterRecs::Make(TestDecoderClsid(7), fkRegistered, QStringLiteral("Nobody"));
    EXPECT_FALSE(missing->GetFilter());
    EXPECT_TRUE(NoVideoDecoder()->IsNull());
    EXPECT_FALSE(NoVideoDecoder()->GetFilter());
}

TEST(TFilterRec, APrivateRecordNeedsItsPackagesFactory) {
    TFilterRec* rec = TFilterRecs::Make(TestDecoderClsid(1), fkPrivate, QStringLiteral("Private"));
    EXPECT_FALSE(rec->GetFilter()) << "no package loaded";
    TPrivateFactories::Add(
        TestDecoderClsid(1), MakeClassFactory([](IUnknown*, REFIID riid, void** ppv) {
            return MakeComObject<TTestDecoder>(TestDecoderClsid(1))->QueryInterface(riid, ppv);
        }));
    const ComPtr<IBaseFilter> filter = rec->GetFilter();
    TPrivateFactories::Remove(TestDecoderClsid(1));
    ASSERT_TRUE(filter);
    CLSID clsid = GUID_NULL;
    filter->GetClassID(&clsid);
    EXPECT_EQ(clsid, TestDecoderClsid(1));
}

TEST(TFilterRec, ASuppliedRecordKeepsWhatItsOwnerHandsIn) {
    TFilterRec* rec = TFilterRecs::Make(TestDecoderClsid(2), fkSupplied, QStringLiteral("Keeper"));
    EXPECT_FALSE(rec->GetFilter());
    const ComPtr<TTestDecoder> filter = MakeComObject<TTestDecoder>(TestDecoderClsid(2));
    rec->SetInstance(filter.Get());
    EXPECT_EQ(rec->GetFilter().Get(), static_cast<IBaseFilter*>(filter.Get()));
    rec->SetInstance(nullptr);
    EXPECT_TRUE(rec->HasInstance());
}

TEST(TDecoderLinks, OneLinkPerKeyOfAllThreeGuids) {
    TDecoderLinks links;
    TFilterRec* a = TFilterRecs::Make(TestDecoderClsid(0), fkRegistered, QStringLiteral("A"));
    TFilterRec* b = TFilterRecs::Make(TestDecoderClsid(1), fkRegistered, QStringLiteral("B"));
    const TMediaTypeKey h264{MEDIATYPE_Video, kH264, FORMAT_VideoInfo};
    const TMediaTypeKey h264Other{MEDIATYPE_Video, kH264, FORMAT_MPEG2Video};
    links.SetLink(h264, a);
    links.SetLink(h264Other, a);
    links.SetLink(h264, b);
    EXPECT_EQ(links.Count(), 2);
    EXPECT_EQ(links.GetLink(h264), b);
    EXPECT_EQ(links.IndexOf(h264Other), 1);
    links.DeleteLink(h264);
    EXPECT_EQ(links.GetLink(h264), nullptr);
    EXPECT_EQ(links.IndexOf(h264Other), 0);
    links.DeleteLink(h264); // nothing left to delete
    EXPECT_EQ(links.Count(), 1);
}

TEST(TDecoderLinks, TheFixedExclusionsNameTheDtvDvdDecodersForAnyFormat) {
    const TDecoderLinks& video = VideoExclusions();
    ASSERT_EQ(video.Count(), 5);
    for (int i = 0; i < video.Count(); ++i) {
        EXPECT_EQ(video[i].Key.Major, MEDIATYPE_Video);
        EXPECT_EQ(video[i].Key.Format, GUID_NULL);
        EXPECT_EQ(video[i].Record, video[0].Record);
    }
    EXPECT_EQ(video[0].Key.Sub, kH264);
    EXPECT_EQ(video[0].Record->Name(), QStringLiteral("Microsoft DTV-DVD Video Decoder"));
    EXPECT_EQ(GuidToString(video[0].Record->Clsid()),
              QStringLiteral("{212690FB-83E5-4526-8FD7-74478B7939CD}"));
    ASSERT_EQ(AudioExclusions().Count(), 1);
    EXPECT_EQ(GuidToString(AudioExclusions()[0].Record->Clsid()),
              QStringLiteral("{E1F1A0B8-BEEE-490D-BA7C-066C40B5E2B9}"));
    EXPECT_EQ(GuidToString(AudioExclusions()[0].Key.Sub),
              QStringLiteral("{E06D802C-DB46-11CF-B4D1-00805F6CBBEA}"));
}

class DecoderMemory : public testing::TestWithParam<TSavePreferences> {
protected:
    void Configure(TTaskelPreferences& gp) {
        gp.SetTitre(QStringLiteral("Kelvara"));
        gp.SetVersion(QStringLiteral("Kelvara test"));
        gp.SetProgramFolder(folder.path());
        gp.SetMode(GetParam());
    }
    TemporaryHive hive;
    QTemporaryDir folder;
};

// A supplied record is not written and its position is not reused: the private decoder after it
// is "dc3" in every run.
TEST_P(DecoderMemory, LinksRoundTripThroughTheStoreUnderTheirPositions) {
    const TMediaTypeKey h264{MEDIATYPE_Video, kH264, FORMAT_VideoInfo};
    const TMediaTypeKey mpeg2{MEDIATYPE_Video, kMpeg2Video, FORMAT_MPEG2Video};
    const TMediaTypeKey dv{MEDIATYPE_Video, MEDIASUBTYPE_dvsd, FORMAT_VideoInfo};
    const TMediaTypeKey rgb{MEDIATYPE_Video, MEDIASUBTYPE_RGB32, FORMAT_VideoInfo};
    {
        TDecoderLinks links;
        links.SetLink(h264, TFilterRecs::Make(TestDecoderClsid(0), fkRegistered,
                                              QStringLiteral("Platform H.264 decoder")));
        links.SetLink(
            dv, TFilterRecs::Make(TestDecoderClsid(2), fkSupplied, QStringLiteral("Supplied")));
        links.SetLink(rgb, NoVideoDecoder());
        links.SetLink(mpeg2, TFilterRecs::Make(TestDecoderClsid(1), fkPrivate,
                                               QStringLiteral("Private \u00e9 decoder")));
        TTaskelPreferences gp;
        Configure(gp);
        ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
        ASSERT_TRUE(gp.OpenSection(QStringLiteral("VideoDecoders")));
        links.SaveToPrefs(gp);
        QStringList written;
        ASSERT_TRUE(gp.ReadSubSections(written));
        written.sort();
        EXPECT_EQ(written, (QStringList{"dc0", "dc2", "dc3"}));
        gp.CloseSection();
        gp.CloseSection();
    }
    TTaskelPreferences gp;
    Configure(gp);
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("VideoDecoders")));
    TDecoderLinks read;
    read.LoadFromPrefs(gp);
    ASSERT_EQ(read.Count(), 3);
    ASSERT_TRUE(read.GetLink(h264));
    EXPECT_EQ(read.GetLink(h264)->Kind(), fkRegistered);
    EXPECT_EQ(read.GetLink(h264)->Name(), QStringLiteral("Platform H.264 decoder"));
    EXPECT_EQ(read.GetLink(h264)->Clsid(), TestDecoderClsid(0));
    ASSERT_TRUE(read.GetLink(mpeg2));
    EXPECT_EQ(read.GetLink(mpeg2)->Kind(), fkPrivate);
    EXPECT_EQ(read.GetLink(mpeg2)->Name(), QStringLiteral("Private \u00e9 decoder"));
    ASSERT_TRUE(read.GetLink(rgb));
    EXPECT_TRUE(read.GetLink(rgb)->IsNull());
    EXPECT_EQ(read.GetLink(rgb)->Name(), QStringLiteral("No Video decoder"));
    EXPECT_EQ(read.GetLink(dv), nullptr);
}

// An entry damaged by hand (a GUID that does not read) is skipped; the others are still read.
TEST_P(DecoderMemory, AnEntryWhoseGuidsDoNotReadIsSkipped) {
    {
        TTaskelPreferences gp;
        Configure(gp);
        ASSERT_TRUE(gp.OpenSection(QStringLiteral("AudioDecoders")));
        for (const char* name : {"dc0", "dc1"}) {
            ASSERT_TRUE(gp.OpenSection(QString::fromLatin1(name)));
            gp.WriteString(QStringLiteral("majortype"), GuidToString(MEDIATYPE_Audio));
            gp.WriteString(QStringLiteral("subtype"), GuidToString(MEDIASUBTYPE_PCM));
            gp.WriteString(QStringLiteral("formattype"), GuidToString(FORMAT_WaveFormatEx));
            gp.WriteString(QStringLiteral("decoderguid"), name == std::string("dc0")
                                                              ? QString()
                                                              : GuidToString(TestDecoderClsid(3)));
            gp.CloseSection();
        }
        gp.CloseSection();
    }
    TTaskelPreferences gp;
    Configure(gp);
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("AudioDecoders")));
    TDecoderLinks read;
    read.LoadFromPrefs(gp);
    ASSERT_EQ(read.Count(), 1);
    EXPECT_EQ(read[0].Record->Clsid(), TestDecoderClsid(3));
    EXPECT_EQ(read[0].Record->Kind(), fkRegistered);
    EXPECT_EQ(read[0].Record->Name(), QString());
}

INSTANTIATE_TEST_SUITE_P(Stores, DecoderMemory, testing::Values(spRegistre, spPortable));

} // namespace
