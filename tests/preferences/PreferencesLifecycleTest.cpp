// The preferences component on a real window that calls it from its show and close handling, as
// the main window does: loading at the first show, the save-mode question and saving at the
// close, once per run.
#include "platform/ui/ScriptedDialogs.h"
#include "preferences/uIniPreferencesMan.h"
#include "preferences/uPreferences.h"
#include "preferences/uRegPreferencesMan.h"
#include "preferences/uSavePrefs.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <memory>

#include <QCloseEvent>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A main window that notes its own show and close handling and hands both to its preferences.
class RecordingWindow : public QWidget {
public:
    QStringList* log = nullptr;
    TTaskelPreferences* gp = nullptr;
    bool refuseClose = false;

protected:
    void showEvent(QShowEvent*) override {
        gp->LoadAll([this] { log->append(QStringLiteral("window show")); });
    }
    void closeEvent(QCloseEvent* e) override {
        bool canClose = true;
        gp->SaveAll(canClose, [this](bool& ok) {
            log->append(QStringLiteral("window close"));
            ok = !refuseClose;
        });
        e->setAccepted(canClose);
    }
};

// One run of the program: a window with its preferences component, which saves "Digits".
class ProgramRun {
public:
    ProgramRun(const QString& folder, QStringList& log) {
        window = std::make_unique<RecordingWindow>();
        window->log = &log;
        gp = new TTaskelPreferences(window.get()); // owned by the window
        window->gp = gp;
        gp->SetTitre(QStringLiteral("Kelvara"));
        gp->SetVersion(QStringLiteral("Kelvara 1.0 en by Osric Taskel"));
        gp->SetProgramFolder(folder);
        gp->OnLoadPrefs = [this, &log](TTaskelPreferences& p) {
            log.append(QStringLiteral("load"));
            p.OpenSection(QStringLiteral("ShowForm"));
            loaded = p.ReadInteger(QStringLiteral("Digits"), -1);
            p.CloseSection();
        };
        gp->OnSavePrefs = [this, &log](TTaskelPreferences& p) {
            log.append(QStringLiteral("save"));
            p.OpenSection(QStringLiteral("ShowForm"));
            p.WriteInteger(QStringLiteral("Digits"), digits);
            p.CloseSection();
        };
    }

    std::unique_ptr<RecordingWindow> window;
    TTaskelPreferences* gp;
    int32_t loaded = 0;
    int32_t digits = 6;
};

class PreferencesLifecycle : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    QString IniPath() const { return folder.filePath(QStringLiteral("Kelvara.ini")); }
    const QString Key = QStringLiteral("Software\\Osric Taskel\\Kelvara");

    kelvara::test::TemporaryHive hive;
    QTemporaryDir folder;
    QStringList log;
};

TEST_F(PreferencesLifecycle, AFirstRunLoadsNothingAndAsksAtClosing) {
    TScriptedDialogs dialogs;
    ProgramRun run(folder.path(), log);
    run.window->show();
    EXPECT_EQ(log, (QStringList{"window show", "load"})); // the window's own show comes first
    EXPECT_EQ(run.gp->Mode(), spNone);
    EXPECT_EQ(run.loaded, -1);

    // Closing the question without a choice keeps the window open.
    dialogs.Answer(mrCancel);
    EXPECT_FALSE(run.window->close());
    EXPECT_TRUE(run.window->isVisible());
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Caption,
              QStringLiteral("Saving the preferences of Kelvara"));
    EXPECT_EQ(dialogs.Asked()[0].Request.Buttons.size(), 3);
    EXPECT_TRUE(run.gp->SavePending());

    // The next close asks again; a choice lets the window close.
    dialogs.Answer(TSavePrefsForm::ResultOf(spPortable));
    EXPECT_TRUE(run.window->close());
    EXPECT_EQ(dialogs.Asked().size(), 2);
    EXPECT_EQ(run.gp->Mode(), spPortable);
    EXPECT_FALSE(run.gp->SavePending());
    EXPECT_EQ(log.mid(2), (QStringList{"window close", "window close", "save"}));
    EXPECT_FALSE(QFile::exists(IniPath())); // written when the component goes, not at the choice
    run.window.reset();
    ASSERT_TRUE(QFile::exists(IniPath()));

    TIniPreferencesMan ini(IniPath(), false);
    QString version;
    EXPECT_TRUE(ini.ReadString(QStringLiteral("Version"), version));
    EXPECT_EQ(version, QStringLiteral("Kelvara 1.0 en by Osric Taskel"));
    EXPECT_EQ(ini.Lines().mid(4, 3), (QStringList{"", "[ShowForm]", "Digits=6"}));
}

