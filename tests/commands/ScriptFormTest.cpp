// The script window as the user meets it: macros recorded from actions applied through menus,
// shortcuts, tool buttons and settings controls, and executed back to the same values; compile
// and run messages in the pane with the caret on the error; the recorder's nesting rules; the
// window's file commands, its status panels and its keyboard; and what the window looks like.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uColorAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uFontAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uMacroRecorder.h"
#include "commands/uNopeAction.h"
#include "commands/uPointAction.h"
#include "commands/uRectAction.h"
#include "commands/uScriptForm.h"
#include "commands/uWidestringAction.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/ShortCuts.h"
#include "scripting/uZvScript.h"
#include "shell/uFichierMan.h"
#include "shell/uZvControls.h"
#include "tests/commands/support/FakePreferences.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

namespace {

QStringList Lines(const QString& text) {
    return text.split(u'\n');
}

QString ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A main window with a few actions of different kinds, attached to the script window's host as
// the program attaches its lists; the script window's macro list comes last.
class ScriptForm : public testing::Test {
protected:
    void SetUp() override {
        MacroRecorder = nullptr;
        MacroNesting = false;
        digits = Make<TIntegerAction>("iaDigits", "Digits");
        digits->OnInternalPrepare = [this](int32_t& v) {
            v = promptedDigits;
            return true;
        };
        digits->OnAfterApply = [this](const int32_t& v) {
            log << QStringLiteral("Digits %1").arg(v);
        };
        root = Make<TWidestringAction>("waRoot", "Root");
        root->OnInternalPrepare = [this](QString& v) {
            v = promptedRoot;
            return true;
        };
        offset = Make<TDoubleAction>("daOffset", "Offset");
        place = Make<TPointAction>("paPlace", "Place");
        confirm = Make<TBooleanAction>("baConfirm", "Confirm");
        colour = Make<TColorAction>("laInk", "Ink");
        font = Make<TFontAction>("faInsertFont", "InsertFont");
        frame = Make<TRectAction>("raFrame", "Frame");
        flag = Make<TCheckAction>("caFlag", "Flag");
        flag->SetShortCut(ShortCut(VK_F1 + 5)); // F6, a shortcut of the main window
        grab = Make<TNopeAction>("naGrab", "Grab");
        grab->OnAfterApply = [this] { log << QStringLiteral("Grab with %1").arg(digits->Value()); };
        page = Make<TCheckAction>("caScript", "Script");
        page->SetShortCut(ShortCut(VK_F1 + 11));
        page->OnAfterTrueApply = [this] { digits->SetValue(99); };
        help = Make<TCheckAction>("caHelp", "Help");
        help->SetShortCut(ShortCut(VK_F1));
        list.SetPascalScript(form.ZvScript());
        form.al_script()->SetPascalScript(form.ZvScript());
    }
    void TearDown() override {
        MacroRecorder = nullptr;
        MacroNesting = false;
    }
    template <class T>
    T* Make(const char* id, const char* scriptName) {
        auto* a = new T(QString::fromLatin1(id), &list);
        a->ScriptName = QString::fromLatin1(scriptName);
        return a;
    }
    // The recorded lines after the heading, the empty line and begin.
    QStringList RecordedBody() const {
        QStringList lines = Lines(form.ScriptText());
        EXPECT_EQ(lines.value(lines.size() - 1), QString()) << "each line ends with a break";
        lines.removeLast();
        return lines.mid(3);
    }
    // Shown and the application's active window (a window owned by another one counts as
    // active as soon as its owner is, so the active window itself is awaited).
    bool ShowActive(QWidget& w) {
        w.show();
        w.activateWindow();
        return QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; });
    }

    QMainWindow main;
    TZvActionList list{&main};
    TScriptForm form{&main}; // a window of its own, owned by the main window as in the program
    TIntegerAction* digits = nullptr;
    TWidestringAction* root = nullptr;
    TDoubleAction* offset = nullptr;
    TPointAction* place = nullptr;
    TBooleanAction* confirm = nullptr;
    TColorAction* colour = nullptr;
    TFontAction* font = nullptr;
    TRectAction* frame = nullptr;
    TCheckAction* flag = nullptr;
    TNopeAction* grab = nullptr;
    TCheckAction* page = nullptr;
    TCheckAction* help = nullptr;
    int32_t promptedDigits = 0;
    QString promptedRoot;
    QStringList log;
};

