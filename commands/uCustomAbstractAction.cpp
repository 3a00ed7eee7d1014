#include "commands/uCustomAbstractAction.h"

#include "commands/uOwnerChain.h"
#include "commands/uSuperAction.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ShortCuts.h"

#include <QSignalBlocker>

TCustomAbstractAction::TCustomAbstractAction(QObject* owner) : QAction(FindOwnerRoot(owner)) {
    connect(this, &QAction::triggered, this, &TCustomAbstractAction::Triggered);
}

TCustomAbstractAction::TCustomAbstractAction(const QString& internalId, TCustomZvActionList* list)
    : TCustomAbstractAction(static_cast<QObject*>(list)) {
    InternalId = internalId;
    SetActionList(list);
    Category = QStringLiteral("internal");
}

TCustomAbstractAction::~TCustomAbstractAction() {
    if (FActionList)
        FActionList->RemoveAction(this);
}

void TCustomAbstractAction::SetHint(const QString& hint) {
    FHint = hint;
    setToolTip(hint);
    setStatusTip(hint);
}

void TCustomAbstractAction::SetShortCut(TShortCut shortCut) {
    FShortCut = shortCut;
    ApplyShortcuts();
}

void TCustomAbstractAction::SetSecondaryShortcuts(const QStringList& shortCuts) {
    FSecondaryShortcuts = shortCuts;
    ApplyShortcuts();
}

void TCustomAbstractAction::ApplyShortcuts() {
    QList<QKeySequence> keys;
    const QKeySequence primary = ShortCutToKeySequence(FShortCut);
    if (!primary.isEmpty())
        keys.push_back(primary);
    for (const QString& text : FSecondaryShortcuts) {
        const QKeySequence k = ShortCutToKeySequence(TextToShortCut(text));
        if (!k.isEmpty() && !keys.contains(k))
            keys.push_back(k);
    }
    setShortcuts(keys);
}

void TCustomAbstractAction::SetImageIndex(int32_t index) {
    FImageIndex = index;
    UpdateIcon();
}

void TCustomAbstractAction::UpdateIcon() {
    TImageList* images = FActionList ? FActionList->Images() : nullptr;
    setIcon(images ? images->Icon(FImageIndex) : QIcon());
}

void TCustomAbstractAction::SetActionList(TCustomZvActionList* list) {
    if (list == FActionList)
        return;
    if (FActionList)
        FActionList->RemoveAction(this);
    if (list)
        list->AddAction(this);
}

QString TCustomAbstractAction::UseVariables(const QString& def) {
    if (Variables.isEmpty())
        Variables = def;
    return Variables;
}

void TCustomAbstractAction::Triggered(bool checked) {
    if (!FAutoCheck && isCheckable()) {
        // The QAction has already flipped its mark; only the action itself may change it.
        const QSignalBlocker block(this);
        setChecked(!checked);
    }
    try {
        Execute();
    } catch (const std::exception& e) {
        Application().ShowException(e);
    }
}
