// The application manager in the real main window: the settings and about pages over the
// window (with pictures of both), the options page and the settings it shows followed both ways,
// the help window's lists, the script window's current script run by ExecuteScript, the keys two
// actions share, what comes back at the next start, and "kelvara --run-script" from the command
// line: a script that opens a clip, steps, seeks and grabs gives the picture of that frame, and a
// script that does not compile gives a failed exit and the compiler's message.
#include "commands/uBooleanAction.h"
#include "commands/uHelpForm.h"
#include "commands/uIntegerAction.h"
#include "commands/uRectAction.h"
#include "commands/uScriptForm.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uOptionsFrame.h"
#include "grabbing/uScriptRun.h"
#include "media/uNavMan.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ShortCuts.h"
#include "preferences/uPreferences.h"
#include "shell/uAbout.h"
#include "shell/uZvAppliMan.h"
#include "tests/grabbing/ShowFormFixture.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

using namespace kelvara::test;

TChildRun Kelvara(const QStringList& args) {
    TChildOptions options;
    options.Timeout = std::chrono::seconds(90);
    options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
    return RunChild(ToolPath(QStringLiteral("kelvara")), args, options);
}

class AppliManWindow : public ShowFormFixture {
protected:
    void SetUp() override {
        ShowFormFixture::SetUp();
        form->am->OpenUrl = [this](const QString& address) {
            opened.append(address);
            return true;
        };
        form->activateWindow();
        ProcessMessages();
    }
    // What the window shows just below its tool bar, at its left edge.
    QColor PageArea() const {
        return form->grab().toImage().pixelColor(form->Client->mapTo(form.get(), QPoint(4, 40)));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form.get(), key, modifiers);
        ProcessMessages();
    }
    QStringList opened;
};

TEST_F(AppliManWindow, F10ShowsTheSettingsOverTheWindowF11TheAboutPageAndF11AgainTheWindow) {
    const QColor own = PageArea();
    Key(Qt::Key_F10);
    ASSERT_TRUE(Checked("caOptions"));
    EXPECT_EQ(PageArea(), ToQColor(clSilver));
    EXPECT_TRUE(form->OptionsFrame->isVisible());
    Shot("options");
    Key(Qt::Key_F11);
    EXPECT_FALSE(Checked("caOptions"));
    EXPECT_TRUE(Checked("caAbout"));
    EXPECT_EQ(PageArea(), ToQColor(clAppWorkSpace));
    EXPECT_FALSE(form->OptionsFrame->isVisible());
    EXPECT_TRUE(form->AboutFrame->isVisible());
    Shot("about");
    Key(Qt::Key_F11);
    EXPECT_FALSE(Checked("caAbout"));
    EXPECT_EQ(PageArea(), own);
    // The tool bar stays above the pages: its buttons still reach the page actions.
    Check("caOptions", true);
    const QPoint toolbar = form->barUnique->mapTo(form.get(), QPoint(10, 10));
    EXPECT_EQ(form->childAt(toolbar)->window(), form.get());
    EXPECT_TRUE(form->barUnique->isVisible());
    EXPECT_FALSE(form->am->OptionsPanel()->geometry().contains(
        form->Client->mapFromGlobal(form->barUnique->mapToGlobal(QPoint(10, 10)))));
}

TEST_F(AppliManWindow, OpeningAFileClosesTheSettingsAndAboutPages) {
    Check("caAbout", true);
    Open("tape.avi");
    EXPECT_FALSE(Checked("caAbout"));
    EXPECT_FALSE(form->AboutFrame->isVisible());
}

