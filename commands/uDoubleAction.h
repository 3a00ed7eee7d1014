#pragma once
// da: a 64-bit floating-point setting.
#include "commands/uValueAction.h"

class TDoubleAction : public TValueAction<double> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // A number in the program's locale (QLocale()); text that does not read sets -1.0.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const double& def,
                   double& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const double& value) override;
    TScriptRoutine ScriptRoutine() override;
};
