// kelvara on a real X server (Xvfb), driven with real key and mouse events by xdotool
// (tests/grabbing/xvfb/drive.sh): F5 grabs, a click on the video grabs the next frame, Alt+F4
// quits and the preferences are saved. Skipped when Xvfb or xdotool is missing.
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

TEST(XvfbProgram, KeysAndClicksGrabAndAltF4QuitsSavingThePreferences) {
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("tape.avi"));
    ASSERT_EQ(RunTool(QStringLiteral("kelvara-mksample"),
                      {QStringLiteral("dv"), clip, QStringLiteral("--seconds"), QStringLiteral("2"),
                       QStringLiteral("--avi-type"), QStringLiteral("1")})
                  .ExitCode,
              0);
    const QString pictures = dir.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    // Settings kept in the registry already, so that the close asks nothing.
    TemporaryHive hive;
    ASSERT_TRUE(hive.Hive()->CreateKey(QStringLiteral("Software\\Osric Taskel\\Kelvara")));
    ASSERT_TRUE(hive.Hive()->Flush());

    TChildOptions options;
    options.Timeout = std::chrono::seconds(90);
    options.Environment.push_back({"QT_QPA_PLATFORM", std::nullopt});
    const TChildRun run = RunChild(
        QStringLiteral(KELVARA_SOURCE_DIR "/tests/grabbing/xvfb/drive.sh"),
        {ToolPath(QStringLiteral("kelvara")), clip, pictures, QDir::currentPath()}, options);
    if (run.Exited() && run.ExitCode == 77)
        GTEST_SKIP() << "Xvfb or xdotool is not installed (scripts/install-deps.sh installs them)";
    ASSERT_TRUE(run.Exited()) << "timed out " << run.TimedOut << "\n" << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;

    // Numbered pictures: the key's and the click's, of two different frames.
    const QStringList written = QDir(pictures).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(written.size(), 2) << run.Err;
    const QImage first(QDir(pictures).filePath(written[0]));
    const QImage second(QDir(pictures).filePath(written[1]));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first, second) << "the step between the grabs changed nothing";

    QFile saved(hive.Path());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(saved.readAll()).contains(QStringLiteral("tape.avi")))
        << "the clip is the recent file of the saved preferences";
}

} // namespace