TEST_F(AppliManWindow, TheOptionsPageAndItsSettingsFollowEachOther) {
    TOptionsFrame* page = form->OptionsFrame;
    TNavMan* nav = form->NavMan;
    page->cbNavPrecise->click();
    EXPECT_EQ(nav->caSeekPrecision->Checked(), page->cbNavPrecise->isChecked());
    nav->caSeekPrecision->SetChecked(!nav->caSeekPrecision->Checked());
    EXPECT_EQ(page->cbNavPrecise->isChecked(), nav->caSeekPrecision->Checked());

    page->seSeekPrepos->setValue(500);
    EXPECT_EQ(nav->iaSeekPrepos->Value(), 500);
    nav->iaSeekPrepos->SetValue(1200);
    EXPECT_EQ(page->seSeekPrepos->value(), 1200);
    page->seMaxSynchro->setValue(40);
    EXPECT_EQ(form->iaMaxSynchro->Value(), 40);
    form->iaMaxSynchro->SetValue(0);
    EXPECT_EQ(page->seMaxSynchro->value(), 0);

    // The three picture options.
    const struct {
        QCheckBox* Box;
        TBooleanAction* Action;
    } pictures[] = {{page->cbConfirmerImage, form->baConfirmerImage},
                    {page->cbRAZwhenOpenFile, form->baRAZWhenOpenFile},
                    {page->cbSauverQuandClic, form->baSauverQuandClic}};
    for (const auto& p : pictures) {
        const bool before = p.Action->Value();
        EXPECT_EQ(p.Box->isChecked(), before) << p.Box->objectName().toStdString();
        p.Box->click();
        EXPECT_EQ(p.Action->Value(), !before) << p.Box->objectName().toStdString();
        p.Action->SetValue(before);
        EXPECT_EQ(p.Box->isChecked(), before) << p.Box->objectName().toStdString();
    }
    // The private decoder packages' controls: PrivateFiltersWindowTest.cpp.
}

TEST_F(AppliManWindow, TheScriptOptionsReachTheScriptWindowsFileManager) {
    TOptionsFrame* page = form->OptionsFrame;
    TFichierMan* scripts = form->am->ScriptForm()->ficman_script();
    ASSERT_TRUE(form->caConserverScript->Checked()); // by default the last script comes back
    page->cbConserverScripts->click();
    EXPECT_FALSE(form->caConserverScript->Checked());
    EXPECT_FALSE(scripts->baOpenLastFile->Value());
    form->caConserverScript->SetChecked(true);
    EXPECT_TRUE(page->cbConserverScripts->isChecked());
    EXPECT_TRUE(scripts->baOpenLastFile->Value());

    QTemporaryDir folder;
    page->ChooseFolder = [&](const QString&) { return folder.path(); };
    page->DossierScriptsButton->click();
    EXPECT_EQ(form->waDossierScripts->Value(), folder.path());
    EXPECT_EQ(scripts->waInitialDir->Value(), folder.path());
    form->waDossierScripts->SetValue(QDir::tempPath());
    EXPECT_EQ(page->deDossierScripts->text(), QDir::tempPath());
    EXPECT_EQ(scripts->waInitialDir->Value(), QDir::tempPath());
}

TEST_F(AppliManWindow, TheSaveModeItemsAndThePreferencesModeFollowEachOther) {
    TOptionsFrame* page = form->OptionsFrame;
    page->PrefsItems->button(2)->click();
    EXPECT_EQ(form->gp->Mode(), spNone);
    form->gp->SetMode(spRegistre);
    EXPECT_TRUE(page->PrefsItems->button(0)->isChecked());
}

TEST_F(AppliManWindow, TheHelpWindowListsTheWindowsAndTheScriptWindowsCommands) {
    THelpForm* help = form->am->HelpForm();
    ASSERT_TRUE(help->ListBox(QStringLiteral("Kelvara")));
    ASSERT_TRUE(help->ListBox(QStringLiteral("Scripts")));
    const auto has = [&](const char* page, const char* name) {
        return !help->ListBox(QString::fromLatin1(page))
                    ->findItems(QString::fromLatin1(name), Qt::MatchExactly)
                    .isEmpty();
    };
    for (const char* name : {"Options", "About", "Grab", "ExecuteScript", "Play", "OpenFile"})
        EXPECT_TRUE(has("Kelvara", name)) << name;
    EXPECT_TRUE(has("Scripts", "ExecuteMacro"));
    EXPECT_FALSE(has("Kelvara", "ExecuteMacro"));
}

TEST_F(AppliManWindow, ExecuteScriptRunsTheScriptWindowsCurrentScript) {
    form->am->ScriptForm()->SetScriptText(
        QStringLiteral("begin\n  Digits(7);\n  setBasculerVue(True);\nend.\n"));
    Key(Qt::Key_F12, Qt::ControlModifier);
    EXPECT_EQ(form->iaDigits->Value(), 7);
    EXPECT_TRUE(form->caBasculerVue->Checked());
}

TEST_F(AppliManWindow, AKeyOfTwoActionsRunsTheOneOfTheMenus) {
    Run("naForcerNative");
    Key(Qt::Key_F5, Qt::AltModifier);
    EXPECT_EQ(form->iaForcerAspectRatio->Value(), int(TVideoMan::faNormal));
    Key(Qt::Key_F6, Qt::AltModifier);
    EXPECT_EQ(form->iaForcerAspectRatio->Value(), int(TVideoMan::faFourThree));
    EXPECT_TRUE(opened.isEmpty()) << opened.join(u' ').toStdString();
    // The e-mail command keeps its key as its shortcut text.
    EXPECT_EQ(form->am->naEMail->ShortCut(), ShortCut(VK_F1 + 4, scAlt));
}

