#include "commands/uDoubleAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TDoubleAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("Double"), QStringLiteral("aDouble"));
}

QString TDoubleAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("aDouble")));
}

void TDoubleAction::SetValueText(const QString& text) {
    SetValue(ReadDoubleText(text, QLocale()).value_or(-1.0));
}

QString TDoubleAction::MacroArguments() const {
    return ScriptDouble(FValue);
}

void TDoubleAction::ReadValue(IActionPreferences& gp, const QString& key, const double& def,
                              double& target) {
    target = gp.ReadFloat(key, def);
}

bool TDoubleAction::WriteValue(IActionPreferences& gp, const QString& key, const double& value) {
    return gp.WriteFloat(key, value);
}

TScriptRoutine TDoubleAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) { return ScriptArgDouble(a, 0); });
}
