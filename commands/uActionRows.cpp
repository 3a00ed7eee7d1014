#include "commands/uActionRows.h"

#include "commands/uCustomAbstractAction.h"
#include "commands/uSuperAction.h"

void InitAction(TCustomAbstractAction* action, const QString& id, const QString& scriptName,
                TShortCut shortcut, bool applyWhenLoad) {
    if (!action)
        return;
    action->SetName(id);
    action->ScriptName = scriptName;
    action->SetShortCut(shortcut);
    action->ApplyWhenLoad = applyWhenLoad;
    action->IncludePrefs = true;
    action->Switch.clear();
}

void InitActionRows(TCustomZvActionList& list, std::span<const TActionRow> rows) {
    for (const TActionRow& row : rows) {
        const QString id = QString::fromLatin1(row.Id);
        InitAction(list.FindByInternalId(id), id, QString::fromLatin1(row.ScriptName), row.Shortcut,
                   row.ApplyWhenLoad);
    }
}