TEST_F(AppliManWindow, WhileTheScriptWindowIsActiveOnlyF1AndF12StillReachTheMainWindow) {
    TScriptForm* script = form->am->ScriptForm();
    Check("caScript", true);
    script->activateWindow();
    ProcessMessages();
    if (QApplication::activeWindow() != script)
        GTEST_SKIP() << "the platform does not activate windows";
    const int digits = form->iaDigits->Value();
    script->SetScriptText(QStringLiteral("begin\n  Digits(%1);\nend.\n").arg(digits + 1));
    QTest::keyClick(script, Qt::Key_F5); // the script window's execute, not the main grab
    ProcessMessages();
    EXPECT_EQ(form->iaDigits->Value(), digits + 1);
    EXPECT_TRUE(form->NextImageName().isEmpty() || !QFile::exists(form->NextImageName()));
    QTest::keyClick(script, Qt::Key_F1);
    ProcessMessages();
    EXPECT_TRUE(Checked("caHelp"));
    script->activateWindow(); // F1 brought the help window to the front
    ProcessMessages();
    QTest::keyClick(script, Qt::Key_F12);
    ProcessMessages();
    EXPECT_FALSE(Checked("caScript"));
}

TEST_F(AppliManWindow, PageStatesAndBoundsComeBackAtTheNextStart) {
    form->close();
    form.reset();
    const QString key = QStringLiteral("Software\\Osric Taskel\\Kelvara");
    ASSERT_TRUE(hive.Hive()->CreateKey(key));
    ASSERT_TRUE(hive.Hive()->Flush());
    {
        TShowForm first;
        first.show();
        ProcessMessages();
        first.am->caScript->SetChecked(true);
        first.setGeometry(30, 40, 980, 700);
        first.am->ScriptForm()->setGeometry(120, 130, 600, 400);
        ProcessMessages();
        first.close();
    }
    QFile saved(hive.Path());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("ScriptForm"))) << text.toStdString();

    form = std::make_unique<TShowForm>(); // the next start
    form->show();
    ProcessMessages();
    EXPECT_TRUE(form->am->caScript->Checked());
    EXPECT_FALSE(form->am->ScriptForm()->isVisible());
    EXPECT_EQ(form->geometry(), QRect(30, 40, 980, 700));
    EXPECT_EQ(form->am->ScriptForm()->geometry(), QRect(120, 130, 600, 400));
    form->am->caScript->Execute(); // F12
    EXPECT_FALSE(form->am->caScript->Checked());
}

TEST_F(AppliManWindow, RunScriptOpensStepsSeeksAndGrabsThePictureOfThatFrame) {
    const QString clip = Clip("numbers.mp4");
    constexpr int kFrame = 30; // 0:00:01:05 at 25 frames a second
    const TReference ref = DecodeReference(clip.toStdString(), {kFrame});
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("grab one.txt"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("begin\n"
                              "  OpenFile('%1');\n"
                              "  processmessages;\n"
                              "  setSeekPrecision(True);\n"
                              "  AvanceFrame;\n"
                              "  AvanceFrame;\n"
                              "  Position('0:00:01:05');\n"
                              "  Grab;\n"
                              "end.\n")
                   .arg(clip)
                   .toUtf8());
    file.close();
    const QString pictures = dir.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    const TChildRun run =
        Kelvara({QStringLiteral("--run-script"), script, QStringLiteral("/savfold=") + pictures,
                 QStringLiteral("/root=rs"), QStringLiteral("/arNat"), QStringLiteral("/quit")});
    ASSERT_TRUE(run.Exited()) << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const QString err = QString::fromStdString(run.Err);
    EXPECT_TRUE(err.contains(QStringLiteral("*** Compilation succeeded ***"))) << run.Err;
    EXPECT_TRUE(err.contains(QStringLiteral("*** Succesfully Executed ***"))) << run.Err;
    const QStringList written = QDir(pictures).entryList(QDir::Files);
    ASSERT_EQ(written, QStringList{QStringLiteral("rs_0.00.01.05.bmp")}) << run.Err;
    const QImage picture(QDir(pictures).filePath(written.first()));
    const TRgbImage rgb = RgbOf(picture);
    EXPECT_EQ(ReadNumber(rgb), kFrame);
    EXPECT_GT(Psnr(rgb, ref.pictures.at(kFrame)), 45.0);
}

