// The script host's file-name routines and its file search.
#include "scripting/FileNames.h"

#include "scripting/FileSearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvara::script {
namespace {

struct NameCase {
    const char* path;
    const char* name;
    const char* folder;
    const char* ext;
    const char* changed; // ChangeFileExt(path, ".new")
};

TEST(FileNames, SplitPathsAsTheHostRoutinesDo) {
    const NameCase cases[] = {
        {"/a/b/c.txt", "c.txt", "/a/b/", ".txt", "/a/b/c.new"},
        {"/a/b.d/c", "c", "/a/b.d/", "", "/a/b.d/c.new"},
        {"c.tar.gz", "c.tar.gz", "", ".gz", "c.tar.new"},
        {"/a/b/", "", "/a/b/", "", "/a/b/.new"},
        {".hidden", ".hidden", "", ".hidden", ".new"},
        {"", "", "", "", ".new"},
        {"noext.", "noext.", "", ".", "noext.new"},
    };
    for (const NameCase& c : cases) {
        const QString path = QString::fromLatin1(c.path);
        EXPECT_EQ(ExtractFileName(path).toStdString(), c.name) << c.path;
        EXPECT_EQ(ExtractFilePath(path).toStdString(), c.folder) << c.path;
        EXPECT_EQ(ExtractFileExt(path).toStdString(), c.ext) << c.path;
        EXPECT_EQ(ChangeFileExt(path, QStringLiteral(".new")).toStdString(), c.changed) << c.path;
    }
}

TEST(FileSearch, GivesEveryMatchInNameOrderThenStops) {
    QTemporaryDir dir;
    for (const char* name : {"b.png", "A.PNG", "c.txt"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    FileSearch search;
    EXPECT_EQ(search.Next(), QString()); // nothing running
    const QString folder = dir.path() + QLatin1Char('/');
    EXPECT_EQ(search.First(dir.path(), QStringLiteral("*.png")), folder + QStringLiteral("A.PNG"));
    EXPECT_TRUE(search.Running());
    EXPECT_EQ(search.Next(), folder + QStringLiteral("b.png"));
    EXPECT_EQ(search.Next(), QString());
    EXPECT_FALSE(search.Running());
    EXPECT_EQ(search.Next(), QString());
    // A new search replaces the running one; closing ends it.
    EXPECT_EQ(search.First(folder, QStringLiteral("?.txt")), folder + QStringLiteral("c.txt"));
    search.First(folder, QStringLiteral("*"));
    search.Close();
    EXPECT_EQ(search.Next(), QString());
    EXPECT_EQ(search.First(folder + QStringLiteral("missing"), QStringLiteral("*")), QString());
    EXPECT_FALSE(search.Running());
}

} // namespace
} // namespace kelvara::script
