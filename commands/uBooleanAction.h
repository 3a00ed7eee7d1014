#pragma once
// ba: a boolean setting. Setting the value it already has does nothing at all.
#include "commands/uValueAction.h"

class TBooleanAction : public TValueAction<bool> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // "true", "vrai", "t", "v" or a non-zero integer (trimmed, any case) are true, the rest false.
    void SetValueText(const QString& text) override;

protected:
    bool SkipsUnchangedValue() const override { return true; }
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const bool& def,
                   bool& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const bool& value) override;
    TScriptRoutine ScriptRoutine() override;
};
