#pragma once
// TScriptForm: the script window. A Pascal editor (QScintilla with the Pascal lexer, line numbers,
// a monospaced font) over a read-only message pane, the window's own file manager ficman_script
// for macro text files, and the macro list al_script: ScriptFormSave (the window's bounds in the
// preferences), ExecuteMacro (F5), StartMacro (F3) and StopMacro (F4).
//
// The window is a top-level window created hidden, with its own script host ZvScript. The
// application manager attaches its action lists to that host, shows the window through
// ShowScriptWindow() and hides it through hide(); when the user closes the window the closed
// handler runs (the application manager unchecks its script page action there).
//
// Recording: StartMacro makes the editor the process-wide MacroRecorder, so that every action the
// user applies anywhere in the program appends its macro line to the editor; StopMacro ends the
// macro with "end." and clears MacroRecorder. Executing a macro applies the recorded actions
// nested inside the execute action, so a macro executed while recording is not recorded again.
//
// Keyboard rule. While the script window is the active window every shortcut except F1 and F12
// belongs to it: F5 executes, F3 and F4 start and stop recording, Ctrl+O opens a script, and so
// on. The window's actions are added to the window with the toolkit's window-wide shortcut
// context, so they fire only while it is active; OwnsShortcut() tells which key sequences are its
// own. What the main window must do: keep its own actions in the window-wide context too (never
// Qt::ApplicationShortcut), so that none of them fires while the script window is active, and
// hand its help action (F1) and its script page action (F12) to SetHelpAction and
// SetScriptPageAction: besides binding the buttons and the menu item, these add the two actions
// to this window, which makes exactly those two shortcuts work here as well.
//
// Script host. The window does not attach its own lists to ZvScript: its owner attaches the
// program's lists in their order, al_script last. ficman_script is never attached, and its
// commands are never recorded into a macro (they work on the script itself, and their script
// names are those of the main window's file manager).
//
// Thread contract: a window of the GUI thread; scripts run on it. Questions (save before losing
// changes, overwrite) go through the dialog service of the file manager.
#include <functional>
#include <memory>

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAction;
class QLabel;
class QPlainTextEdit;
class QsciScintilla;
class QToolBar;
class TFichierMan;
class TNopeAction;
class TRectAction;
class TZvActionList;
class TZvScript;
class TZvToolButton;
struct TRect;

class TScriptForm : public QMainWindow {
public:
    explicit TScriptForm(QWidget* parent = nullptr);
    ~TScriptForm() override;

    // The window's script host; the application manager attaches its action lists to it.
    TZvScript* ZvScript() const { return FZvScript; }
    // The window's macro actions (ScriptFormSave, ExecuteMacro, StartMacro, StopMacro).
    TZvActionList* al_script() const { return FAlScript; }
    // The window's own file manager, for macro text files.
    TFichierMan* ficman_script() const { return FFicman; }

    // Called when the user closes the window (not when the program hides it).
    void SetClosedHandler(std::function<void()> handler);

    // Shows the window: the dialogs' titles and the file manager's filter are set again, then the
    // window is shown and brought to the front. hide() (QWidget's) hides it.
    void ShowScriptWindow();

    // Compiles and runs the editor's text; the messages of both steps go to the pane. False when
    // the text did not compile or its run failed, and (doing nothing) while a script of the
    // window's host is running.
    bool ExecuteScript();
    // The lines of the message pane.
    QStringList Messages() const;

    // Opens the file as the file manager's open command does (asking to save changes first).
    // True when the file is now the current file and its text is in the editor.
    bool OpenScript(const QString& path);

    // Starts and stops recording a macro into the editor (what F3 and F4 do). Starting again
    // restarts with an empty editor; stopping appends "end." to the recorder in force.
    void StartMacro();
    void StopMacro();
    bool Recording() const;

    // The editor and its text.
    QsciScintilla* Editor() const { return FEditor; }
    QString ScriptText() const;
    void SetScriptText(const QString& text);
    // The caret's position, zero-based line and column (QScintilla's own counting).
    void CaretPosition(int& line, int& column) const;
    // The two status panels: the current file's name part and its state ("New", "Open", ...).
    QString StatusFileName() const;
    QString StatusFileState() const;

    // The tool bar's help button and the menu's help item run this action; the tool bar's script
    // page button runs the other (both belong to the main window). Either may be null.
    void SetHelpAction(QAction* help);
    void SetScriptPageAction(QAction* scriptPage);
    // Makes an action of another window reachable by its shortcut from this window (the main
    // window's F1 and F12 actions).
    void AddForeignAction(QAction* action);
    // True when the key sequence is one of this window's own enabled shortcuts (the two main
    // window actions above do not count).
    bool OwnsShortcut(const QKeySequence& sequence) const;

    TRectAction* raScriptFormSave = nullptr;
    TNopeAction* naExecuteMacro = nullptr;
    TNopeAction* naStartMacro = nullptr;
    TNopeAction* naStopMacro = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TEditorLines;

    // uScriptFormUi.cpp
    void CreateEditor();
    void CreateMenus();
    void CreateToolBar();
    void CreateButtonPanel();
    void CreateStatusBar();
    void LayOut();
    void MarkError(int line, int index);
    void ClearErrorMark();
    // uScriptFormFiles.cpp
    void CreateFileManager();
    void WireFileEvents();
    void KeepFileActionsOutOfMacros();
    bool ReadScript(const QString& path);
    bool WriteScript(const QString& path);
    bool DropFiles(QEvent* event);
    // uScriptForm.cpp
    void CreateMacroActions();
    void WireMacroActions();
    void AddMessages(const QStringList& lines);
    void PlaceCaretAtFirstError();
    void SetStatus(const QString& state);
    void TextChanged();
    void FocusChanged(QWidget* now);
    void SetBounds(const TRect& bounds);
    TRect Bounds() const;

    TZvScript* FZvScript = nullptr;
    TZvActionList* FAlScript = nullptr;
    TFichierMan* FFicman = nullptr;
    QsciScintilla* FEditor = nullptr;
    QPlainTextEdit* FMemo = nullptr;
    QWidget* FButtonPanel = nullptr;
    QToolBar* FToolBar = nullptr;
    TZvToolButton* FHelpButton = nullptr;
    TZvToolButton* FScriptPageButton = nullptr;
    QAction* FHelpItem = nullptr;
    QPointer<QAction> FHelpAction;
    QPointer<QAction> FScriptPageAction;
    QLabel* FStatusName = nullptr;
    QLabel* FStatusState = nullptr;
    QString FOpenTitle, FOpenFilter, FSaveTitle;
    QStringList FPaneLines;
    std::unique_ptr<TEditorLines> FRecorderLines;
    std::function<void()> FClosedHandler;
    QMetaObject::Connection FFocusWatch;
    bool FSettingText = false;
};
