#pragma once
// ia: a signed 32-bit integer setting.
#include "commands/uValueAction.h"

class TIntegerAction : public TValueAction<int32_t> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // Decimal or "$" hexadecimal (commands/uValueText.h); text that does not read sets -1.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const int32_t& def,
                   int32_t& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const int32_t& value) override;
    TScriptRoutine ScriptRoutine() override;
};
