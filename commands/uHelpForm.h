#pragma once
// THelpForm: the window "Help for Shortcuts, Scripts and Macros". It lists every typed action
// of the action lists given to AddList, one tab page per group ("Kelvara" for the main window's
// lists, "Scripts" for the script window's), each page sortable alphabetically, by shortcut or by
// switch through the list boxes' pop-up menu. The selected entry's script name and shortcut,
// hint, script declaration, switch syntax and comments are shown on the right, each taken from
// the action itself; double-clicking an entry runs its action as the GUI would.
//
// The window is created hidden; its owner shows and hides it and is told through the closed
// handler when the user closes it. Entries refer to their actions weakly: an action destroyed
// before the window leaves an entry that shows nothing and runs nothing. GUI thread only.
#include "commands/uObjetListbox.h"

#include <functional>

#include <QPointer>
#include <QWidget>

class QMenu;
class QsciScintilla;
class QTabWidget;
class TCustomAbstractAction;
class TCustomZvActionList;
class TLinkEdit;

// An entry for a typed action: its display text and alphabetical key are its script name.
class TActionObjet : public TAbstractListObjet {
public:
    explicit TActionObjet(TCustomAbstractAction* action);

    // None once the action has been destroyed.
    TCustomAbstractAction* Action() const { return FAction; }
    // "shortcut": the shortcut text (or "zzz") then the script name; "switch": the switch (or
    // "zzz") then the script name; "alpha": the script name; any other order: empty.
    QString GetSortKey(const TSortIndex& index) const override;

private:
    QPointer<TCustomAbstractAction> FAction;
};

class THelpForm : public QWidget {
public:
    explicit THelpForm(QWidget* parent = nullptr);
    ~THelpForm() override;

    // Called when the user closes the window.
    void SetClosedHandler(std::function<void()> handler);

    // Adds every typed action of the list, in list order, to the page named pageName (created on
    // first use), then sorts that page alphabetically and selects its first entry.
    void AddList(const QString& pageName, TCustomZvActionList* list);

    // Gives the order to every list box of the window and resorts each (the pop-up menu).
    void SortAll(const TSortIndex& index);
    // Shows the details of the selected entry of the visible page (clears them without one).
    void ShowDetails();
    // Runs the action of the selected entry of the visible page (as a double-click does).
    void RunSelected();

    // The list box of the page of that name, or none.
    TObjetListBox* ListBox(const QString& pageName) const;
    // The list box of the visible page, or none.
    TObjetListBox* VisibleListBox() const;

    // The controls, named as in the window description.
    QTabWidget* pc;
    TLinkEdit* leName;
    TLinkEdit* leHint;
    QsciScintilla* leSyntaxe;
    TLinkEdit* leSwitch;
    TLinkEdit* leCommentaire;
    QMenu* pmenu;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TObjetListBox* CreatePage(const QString& pageName);
    void ShowAction(TCustomAbstractAction* action);
    void ClearDetails();
    void LayoutControls();

    std::function<void()> FClosedHandler;
};
