// Picture names from the naming settings: the root from a fixed text or the video's name, the
// number that is padded but never cut, the time stamp as a file name takes it.
#include "grabbing/uImageNaming.h"

#include "platform/os/UserFolders.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ImageNaming, TheDefaultsNameAPictureByRootAndTimeStamp) {
    TImageNaming naming;
    naming.Folder = QStringLiteral("/home/u/Pictures");
    naming.DefaultRoot = QStringLiteral("Kelvara");
    EXPECT_EQ(BuildImageName(naming, QStringLiteral("/v/clip.avi"), QStringLiteral("0:01:23:12"),
                             QStringLiteral("001")),
              QStringLiteral("/home/u/Pictures/Kelvara_0.01.23.12.bmp"));
    naming.Folder += QLatin1Char('/');
    naming.Addition = 1;
    naming.Extension = 1;
    EXPECT_EQ(BuildImageName(naming, {}, {}, FormatImageNumber(7, 3)),
              QStringLiteral("/home/u/Pictures/Kelvara_007.jpg"));
    naming.Addition = 2;
    EXPECT_TRUE(BuildImageName(naming, {}, {}, {}).isEmpty()) << "no new name in another mode";
    // An empty root keeps its separator.
    naming.Addition = 1;
    naming.DefaultRoot.clear();
    EXPECT_EQ(BuildImageName(naming, {}, {}, QStringLiteral("12")),
              QStringLiteral("/home/u/Pictures/_12.jpg"));
}

TEST(ImageNaming, TheVideosNameLosesItsExtensionAndIsCutWhenAsked) {
    TImageNaming naming;
    naming.NameSource = 1;
    EXPECT_EQ(ComputeNameRoot(naming, QStringLiteral("/v/holiday.2019.avi")),
              QStringLiteral("holiday.2019"));
    naming.LimitLength = true;
    naming.RootLength = 8;
    EXPECT_EQ(ComputeNameRoot(naming, QStringLiteral("/v/holiday.2019.avi")),
              QStringLiteral("holiday."));
    EXPECT_EQ(ComputeNameRoot(naming, QStringLiteral("/v/short.avi")), QStringLiteral("short"));
    EXPECT_EQ(ComputeNameRoot(naming, QStringLiteral("/v.d/noext")), QStringLiteral("noext"));
    EXPECT_TRUE(ComputeNameRoot(naming, QString()).isEmpty()) << "no video, no root";
}

TEST(ImageNaming, NumbersArePaddedButNeverCut) {
    EXPECT_EQ(FormatImageNumber(7, 3), QStringLiteral("007"));
    EXPECT_EQ(FormatImageNumber(12345, 3), QStringLiteral("12345"));
    EXPECT_EQ(FormatImageNumber(0, 1), QStringLiteral("0"));
    EXPECT_EQ(FormatImageNumber(5, 0), QStringLiteral("5"));
    EXPECT_EQ(FileNameTimeStamp(QStringLiteral("12:00:00:24")), QStringLiteral("12.00.00.24"));
}

TEST(UserFolders, TheDefaultIsTheFirstFolderThatExists) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    EXPECT_EQ(kelvara::os::DefaultPicturesFolder(), home.path() + QLatin1Char('/'));
    QDir(home.path()).mkdir(QStringLiteral("Documents"));
    EXPECT_EQ(kelvara::os::DefaultPicturesFolder(), home.filePath(QStringLiteral("Documents/")));
    QDir(home.path()).mkdir(QStringLiteral("Pictures"));
    EXPECT_EQ(kelvara::os::DefaultPicturesFolder(), home.filePath(QStringLiteral("Pictures/")));
    EXPECT_EQ(kelvara::os::DefaultDocumentsFolder(), home.filePath(QStringLiteral("Documents/")));
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace
