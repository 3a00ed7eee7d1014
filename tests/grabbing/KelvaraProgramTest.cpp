// The kelvara executable started as a user starts it: its switch list, what it says without a
// display, and a headless run that opens a clip from the command line and quits.
#include "commands/uCustomAbstractAction.h"
#include "commands/uSuperAction.h"
#include "grabbing/main.h"
#include "platform/ui/Application.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

TChildRun Kelvara(const QStringList& args, TChildOptions options = {}) {
    options.Timeout = std::chrono::seconds(60);
    options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
    return RunChild(ToolPath(QStringLiteral("kelvara")), args, options);
}

TEST(KelvaraProgram, HelpListsEverySwitchOfTheWindowWithItsOwnSyntax) {
    const TChildRun run = Kelvara({QStringLiteral("--help")});
    ASSERT_TRUE(run.Exited());
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const QString out = QString::fromStdString(run.Out);
    EXPECT_TRUE(out.contains(QStringLiteral("/quit")));
    // Every action of the window that has a switch is listed as the action writes its syntax.
    Application().SetParamStrings(QStringList{});
    TShowForm form;
    int switches = 0;
    for (TCustomZvActionList* list : form.ActionLists())
        for (TCustomAbstractAction* a : list->TypedActions()) {
            if (a->Switch.isEmpty())
                continue;
            ++switches;
            EXPECT_TRUE(
                out.contains(QStringLiteral("  ") + a->GetSwitchSyntax() + QLatin1Char(' ')))
                << a->GetSwitchSyntax().toStdString();
        }
    EXPECT_GT(switches, 10);
    Application().SetParamStrings(std::nullopt);
}

TEST(KelvaraProgram, WithoutADisplayItSaysSoInOneLineInsteadOfAborting) {
    for (const char* display : {"", ":93"}) {
        TChildOptions options;
        options.Environment = {{"QT_QPA_PLATFORM", std::nullopt},
                               {"WAYLAND_DISPLAY", std::nullopt},
                               {"XDG_SESSION_TYPE", std::nullopt}};
        if (*display)
            options.Environment.push_back({"DISPLAY", display});
        else
            options.Environment.push_back({"DISPLAY", std::nullopt});
        const TChildRun run = Kelvara({QStringLiteral("/o=clip.avi")}, options);
        ASSERT_TRUE(run.Exited()) << "signal " << run.Signal;
        EXPECT_EQ(run.ExitCode, 2);
        const QString err = QString::fromStdString(run.Err);
        EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << run.Err;
        EXPECT_TRUE(err.contains(QStringLiteral("QT_QPA_PLATFORM=offscreen"))) << run.Err;
    }
}

TEST(KelvaraProgram, AHeadlessRunOpensTheClipOfTheCommandLineAndQuits) {
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip -é.avi"));
    ASSERT_EQ(
        RunTool(QStringLiteral("kelvara-mksample"),
                {QStringLiteral("dv"), clip, QStringLiteral("--seconds"), QStringLiteral("1")})
            .ExitCode,
        0);
    // Settings kept in the registry: the run finds them and saves the recent files at the end.
    TemporaryHive hive;
    const QString key = QStringLiteral("Software\\Osric Taskel\\Kelvara");
    ASSERT_TRUE(hive.Hive()->CreateKey(key));
    ASSERT_TRUE(hive.Hive()->Flush());
    const TChildRun run =
        Kelvara({QStringLiteral("/o=") + clip, QStringLiteral("+bw"), QStringLiteral("/quit")});
    ASSERT_TRUE(run.Exited()) << "signal " << run.Signal << " timed out " << run.TimedOut;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    QFile saved(hive.Path());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("clip -é.avi"))) << "the clip is the recent file";
    EXPECT_TRUE(text.contains(QStringLiteral("\"BasculerVue\""))) << text.toStdString();
}

} // namespace
