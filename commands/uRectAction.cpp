#include "commands/uRectAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TRectAction::GetDeclaration() {
    return ValueDeclaration(QStringLiteral("integer"), QStringLiteral("left,right,top,bottom"));
}

QString TRectAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(Variables.isEmpty() ? QStringLiteral("aRect") : Variables);
}

void TRectAction::SetValueText(const QString& text) {
    if (const auto rect = ReadRectText(text))
        SetValue(*rect);
}

QString TRectAction::MacroArguments() const {
    return QString::number(FValue.Left) + QLatin1Char(',') + QString::number(FValue.Right) +
           QLatin1Char(',') + QString::number(FValue.Top) + QLatin1Char(',') +
           QString::number(FValue.Bottom);
}

void TRectAction::ReadValue(IActionPreferences& gp, const QString& key, const TRect& def,
                            TRect& target) {
    target = gp.ReadRect(key, def);
}

bool TRectAction::WriteValue(IActionPreferences& gp, const QString& key, const TRect& value) {
    return gp.WriteRect(key, value);
}

TScriptRoutine TRectAction::ScriptRoutine() {
    // Arguments in the declaration's order: left, right, top, bottom.
    return SettingRoutine(this, [](const QVariantList& a) {
        return TRect{ScriptArgInt(a, 0), ScriptArgInt(a, 2), ScriptArgInt(a, 1),
                     ScriptArgInt(a, 3)};
    });
}
