#include "commands/uFontAction.h"

#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

QString TFontAction::GetDeclaration() {
    return QLatin1String("procedure ") + ScriptName +
           QLatin1String("(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;"
                         "isItalic:Boolean;isUnderline:Boolean;isStrikeOut:Boolean);");
}

QString TFontAction::GetSwitchSyntax() {
    return ValueSwitchSyntax(UseVariables(QStringLiteral("aFont")));
}

void TFontAction::SetValueText(const QString&) {}

QString TFontAction::MacroArguments() const {
    const QString sep = QStringLiteral(", ");
    return ScriptString(FValue.Name) + sep + QString::number(FValue.Size()) + sep +
           ScriptHexColor(FValue.Color) + sep + ScriptBoolean(FValue.HasStyle(fsBold)) + sep +
           ScriptBoolean(FValue.HasStyle(fsItalic)) + sep +
           ScriptBoolean(FValue.HasStyle(fsUnderline)) + sep +
           ScriptBoolean(FValue.HasStyle(fsStrikeOut));
}

void TFontAction::ReadValue(IActionPreferences& gp, const QString& key, const TFont& def,
                            TFont& target) {
    gp.ReadFont(key, def, target);
}

bool TFontAction::WriteValue(IActionPreferences& gp, const QString& key, const TFont& value) {
    return gp.WriteFont(key, value);
}

TScriptRoutine TFontAction::ScriptRoutine() {
    return SettingRoutine(this, [](const QVariantList& a) {
        TFont font;
        font.Name = ScriptArgString(a, 0);
        font.SetSize(ScriptArgInt(a, 1));
        font.Color = ScriptArgInt(a, 2);
        font.SetStyle(fsBold, ScriptArgBool(a, 3));
        font.SetStyle(fsItalic, ScriptArgBool(a, 4));
        font.SetStyle(fsUnderline, ScriptArgBool(a, 5));
        font.SetStyle(fsStrikeOut, ScriptArgBool(a, 6));
        return font;
    });
}
