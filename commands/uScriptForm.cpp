#include "commands/uScriptForm.h"

#include "commands/uActionRows.h"
#include "commands/uMacroRecorder.h"
#include "commands/uNopeAction.h"
#include "commands/uRectAction.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatDateTime.h"
#include "platform/ui/ShortCuts.h"
#include "scripting/uZvScript.h"
#include "shell/uFichierMan.h"
#include "shell/uZvControls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <Qsci/qsciscintilla.h>

using kelvara::script::CompilerMessage;
using kelvara::script::MessageKind;

namespace {

const QString kExecuted = QStringLiteral("*** Succesfully Executed ***");
constexpr TRect kDefaultBounds{300, 300, 1100, 860};
// The smallest window that still shows the editor, the pane and the buttons.
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 360;

TDateTime NowAsDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    TDateTime value = 0;
    TryEncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec(),
                      value);
    return value;
}

// The line that opens a recorded macro: the date and time in the user's long formats.
QString MacroHeading() {
    const TFormatSettings settings = TFormatSettings::Default();
    const TDateTime now = NowAsDateTime();
    return QStringLiteral("//Macro saved on ") +
           FormatDateTime(settings.LongDateFormat, now, settings) + QStringLiteral(" at ") +
           FormatDateTime(settings.LongTimeFormat, now, settings);
}

} // namespace

// The editor as the macro recorder's text list. Like any list of lines, each line ends with a
// line break: a recorded line goes after the last one (a text typed without a final break gets
// one first), and the end is scrolled into view.
class TScriptForm::TEditorLines : public TMacroLines {
public:
    explicit TEditorLines(QsciScintilla* editor) : FEditor(editor) {}
    void Add(const QString& line) override {
        if (!FEditor)
            return;
        const QString text = FEditor->text();
        const bool open = !text.isEmpty() && !text.endsWith(u'\n');
        FEditor->append((open ? QStringLiteral("\n") : QString()) + line + u'\n');
        FEditor->ensureLineVisible(FEditor->lines() - 1);
    }

private:
    QPointer<QsciScintilla> FEditor;
};

TScriptForm::TScriptForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Scripts"));
    setMinimumSize(kMinWidth, kMinHeight);
    FZvScript = new TZvScript(this);
    FAlScript = new TZvActionList(this);
    CreateEditor();
    FRecorderLines = std::make_unique<TEditorLines>(FEditor);
    CreateMacroActions();
    CreateFileManager();
    CreateToolBar();
    CreateButtonPanel();
    CreateMenus();
    CreateStatusBar();
    LayOut();
    WireMacroActions();
    WireFileEvents();
    FFocusWatch = connect(qApp, &QApplication::focusChanged, this,
                          [this](QWidget*, QWidget* now) { FocusChanged(now); });
    // The window starts with a new script.
    const TMacroScope unrecorded([] { return QString(); });
    FFicman->naNewFile->Apply();
    resize(kDefaultBounds.Width(), kDefaultBounds.Height());
}

TScriptForm::~TScriptForm() {
    // The recorder must not outlive the editor it writes into.
    if (MacroRecorder == FRecorderLines.get())
        MacroRecorder = nullptr;
    // The children are destroyed after this destructor: the focus moving away from them and
    // their last signals must not reach the parts of the window that are gone.
    disconnect(FFocusWatch);
    disconnect(FEditor, nullptr, this, nullptr);
    FEditor->viewport()->removeEventFilter(this);
}

// ---- the macro actions

