#include "commands/uCheckAction.h"

#include "commands/uMacroRecorder.h"
#include "commands/uScriptArguments.h"
#include "commands/uValueText.h"

#include <stdexcept>

TCheckAction::TCheckAction(QObject* owner) : TCustomAbstractAction(owner) {
    setCheckable(true);
}

TCheckAction::TCheckAction(const QString& internalId, TCustomZvActionList* list)
    : TCustomAbstractAction(internalId, list) {
    setCheckable(true);
}

void TCheckAction::StoreChecked(bool checked) {
    FChecked = checked;
    setChecked(checked);
}

void TCheckAction::SetChecked(bool checked) {
    StoreChecked(checked);
    const TMacroScope recording([this] {
        if (ScriptName == QLatin1String("Script"))
            return QString();
        return MacroIndent() + QLatin1String("set") + ScriptName + QLatin1Char('(') +
               ScriptBoolean(FChecked) + QLatin1String(");");
    });
    Apply();
}

void TCheckAction::SetDefaultValue(bool value) {
    FDefaultValue = value;
    StoreChecked(value);
    UpdateDisplay();
}

void TCheckAction::UpdateDisplay() {
    SetCaption(FChecked ? FTrueCaption : FFalseCaption);
    SetHint(FChecked ? FTrueHint : FFalseHint);
    SetImageIndex(FChecked ? FTrueImageIndex : FFalseImageIndex);
}

void TCheckAction::SetTrueCaption(const QString& caption) {
    FTrueCaption = caption;
    if (FChecked)
        SetCaption(caption);
}

void TCheckAction::SetFalseCaption(const QString& caption) {
    FFalseCaption = caption;
    if (!FChecked)
        SetCaption(caption);
}

void TCheckAction::SetTrueHint(const QString& hint) {
    FTrueHint = hint;
    if (FChecked)
        SetHint(hint);
}

void TCheckAction::SetFalseHint(const QString& hint) {
    FFalseHint = hint;
    if (!FChecked)
        SetHint(hint);
}

void TCheckAction::SetTrueImageIndex(int32_t index) {
    FTrueImageIndex = index;
    if (FChecked)
        SetImageIndex(index);
}

void TCheckAction::SetFalseImageIndex(int32_t index) {
    FFalseImageIndex = index;
    if (!FChecked)
        SetImageIndex(index);
}

bool TCheckAction::RegisterInScript(IScriptHost& host) {
    try {
        const QPointer<TCheckAction> self(this);
        auto alive = [self] {
            if (!self)
                throw std::runtime_error("The action no longer exists");
            return self.data();
        };
        const QString setter = QLatin1String("procedure set") + ScriptName +
                               QLatin1String("(const aBoolean:Boolean);");
        const bool set = host.AddMethod(
            this,
            [alive](const QVariantList& args) -> QVariant {
                const bool value = ScriptArgBool(args, 0);
                alive()->SetChecked(value);
                return QVariant();
            },
            setter);
        if (!set)
            return false;
        return host.AddMethod(
            this,
            [alive](const QVariantList&) -> QVariant {
                alive()->Toggle();
                return QVariant();
            },
            QLatin1String("procedure ") + ScriptName + QLatin1Char(';'));
    } catch (...) {
        return false;
    }
}

void TCheckAction::Execute() {
    if (OnPrepare && !OnPrepare())
        return;
    if (OnInternalPrepare && !OnInternalPrepare())
        return;
    SetChecked(!FChecked);
}

QString TCheckAction::GetDeclaration() {
    return QLatin1String("procedure set") + ScriptName + QLatin1String("(const ") +
           UseVariables(QStringLiteral("fisTrue")) + QLatin1String(":Boolean);\r\nprocedure ") +
           ScriptName + QLatin1Char(';');
}

QString TCheckAction::GetSwitchSyntax() {
    return QLatin1Char('/') + Switch + QLatin1String(" +") + Switch + QLatin1String(" -") + Switch;
}

void TCheckAction::SetValueText(const QString& text) {
    SetChecked(ReadBooleanText(text));
}

void TCheckAction::Apply() {
    auto run = [](const TApplyNopeEvent& event) {
        if (event)
            event();
    };
    if (FChecked) {
        run(OnBeforeTrueApply);
        run(OnInternalTrueApply);
        run(OnAfterTrueApply);
    } else {
        run(OnBeforeFalseApply);
        run(OnInternalFalseApply);
        run(OnAfterFalseApply);
    }
    UpdateDisplay();
}

bool TCheckAction::LoadFromPrefs(IActionPreferences& gp) {
    try {
        if (OnDefault)
            OnDefault(FDefaultValue);
        if (OnInternalDefault)
            OnInternalDefault(FDefaultValue);
        StoreChecked(gp.ReadBool(ScriptName, FDefaultValue));
        UpdateDisplay();
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (...) {
        return false;
    }
}

bool TCheckAction::SaveToPrefs(IActionPreferences& gp) {
    try {
        bool value = FChecked;
        if (BeforeSave)
            BeforeSave(value);
        if (OnInternalBeforeSave)
            OnInternalBeforeSave(value);
        return gp.WriteBool(ScriptName, value);
    } catch (...) {
        return false;
    }
}
