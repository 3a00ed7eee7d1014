#pragma once
// ra: a rectangle setting. Its default is not published; components set it in code.
//
// The script procedure takes its four integers as left, right, top, bottom, and the recorded macro
// line lists them in that same order, so that a recorded line replays to the same rectangle.
#include "commands/uValueAction.h"

class TRectAction : public TValueAction<TRect> {
public:
    using TValueAction::TValueAction;

    QString GetDeclaration() override;
    // "/" + Switch + "=" + Variables, or "=aRect" while Variables is empty. "aRect" is not stored
    // into Variables: the declaration needs four parameter names there.
    QString GetSwitchSyntax() override;
    // "(left, top, right, bottom)"; malformed text changes nothing.
    void SetValueText(const QString& text) override;

protected:
    QString MacroArguments() const override;
    void ReadValue(IActionPreferences& gp, const QString& key, const TRect& def,
                   TRect& target) override;
    bool WriteValue(IActionPreferences& gp, const QString& key, const TRect& value) override;
    TScriptRoutine ScriptRoutine() override;
};
