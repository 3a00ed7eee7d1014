#include "shell/uFichierMan.h"

#include "commands/uActionRows.h"
#include "commands/uBooleanAction.h"
#include "commands/uNopeAction.h"
#include "commands/uWidestringAction.h"
#include "platform/os/RevealFile.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ShortCuts.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

const QString kAllFiles = QStringLiteral("All files (*)");

bool Headless() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

bool FileExists(const QString& name) {
    return !name.isEmpty() && QFileInfo(name).isFile();
}

// Where the file part of a name starts (after the last "/").
qsizetype FilePartStart(const QString& name) {
    return name.lastIndexOf(u'/') + 1;
}

// A local file named by a URL or a text: the first line, with file:// URLs turned into paths.
QString LocalFileOf(const QString& text) {
    QString first = text.section(u'\n', 0, 0).trimmed();
    if (first.startsWith(QLatin1String("file:")))
        first = QUrl(first).toLocalFile();
    return first;
}

} // namespace

TFichierMan::TFichierMan(QObject* owner) : TZvActionComponent(owner) {
    SetFilter(QString());
    OpenDialog = [](const QString& title, const QString& folder, const QString& filter) {
        if (Headless())
            return QString();
        return QFileDialog::getOpenFileName(nullptr, title, folder, filter);
    };
    SaveDialog = [](const QString& title, const QString& suffix, const QString& proposed,
                    const QString& filter) {
        if (Headless())
            return QString();
        QFileDialog dialog(nullptr, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        dialog.selectFile(proposed);
        // The overwrite question is the file manager's own.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().first()
                   : QString();
    };
    FolderDialog = [](const QString& title, const QString& start) {
        if (Headless())
            return QString();
        return QFileDialog::getExistingDirectory(nullptr, title, start);
    };
    RevealFile = [](const QString& path) { return kelvara::os::RevealFile(path); };
    DragFile = [](QWidget* source, const QString& file) {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(file)});
        auto* drag = new QDrag(source);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    };
}

TFichierMan::~TFichierMan() {
    FDestroying = true;
    if (FDragControl)
        FDragControl->removeEventFilter(this);
}

// ---- actions

void TFichierMan::CreateActions() {
    new TNopeAction(QStringLiteral("naNewFile"), this);
    new TWidestringAction(QStringLiteral("waOpenFile"), this);
    // The current name comes before the open-last flag, so that the flag finds it at load.
    new TWidestringAction(QStringLiteral("waCurrentFileName"), this);
    new TBooleanAction(QStringLiteral("baOpenLastFile"), this);
    new TWidestringAction(QStringLiteral("waInitialDir"), this);
    new TNopeAction(QStringLiteral("naPasteFile"), this);
    new TNopeAction(QStringLiteral("naSaveFile"), this);
    new TWidestringAction(QStringLiteral("waSaveFileAs"), this);
    new TNopeAction(QStringLiteral("naCloseFile"), this);
    new TNopeAction(QStringLiteral("naParentFolder"), this);
    for (int n = 1; n <= RecentCount; ++n)
        new TNopeAction(QStringLiteral("naRecent%1").arg(n), this);
    for (int n = 1; n <= RecentCount; ++n)
        new TWidestringAction(QStringLiteral("waRecentFilename%1").arg(n), this);
}

void TFichierMan::InitActions() {
    static const TActionRow rows[] = {
        {"naNewFile", "NewFile", 0, false},
        {"waOpenFile", "OpenFile", ShortCut('O', scCtrl), false},
        {"waCurrentFileName", "CurrentFileName", 0, true},
        {"baOpenLastFile", "OpenLastFile", 0, true},
        {"waInitialDir", "InitialDir", 0, true},
        {"naPasteFile", "PasteFile", ShortCut('V', scCtrl), false},
        {"naSaveFile", "SaveFile", 0, false},
        {"waSaveFileAs", "SaveFileAs", 0, false},
        {"naCloseFile", "CloseFile", ShortCut('F', scCtrl), false},
        {"naParentFolder", "ParentFolder", ShortCut(VK_F1 + 8), false},
    };
    InitActionRows(*this, rows);
    for (int n = 1; n <= RecentCount; ++n) {
        const QString recent = QStringLiteral("naRecent%1").arg(n);
        const QString name = QStringLiteral("waRecentFilename%1").arg(n);
        InitAction(FindByInternalId(recent), recent, QStringLiteral("Recent%1").arg(n), 0, false);
        InitAction(FindByInternalId(name), name, QStringLiteral("RecentFilename%1").arg(n), 0,
                   true);
    }
    if (auto* a = FindAction<TWidestringAction>(QStringLiteral("waOpenFile")))
        a->Switch = QStringLiteral("o");
    if (auto* a = FindAction<TBooleanAction>(QStringLiteral("baOpenLastFile")))
        a->SetDefaultValue(true);
}

