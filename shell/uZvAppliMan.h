#pragma once
// TZvAppliMan: the application manager, the action component that gives the main window its
// application-level commands: the script window (F12) and the help window (F1), three pages laid
// over the main window (settings F10, a custom page Alt+F10, about F11; at most one shows at a
// time), quitting, an e-mail to the author, the home page, and the main window's bounds kept in
// the preferences. It creates the program's one script window (with its script host), help
// window and switch runner, and attaches its own list to that host.
//
// Pages: each page is a panel filling WinControl below its top bar (TopMargin pixels, so that the
// window's tool bar stays reachable); the frame given for the page sits centred on it. Without a
// frame a page action only changes its state and captions. The settings frame carries a close link
// ("closeOptions"), the about frame's close field one too ("closeAbout"); clicking either unchecks
// its page action as a user's change.
//
// Lifecycle: construct with the main window as owner, then BuildActions(); assign WinControl and
// the frames. The page states are kept in the preferences but not applied at load; raFormSave is
// (it restores the window's bounds). The script and help windows are top-level windows owned by
// the main window, destroyed with the manager.
//
// Thread contract: GUI thread only.
#include "commands/uWndComponent.h"
#include "shell/uLinkEdit.h"

#include <functional>
#include <memory>

#include <QPointer>
#include <QStringList>

class QWidget;
class TCheckAction;
class THelpForm;
class TImageList;
class TNopeAction;
class TRectAction;
class TScriptForm;
class TZvScript;
class TZvSwitch;

class TZvAppliMan : public TZvActionComponent {
public:
    // The link targets of the close links.
    static const QString CloseOptionsTarget; // "closeOptions"
    static const QString CloseAboutTarget;   // "closeAbout"

    explicit TZvAppliMan(QWidget* owner);
    ~TZvAppliMan() override;

    // Published properties.
    QWidget* WinControl() const { return FWinControl; }
    void SetWinControl(QWidget* control);
    // The height of the window's own bars at the top of WinControl that the pages leave visible.
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int pixels);
    QStringList TitreUses, UrlUses; // components the about page names (none in the program)
    QWidget* OptionsFrame() const { return FOptionsFrame; }
    void SetOptionsFrame(QWidget* frame);
    QWidget* CustomFrame() const { return FCustomFrame; }
    void SetCustomFrame(QWidget* frame);
    QWidget* AboutFrame() const { return FAboutFrame; }
    void SetAboutFrame(QWidget* frame);
    bool OptionsCloseVisible() const { return FOptionsCloseVisible; }
    void SetOptionsCloseVisible(bool visible);

    // What the manager created.
    TScriptForm* ScriptForm() const;
    THelpForm* HelpForm() const;
    TZvScript* ScriptHost() const;
    TZvSwitch* Switches() const { return FSwitches; }
    QWidget* OptionsPanel() const { return FOptionsPanel; }
    QWidget* CustomPanel() const { return FCustomPanel; }
    QWidget* AboutPanel() const { return FAboutPanel; }
    TLinkEdit* OptionsCloseLink() const { return FOptionsClose; }

    // Opens a web address or a mail link with the desktop (replaceable: tests note the address
    // instead). Its result is not reported to the user.
    std::function<bool(const QString& address)> OpenUrl;

    // The about page's texts, as it shows them.
    QString UsesText() const;
    static QString InfosText(const QString& usesText);
    static QString CloseText(const QString& key, const QString& target);
    // The mail that naEMail starts.
    static QString EMailLink();

    TCheckAction* caScript = nullptr;
    TCheckAction* caHelp = nullptr;
    TCheckAction* caAbout = nullptr;
    TCheckAction* caOptions = nullptr;
    TCheckAction* caCustom = nullptr;
    TNopeAction* naQuit = nullptr;
    TNopeAction* naEMail = nullptr;
    TNopeAction* naHomePage = nullptr;
    TRectAction* raFormSave = nullptr;

protected:
    void CreateActions() override;
    void InitActions() override;
    void FindActions() override;
    void WireActions() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePanels();
    void CreateOptionsClose();
    void InitCheckAction(TCheckAction* action, const char* caption, const char* trueHint,
                         const char* falseHint, int image);
    void WireWindowActions();
    void WirePageActions();
    void WireFormSave();
    void WireCloseLink(TLinkEdit* link);
    void FillAbout();
    void ShowPage(QWidget* panel, QWidget* frame, bool shown);
    void PlacePanels();
    void CentreFrame(QWidget* panel);
    QWidget* MainForm() const;

    QPointer<QWidget> FForm;
    QPointer<QWidget> FWinControl;
    int FTopMargin = 0;
    QPointer<QWidget> FOptionsFrame, FCustomFrame, FAboutFrame;
    QPointer<QWidget> FOptionsPanel, FCustomPanel, FAboutPanel;
    QPointer<TLinkEdit> FOptionsClose;
    bool FOptionsCloseVisible = true;
    // Windows of their own, owned by the main window (so that they stay with it and never keep
    // the program running); the manager destroys them first when it goes first.
    QPointer<TScriptForm> FScriptForm;
    QPointer<THelpForm> FHelpForm;
    TZvSwitch* FSwitches = nullptr;
    std::shared_ptr<TImageList> FImages; // the shared image module's list
};