// ---- recording and replaying

TEST_F(ScriptForm, RecordedActionsReplayWithTheSameValues) {
    QMenu menu;
    QAction* rootItem = AddActionItem(&menu, root, QStringLiteral("Root..."));
    TZvToolButton grabButton;
    grabButton.SetAction(grab);
    QSpinBox spin;
    QObject::connect(&spin, &QSpinBox::valueChanged, [this](int v) { digits->SetValue(v); });

    TFont arial;
    arial.Name = QStringLiteral("Arial");
    arial.SetSize(12);
    arial.Color = 0x0000FF;
    arial.SetStyle(fsBold, true);
    arial.SetStyle(fsStrikeOut, true);
    ASSERT_TRUE(ShowActive(main));

    form.naStartMacro->trigger();
    ASSERT_TRUE(form.Recording());
    promptedRoot = QStringLiteral("l'été");
    rootItem->trigger();                // a menu item that asks for a text
    spin.setValue(4);                   // a settings control
    grabButton.click();                 // a tool button
    QTest::keyClick(&main, Qt::Key_F6); // a shortcut
    offset->SetValue(2.5);              // the program changing a setting like the user
    place->SetValue({5, -7});
    confirm->SetValue(true);
    colour->SetValue(0x00A0FF);
    font->SetValue(arial);
    frame->SetValue({10, 20, 300, 400});
    form.naStopMacro->trigger();
    EXPECT_FALSE(form.Recording());

    const QStringList lines = Lines(form.ScriptText());
    ASSERT_GE(lines.size(), 4);
    ASSERT_EQ(lines.last(), QString());
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("//Macro saved on "))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral(" at ")));
    EXPECT_EQ(lines.mid(1),
              (QStringList{"", "begin", "    Root('l''été');", "    Digits(4);", "    Grab;",
                           "    setFlag(True);", "    Offset(2.5);", "    Place(5,-7);",
                           "    Confirm(True);", "    Ink($00A0FF);",
                           "    InsertFont('Arial', 12, $0000FF, True, False, False, True);",
                           "    Frame(10,300,20,400);", "end.", ""}));

    // Other values, set without recording; then the macro gives the recorded ones back.
    root->SetValue(QStringLiteral("x"));
    digits->SetValue(1);
    flag->SetChecked(false);
    offset->SetValue(0);
    place->SetValue({0, 0});
    confirm->SetValue(false);
    colour->SetValue(0);
    font->SetValue(TFont());
    frame->SetValue({});
    log.clear();
    EXPECT_TRUE(form.ExecuteScript()) << form.Messages().join(u'\n').toStdString();
    EXPECT_EQ(root->Value(), QStringLiteral("l'été"));
    EXPECT_EQ(digits->Value(), 4);
    EXPECT_TRUE(flag->Checked());
    EXPECT_EQ(offset->Value(), 2.5);
    EXPECT_EQ(place->Value(), (TPoint{5, -7}));
    EXPECT_TRUE(confirm->Value());
    EXPECT_EQ(colour->Value(), 0x00A0FF);
    EXPECT_EQ(font->Value().Name, arial.Name);
    EXPECT_EQ(font->Value().Size(), 12);
    EXPECT_EQ(font->Value().Color, arial.Color);
    EXPECT_EQ(font->Value().Style, arial.Style);
    EXPECT_EQ(frame->Value(), (TRect{10, 20, 300, 400}));
    EXPECT_EQ(log, (QStringList{"Digits 4", "Grab with 4"}));
    EXPECT_EQ(form.Messages(),
              (QStringList{"*** Compilation succeeded ***", "*** Succesfully Executed ***"}));
}