void TFichierMan::FindActions() {
    naNewFile = FindAction<TNopeAction>(QStringLiteral("naNewFile"));
    waOpenFile = FindAction<TWidestringAction>(QStringLiteral("waOpenFile"));
    waCurrentFileName = FindAction<TWidestringAction>(QStringLiteral("waCurrentFileName"));
    baOpenLastFile = FindAction<TBooleanAction>(QStringLiteral("baOpenLastFile"));
    waInitialDir = FindAction<TWidestringAction>(QStringLiteral("waInitialDir"));
    naPasteFile = FindAction<TNopeAction>(QStringLiteral("naPasteFile"));
    naSaveFile = FindAction<TNopeAction>(QStringLiteral("naSaveFile"));
    waSaveFileAs = FindAction<TWidestringAction>(QStringLiteral("waSaveFileAs"));
    naCloseFile = FindAction<TNopeAction>(QStringLiteral("naCloseFile"));
    naParentFolder = FindAction<TNopeAction>(QStringLiteral("naParentFolder"));
    for (int n = 1; n <= RecentCount; ++n) {
        naRecent[size_t(n - 1)] = FindAction<TNopeAction>(QStringLiteral("naRecent%1").arg(n));
        waRecentFilename[size_t(n - 1)] =
            FindAction<TWidestringAction>(QStringLiteral("waRecentFilename%1").arg(n));
    }
}

void TFichierMan::WireActions() {
    WireFileActions();
    WireRecentActions();
}

void TFichierMan::WireFileActions() {
    const auto texts = [](TCustomAbstractAction* a, const char* caption, const char* hint) {
        if (!a)
            return;
        a->SetCaption(QString::fromUtf8(caption));
        a->SetHint(QString::fromUtf8(hint));
    };
    texts(naNewFile, "New...", "Open a new file");
    texts(waOpenFile, "Open...", "Open a file");
    texts(waCurrentFileName, "Current File", "Current open file");
    texts(baOpenLastFile, "Previous file", "Open the previous file at launch");
    texts(waInitialDir, "Initial Folder",
          "If you change this folder, then files to open will be searched in it");
    texts(naPasteFile, "Paste", "Paste a file");
    texts(naSaveFile, "Save", "Save the current file");
    texts(waSaveFileAs, "Save as...", "Name and save the current file");
    texts(naCloseFile, "Close", "Close the selected file");
    texts(naParentFolder, "Parent folder", "Open the parent folder of the selected file");
    if (naNewFile)
        naNewFile->OnInternalApply = [this] {
            CloseFile();
            NewFile();
        };
    if (waOpenFile) {
        waOpenFile->OnInternalPrepare = [this](QString& value) {
            value = OpenDialog ? OpenDialog(QStringLiteral("Select the file to open"), FInitialDir,
                                            FDialogFilter)
                               : QString();
            return !value.isEmpty();
        };
        waOpenFile->OnInternalApply = [this](const QString& value) {
            CloseFile();
            OpenFile(value);
        };
    }
    if (waCurrentFileName) {
        waCurrentFileName->OnInternalApply = [this](const QString& value) {
            FFileName = value;
            FState = FileExists(value) ? fsOpen : fsNew;
        };
        waCurrentFileName->OnInternalBeforeSave = [this](QString& value) {
            value = FOpenLast && FState != fsNone ? FFileName : QString();
            return true;
        };
    }
    if (baOpenLastFile) {
        baOpenLastFile->OnInternalApply = [this](const bool& value) {
            FOpenLast = value;
            if (!value)
                return;
            if (FileExists(FFileName))
                OpenFile(FFileName);
            else
                NewFile();
        };
        baOpenLastFile->OnInternalBeforeSave = [this](bool& value) {
            value = FOpenLast;
            if (!FOpenLast)
                CloseFile();
            return true;
        };
    }
    if (waInitialDir) {
        waInitialDir->OnInternalPrepare = [this](QString& value) {
            value = FolderDialog ? FolderDialog(QStringLiteral("Select a folder"), FInitialDir)
                                 : QString();
            return !value.isEmpty();
        };
        waInitialDir->OnInternalApply = [this](const QString& value) { FInitialDir = value; };
    }
    if (naPasteFile)
        naPasteFile->OnInternalApply = [this] {
            CloseFile();
            PasteFile();
        };
    if (naSaveFile)
        naSaveFile->OnInternalApply = [this] { SaveFile(); };
    if (waSaveFileAs) {
        waSaveFileAs->OnInternalPrepare = [this](QString& value) { return AskSaveName(value); };
        waSaveFileAs->OnInternalApply = [this](const QString& value) { SaveFileAs(value); };
    }
    if (naCloseFile)
        naCloseFile->OnInternalApply = [this] { CloseFile(); };
    if (naParentFolder)
        naParentFolder->OnInternalApply = [this] { ShowParentFolder(); };
}

