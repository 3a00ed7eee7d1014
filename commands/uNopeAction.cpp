#include "commands/uNopeAction.h"

#include "commands/uMacroRecorder.h"

#include <optional>
#include <stdexcept>

bool TNopeAction::RegisterInScript(IScriptHost& host) {
    if (ScriptName.isEmpty())
        return false;
    try {
        auto routine = [action = QPointer<TNopeAction>(this)](const QVariantList&) -> QVariant {
            if (!action)
                throw std::runtime_error("The action no longer exists");
            action->Apply();
            return QVariant();
        };
        return host.AddMethod(this, routine, GetDeclaration());
    } catch (...) {
        return false;
    }
}

void TNopeAction::Execute() {
    if (OnPrepare && !OnPrepare())
        return;
    if (OnInternalPrepare && !OnInternalPrepare())
        return;
    Apply();
}

QString TNopeAction::GetDeclaration() {
    return QLatin1String("procedure ") + ScriptName + QLatin1Char(';');
}

QString TNopeAction::GetSwitchSyntax() {
    return QLatin1Char('/') + Switch;
}

void TNopeAction::SetValueText(const QString&) {
    Apply();
}

void TNopeAction::Apply() {
    // An unnamed command is never recorded, and what it triggers may be recorded instead.
    std::optional<TMacroScope> recording;
    if (!ScriptName.isEmpty())
        recording.emplace([this] { return MacroIndent() + ScriptName + QLatin1Char(';'); });
    if (OnBeforeApply)
        OnBeforeApply();
    if (OnInternalApply)
        OnInternalApply();
    if (OnAfterApply)
        OnAfterApply();
}

bool TNopeAction::LoadFromPrefs(IActionPreferences&) {
    try {
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (...) {
        return false;
    }
}

bool TNopeAction::SaveToPrefs(IActionPreferences&) {
    try {
        if (BeforeSave)
            BeforeSave();
        if (OnInternalBeforeSave)
            OnInternalBeforeSave();
        return true;
    } catch (...) {
        return false;
    }
}