TEST_F(ScriptForm, ACheckActionChangedFromTheGuiRecordsItsSetLine) {
    form.StartMacro();
    flag->trigger();
    form.StopMacro();
    EXPECT_EQ(RecordedBody(), (QStringList{"    setFlag(True);", "end."}));
    EXPECT_EQ(Lines(form.ScriptText())[1], QString());
    EXPECT_EQ(Lines(form.ScriptText())[2], QStringLiteral("begin"));
}

TEST_F(ScriptForm, TheScriptPageActionAndWhatItTriggersAreNotRecorded) {
    form.StartMacro();
    page->trigger();
    EXPECT_TRUE(page->Checked());
    EXPECT_EQ(digits->Value(), 99); // applied, not recorded
    grab->trigger();
    form.StopMacro();
    EXPECT_EQ(RecordedBody(), (QStringList{"    Grab;", "end."}));
}

TEST_F(ScriptForm, AMacroExecutedWhileRecordingDoesNotRecordItsLinesAgain) {
    form.StartMacro();
    digits->SetValue(4);
    // The user ends the program by hand and runs it (F5) while the recorder is still on.
    form.Editor()->append(QStringLiteral("end."));
    digits->SetValue(0);
    form.naExecuteMacro->trigger();
    EXPECT_EQ(digits->Value(), 4) << form.Messages().join(u'\n').toStdString();
    EXPECT_TRUE(form.Recording());
    EXPECT_EQ(RecordedBody(),
              (QStringList{"    Digits(4);", "end.", "    Digits(0);", "    ExecuteMacro;"}));
    // Executing through the window's own entry point records nothing at all.
    form.SetScriptText(QStringLiteral("begin Digits(8); Grab; end."));
    EXPECT_TRUE(form.ExecuteScript());
    EXPECT_EQ(form.ScriptText(), QStringLiteral("begin Digits(8); Grab; end."));
    EXPECT_EQ(digits->Value(), 8);
}

TEST_F(ScriptForm, StartingAgainRestartsAndStoppingTwiceEndsOnce) {
    form.StartMacro();
    grab->trigger();
    form.StartMacro();
    digits->SetValue(3);
    form.hide(); // recording survives hiding the window
    grab->trigger();
    form.StopMacro();
    form.StopMacro();
    grab->trigger();
    EXPECT_EQ(RecordedBody(), (QStringList{"    Digits(3);", "    Grab;", "end."}));
}

TEST_F(ScriptForm, TheWindowsFileCommandsAreNeverRecorded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("macro.txt"));
    TScriptedDialogs dialogs;
    form.ficman_script()->SaveDialog = [&](const QString&, const QString&, const QString&,
                                           const QString&) { return path; };
    form.StartMacro();
    form.ficman_script()->waSaveFileAs->trigger(); // the menu's Save as
    grab->trigger();
    form.ficman_script()->naSaveFile->trigger(); // the tool bar's Save
    form.StopMacro();
    EXPECT_EQ(RecordedBody(), (QStringList{"    Grab;", "end."}));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(ReadFile(path).contains(QStringLiteral("    Grab;")));
}

TEST_F(ScriptForm, DestroyingTheWindowEndsItsRecording) {
    {
        TScriptForm other;
        other.StartMacro();
        EXPECT_NE(MacroRecorder, nullptr);
    }
    EXPECT_EQ(MacroRecorder, nullptr);
    grab->trigger(); // nothing left to write into
}

// ---- compiling and running

TEST_F(ScriptForm, AScriptSetsTheIntegerAndGrabsAsTheUserWould) {
    promptedDigits = 5;
    digits->trigger();
    grab->trigger();
    const QStringList byHand = log;
    log.clear();
    digits->SetValue(0);
    log.clear();
    form.SetScriptText(QStringLiteral("begin\n  Digits(5);\n  Grab;\nend."));
    EXPECT_TRUE(form.ExecuteScript());
    EXPECT_EQ(log, byHand);
    EXPECT_EQ(digits->Value(), 5);
}