TEST_F(PreferencesLifecycle, TheNextRunLoadsWhatTheLastOneSaved) {
    for (TSavePreferences mode : {spRegistre, spPortable}) {
        SCOPED_TRACE(mode);
        {
            TScriptedDialogs dialogs;
            dialogs.Answer(TSavePrefsForm::ResultOf(mode));
            ProgramRun first(folder.path(), log);
            first.digits = 40 + mode;
            first.window->show();
            first.window->close();
        }
        EXPECT_EQ(QFile::exists(IniPath()), mode == spPortable);
        EXPECT_EQ(RegistryKeyExists(Key), mode == spRegistre);
        TScriptedDialogs dialogs; // no question expected
        ProgramRun second(folder.path(), log);
        second.window->show();
        EXPECT_EQ(second.gp->Mode(), mode);
        EXPECT_EQ(second.loaded, 40 + mode);
        second.digits = 50;
        EXPECT_TRUE(second.window->close());
        EXPECT_TRUE(dialogs.Asked().isEmpty());
        second.window.reset();
        ProgramRun third(folder.path(), log);
        third.window->show();
        EXPECT_EQ(third.loaded, 50);
        third.gp->SetMode(spNone); // clean up for the next mode
    }
}

TEST_F(PreferencesLifecycle, AfterNoneTheNextRunAsksAgain) {
    {
        TScriptedDialogs dialogs;
        dialogs.Answer(TSavePrefsForm::ResultOf(spNone));
        ProgramRun run(folder.path(), log);
        run.window->show();
        EXPECT_TRUE(run.window->close());
        EXPECT_FALSE(log.contains(QStringLiteral("save")));
    }
    EXPECT_FALSE(QFile::exists(IniPath()));
    EXPECT_FALSE(RegistryKeyExists(Key));
    TScriptedDialogs dialogs;
    dialogs.Answer(TSavePrefsForm::ResultOf(spNone));
    ProgramRun run(folder.path(), log);
    run.window->show();
    EXPECT_EQ(run.loaded, -1);
    run.window->close();
    EXPECT_EQ(dialogs.Asked().size(), 1);
}

TEST_F(PreferencesLifecycle, AnIniFileBesideTheProgramWinsOverTheRegistry) {
    {
        TIniPreferencesMan ini(IniPath(), true);
        ini.OpenKey(QStringLiteral("ShowForm"), true);
        ini.WriteInteger(QStringLiteral("Digits"), 8);
    }
    RegistryHive::User()->CreateKey(Key + QStringLiteral("\\ShowForm"));
    RegistryHive::User()->SetValue(Key + QStringLiteral("\\ShowForm"), QStringLiteral("Digits"),
                                   RegValue::FromDword(9));
    ProgramRun run(folder.path(), log);
    run.window->show();
    EXPECT_EQ(run.gp->Mode(), spPortable);
    EXPECT_EQ(run.loaded, 8);
    EXPECT_FALSE(RegistryKeyExists(Key)); // entering the portable mode erased the registry tree
}

TEST_F(PreferencesLifecycle, AWindowThatRefusesToCloseIsNotSaved) {
    TScriptedDialogs dialogs;
    ProgramRun run(folder.path(), log);
    run.window->show();
    run.window->refuseClose = true;
    EXPECT_FALSE(run.window->close());
    EXPECT_TRUE(dialogs.Asked().isEmpty());
    EXPECT_TRUE(run.gp->SavePending());
    run.window->refuseClose = false;
    dialogs.Answer(TSavePrefsForm::ResultOf(spRegistre));
    EXPECT_TRUE(run.window->close());
    EXPECT_EQ(RegistryHive::User()
                  ->Value(Key + QStringLiteral("\\ShowForm"), QStringLiteral("Digits"))
                  ->AsDword(),
              6u);
}

TEST_F(PreferencesLifecycle, LoadsOnceAndSavesOnce) {
    TScriptedDialogs dialogs;
    dialogs.Answer(TSavePrefsForm::ResultOf(spRegistre));
    ProgramRun run(folder.path(), log);
    run.window->show();
    run.window->hide();
    run.window->show();
    EXPECT_EQ(log.count(QStringLiteral("load")), 1);
    EXPECT_EQ(log.count(QStringLiteral("window show")), 2);
    EXPECT_TRUE(run.window->close());
    run.window->show();
    EXPECT_TRUE(run.window->close()); // done once: nothing is asked or saved again
    EXPECT_EQ(log.count(QStringLiteral("save")), 1);
    EXPECT_EQ(dialogs.Asked().size(), 1);
}

TEST_F(PreferencesLifecycle, AHeadlessRunWithoutAnswersClosesWithoutSaving) {
    ProgramRun run(folder.path(),
                   log); // no scripted answers: the offscreen platform has nobody to ask
    run.window->show();
    EXPECT_TRUE(run.window->close());
    EXPECT_EQ(run.gp->Mode(), spNone);
    EXPECT_FALSE(log.contains(QStringLiteral("save")));
}

} // namespace
