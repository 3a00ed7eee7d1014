// Modules are loaded only from files and folders that other users cannot change: a folder or
// file writable by every user or by a foreign group, or owned by another user, is refused with a
// message naming it; a sticky folder such as /tmp is fine.
#include "platform/com/ModuleTrust.h"
#include "platform/filters/RegisterFilters.h"

#include "media/uDecodersPrivate.h"
#include "modules/support/PrivateClsids.h"
#include "platform/com/Module.h"
#include "tests/modules/PackageTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace {

using namespace kelvara::test;

class ModuleTrust : public testing::Test {
protected:
    void SetUp() override {
        // The copy below is away from the build tree, where its run path finds no platform
        // libraries: the program has them loaded already, as this test then has.
        RegisterPlatformFilters();
        folder = dir.filePath(QStringLiteral("pkg"));
        ASSERT_TRUE(QDir().mkpath(folder));
        module = folder + QStringLiteral("/LAVVideo.ax");
        ASSERT_TRUE(QFile::copy(PackagesFolder() + QStringLiteral("LAV/LAVVideo.ax"), module));
        Mode(folder, 0755);
        Mode(module, 0755);
    }
    static void Mode(const QString& path, mode_t mode) {
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0);
    }
    QString Why() const {
        QString why;
        EXPECT_FALSE(ModulePathIsTrusted(module, &why));
        return why;
    }

    QTemporaryDir dir; // under /tmp, which is sticky
    QString folder, module;
};

TEST_F(ModuleTrust, APrivateFolderAndFileLoad) {
    QString why;
    EXPECT_TRUE(ModulePathIsTrusted(module, &why)) << why.toStdString();
    TComModule m;
    EXPECT_TRUE(m.Load(module)) << m.ErrorText().toStdString();
    Mode(folder, 01777); // sticky: nobody replaces another user's entries
    EXPECT_TRUE(ModulePathIsTrusted(module, &why)) << why.toStdString();
}

TEST_F(ModuleTrust, AFolderOrFileEveryUserCanWriteIsRefusedWithItsName) {
    Mode(folder, 0777);
    QString why = Why();
    EXPECT_TRUE(why.contains(QFileInfo(folder).canonicalFilePath())) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("every user"))) << why.toStdString();
    TComModule m;
    EXPECT_FALSE(m.Load(module));
    EXPECT_FALSE(m.IsLoaded());
    EXPECT_EQ(m.ErrorText(), why);

    Mode(folder, 0755);
    Mode(module, 0666);
    why = Why();
    EXPECT_TRUE(why.contains(QStringLiteral("LAVVideo.ax\" can be written"))) << why.toStdString();
}

TEST_F(ModuleTrust, ARefusedModuleIsToldOnceAndMakesNoFactory) {
    Mode(folder, 0777);
    ShownMessages shown;
    TPrivateFactory first(CLSID_PrivateLavVideo, module);
    TPrivateFactory second(CLSID_PrivateLavVideo, module);
    EXPECT_FALSE(first.ClassFactory());
    EXPECT_FALSE(second.HasModule());
    ASSERT_EQ(shown.Texts.size(), 1);
    EXPECT_TRUE(shown.Texts[0].startsWith(QStringLiteral("Refused to load the module")));
}

TEST_F(ModuleTrust, ForeignOwnersAndGroupsAreRefused) {
    if (geteuid() != 0)
        GTEST_SKIP() << "changing owners needs root";
    const QByteArray path = QFile::encodeName(module);
    ASSERT_EQ(chown(path.constData(), 1, 0), 0); // daemon
    EXPECT_TRUE(Why().contains(QStringLiteral("belongs to another user")));
    ASSERT_EQ(chown(path.constData(), 0, 1), 0);
    Mode(module, 0775);
    EXPECT_TRUE(Why().contains(QStringLiteral("members of its group")));
    ASSERT_EQ(chown(path.constData(), 0, 0), 0); // root's group may write
    QString why;
    EXPECT_TRUE(ModulePathIsTrusted(module, &why)) << why.toStdString();
}

} // namespace
