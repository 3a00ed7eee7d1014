// Loading the private packages from a folder, and switching them on and off: the records made
// whether the files exist or not, the messages of missing settings, the folder's trailing
// delimiter, the list of factories searched from its end, modules that cannot be used, and what
// switching on and off sets in the decoder managers and the media factory.
#include "media/uMediaFactory.h"
#include "media/uPrivateLAV.h"
#include "modules/support/PrivateClsids.h"
#include "platform/com/ClassRegistry.h"
#include "tests/modules/PackageTestSupport.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <QDir>
#include <QFile>

namespace {

using namespace kelvara::test;

const CLSID* const kClasses[] = {&CLSID_PrivateLavSplitterSource, &CLSID_PrivateLavSplitter,
                                 &CLSID_PrivateLavAudio,          &CLSID_PrivateLavVideo,
                                 &CLSID_PrivateFfdshowVideo,      &CLSID_PrivateFfdshowAudio};

std::vector<TFilterRec*> LatestRecords() {
    return {LavRecords().SplitterSource, LavRecords().Splitter,  LavRecords().Audio,
            LavRecords().Video,          FfdshowRecords().Video, FfdshowRecords().Audio};
}

class PrivateFolders : public testing::Test {
protected:
    TemporaryHive hive;
    QTemporaryDir dir;
    ShownMessages shown;
};

TEST_F(PrivateFolders, AFolderWithoutPackagesShowsBothMessagesAndItsRecordsMakeNoFilter) {
    const QString folder = ApplyPrivateFolder(dir.path());
    EXPECT_EQ(folder, dir.path() + u'/');
    EXPECT_EQ(shown.Texts, (QStringList{QStringLiteral("Unable to install LAV private filters"),
                                        QStringLiteral("Cannot install ffdshow private filters")}));
    for (TFilterRec* record : LatestRecords()) {
        ASSERT_TRUE(record);
        EXPECT_EQ(record->Kind(), fkPrivate);
        EXPECT_FALSE(record->GetFilter()) << record->Name().toStdString();
    }
    EXPECT_EQ(LavRecords().SplitterSource->Name(), QStringLiteral("Private LAV Splitter Source"));
    EXPECT_EQ(FfdshowRecords().Video->Name(), QStringLiteral("Private ffdshow Video decoder"));
}

TEST_F(PrivateFolders, AFolderWithoutATrailingDelimiterFormsTheSamePaths) {
    QString bare = PackagesFolder();
    bare.chop(1);
    EXPECT_EQ(ApplyPrivateFolder(bare), PackagesFolder());
    EXPECT_TRUE(shown.Texts.isEmpty()) << shown.Texts.join(u'\n').toStdString();
    for (TFilterRec* record : LatestRecords())
        EXPECT_TRUE(record->GetFilter()) << record->Name().toStdString();
    // The settings of both files are in the hive.
    EXPECT_TRUE(hive.Hive()->KeyExists(QStringLiteral("Software\\LBV\\Video\\Formats")));
    EXPECT_TRUE(hive.Hive()->KeyExists(QStringLiteral("Software\\QRX\\Video")));
    EXPECT_EQ(WithTrailingDelimiter(QStringLiteral("/opt/k\\")), QStringLiteral("/opt/k/"));
    EXPECT_EQ(WithTrailingDelimiter(QStringLiteral("/opt/k/")), QStringLiteral("/opt/k/"));
    EXPECT_EQ(WithTrailingDelimiter(QString()), QString());
}

TEST_F(PrivateFolders, ApplyingTheFolderTwiceLeavesTwoFactoriesPerClassAndTheSecondIsUsed) {
    std::vector<int> before;
    for (const CLSID* clsid : kClasses)
        before.push_back(TPrivateFactories::Count(*clsid));
    ApplyPrivateFolder(PackagesFolder());
    const ComPtr<IClassFactory> first = TPrivateFactories::Find(CLSID_PrivateLavVideo);
    const TFilterRec* firstRecord = LavRecords().Video;
    ApplyPrivateFolder(PackagesFolder());
    for (size_t i = 0; i < std::size(kClasses); ++i)
        EXPECT_EQ(TPrivateFactories::Count(*kClasses[i]), before[i] + 2);
    const ComPtr<IClassFactory> second = TPrivateFactories::Find(CLSID_PrivateLavVideo);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_NE(LavRecords().Video, firstRecord) << "the latest load's records are used";
}

TEST_F(PrivateFolders, TheNewestFactoryOfAClassIsFoundEvenWhenItIsEmpty) {
    const CLSID clsid{0x5EC0A11D, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
    const auto factory = [] {
        return MakeClassFactory([](IUnknown*, REFIID, void**) { return E_NOTIMPL; });
    };
    const ComPtr<IClassFactory> a = factory(), b = factory();
    TPrivateFactories::Add(clsid, a);
    TPrivateFactories::Add(clsid, b);
    EXPECT_EQ(TPrivateFactories::Find(clsid).Get(), b.Get());
    TPrivateFactories::Add(clsid, dir.filePath(QStringLiteral("missing.ax")));
    EXPECT_FALSE(TPrivateFactories::Find(clsid)) << "a missing module is the newest";
    TPrivateFactories::Remove(clsid);
    EXPECT_EQ(TPrivateFactories::Count(clsid), 0);
}

TEST_F(PrivateFolders, ModulesThatCannotBeUsedLeaveTheirRecordsWithoutFilters) {
    // A shared library without DllGetClassObject: one of the platform's own libraries.
    const QString library =
        QDir(PackagesFolder() + QStringLiteral("../lib")).filePath("libkelvara_platform_rtl.so");
    ASSERT_TRUE(QFile::exists(library));
    TPrivateFactory noExport(CLSID_PrivateLavVideo, library);
    EXPECT_FALSE(noExport.ClassFactory());
    EXPECT_TRUE(noExport.ErrorText().contains(QStringLiteral("DllGetClassObject")))
        << noExport.ErrorText().toStdString();

    // Files that are not shared libraries, under the names of the package.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("LAV")));
    for (const char* name : {"LAVSplitter.ax", "LAVAudio.ax", "LAVVideo.ax"})
        WriteAll(dir.filePath(QStringLiteral("LAV/") + QLatin1String(name)), "MZ not a module");
    QFile::copy(PackagesFolder() + QStringLiteral("LAV/LBV.reg"), dir.filePath("LAV/LBV.reg"));
    ApplyPrivateFolder(dir.path());
    EXPECT_EQ(shown.Texts, QStringList{QStringLiteral("Cannot install ffdshow private filters")});
    for (TFilterRec* record : LatestRecords())
        EXPECT_FALSE(record->GetFilter()) << record->Name().toStdString();
    TPrivateFactory notALibrary(CLSID_PrivateLavVideo, dir.filePath("LAV/LAVVideo.ax"));
    EXPECT_FALSE(notALibrary.ClassFactory());
    EXPECT_FALSE(notALibrary.HasModule());
    EXPECT_FALSE(notALibrary.ErrorText().isEmpty());
}

TEST_F(PrivateFolders, SwitchingOnAndOffSetsTheDecoderManagersAndTheFactory) {
    ApplyPrivateFolder(PackagesFolder());
    TDecoderMan video, audio;
    TMediaFactory factory;
    TFilterRec* registeredSource = factory.DefaultSource();
    InstallPrivateFilters({&video, &audio, &factory});
    EXPECT_EQ(video.Candidates,
              (std::vector<TFilterRec*>{LavRecords().Video, FfdshowRecords().Video}));
    EXPECT_EQ(audio.Candidates,
              (std::vector<TFilterRec*>{LavRecords().Audio, FfdshowRecords().Audio}));
    EXPECT_EQ(video.PostDecoderFilter, FfdshowRecords().Video);
    EXPECT_EQ(factory.DefaultSource(), LavRecords().SplitterSource);
    for (TFilterRec* record : LatestRecords())
        ASSERT_TRUE(record->GetFilter());

    UninstallPrivateFilters({&video, &audio, &factory});
    EXPECT_TRUE(video.Candidates.empty());
    EXPECT_TRUE(audio.Candidates.empty());
    for (TFilterRec* record : {LavRecords().SplitterSource, LavRecords().Video, LavRecords().Audio,
                               FfdshowRecords().Video, FfdshowRecords().Audio})
        EXPECT_FALSE(record->HasInstance()) << record->Name().toStdString();
    // Left as switching on set them.
    EXPECT_EQ(factory.DefaultSource(), LavRecords().SplitterSource);
    EXPECT_NE(factory.DefaultSource(), registeredSource);
    EXPECT_EQ(video.PostDecoderFilter, FfdshowRecords().Video);
}

TEST_F(PrivateFolders, TheSettingsLeaveTheHiveAtClose) {
    ApplyPrivateFolder(PackagesFolder());
    ASSERT_TRUE(hive.Hive()->KeyExists(QStringLiteral("Software\\LBV")));
    DeletePrivateSettings();
    EXPECT_FALSE(hive.Hive()->KeyExists(QStringLiteral("Software\\LBV")));
    EXPECT_FALSE(hive.Hive()->KeyExists(QStringLiteral("Software\\QRX")));
    // The file on the disk too.
    EXPECT_FALSE(ReadAll(hive.Path()).contains("LBV"));
}

} // namespace
