#pragma once
// The root of the typed actions: a QAction (so that menus, tool bars and shortcuts use it
// directly) with the fields and operations that every command and setting of the program shares.
//
// Toolkit properties map onto QAction: Name is the objectName, Caption the text, Hint the tool
// tip and status tip, Visible/Enabled the QAction's own; ShortCut and SecondaryShortcuts are kept
// as 16-bit codes and texts and given to the QAction as key sequences. The QAction's triggered
// signal runs Execute (only while enabled, as the toolkit does); AutoCheck is off, so a checkable
// action's mark changes only through the action itself. An exception escaping Execute from the
// GUI goes to the application's error report.
//
// Construction (see commands/uOwnerChain.h for the owner mapping):
// - TCustomAbstractAction(owner): owned by the nearest form, frame or data module of owner.
// - TCustomAbstractAction(internalId, list): owned like that from the list; InternalId is set,
//   the action is put into the list and its Category is "internal".
#include "commands/ActionInterfaces.h"
#include "commands/uActionEvents.h"
#include "commands/uSuperAction.h"
#include "platform/ui/Types.h"

#include <cstdint>

#include <QAction>
#include <QPointer>
#include <QStringList>

class TCustomAbstractAction : public QAction {
public:
    explicit TCustomAbstractAction(QObject* owner);
    TCustomAbstractAction(const QString& internalId, TCustomZvActionList* list);
    ~TCustomAbstractAction() override;

    // The operations of every kind, in the order of the toolkit's virtual table.
    virtual bool RegisterInScript(IScriptHost& host) = 0;
    virtual void Execute() = 0;
    virtual QString GetDeclaration() = 0;
    virtual QString GetSwitchSyntax() = 0;
    virtual void SetValueText(const QString& text) = 0;
    virtual void Apply() = 0;
    virtual bool LoadFromPrefs(IActionPreferences& gp) = 0;
    virtual bool SaveToPrefs(IActionPreferences& gp) = 0;

    // Fields without side effects.
    QString Category;
    QString ScriptName;
    QString Switch;
    QString Variables;
    QString InternalId;
    bool ApplyWhenLoad = false;
    bool IncludePrefs = true;
    QStringList Comments;

    // Toolkit properties.
    QString Name() const { return objectName(); }
    void SetName(const QString& name) { setObjectName(name); }
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    QString Hint() const { return FHint; }
    void SetHint(const QString& hint);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut shortCut);
    const QStringList& SecondaryShortcuts() const { return FSecondaryShortcuts; }
    void SetSecondaryShortcuts(const QStringList& shortCuts);
    bool Visible() const { return isVisible(); }
    void SetVisible(bool visible) { setVisible(visible); }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool autoCheck) { FAutoCheck = autoCheck; }
    int32_t ImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int32_t index);

    // The list the action belongs to (none when it belongs to none).
    TCustomZvActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomZvActionList* list);

    // Variables, or def stored into Variables first when it is empty.
    QString UseVariables(const QString& def);

protected:
    // Refreshes the icon from the list's image list.
    void UpdateIcon();

private:
    friend class TCustomZvActionList;
    void Triggered(bool checked);
    void ApplyShortcuts();

    QString FHint;
    TShortCut FShortCut = 0;
    QStringList FSecondaryShortcuts;
    bool FAutoCheck = false;
    int32_t FImageIndex = -1;
    QPointer<TCustomZvActionList> FActionList;
};