void TScriptForm::CreateMacroActions() {
    raScriptFormSave = new TRectAction(QStringLiteral("raScriptFormSave"), FAlScript);
    naExecuteMacro = new TNopeAction(QStringLiteral("naExecuteMacro"), FAlScript);
    naStartMacro = new TNopeAction(QStringLiteral("naStartMacro"), FAlScript);
    naStopMacro = new TNopeAction(QStringLiteral("naStopMacro"), FAlScript);
    const struct {
        TCustomAbstractAction* Action;
        const char* Id;
        const char* Caption;
        const char* ScriptName;
        TShortCut Shortcut;
        bool ApplyWhenLoad;
        const char* Hint;
    } rows[] = {
        {raScriptFormSave, "raScriptFormSave", "ScriptFormSave", "ScriptFormSave", 0, true, ""},
        {naExecuteMacro, "naExecuteMacro", "Execute", "ExecuteMacro", ShortCut(VK_F1 + 4), false,
         "Exécuter la macro"},
        {naStartMacro, "naStartMacro", "Start", "", ShortCut(VK_F1 + 2), false,
         "Commencer à  enregistrer une macro"},
        {naStopMacro, "naStopMacro", "Stop", "", ShortCut(VK_F1 + 3), false,
         "Arrêter l'enregistrement de la macro"},
    };
    for (const auto& r : rows) {
        InitAction(r.Action, QString::fromLatin1(r.Id), QString::fromLatin1(r.ScriptName),
                   r.Shortcut, r.ApplyWhenLoad);
        r.Action->Category = QStringLiteral("Taskel");
        r.Action->SetCaption(QString::fromLatin1(r.Caption));
        r.Action->SetHint(QString::fromUtf8(r.Hint));
        r.Action->IncludePrefs = true;
    }
}

void TScriptForm::WireMacroActions() {
    raScriptFormSave->OnDefault = [](TRect& bounds) {
        bounds = kDefaultBounds;
        return true;
    };
    raScriptFormSave->OnAfterApply = [this](const TRect& bounds) { SetBounds(bounds); };
    raScriptFormSave->BeforeSave = [this](TRect& bounds) {
        bounds = Bounds();
        return true;
    };
    naExecuteMacro->OnAfterApply = [this] { ExecuteScript(); };
    naStartMacro->OnAfterApply = [this] { StartMacro(); };
    naStopMacro->OnAfterApply = [this] { StopMacro(); };
}

