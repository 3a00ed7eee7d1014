#pragma once
// fa: a font setting. The action owns its value font and its default font; SetValue and
// SetDefaultValue copy the given font.
#include "commands/uValueAction.h"

class TFontAction : public TValueAction<TFont> {
public:
    using TValueAction::TValueAction;

    // "procedure " + ScriptName + "(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;
    // isItalic:Boolean;isUnderline:Boolean;isStrikeOut:Boolean);" (Variables is not used).
    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // A font is not given as text: nothing happens.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const TFont& def,
                   TFont& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const TFont& value) override;
    TScriptRoutine ScriptRoutine() override;
};