TEST_F(ScriptForm, AFailedCompilationIsNotRunEvenAfterAnEarlierSuccess) {
    form.SetScriptText(QStringLiteral("begin Digits(1); end."));
    ASSERT_TRUE(form.ExecuteScript());
    form.SetScriptText(QStringLiteral("begin Digits(2) Grab; end."));
    EXPECT_FALSE(form.ExecuteScript());
    const QStringList messages = form.Messages();
    ASSERT_GE(messages.size(), 3);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("[Error]"))) << messages[0].toStdString();
    EXPECT_EQ(messages.mid(messages.size() - 2),
              (QStringList{"### Compilation Failed", "### Compilation not Ready"}));
    EXPECT_EQ(digits->Value(), 1);
    EXPECT_EQ(form.findChild<QPlainTextEdit*>()->toPlainText(), messages.join(u'\n'));
}

TEST_F(ScriptForm, ACompileErrorPutsTheCaretOnItsLineAndColumn) {
    form.SetScriptText(QStringLiteral("begin\n  Digits(1);\n    Unknown(2);\nend."));
    EXPECT_FALSE(form.ExecuteScript());
    const QString first = form.Messages().value(0);
    EXPECT_TRUE(first.contains(QStringLiteral("(3:5)"))) << first.toStdString();
    int line = -1, column = -1;
    form.CaretPosition(line, column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 4);
    EXPECT_EQ(form.Editor()->markersAtLine(2), 1u); // the error line is marked
    form.SetScriptText(QStringLiteral("begin end."));
    EXPECT_TRUE(form.ExecuteScript());
    EXPECT_EQ(form.Editor()->markersAtLine(2), 0u);
}

// The engine counts UTF-16 units, the editor characters: a character outside the basic plane
// before the error must not move the caret past it.
TEST_F(ScriptForm, TheCaretFindsTheErrorAfterCharactersOutsideTheBasicPlane) {
    const QString text =
        QStringLiteral("var s: widestring;\nbegin\n  s := '\U0001F600\U0001F600'; Oops;\nend.");
    form.SetScriptText(text);
    EXPECT_FALSE(form.ExecuteScript());
    int line = -1, column = -1;
    form.CaretPosition(line, column);
    EXPECT_EQ(line, 2);
    const QString lineText = form.Editor()->text(2);
    const int expected =
        int(lineText.left(lineText.indexOf(QStringLiteral("Oops"))).toUcs4().size());
    EXPECT_EQ(column, expected) << form.Messages().value(0).toStdString();
}

TEST_F(ScriptForm, AScriptThatExecutesItselfDoesNotRunAgainInsideItsRun) {
    form.SetScriptText(QStringLiteral("begin Digits(3); ExecuteMacro; Grab; end."));
    EXPECT_TRUE(form.ExecuteScript()) << form.Messages().join(u'\n').toStdString();
    EXPECT_EQ(log, (QStringList{"Digits 3", "Grab with 3"}));
    EXPECT_EQ(form.Messages(),
              (QStringList{"*** Compilation succeeded ***", "*** Succesfully Executed ***"}));
}

TEST_F(ScriptForm, ARunTimeErrorKeepsTheEffectsBeforeIt) {
    form.SetScriptText(QStringLiteral("begin Digits(6); forcedirectories(''); Digits(7); end."));
    EXPECT_FALSE(form.ExecuteScript());
    EXPECT_EQ(digits->Value(), 6);
    const QString last = form.Messages().last();
    EXPECT_TRUE(last.startsWith(QStringLiteral("### Error while executing: ")))
        << last.toStdString();
    EXPECT_TRUE(last.contains(QStringLiteral("Unable to create directory")));
}

// ---- files

