#pragma once
// What the value kinds share: a Value of type T with its DefaultValue, the published events
// (OnPrepare, OnDefault, BeforeSave, OnBeforeApply, OnAfterApply) and the internal hooks that an
// owning component assigns (OnInternalPrepare, OnInternalDefault, OnInternalBeforeSave,
// OnInternalApply), and the algorithms of Execute, SetValue, Apply, LoadFromPrefs and SaveToPrefs.
// Each kind supplies its macro line, its preference read and write, its script routine and its
// texts. At every step the published event runs before the internal hook.
#include "commands/uAbstractAction.h"
#include "commands/uMacroRecorder.h"

#include <exception>

template <class T>
class TValueAction : public TAbstractAction {
public:
    using TAbstractAction::TAbstractAction;

    TPrepareEvent<T> OnPrepare;
    TPrepareEvent<T> OnDefault;
    TPrepareEvent<T> BeforeSave;
    TApplyEvent<T> OnBeforeApply;
    TApplyEvent<T> OnAfterApply;

    TPrepareEvent<T> OnInternalPrepare;
    TPrepareEvent<T> OnInternalDefault;
    TPrepareEvent<T> OnInternalBeforeSave;
    TApplyEvent<T> OnInternalApply;

    const T& Value() const { return FValue; }
    const T& DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const T& value) { FDefaultValue = value; }

    // Stores the value, records the kind's macro line (when recording and not nested) and
    // applies it.
    virtual void SetValue(const T& value) {
        if (SkipsUnchangedValue() && value == FValue)
            return;
        FValue = value;
        const TMacroScope recording([this] { return MacroLine(); });
        Apply();
    }

    // "    " + ScriptName + "(" + the kind's arguments + ");"
    QString MacroLine() const {
        return MacroIndent() + ScriptName + QLatin1Char('(') + MacroArguments() +
               QLatin1String(");");
    }

    // The GUI trigger: the value comes from OnPrepare and OnInternalPrepare; nothing happens
    // when neither is assigned or one of them cancels.
    void Execute() override {
        if (!OnPrepare && !OnInternalPrepare)
            return;
        T value = EmptyValue();
        if (OnPrepare && !OnPrepare(value))
            return;
        if (OnInternalPrepare && !OnInternalPrepare(value))
            return;
        SetValue(value);
    }

    void Apply() override {
        Notify(OnBeforeApply);
        Notify(OnInternalApply);
        Notify(OnAfterApply);
    }

    bool LoadFromPrefs(IActionPreferences& gp) override {
        try {
            if (OnDefault)
                OnDefault(FDefaultValue);
            if (OnInternalDefault)
                OnInternalDefault(FDefaultValue);
            ReadValue(gp, ScriptName, FDefaultValue, FValue);
            if (ApplyWhenLoad)
                Apply();
            return true;
        } catch (...) {
            return false;
        }
    }

    bool SaveToPrefs(IActionPreferences& gp) override {
        try {
            if (BeforeSave)
                BeforeSave(FValue);
            if (OnInternalBeforeSave)
                OnInternalBeforeSave(FValue);
            return WriteValue(gp, ScriptName, FValue);
        } catch (...) {
            return false;
        }
    }

    bool RegisterInScript(IScriptHost& host) override {
        try {
            return host.AddMethod(this, ScriptRoutine(), GetDeclaration());
        } catch (...) {
            return false;
        }
    }

protected:
    virtual T EmptyValue() const { return T{}; }
    virtual bool SkipsUnchangedValue() const { return false; }
    virtual QString MacroArguments() const = 0;
    virtual void ReadValue(IActionPreferences& gp, const QString& key, const T& def, T& target) = 0;
    virtual bool WriteValue(IActionPreferences& gp, const QString& key, const T& value) = 0;
    virtual TScriptRoutine ScriptRoutine() = 0;

    // "procedure " + ScriptName + "(const " + V + ":" + type + ");"
    QString ValueDeclaration(const QString& type, const QString& defaultVariables) {
        return QLatin1String("procedure ") + ScriptName + QLatin1String("(const ") +
               UseVariables(defaultVariables) + QLatin1Char(':') + type + QLatin1String(");");
    }
    // "/" + Switch + "=" + V
    QString ValueSwitchSyntax(const QString& variables) const {
        return QLatin1Char('/') + Switch + QLatin1Char('=') + variables;
    }

    // A routine that sets the value built from the script's arguments; it fails once the action
    // is gone.
    template <class Self, class Build>
    static TScriptRoutine SettingRoutine(Self* self, Build build) {
        return [action = QPointer<Self>(self), build](const QVariantList& args) -> QVariant {
            const T value = build(args);
            if (!action)
                throw std::runtime_error("The action no longer exists");
            action->SetValue(value);
            return QVariant();
        };
    }

    T FValue{};
    T FDefaultValue{};

private:
    // Each step receives the value as it is when the step runs.
    void Notify(const TApplyEvent<T>& event) {
        if (!event)
            return;
        const T value = FValue;
        event(value);
    }
};