TEST_F(AppliManWindow, RunScriptOfAScriptThatDoesNotCompileFailsWithTheCompilersMessage) {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("bad.txt"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("begin\n  Grabb;\nend.\n");
    file.close();
    const TChildRun run =
        Kelvara({QStringLiteral("--run-script"), script, QStringLiteral("/quit")});
    ASSERT_TRUE(run.Exited()) << run.Err;
    EXPECT_NE(run.ExitCode, 0);
    const QString err = QString::fromStdString(run.Err);
    EXPECT_TRUE(err.contains(QStringLiteral("Grabb"))) << run.Err;
    EXPECT_TRUE(err.contains(QStringLiteral("### Compilation Failed"))) << run.Err;

    const TChildRun missing =
        Kelvara({QStringLiteral("--run-script"), dir.filePath(QStringLiteral("none.txt")),
                 QStringLiteral("/quit")});
    ASSERT_TRUE(missing.Exited()) << missing.Err;
    EXPECT_NE(missing.ExitCode, 0);
    EXPECT_TRUE(QString::fromStdString(missing.Err).contains(QStringLiteral("none.txt")));
}

TEST_F(AppliManWindow, ExecOnTheCommandLineRunsTheScriptLeftOpenLastTime) {
    // Settings kept in the registry, so that the script window reopens its last script.
    const QString key = QStringLiteral("Software\\Osric Taskel\\Kelvara");
    ASSERT_TRUE(hive.Hive()->CreateKey(key));
    ASSERT_TRUE(hive.Hive()->Flush());
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("digits.txt"));
    const auto write = [&](int digits) {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("begin\n  Digits(%1);\nend.\n").arg(digits).toUtf8());
    };
    const auto savedDigits = [&] {
        QFile saved(hive.Path());
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(saved.readAll());
        const qsizetype at = text.indexOf(QStringLiteral("\"Digits\"=dword:"));
        return at < 0 ? -1 : text.mid(at + 15, 8).toInt(nullptr, 16);
    };
    write(3);
    TChildRun run = Kelvara({QStringLiteral("--run-script"), script, QStringLiteral("/quit")});
    ASSERT_TRUE(run.Exited()) << run.Err;
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(savedDigits(), 3);
    write(7); // the file changed on disk since: /exec runs what the file now says
    run = Kelvara({QStringLiteral("/exec"), QStringLiteral("/quit")});
    ASSERT_TRUE(run.Exited()) << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(savedDigits(), 7);
}

TEST(ScriptRunArguments, TheFileAndTheQuitSwitchAreTakenOutOfTheSwitches) {
    const TScriptRunArguments a = ParseScriptRun(
        {QStringLiteral("/g"), QStringLiteral("--run-script"), QStringLiteral("my script.txt"),
         QStringLiteral("+QUIT"), QStringLiteral("/dig=4"), QStringLiteral("/quitter")});
    EXPECT_TRUE(a.Wanted);
    EXPECT_EQ(a.File, QStringLiteral("my script.txt"));
    EXPECT_TRUE(a.Quit);
    EXPECT_EQ(a.Switches, (QStringList{QStringLiteral("/g"), QStringLiteral("/dig=4"),
                                       QStringLiteral("/quitter")}));
    const TScriptRunArguments joined =
        ParseScriptRun({QStringLiteral("--run-script=a.txt"), QStringLiteral("/quit=1")});
    EXPECT_EQ(joined.File, QStringLiteral("a.txt"));
    EXPECT_TRUE(joined.Quit);
    EXPECT_TRUE(joined.Switches.isEmpty());
    const TScriptRunArguments missing = ParseScriptRun({QStringLiteral("--run-script")});
    EXPECT_TRUE(missing.Wanted);
    EXPECT_TRUE(missing.File.isEmpty());
    EXPECT_FALSE(ParseScriptRun({QStringLiteral("/o=clip.avi")}).Wanted);
}

TEST(ScriptRunArguments, TheHelpNamesTheOption) {
    const TChildRun run = Kelvara({QStringLiteral("--help")});
    ASSERT_TRUE(run.Exited());
    EXPECT_TRUE(QString::fromStdString(run.Out).contains(QStringLiteral("--run-script FILE")));
}

} // namespace