void TFichierMan::WireRecentActions() {
    for (int i = 0; i < RecentCount; ++i) {
        if (TNopeAction* a = naRecent[size_t(i)]) {
            a->SetCaption(QString::number(i + 1));
            a->SetHint(QStringLiteral("Open the recent file"));
            a->OnInternalApply = [this, i] { OpenFile(RecentName(i + 1)); };
        }
        if (TWidestringAction* a = waRecentFilename[size_t(i)]) {
            a->SetCaption(QStringLiteral("Filename%1").arg(i + 1));
            a->OnInternalApply = [this, i](const QString& v) { RefreshRecent(i, v, true); };
        }
    }
}

// ---- properties

void TFichierMan::SetFilter(const QString& filter) {
    FFilter = filter;
    FDialogFilter = filter.isEmpty() ? kAllFiles : filter + QStringLiteral(";;") + kAllFiles;
}

void TFichierMan::SetRecentLength(int length) {
    FRecentLength = length;
    for (int i = 0; i < RecentCount; ++i)
        RefreshRecent(i, RecentName(i + 1), false);
}

void TFichierMan::SetCurrentName(const QString& name) {
    if (waCurrentFileName)
        waCurrentFileName->SetValue(name);
    FFileName = name;
}

// ---- operations

void TFichierMan::CloseFile() {
    if (FState == fsNone)
        return;
    if (Modified &&
        DialogService().MessageDlg(
            QStringLiteral(
                "Do you want to save the open file ?\r\nIf not, all changes will be lost"),
            mtWarning, mbYesNo) == mrYes) {
        if (FState == fsNew) {
            if (waSaveFileAs)
                waSaveFileAs->Execute();
        } else if (naSaveFile) {
            naSaveFile->Execute();
        }
    }
    if (OnCloseFile)
        OnCloseFile(FFileName);
    SetCurrentName(QString());
    FState = fsNone;
}

void TFichierMan::NewFile() {
    if (ExistingOnly)
        return;
    QString folder = FInitialDir;
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    QString name = NewFileName;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > FilePartStart(name) - 1 && dot >= 0)
        name.truncate(dot);
    const QString ext =
        DefaultExtension.startsWith(u'.') ? DefaultExtension.mid(1) : DefaultExtension;
    SetCurrentName(folder + name + u'.' + ext);
    FState = fsNew;
    if (OnNewFile)
        OnNewFile();
    Modified = false;
}

QString TFichierMan::LowerExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || dot < FilePartStart(name))
        return {};
    return name.mid(dot).toLower();
}

void TFichierMan::OpenFile(const QString& name) {
    const QString ext = LowerExtension(name);
    if ((OnTestExtension && !OnTestExtension(ext, name)) || !FileExists(name))
        return;
    SetCurrentName(name);
    FState = fsOpen;
    if (OnOpenFile && !OnOpenFile(name) && OnErrorOpenFile)
        OnErrorOpenFile(name);
    PushRecent();
    Modified = false;
}

void TFichierMan::PasteFile() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return;
    QString name;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) {
                name = url.toLocalFile();
                break;
            }
    } else if (data->hasText()) {
        // A file name copied as text: a path, or a file:// address.
        name = LocalFileOf(data->text());
    }
    if (!name.isEmpty())
        OpenFile(name);
}

void TFichierMan::SaveFile() {
    if (FState == fsNew) {
        if (waSaveFileAs)
            waSaveFileAs->Execute();
        return;
    }
    if (FState != fsOpen)
        return;
    if (OnSaveFile)
        OnSaveFile(FFileName);
    Modified = false;
}

bool TFichierMan::AskSaveName(QString& name) {
    if (!OnSaveFile || FState == fsNone || !SaveDialog)
        return false;
    const QString suffix = DefaultExtension.mid(1);
    name = SaveDialog(QStringLiteral("Select the target file"), suffix, ProposeSaveName(FFileName),
                      FDialogFilter);
    if (name.isEmpty())
        return false;
    if (name == NewFileName)
        name += u'1';
    if (QFileInfo::exists(name) && DeleteExisting != ctAlways) {
        if (DeleteExisting == ctNever)
            return false;
        return DialogService().MessageDlg(
                   QStringLiteral("Do you want to overwrite the existing file:\r\n") + name +
                       QStringLiteral(" ?"),
                   mtWarning, mbYesNo) == mrYes;
    }
    return true;
}

void TFichierMan::SaveFileAs(const QString& name) {
    if (FState == fsNone)
        return;
    SetCurrentName(name);
    if (OnSaveFile)
        OnSaveFile(name);
    FState = fsOpen;
    ReplaceRecent();
    Modified = false;
}

