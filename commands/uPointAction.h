#pragma once
// pa: a point setting (x, y). Its default is not published; components set it in code.
#include "commands/uValueAction.h"

class TPointAction : public TValueAction<TPoint> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // "(x, y)"; malformed text changes nothing.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const TPoint& def,
                   TPoint& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const TPoint& value) override;
    TScriptRoutine ScriptRoutine() override;
};
