#pragma once
// ca: an on/off command whose caption, hint and image follow its state. Assigning Checked always
// records and applies, also when the state does not change. The action whose ScriptName is
// "Script" (it shows the script page) is never recorded, but still hides what it triggers from
// the recorder. The QAction is checkable and shows Checked; AutoCheck is off.
#include "commands/uCustomAbstractAction.h"

class TCheckAction : public TCustomAbstractAction {
public:
    explicit TCheckAction(QObject* owner);
    TCheckAction(const QString& internalId, TCustomZvActionList* list);

    TPrepareNopeEvent OnPrepare;
    TPrepareBooleanEvent OnDefault;
    TPrepareBooleanEvent BeforeSave;
    TApplyNopeEvent OnBeforeTrueApply;
    TApplyNopeEvent OnAfterTrueApply;
    TApplyNopeEvent OnBeforeFalseApply;
    TApplyNopeEvent OnAfterFalseApply;

    TPrepareNopeEvent OnInternalPrepare;
    TPrepareBooleanEvent OnInternalDefault;
    TPrepareBooleanEvent OnInternalBeforeSave;
    TApplyNopeEvent OnInternalTrueApply;
    TApplyNopeEvent OnInternalFalseApply;

    bool Checked() const { return FChecked; }
    // Stores the state, records "    set" + ScriptName + "(True|False);" and applies.
    void SetChecked(bool checked);
    void Toggle() { SetChecked(!FChecked); }

    bool DefaultValue() const { return FDefaultValue; }
    // Stores the default and sets Checked to it without recording or applying.
    void SetDefaultValue(bool value);

    // The display of each state; assigning the current state's one updates the display at once.
    QString TrueCaption() const { return FTrueCaption; }
    void SetTrueCaption(const QString& caption);
    QString FalseCaption() const { return FFalseCaption; }
    void SetFalseCaption(const QString& caption);
    QString TrueHint() const { return FTrueHint; }
    void SetTrueHint(const QString& hint);
    QString FalseHint() const { return FFalseHint; }
    void SetFalseHint(const QString& hint);
    int32_t TrueImageIndex() const { return FTrueImageIndex; }
    void SetTrueImageIndex(int32_t index);
    int32_t FalseImageIndex() const { return FFalseImageIndex; }
    void SetFalseImageIndex(int32_t index);

    // "procedure set" + ScriptName + "(const aBoolean:Boolean);" bound to SetChecked, then
    // "procedure " + ScriptName + ";" bound to Toggle; true only when both were accepted.
    bool RegisterInScript(IScriptHost& host) override;
    void Execute() override;
    QString GetDeclaration() override;
    QString GetSwitchSyntax() override;
    // Read as a boolean's text, then assigned to Checked.
    void SetValueText(const QString& text) override;
    void Apply() override;
    bool LoadFromPrefs(IActionPreferences& gp) override;
    bool SaveToPrefs(IActionPreferences& gp) override;

private:
    void StoreChecked(bool checked);
    void UpdateDisplay();

    bool FChecked = false;
    bool FDefaultValue = false;
    QString FTrueCaption, FFalseCaption, FTrueHint, FFalseHint;
    int32_t FTrueImageIndex = -1;
    int32_t FFalseImageIndex = -1;
};
