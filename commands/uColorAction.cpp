#include "commands/uColorAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"
#include "platform/ui/Colors.h"

QString TColorAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("TColor"), QStringLiteral("aColor"));
}

QString TColorAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("aColor")));
}

void TColorAction::SetValueText(const QString& text) {
    std::optional<TColor> color = IdentToColor(text);
    if (!color)
        color = ReadIntegerText(text);
    if (color)
        SetValue(*color);
}

QString TColorAction::MacroArguments() const {
    return ScriptHexColor(FValue);
}

void TColorAction::ReadValue(IActionPreferences& gp, const QString& key, const TColor& def,
                             TColor& target) {
    target = gp.ReadInteger(key, def);
}

bool TColorAction::WriteValue(IActionPreferences& gp, const QString& key, const TColor& value) {
    return gp.WriteInteger(key, value);
}

TScriptRoutine TColorAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) { return ScriptArgInt(a, 0); });
}