TEST_F(ScriptForm, NewOpenEditAndSaveFollowTheFileInTheStatusBar) {
    QTemporaryDir dir;
    EXPECT_EQ(Lines(form.ScriptText()),
              (QStringList{"//Write a script between begin and end.",
                           "//Don't forget to finish each command by ;", "begin", "", "end."}));
    EXPECT_EQ(form.StatusFileName(), QStringLiteral("script.txt"));
    EXPECT_EQ(form.StatusFileState(), QStringLiteral("New"));
    EXPECT_FALSE(form.ficman_script()->Modified);

    const QString path = dir.filePath(QStringLiteral("grab.txt"));
    WriteFile(path, "begin\n  Digits(2);\nend.\n");
    EXPECT_TRUE(form.OpenScript(path));
    EXPECT_EQ(form.ScriptText(), QStringLiteral("begin\n  Digits(2);\nend.\n"));
    EXPECT_EQ(form.StatusFileName(), QStringLiteral("grab.txt"));
    EXPECT_EQ(form.StatusFileState(), QStringLiteral("Open"));
    EXPECT_EQ(form.ficman_script()->RecentName(1), path);

    form.Editor()->insertAt(QStringLiteral("  Grab;\n"), 2, 0);
    EXPECT_TRUE(form.ficman_script()->Modified);
    EXPECT_EQ(form.StatusFileState(), QStringLiteral("Modified"));
    form.ficman_script()->naSaveFile->trigger();
    EXPECT_EQ(ReadFile(path), QStringLiteral("begin\n  Digits(2);\n  Grab;\nend.\n"));
    EXPECT_EQ(form.StatusFileState(), QStringLiteral("Saved"));
    EXPECT_FALSE(form.ficman_script()->Modified);
}

TEST_F(ScriptForm, OpeningAskedToSaveChangesFirst) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.txt"));
    WriteFile(path, "begin end.");
    form.SetScriptText(QStringLiteral("begin Grab; end."));
    QString savedTo;
    form.ficman_script()->SaveDialog = [&](const QString&, const QString&, const QString&,
                                           const QString&) {
        savedTo = dir.filePath(QStringLiteral("mine.txt"));
        return savedTo;
    };
    TScriptedDialogs dialogs;
    dialogs.Answer(mrYes);
    EXPECT_TRUE(form.OpenScript(path));
    EXPECT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(ReadFile(savedTo), QStringLiteral("begin Grab; end.\n"));
    EXPECT_EQ(form.ScriptText(), QStringLiteral("begin end."));
}

TEST_F(ScriptForm, TextThatIsNotUtf8IsReadAsLatin1) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    WriteFile(path, "begin Root('\xe9t\xe9'); end.");
    EXPECT_TRUE(form.OpenScript(path));
    EXPECT_TRUE(form.ExecuteScript()) << form.Messages().join(u'\n').toStdString();
    EXPECT_EQ(root->Value(), QStringLiteral("été"));
}

TEST_F(ScriptForm, WhatCannotBeReadIsNotOpenedAndLeavesNoRecentEntry) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder.txt"));
    QDir().mkpath(folder);
    const QString huge = dir.filePath(QStringLiteral("huge.txt"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(17 * 1024 * 1024));
    }
    for (const QString& path : {folder, huge, dir.filePath(QStringLiteral("none.txt"))}) {
        EXPECT_FALSE(form.OpenScript(path)) << path.toStdString();
        EXPECT_NE(form.ficman_script()->FileState(), fsOpen);
    }
    EXPECT_EQ(form.ficman_script()->RecentName(1), QString());
    // Saving now cannot overwrite any of them.
    form.ficman_script()->naSaveFile->trigger();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QFileInfo(huge).size(), 17 * 1024 * 1024);
}

TEST_F(ScriptForm, AFailedSaveKeepsTheScriptModified) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    WriteFile(path, "begin end.");
    ASSERT_TRUE(form.OpenScript(path));
    form.SetScriptText(QStringLiteral("begin Grab; end."));
    // Something else took the file's place: the script cannot be written there.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inside")));
    EXPECT_THROW(form.ficman_script()->naSaveFile->Apply(), std::exception);
    EXPECT_TRUE(form.ficman_script()->Modified);
    EXPECT_EQ(form.StatusFileState(), QStringLiteral("Modified"));
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/inside")).isDir());
    // The closing question offers to save again; the failure is reported, the script stays.
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    WriteFile(other, "begin end.");
    TScriptedDialogs dialogs;
    dialogs.Answer(mrYes);
    std::vector<std::string> reported;
    const auto previous = Application().SetErrorReport(
        [&](const std::exception& e) { reported.push_back(e.what()); });
    EXPECT_FALSE(form.OpenScript(other));
    Application().SetErrorReport(previous);
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(form.ScriptText(), QStringLiteral("begin Grab; end."));
    EXPECT_TRUE(form.ficman_script()->Modified);
}

