#pragma once
// Action lists: an ordered list of actions (typed or not) with one image list, and the operations
// that work on all its typed actions at once, in list order: FindByInternalId, LoadFromPrefs,
// SaveToPrefs, registration with the script host and with the switch runner.
//
// A list refers to its actions but does not own them (their owner is their form); an action that
// is destroyed leaves its list. When the list's owner chain reaches a window, the list's actions
// are added to that window so that their shortcuts work in it. GUI thread only.
//
// Script host: assigning PascalScript chains the list's RegisterActions in front of the host's
// compile hook, so that at each compilation the host's own declarations come first, then those of
// every attached list in the order of attachment. Detaching (or the list's destruction) takes the
// list out of the chain again; the destruction of the host clears PascalScript.
#include "commands/ActionInterfaces.h"
#include "commands/uActionEvents.h"
#include "commands/uZvSwitch.h"
#include "platform/ui/ImageList.h"

#include <memory>

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QAction;
class TCustomAbstractAction;

class TCustomZvActionList : public QObject {
public:
    explicit TCustomZvActionList(QObject* owner = nullptr);
    ~TCustomZvActionList() override;

    // The toolkit's list of actions of any kind, in order.
    void AddAction(QAction* action);
    void RemoveAction(QAction* action);
    int ActionCount() const;
    QAction* Actions(int index) const;
    // The typed actions, in list order.
    QList<TCustomAbstractAction*> TypedActions() const;

    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images);

    // The first typed action whose InternalId equals id exactly (letter case counts), or none.
    TCustomAbstractAction* FindByInternalId(const QString& id) const;
    template <class T>
    T* FindAction(const QString& id) const {
        return dynamic_cast<T*>(FindByInternalId(id));
    }

    // Loads (saves) every typed action whose IncludePrefs is set, in order; a failing action does
    // not stop the others. Then OnLoadFromPrefs (OnSaveToPrefs). True when nothing failed.
    bool LoadFromPrefs(IActionPreferences& gp);
    bool SaveToPrefs(IActionPreferences& gp);
    TListLoadEvent OnLoadFromPrefs;
    TListSaveEvent OnSaveToPrefs;

    IScriptHost* PascalScript() const { return FPascalScript; }
    void SetPascalScript(IScriptHost* host);
    // Registers every typed action with the host (refusals are ignored).
    void RegisterActions(IScriptHost& host);

    TZvSwitch* Switch() const { return FSwitch; }
    // Moves the list's actions from the old runner to the new one; the same runner again does
    // nothing.
    void SetSwitch(TZvSwitch* runner);

private:
    struct TCompileLink;

    QList<QPointer<QAction>> FActions;
    QPointer<TImageList> FImages;
    IScriptHost* FPascalScript = nullptr;
    QMetaObject::Connection FHostWatch;
    std::shared_ptr<bool> FLinkActive;
    QPointer<TZvSwitch> FSwitch;
};

// The plain list of a form (the main window's general actions, the script window's macros).
class TZvActionList : public TCustomZvActionList {
public:
    using TCustomZvActionList::TCustomZvActionList;
};
