// The script window's file manager: macro text files read into and written from the editor, the
// status panels that follow the file, files dropped onto the editor, and the rule that its
// commands are never recorded into a macro.
#include "commands/uMacroRecorder.h"
#include "commands/uNopeAction.h"
#include "commands/uScriptForm.h"
#include "commands/uWidestringAction.h"
#include "platform/ui/Application.h"
#include "shell/uFichierMan.h"

#include <stdexcept>

#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>
#include <Qsci/qsciscintilla.h>

namespace {

// A script larger than this is no script; reading it would only fill the editor.
constexpr qint64 kMaxScriptBytes = 16 * 1024 * 1024;

std::runtime_error FileError(const QString& what, const QString& path, const QString& reason) {
    return std::runtime_error((what + path + QStringLiteral(": ") + reason).toStdString());
}

// 8-bit text: UTF-8, or Latin-1 for older files that are not valid UTF-8.
QString DecodeScript(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

} // namespace

void TScriptForm::CreateFileManager() {
    FFicman = new TFichierMan(this);
    FFicman->setObjectName(QStringLiteral("ficman_script"));
    FFicman->BuildActions();
    FFicman->SetFilter(QStringLiteral("Macro Files (*.txt)"));
    FFicman->DefaultExtension = QStringLiteral(".txt");
    FFicman->NewFileName = QStringLiteral("script.txt");
    FFicman->SetRecentLength(50);
    FFicman->DeleteExisting = ctAskif;
    FFicman->SaveType = ctAskif;
    FFicman->ExistingOnly = false;
    FOpenFilter = QStringLiteral("Text Files (*.txt);;All Files (*)");
    FOpenTitle = QStringLiteral("Open a script");
    FSaveTitle = QStringLiteral("Save the script");
    // The window's own titles and open filter, whatever the dialogs are.
    FFicman->OpenDialog = [this, open = FFicman->OpenDialog](const QString&, const QString& folder,
                                                             const QString&) {
        return open ? open(FOpenTitle, folder, FOpenFilter) : QString();
    };
    FFicman->SaveDialog = [this, save = FFicman->SaveDialog](const QString&, const QString& suffix,
                                                             const QString& proposed,
                                                             const QString& filter) {
        return save ? save(FSaveTitle, suffix, proposed, filter) : QString();
    };
    // Files dropped onto the editor open as scripts; the editor's own drag and drop of text
    // stays as it is (a file is never dragged out of it).
    FEditor->viewport()->installEventFilter(this);
    KeepFileActionsOutOfMacros();
}

// The file commands work on the script being written, which may be the macro being recorded;
// their script names are the main window's file manager's, so a recorded line would replay as
// a command of the main window. They run as a nested application: never recorded.
void TScriptForm::KeepFileActionsOutOfMacros() {
    for (TCustomAbstractAction* action : FFicman->TypedActions()) {
        disconnect(action, SIGNAL(triggered(bool)), action, nullptr);
        connect(action, &QAction::triggered, this, [action] {
            const TMacroScope unrecorded([] { return QString(); });
            try {
                action->Execute();
            } catch (const std::exception& e) {
                Application().ShowException(e);
            }
        });
    }
}

void TScriptForm::WireFileEvents() {
    FFicman->OnNewFile = [this] {
        FSettingText = true;
        SetScriptText(QStringLiteral("//Write a script between begin and end.\n"
                                     "//Don't forget to finish each command by ;\n"
                                     "begin\n"
                                     "\n"
                                     "end."));
        FSettingText = false;
        SetStatus(QStringLiteral("New"));
    };
    // Only a file that can be read as a script is opened; anything else leaves no trace.
    FFicman->OnTestExtension = [](const QString&, const QString& name) {
        const QFileInfo info(name);
        return info.isFile() && info.isReadable() && info.size() <= kMaxScriptBytes;
    };
    FFicman->OnOpenFile = [this](const QString& name) {
        if (!ReadScript(name))
            return false;
        SetStatus(QStringLiteral("Open"));
        return true;
    };
    // A file that cannot be read must not stay the current file: saving would overwrite it with
    // the text that was in the editor before.
    FFicman->OnErrorOpenFile = [this](const QString&) {
        FFicman->Modified = false;
        FFicman->CloseFile();
        FFicman->NewFile();
        return true;
    };
    FFicman->OnSaveFile = [this](const QString& name) {
        if (!WriteScript(name))
            return false;
        SetStatus(QStringLiteral("Saved"));
        return true;
    };
}

bool TScriptForm::ReadScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxScriptBytes)
        return false;
    const QByteArray bytes = file.read(kMaxScriptBytes + 1);
    if (bytes.size() > kMaxScriptBytes)
        return false;
    FSettingText = true;
    SetScriptText(DecodeScript(bytes));
    FSettingText = false;
    return true;
}

// A failed write raises, so that the file manager keeps the script marked as modified and the
// user sees the error; the old file stays whole (the new text replaces it only once written).
bool TScriptForm::WriteScript(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("Unable to save the script "), path, file.errorString());
    QString text = ScriptText();
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        text += u'\n';
    file.write(text.toUtf8());
    if (!file.commit())
        throw FileError(QStringLiteral("Unable to save the script "), path, file.errorString());
    return true;
}

bool TScriptForm::OpenScript(const QString& path) {
    if (!FFicman->waOpenFile)
        return false;
    try {
        const TMacroScope unrecorded([] { return QString(); });
        FFicman->waOpenFile->SetValue(path);
    } catch (const std::exception& e) {
        // Saving the changes first failed: the script stays as it was.
        Application().ShowException(e);
        return false;
    }
    return FFicman->FileState() == fsOpen && FFicman->CurrentFileName() == path;
}

// The first local file of a drop opens as the script (with the question about unsaved changes);
// other drops are the editor's own.
bool TScriptForm::DropFiles(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* data = drop->mimeData();
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        drop->acceptProposedAction();
        const QString name = url.toLocalFile();
        if (name != FFicman->CurrentFileName() || FFicman->FileState() != fsOpen)
            OpenScript(name);
        return true;
    }
    return false;
}

bool TScriptForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FEditor->viewport())
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* move = static_cast<QDragMoveEvent*>(event);
        if (move->mimeData() && move->mimeData()->hasUrls()) {
            move->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop:
        return DropFiles(event);
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
