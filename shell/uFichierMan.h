#pragma once
// The file manager of a window: the document-file commands (new, open, paste a file, save, save
// as, close, the parent folder), the ten recent files, reopening the previous file at start, the
// folder the open dialog starts in, files dropped onto a control and the current file dragged out
// of it. It keeps the current file's name and whether it is open, new or absent, asks before
// losing changes and before overwriting, and leaves reading, writing and closing to its owner
// through events.
//
// File names are this platform's: the folder ends at the last "/", the extension starts at the
// last "." after it.
//
// Thread contract: a component of the GUI thread. Questions go through the dialog service; the
// file dialogs through the replaceable functions below (headless runs get a cancelled dialog).
#include "commands/uWndComponent.h"

#include <array>
#include <functional>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QWidget;
class TBooleanAction;
class TNopeAction;
class TWidestringAction;

enum TConfirmType { ctAlways = 0, ctNever = 1, ctAskif = 2 };
enum TFileState { fsOpen = 0, fsNew = 1, fsNone = 2 };

class TFichierMan : public TZvActionComponent {
public:
    static constexpr int RecentCount = 10;
    // The distance the mouse moves with a button held before the current file is dragged out.
    static constexpr int DragDistance = 10;

    explicit TFichierMan(QObject* owner = nullptr);
    ~TFichierMan() override;

    // Published properties.
    TConfirmType DeleteExisting = ctAskif;
    TConfirmType SaveType = ctAskif; // kept with the component, not consulted
    bool ExistingOnly = false;
    QString DefaultExtension; // with its dot
    QString NewFileName;
    const QString& Filter() const { return FFilter; }
    // The dialogs' filter: "All files (*)" alone, or after the given one.
    void SetFilter(const QString& filter);
    QString DialogFilter() const { return FDialogFilter; }
    int RecentLength() const { return FRecentLength; }
    void SetRecentLength(int length);
    QWidget* DragControl() const { return FDragControl.data(); }
    void SetDragControl(QWidget* control);
    bool Modified = false;

    std::function<void()> OnNewFile;
    std::function<bool(const QString&)> OnOpenFile;
    std::function<bool(const QString&)> OnSaveFile;
    std::function<void(const QString&)> OnCloseFile;
    std::function<bool(const QString&)> OnErrorOpenFile;
    std::function<bool(const QString& lowerExt, const QString& fileName)> OnTestExtension;

    // The file dialogs; each answers the chosen name, or an empty text when cancelled.
    std::function<QString(const QString& title, const QString& folder, const QString& filter)>
        OpenDialog;
    std::function<QString(const QString& title, const QString& defaultSuffix,
                          const QString& proposed, const QString& filter)>
        SaveDialog;
    std::function<QString(const QString& title, const QString& start)> FolderDialog;
    // Shows a file in the desktop's file manager.
    std::function<bool(const QString&)> RevealFile;
    // Drags the file out of the control (the toolkit's drag and drop of a file list).
    std::function<void(QWidget* source, const QString& file)> DragFile;

    // Operations.
    void CloseFile();
    void NewFile();
    void OpenFile(const QString& name);
    void PasteFile();
    void SaveFile();
    bool AskSaveName(QString& name);
    void SaveFileAs(const QString& name);
    void ShowParentFolder();
    void PushRecent();
    void ReplaceRecent();
    static QString ShortenName(const QString& name, int length);
    static QString ProposeSaveName(const QString& name);
    // The lower-cased extension with its dot, empty when there is none.
    static QString LowerExtension(const QString& name);

    const QString& CurrentFileName() const { return FFileName; }
    TFileState FileState() const { return FState; }
    const QString& InitialDir() const { return FInitialDir; }
    QString RecentName(int n) const; // 1 .. 10

    TNopeAction* naNewFile = nullptr;
    TWidestringAction* waOpenFile = nullptr;
    TWidestringAction* waCurrentFileName = nullptr;
    TBooleanAction* baOpenLastFile = nullptr;
    TWidestringAction* waInitialDir = nullptr;
    TNopeAction* naPasteFile = nullptr;
    TNopeAction* naSaveFile = nullptr;
    TWidestringAction* waSaveFileAs = nullptr;
    TNopeAction* naCloseFile = nullptr;
    TNopeAction* naParentFolder = nullptr;
    std::array<TNopeAction*, RecentCount> naRecent{};
    std::array<TWidestringAction*, RecentCount> waRecentFilename{};

protected:
    void CreateActions() override;
    void InitActions() override;
    void FindActions() override;
    void WireActions() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WireFileActions();
    void WireRecentActions();
    void SetCurrentName(const QString& name);
    void RefreshRecent(int index, const QString& name, bool visibility);
    void SetRecent(int index, const QString& name);
    bool DropFiles(QEvent* event);
    void StartFileDrag();

    QString FFileName;
    TFileState FState = fsNone;
    bool FOpenLast = true;
    QString FInitialDir;
    QString FFilter;
    QString FDialogFilter;
    int FRecentLength = 50;
    QPointer<QWidget> FDragControl;
    bool FDragControlAcceptedDrops = false;
    QPoint FPressPoint;
    bool FPressed = false;
    bool FDestroying = false;
};