TEST_F(ScriptForm, AFileDroppedOnTheEditorOpensAsTheScript) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.txt"));
    WriteFile(path, "begin Grab; end.");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    data.setText(path); // file managers offer the name as text too: it must not be typed in
    QWidget* viewport = form.Editor()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(form.ScriptText(), QStringLiteral("begin Grab; end."));
    EXPECT_EQ(form.ficman_script()->CurrentFileName(), path);
}

// ---- the window

TEST_F(ScriptForm, BoundsComeFromThePreferencesAndGoBackToThem) {
    TFakePreferences prefs;
    ASSERT_TRUE(form.al_script()->LoadFromPrefs(prefs));
    EXPECT_EQ(form.geometry(), QRect(300, 300, 800, 560));
    form.setGeometry(QRect(40, 50, 700, 500));
    ASSERT_TRUE(form.al_script()->SaveToPrefs(prefs));
    EXPECT_EQ(prefs.Get<TRect>(QStringLiteral("ScriptFormSave")), (TRect{40, 50, 740, 550}));

    // Bounds of a screen that is gone, or of no size, still give a usable window on a screen.
    prefs.Values[QStringLiteral("ScriptFormSave")] = TRect{-9000, -9000, -8990, -8995};
    ASSERT_TRUE(form.al_script()->LoadFromPrefs(prefs));
    EXPECT_NE(QGuiApplication::screenAt(form.geometry().center()), nullptr);
    EXPECT_GE(form.width(), 400);
    EXPECT_GE(form.height(), 300);
}

TEST_F(ScriptForm, ClosingByTheUserRunsTheClosedHandlerHidingDoesNot) {
    int closed = 0;
    form.SetClosedHandler([&] { ++closed; });
    form.ShowScriptWindow();
    form.hide();
    EXPECT_EQ(closed, 0);
    form.ShowScriptWindow();
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ScriptForm, WhileActiveTheWindowTakesEveryShortcutButF1AndF12) {
    main.addAction(flag); // F6 of the main window
    form.SetHelpAction(help);
    form.SetScriptPageAction(page);
    ASSERT_TRUE(ShowActive(main));
    QTest::keyClick(&main, Qt::Key_F6);
    ASSERT_TRUE(flag->Checked()); // the main window's shortcut works in the main window

    form.SetScriptText(QStringLiteral("begin Digits(12); end."));
    ASSERT_TRUE(ShowActive(form));
    QTest::keyClick(form.Editor(), Qt::Key_F6);
    EXPECT_TRUE(flag->Checked()); // not the main window's action
    QTest::keyClick(form.Editor(), Qt::Key_F5);
    EXPECT_EQ(digits->Value(), 12);
    QTest::keyClick(form.Editor(), Qt::Key_F3);
    EXPECT_TRUE(form.Recording());
    QTest::keyClick(form.Editor(), Qt::Key_F4);
    EXPECT_FALSE(form.Recording());
    QTest::keyClick(form.Editor(), Qt::Key_F1);
    EXPECT_TRUE(help->Checked());
    QTest::keyClick(form.Editor(), Qt::Key_F12);
    EXPECT_TRUE(page->Checked());
    EXPECT_TRUE(form.OwnsShortcut(QKeySequence(Qt::Key_F5)));
    EXPECT_FALSE(form.OwnsShortcut(QKeySequence(Qt::Key_F1)));
    EXPECT_FALSE(form.OwnsShortcut(QKeySequence(Qt::Key_F6)));
}

TEST_F(ScriptForm, InTheEditorCtrlVPastesTextNotAFile) {
    ASSERT_TRUE(ShowActive(form));
    form.Editor()->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.ficman_script()->naPasteFile->ShortCut(), 0);
    form.findChild<QPlainTextEdit*>()->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.ficman_script()->naPasteFile->ShortCut(), ShortCut('V', scCtrl));
}

} // namespace
