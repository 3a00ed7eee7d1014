// Files named by the bytes of their names: a name that is no UTF-8 still opens the same file
// through the toolkit, and anything but a regular file is told apart without being opened.
#include "platform/os/NativeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class NativeFile : public testing::Test {
protected:
    QByteArray Native(const char* name) const {
        return QFile::encodeName(FDir.path()) + '/' + QByteArray(name);
    }
    // Writes the file with its name's bytes as they are.
    void Write(const QByteArray& name, const QByteArray& bytes) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    QTemporaryDir FDir;
};

TEST_F(NativeFile, ANameThatIsNoUtf8OpensTheSameFileThroughTheToolkit) {
    const QByteArray name = Native("clip\xff\xfe.dv");
    Write(name, "the clip's bytes");
    Write(Native("clip\xef\xbf\xbd\xef\xbf\xbd.dv"), "what the decoded name names");
    TNativeFile file(name);
    ASSERT_EQ(file.Kind(), TNativeFile::TKind::Regular);
    EXPECT_EQ(file.DisplayName(), QFile::decodeName(name));
    QFile opened(file.Path());
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly)) << file.Path().toStdString();
    EXPECT_EQ(opened.readAll(), QByteArray("the clip's bytes"));
}

// A folder whose name is no UTF-8: names beside the file (a script's includes) still resolve.
TEST_F(NativeFile, ANameInAFolderThatIsNoUtf8KeepsItsFolder) {
    const QByteArray folder = Native("f\xff");
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    Write(folder + "/main.txt", "main");
    Write(folder + "/part.inc", "part");
    TNativeFile file(folder + "/main.txt");
    ASSERT_EQ(file.Kind(), TNativeFile::TKind::Regular);
    QFile main(file.Path());
    ASSERT_TRUE(main.open(QIODevice::ReadOnly)) << file.Path().toStdString();
    EXPECT_EQ(main.readAll(), QByteArray("main"));
    QFile beside(QFileInfo(file.Path()).dir().filePath(QStringLiteral("part.inc")));
    ASSERT_TRUE(beside.open(QIODevice::ReadOnly)) << beside.fileName().toStdString();
    EXPECT_EQ(beside.readAll(), QByteArray("part"));
}

TEST_F(NativeFile, AUtf8NameIsItsOwnPath) {
    const QByteArray name = Native("caf\xc3\xa9.avi");
    Write(name, "x");
    TNativeFile file(name);
    ASSERT_EQ(file.Kind(), TNativeFile::TKind::Regular);
    EXPECT_EQ(file.Path(), QString::fromUtf8(name));
}

TEST_F(NativeFile, WhatIsNoRegularFileIsToldApartWithoutOpeningIt) {
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("folder.avi")));
    // Opening a FIFO for reading waits for a writer: a look that opened it would hang here.
    ASSERT_EQ(::mkfifo(Native("pipe.avi").constData(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/null", Native("null.mpg").constData()), 0);
    Write(Native("plain"), "x");
    struct TCase {
        QByteArray Name;
        TNativeFile::TKind Kind;
    };
    const TCase cases[] = {
        {Native("folder.avi"), TNativeFile::TKind::Folder},
        {Native("pipe.avi"), TNativeFile::TKind::Other},
        {Native("null.mpg"), TNativeFile::TKind::Other},
        {Native("missing.dv"), TNativeFile::TKind::Missing},
        {Native("plain/below.dv"), TNativeFile::TKind::Missing},
        {QByteArray(), TNativeFile::TKind::Missing},
        {QByteArray("a\0b", 3), TNativeFile::TKind::Missing},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        TNativeFile file(c.Name);
        EXPECT_EQ(file.Kind(), c.Kind);
        EXPECT_TRUE(file.Path().isEmpty());
    }
}

} // namespace
