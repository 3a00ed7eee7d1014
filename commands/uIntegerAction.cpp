#include "commands/uIntegerAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TIntegerAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("integer"), QStringLiteral("aInteger"));
}

QString TIntegerAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("aInteger")));
}

void TIntegerAction::SetValueText(const QString& text) {
    SetValue(ReadIntegerText(text).value_or(-1));
}

QString TIntegerAction::MacroArguments() const {
    return QString::number(FValue);
}

void TIntegerAction::ReadValue(IActionPreferences& gp, const QString& key, const int32_t& def,
                               int32_t& target) {
    target = gp.ReadInteger(key, def);
}

bool TIntegerAction::WriteValue(IActionPreferences& gp, const QString& key, const int32_t& value) {
    return gp.WriteInteger(key, value);
}

TScriptRoutine TIntegerAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) { return ScriptArgInt(a, 0); });
}
