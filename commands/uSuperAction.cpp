#include "commands/uSuperAction.h"

#include "commands/uCustomAbstractAction.h"
#include "commands/uOwnerChain.h"
#include "commands/uZvSwitch.h"

#include <QWidget>

// The list's link in a host's compile hook chain: calls the hook it replaced, then registers the
// list's actions. A link whose list left the chain (or was destroyed) only passes the call on.
struct TCustomZvActionList::TCompileLink {
    QPointer<TCustomZvActionList> List;
    IScriptHost::TCompileHook Previous;
    std::shared_ptr<bool> Active;

    void operator()(IScriptHost& host) const {
        if (Previous)
            Previous(host);
        if (*Active && List)
            List->RegisterActions(host);
    }
};

TCustomZvActionList::TCustomZvActionList(QObject* owner) : QObject(owner) {}

TCustomZvActionList::~TCustomZvActionList() {
    SetSwitch(nullptr);
    SetPascalScript(nullptr);
    for (const QPointer<QAction>& a : FActions)
        if (auto* typed = dynamic_cast<TCustomAbstractAction*>(a.data()))
            typed->FActionList = nullptr;
}

void TCustomZvActionList::AddAction(QAction* action) {
    if (!action || FActions.contains(action))
        return;
    auto* typed = dynamic_cast<TCustomAbstractAction*>(action);
    if (typed && typed->FActionList)
        typed->FActionList->RemoveAction(action);
    FActions.push_back(action);
    connect(action, &QObject::destroyed, this, [this] { FActions.removeAll(nullptr); });
    if (auto* window = qobject_cast<QWidget*>(FindOwnerRoot(this)); window && window->isWindow())
        window->addAction(action);
    if (typed) {
        typed->FActionList = this;
        typed->UpdateIcon();
    }
}

void TCustomZvActionList::RemoveAction(QAction* action) {
    if (!action || !FActions.contains(action))
        return;
    FActions.removeAll(action);
    disconnect(action, &QObject::destroyed, this, nullptr);
    if (auto* window = qobject_cast<QWidget*>(FindOwnerRoot(this)))
        window->removeAction(action);
    auto* typed = dynamic_cast<TCustomAbstractAction*>(action);
    if (typed && typed->FActionList == this)
        typed->FActionList = nullptr;
}

int TCustomZvActionList::ActionCount() const {
    return int(FActions.size());
}

QAction* TCustomZvActionList::Actions(int index) const {
    return index >= 0 && index < FActions.size() ? FActions.at(index).data() : nullptr;
}

QList<TCustomAbstractAction*> TCustomZvActionList::TypedActions() const {
    QList<TCustomAbstractAction*> typed;
    for (const QPointer<QAction>& a : FActions)
        if (auto* t = dynamic_cast<TCustomAbstractAction*>(a.data()))
            typed.push_back(t);
    return typed;
}

void TCustomZvActionList::SetImages(TImageList* images) {
    FImages = images;
    for (TCustomAbstractAction* a : TypedActions())
        a->UpdateIcon();
}

TCustomAbstractAction* TCustomZvActionList::FindByInternalId(const QString& id) const {
    for (TCustomAbstractAction* a : TypedActions())
        if (a->InternalId == id)
            return a;
    return nullptr;
}

namespace {

// Walks the typed actions that take part in the preferences; a step that fails makes the result
// false, an exception ends the walk with the result it had.
template <class Step, class Event>
bool WalkPrefs(const QList<TCustomAbstractAction*>& actions, IActionPreferences& gp, Step step,
               const Event& event) {
    bool result = true;
    try {
        QList<QPointer<TCustomAbstractAction>> walk(actions.begin(), actions.end());
        for (const auto& a : walk)
            if (a && a->IncludePrefs && !step(*a, gp))
                result = false;
        if (event && !event(gp))
            result = false;
    } catch (...) {
    }
    return result;
}

} // namespace

bool TCustomZvActionList::LoadFromPrefs(IActionPreferences& gp) {
    return WalkPrefs(
        TypedActions(), gp,
        [](TCustomAbstractAction& a, IActionPreferences& p) { return a.LoadFromPrefs(p); },
        OnLoadFromPrefs);
}

bool TCustomZvActionList::SaveToPrefs(IActionPreferences& gp) {
    return WalkPrefs(
        TypedActions(), gp,
        [](TCustomAbstractAction& a, IActionPreferences& p) { return a.SaveToPrefs(p); },
        OnSaveToPrefs);
}

void TCustomZvActionList::SetPascalScript(IScriptHost* host) {
    if (host == FPascalScript)
        return;
    if (FPascalScript) {
        disconnect(FHostWatch);
        // Give the host back the hook this list replaced when the list is still in front;
        // otherwise lists attached later call through this link, which now only passes on.
        const IScriptHost::TCompileHook current = FPascalScript->CompileHook();
        const TCompileLink* link = current.target<TCompileLink>();
        if (link && link->Active == FLinkActive)
            FPascalScript->SetCompileHook(link->Previous);
        *FLinkActive = false;
        FLinkActive.reset();
    }
    FPascalScript = host;
    if (!host)
        return;
    FLinkActive = std::make_shared<bool>(true);
    host->SetCompileHook(TCompileLink{this, host->CompileHook(), FLinkActive});
    if (QObject* watched = host->HostObject())
        FHostWatch = connect(watched, &QObject::destroyed, this, [this] {
            FPascalScript = nullptr;
            FLinkActive.reset();
        });
}

void TCustomZvActionList::RegisterActions(IScriptHost& host) {
    const QList<TCustomAbstractAction*> actions = TypedActions();
    QList<QPointer<TCustomAbstractAction>> walk(actions.begin(), actions.end());
    for (const auto& a : walk)
        if (a)
            a->RegisterInScript(host);
}

void TCustomZvActionList::SetSwitch(TZvSwitch* runner) {
    if (runner == FSwitch)
        return;
    if (FSwitch)
        FSwitch->RemoveActions(*this);
    FSwitch = runner;
    if (runner)
        runner->AddActions(*this);
}