// Bounds from the preferences may come from another screen layout, or be nonsense: the size is
// kept to the minimum, and a window that would lie outside every screen goes onto the primary one.
void TScriptForm::SetBounds(const TRect& bounds) {
    const int width = std::max(kMinWidth, bounds.Width());
    const int height = std::max(kMinHeight, bounds.Height());
    QRect rect(bounds.Left, bounds.Top, width, height);
    if (!QGuiApplication::screenAt(rect.center()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            rect.moveTopLeft(screen->availableGeometry().topLeft());
    setGeometry(rect);
}

TRect TScriptForm::Bounds() const {
    const QRect g = geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

// ---- executing and recording

bool TScriptForm::ExecuteScript() {
    // A script that executes the macro (a recorded ExecuteMacro line, or F5 while a script
    // pumps messages) must not compile over the program that is running nor wipe its messages.
    if (FZvScript->Running())
        return false;
    FMemo->clear();
    FPaneLines.clear();
    ClearErrorMark();
    // What the script applies is part of this execution, never new lines of a macro.
    const TMacroScope nested([] { return QString(); });
    FZvScript->SetScript(ScriptText());
    // Included files are found beside the script's own file.
    FZvScript->SetMainFileName(FFicman->FileState() == fsOpen ? FFicman->CurrentFileName()
                                                              : QString());
    const bool compiled = FZvScript->Compile();
    AddMessages(FZvScript->Messages());
    if (!compiled)
        PlaceCaretAtFirstError();
    FZvScript->RunProgram();
    AddMessages(FZvScript->Messages());
    return compiled && FZvScript->Messages().value(0) == kExecuted;
}

QStringList TScriptForm::Messages() const {
    return FPaneLines;
}

void TScriptForm::AddMessages(const QStringList& lines) {
    FPaneLines << lines;
    for (const QString& line : lines)
        FMemo->appendPlainText(line);
}

// The caret goes where the first error of the script's own text is; the engine counts lines and
// columns from 1, columns in UTF-16 units, the editor from 0 in characters.
void TScriptForm::PlaceCaretAtFirstError() {
    for (const CompilerMessage& m : FZvScript->CompilerMessages()) {
        if (m.kind != MessageKind::Error || !m.file.isEmpty())
            continue;
        const int line = std::clamp(m.line - 1, 0, std::max(0, FEditor->lines() - 1));
        const QString text = FEditor->text(line);
        const int units = std::clamp(m.col - 1, 0, int(text.size()));
        const int index = int(text.left(units).toUcs4().size());
        FEditor->setCursorPosition(line, index);
        FEditor->ensureLineVisible(line);
        MarkError(line, index);
        FEditor->setFocus();
        return;
    }
}

void TScriptForm::StartMacro() {
    MacroRecorder = FRecorderLines.get();
    FEditor->clear();
    FRecorderLines->Add(MacroHeading());
    FRecorderLines->Add(QString());
    FRecorderLines->Add(QStringLiteral("begin"));
}

void TScriptForm::StopMacro() {
    if (!MacroRecorder)
        return;
    MacroRecorder->Add(QStringLiteral("end."));
    MacroRecorder = nullptr;
}

bool TScriptForm::Recording() const {
    return MacroRecorder && MacroRecorder == FRecorderLines.get();
}

// ---- editor and status

QString TScriptForm::ScriptText() const {
    return FEditor->text();
}

void TScriptForm::SetScriptText(const QString& text) {
    FEditor->setText(text);
}

void TScriptForm::CaretPosition(int& line, int& column) const {
    FEditor->getCursorPosition(&line, &column);
}

QString TScriptForm::StatusFileName() const {
    return FStatusName->text();
}

QString TScriptForm::StatusFileState() const {
    return FStatusState->text();
}

void TScriptForm::SetStatus(const QString& state) {
    FStatusName->setText(QFileInfo(FFicman->CurrentFileName()).fileName());
    FStatusState->setText(state);
}

void TScriptForm::TextChanged() {
    if (FSettingText)
        return;
    FFicman->Modified = true;
    SetStatus(QStringLiteral("Modified"));
}

// While the editor has the focus, Ctrl+V pastes text into it instead of opening a file.
void TScriptForm::FocusChanged(QWidget* now) {
    if (!FFicman->naPasteFile)
        return;
    const bool inEditor = now && (now == FEditor || FEditor->isAncestorOf(now));
    FFicman->naPasteFile->SetShortCut(inEditor ? 0 : ShortCut('V', scCtrl));
}

// ---- the window

void TScriptForm::ShowScriptWindow() {
    FOpenFilter = QStringLiteral("Text Files (*.txt);;All Files (*)");
    FOpenTitle = QStringLiteral("Open a script");
    FSaveTitle = QStringLiteral("Save the script");
    FFicman->SetFilter(QStringLiteral("Macro Files (*.txt)"));
    show();
    raise();
    activateWindow();
}

void TScriptForm::SetClosedHandler(std::function<void()> handler) {
    FClosedHandler = std::move(handler);
}

void TScriptForm::closeEvent(QCloseEvent* event) {
    event->accept();
    QMainWindow::closeEvent(event);
    if (FClosedHandler)
        FClosedHandler();
}

void TScriptForm::SetHelpAction(QAction* help) {
    if (FHelpAction && FHelpAction != help && FHelpAction != FScriptPageAction)
        removeAction(FHelpAction);
    FHelpAction = help;
    FHelpButton->SetAction(help);
    FHelpItem->setEnabled(help != nullptr);
    AddForeignAction(help);
}

void TScriptForm::SetScriptPageAction(QAction* scriptPage) {
    if (FScriptPageAction && FScriptPageAction != scriptPage && FScriptPageAction != FHelpAction)
        removeAction(FScriptPageAction);
    FScriptPageAction = scriptPage;
    FScriptPageButton->SetAction(scriptPage);
    AddForeignAction(scriptPage);
}

void TScriptForm::AddForeignAction(QAction* action) {
    if (action && !actions().contains(action))
        addAction(action);
}

bool TScriptForm::OwnsShortcut(const QKeySequence& sequence) const {
    if (sequence.isEmpty())
        return false;
    for (QAction* a : actions()) {
        if (a == FHelpAction || a == FScriptPageAction || !a->isEnabled())
            continue;
        if (a->shortcuts().contains(sequence))
            return true;
    }
    return false;
}
