#pragma once
// ia or la: a colour setting (0x00BBGGRR, or a system colour code).
#include "commands/uValueAction.h"

class TColorAction : public TValueAction<TColor> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // A colour identifier ("clRed", "clBtnFace") or an integer; other text changes nothing.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const TColor& def,
                   TColor& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const TColor& value) override;
    TScriptRoutine ScriptRoutine() override;
};