void TFichierMan::ShowParentFolder() {
    if (RevealFile && !FFileName.isEmpty())
        RevealFile(FFileName);
}

// ---- recent files

QString TFichierMan::RecentName(int n) const {
    if (n < 1 || n > RecentCount || !waRecentFilename[size_t(n - 1)])
        return {};
    return waRecentFilename[size_t(n - 1)]->Value();
}

void TFichierMan::SetRecent(int index, const QString& name) {
    if (TWidestringAction* a = waRecentFilename[size_t(index)])
        a->SetValue(name);
}

void TFichierMan::PushRecent() {
    int found = -1;
    for (int i = 0; i < RecentCount; ++i)
        if (RecentName(i + 1) == FFileName) {
            found = i;
            break;
        }
    if (found == 0)
        return;
    // The names above its place (or the first nine) go one place down.
    const int last = found < 0 ? RecentCount - 1 : found;
    for (int i = last; i > 0; --i)
        SetRecent(i, RecentName(i));
    SetRecent(0, FFileName);
}

void TFichierMan::ReplaceRecent() {
    if (!FileExists(FFileName))
        return;
    for (int i = 0; i < RecentCount - 1; ++i)
        SetRecent(i, RecentName(i + 2));
    SetRecent(RecentCount - 1, QString());
    PushRecent();
}

void TFichierMan::RefreshRecent(int index, const QString& name, bool visibility) {
    TNopeAction* a = naRecent[size_t(index)];
    if (!a)
        return;
    a->SetCaption(QString::number(index + 1) + u' ' + ShortenName(name, FRecentLength));
    if (visibility)
        a->SetVisible(FileExists(name));
}

QString TFichierMan::ShortenName(const QString& name, int length) {
    const qsizetype start = FilePartStart(name);
    QString folder = name.left(start);
    QString file = name.mid(start);
    if (file.size() > length - 4)
        file = file.left(std::max(0, length - 4));
    if (length - file.size() < folder.size())
        folder = folder.left(std::max<qsizetype>(0, length - file.size())) + QStringLiteral(".../");
    return folder + file;
}

QString TFichierMan::ProposeSaveName(const QString& name) {
    if (!QFileInfo::exists(name))
        return name;
    const qsizetype start = FilePartStart(name);
    const qsizetype dot = name.lastIndexOf(u'.');
    const bool hasExt = dot >= start && dot >= 0;
    QString stem = hasExt ? name.left(dot) : name;
    const QString ext = hasExt ? name.mid(dot) : QString();
    // A stem that ends with "_" and three digits loses them.
    if (stem.size() - start >= 4 && stem[stem.size() - 4] == u'_' &&
        stem.right(3).toStdU16String().find_first_not_of(u"0123456789") == std::u16string::npos)
        stem.chop(4);
    for (int n = 1;; ++n) {
        const QString candidate =
            stem + u'_' + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')) + ext;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

// ---- dropping and dragging files

void TFichierMan::SetDragControl(QWidget* control) {
    if (FDragControl == control)
        return;
    if (FDragControl) {
        FDragControl->removeEventFilter(this);
        FDragControl->setAcceptDrops(FDragControlAcceptedDrops);
    }
    FDragControl = control;
    FPressed = false;
    if (!control)
        return;
    FDragControlAcceptedDrops = control->acceptDrops();
    control->setAcceptDrops(true);
    control->installEventFilter(this);
}

bool TFichierMan::DropFiles(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* data = drop->mimeData();
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString name = url.toLocalFile();
        // File names differ by case on this platform: only the same name is the open file.
        if (name != FFileName)
            OpenFile(name);
        break;
    }
    drop->acceptProposedAction();
    return true;
}

void TFichierMan::StartFileDrag() {
    FPressed = false;
    if (FFileName.isEmpty() || !FDragControl || !DragFile)
        return;
    DragFile(FDragControl, FFileName);
}

bool TFichierMan::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FDragControl || FDestroying)
        return TZvActionComponent::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        if (enter->mimeData() && enter->mimeData()->hasUrls())
            enter->acceptProposedAction();
        break;
    }
    case QEvent::Drop:
        DropFiles(event);
        break;
    case QEvent::MouseButtonPress:
        FPressPoint = static_cast<QMouseEvent*>(event)->position().toPoint();
        FPressed = true;
        break;
    case QEvent::MouseMove: {
        auto* move = static_cast<QMouseEvent*>(event);
        const QPoint d = move->position().toPoint() - FPressPoint;
        if (FPressed && (move->buttons() & (Qt::LeftButton | Qt::RightButton)) &&
            (std::abs(d.x()) >= DragDistance || std::abs(d.y()) >= DragDistance))
            StartFileDrag();
        break;
    }
    default:
        break;
    }
    // The control's own handling runs afterwards.
    return TZvActionComponent::eventFilter(watched, event);
}
