#include "commands/uWidestringAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TWidestringAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("widestring"), QStringLiteral("aWidestring"));
}

QString TWidestringAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("aWidestring")));
}

void TWidestringAction::SetValueText(const QString& text) {
    SetValue(text);
}

QString TWidestringAction::MacroArguments() const {
    return ScriptString(FValue);
}

void TWidestringAction::ReadValue(IActionPreferences& gp, const QString& key, const QString& def,
                                  QString& target) {
    target = gp.ReadString(key, def);
}

bool TWidestringAction::WriteValue(IActionPreferences& gp, const QString& key,
                                   const QString& value) {
    return gp.WriteString(key, value);
}

TScriptRoutine TWidestringAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) { return ScriptArgString(a, 0); });
}
