#include "commands/uPointAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TPointAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("integer"), QStringLiteral("x,y"));
}

QString TPointAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("x,y")));
}

void TPointAction::SetValueText(const QString& text) {
    if (const auto point = ReadPointText(text))
        SetValue(*point);
}

QString TPointAction::MacroArguments() const {
    return QString::number(FValue.x) + QLatin1Char(',') + QString::number(FValue.y);
}

void TPointAction::ReadValue(IActionPreferences& gp, const QString& key, const TPoint& def,
                             TPoint& target) {
    target = gp.ReadPoint(key, def);
}

bool TPointAction::WriteValue(IActionPreferences& gp, const QString& key, const TPoint& value) {
    return gp.WritePoint(key, value);
}

TScriptRoutine TPointAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) {
        return TPoint{ScriptArgInt(a, 0), ScriptArgInt(a, 1)};
    });
}
