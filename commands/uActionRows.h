#pragma once
// The fixed properties that a component gives each of its own actions in InitActions, as one
// row of a table: internal id (also the action's name), script name, shortcut and whether the
// action is applied at load. Such an action is kept in the preferences and has no switch until
// the component gives it one.
#include "platform/ui/Types.h"

#include <span>

#include <QString>

class TCustomAbstractAction;
class TCustomZvActionList;

struct TActionRow {
    const char* Id;
    const char* ScriptName;
    TShortCut Shortcut;
    bool ApplyWhenLoad;
};

// Gives the action those properties (nothing when there is no action).
void InitAction(TCustomAbstractAction* action, const QString& id, const QString& scriptName,
                TShortCut shortcut, bool applyWhenLoad);
// The same for each row's action of the list, found by its internal id.
void InitActionRows(TCustomZvActionList& list, std::span<const TActionRow> rows);
