#pragma once
// na: a plain command without a value. Applying it records "    " + ScriptName + ";" (when
// recording, not nested, and the script name is not empty).
#include "commands/uAbstractAction.h"

class TNopeAction : public TAbstractAction {
public:
    using TAbstractAction::TAbstractAction;

    TPrepareNopeEvent OnPrepare;
    TPrepareNopeEvent BeforeSave;
    TApplyNopeEvent OnBeforeApply;
    TApplyNopeEvent OnAfterApply;

    TPrepareNopeEvent OnInternalPrepare;
    TPrepareNopeEvent OnInternalBeforeSave;
    TApplyNopeEvent OnInternalApply;

    // Registered only when ScriptName is not empty; the routine is Apply.
    bool RegisterInScript(IScriptHost& host) override;
    void Execute() override;
    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // The text is ignored: Apply.
    void SetValueText(const QString& text) override;
    void Apply() override;
    // Applies when ApplyWhenLoad; reads nothing.
    bool LoadFromPrefs(IActionPreferences& gp) override;
    // Runs BeforeSave and OnInternalBeforeSave; writes nothing.
    bool SaveToPrefs(IActionPreferences& gp) override;
};
