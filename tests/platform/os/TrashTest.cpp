// Moving files to the desktop trash. Each test gives the process a home and data folder of its
// own (inside a temporary folder), so the trash it fills is never the real user's.
#include "platform/os/Trash.h"

#include <memory>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString TrashFiles() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Trash/files"));
}

class Trash : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FHome.isValid());
        qputenv("HOME", QFile::encodeName(FHome.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(FHome.filePath(QStringLiteral(".local/share"))));
        ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                  FHome.filePath(QStringLiteral(".local/share")));
        FDir =
            std::make_unique<QTemporaryDir>(QDir::home().filePath(QStringLiteral("files-XXXXXX")));
    }

    QTemporaryDir FHome;
    // A folder in the home folder, on the same volume as the home trash.
    std::unique_ptr<QTemporaryDir> FDir;

    QString MakeFile(const QString& name, QFileDevice::Permissions permissions) {
        const QString path = FDir->filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("content");
        f.close();
        QFile::setPermissions(path, permissions);
        return path;
    }
};

TEST_F(Trash, MovesAReadOnlyFileAway) {
    ASSERT_TRUE(FDir->isValid());
    const QString name = QStringLiteral("read-only %1.txt").arg(QFileInfo(FDir->path()).fileName());
    const QString path = MakeFile(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QString error;
    ASSERT_TRUE(kelvara::os::MoveFileToTrash(path, &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    const QStringList trashed = QDir(TrashFiles()).entryList({name + QLatin1Char('*')});
    EXPECT_EQ(trashed.size(), 1);
}

TEST_F(Trash, MovesAFolder) {
    ASSERT_TRUE(FDir->isValid());
    const QString folder =
        FDir->filePath(QStringLiteral("sub-%1").arg(QFileInfo(FDir->path()).fileName()));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(kelvara::os::MoveFileToTrash(folder));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(Trash, AMissingFileIsAFailure) {
    QString error;
    EXPECT_FALSE(kelvara::os::MoveFileToTrash(FDir->filePath(QStringLiteral("none.txt")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(kelvara::os::MoveFileToTrash(QString()));
}

} // namespace
