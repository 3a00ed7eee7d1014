#include "commands/uBooleanAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TBooleanAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("Boolean"), QStringLiteral("aBoolean"));
}

QString TBooleanAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("aBoolean")));
}

void TBooleanAction::SetValueText(const QString& text) {
    SetValue(ReadBooleanText(text));
}

QString TBooleanAction::MacroArguments() const {
    return ScriptBoolean(FValue);
}

void TBooleanAction::ReadValue(IActionPreferences& gp, const QString& key, const bool& def,
                               bool& target) {
    target = gp.ReadBool(key, def);
}

bool TBooleanAction::WriteValue(IActionPreferences& gp, const QString& key, const bool& value) {
    return gp.WriteBool(key, value);
}

TScriptRoutine TBooleanAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) { return ScriptArgBool(a, 0); });
}
