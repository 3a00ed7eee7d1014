#pragma once
// wa: a wide text setting.
#include "commands/uValueAction.h"

class TWidestringAction : public TValueAction<QString> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // The text unchanged.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const QString& def,
                   QString& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const QString& value) override;
    TScriptRoutine ScriptRoutine() override;
};
