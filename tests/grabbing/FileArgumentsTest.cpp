// File names on kelvara's command line open like "/o=": bare names, absolute paths of existing
// files, and everything else left as the switch it is; then the program run on a bare path.
#include "grabbing/uFileArguments.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;
using Args = std::vector<QByteArray>;

TEST(FileArguments, FileNamesBecomeOpenSwitchesAndSwitchesStay) {
    QTemporaryDir dir;
    const QByteArray existing = QFile::encodeName(dir.filePath(QStringLiteral("a b.avi")));
    QFile file(QFile::decodeName(existing));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray missing = QFile::encodeName(dir.filePath(QStringLiteral("gone.avi")));

    EXPECT_EQ(OpenBareFiles({existing, "+bw", "/quit"}), (Args{"/o=" + existing, "+bw", "/quit"}));
    // A relative name is a file name whether it exists or not (the file manager then says so);
    // an absolute path only when it names a file, else it is a switch the runner reports.
    EXPECT_EQ(OpenBareFiles({"clip.avi", missing, "-bw", "/o=x.avi", "--help"}),
              (Args{"/o=clip.avi", missing, "-bw", "/o=x.avi", "--help"}));
    // The script of --run-script is not opened as a video; the names after it are.
    EXPECT_EQ(OpenBareFiles({"--run-script", existing, "clip.avi"}),
              (Args{"--run-script", existing, "/o=clip.avi"}));
    EXPECT_EQ(OpenBareFiles({"", "\xff.avi"}), (Args{"", "/o=\xff.avi"}));
}

TEST(FileArguments, TheProgramStartedOnAPathOpensIt) {
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("bare é.avi"));
    ASSERT_EQ(
        RunTool(QStringLiteral("kelvara-mksample"),
                {QStringLiteral("dv"), clip, QStringLiteral("--seconds"), QStringLiteral("1")})
            .ExitCode,
        0);
    const QString pictures = dir.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    TChildOptions options;
    options.Timeout = std::chrono::seconds(60);
    options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
    TemporaryHive hive; // no preferences: nothing is asked headless, nothing saved
    const TChildRun run = RunChild(ToolPath(QStringLiteral("kelvara")),
                                   {clip, QStringLiteral("/savfold=") + pictures,
                                    QStringLiteral("/g"), QStringLiteral("/quit")},
                                   options);
    ASSERT_TRUE(run.Exited()) << "timed out " << run.TimedOut;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    // Grabbing needs a video: a picture was taken, so the clip was opened.
    const QStringList written = QDir(pictures).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1) << run.Err;
    EXPECT_EQ(written[0], QStringLiteral("Kelvara_0.00.00.00.bmp"));
    EXPECT_FALSE(QImage(QDir(pictures).filePath(written[0])).isNull());
}

} // namespace
