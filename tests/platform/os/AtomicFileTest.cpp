// Replacing a file through a temporary file: complete or not at all.
#include "platform/os/AtomicFile.h"

#include "tests/platform/registry/HiveTestSupport.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(AtomicFile, ReplacesAFileAndKeepsItsPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    ASSERT_TRUE(AtomicFile::Write(path, "first"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    ASSERT_TRUE(AtomicFile::Write(path, "second"));
    EXPECT_EQ(kelvara::test::ReadAll(path), QByteArray("second"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.ini"});
}

TEST(AtomicFile, AFailedWriteLeavesNothingBehind) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(AtomicFile::Write(dir.filePath(QStringLiteral("missing/folder/x")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    // A folder in the way of the rename.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    EXPECT_FALSE(AtomicFile::Write(blocked, "x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QByteArray content;
    EXPECT_FALSE(AtomicFile::Read(dir.filePath(QStringLiteral("none")), content));
}

} // namespace
