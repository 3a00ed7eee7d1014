#include "grabbing/uScriptRun.h"

#include "commands/uScriptForm.h"
#include "commands/uZvSwitch.h"
#include "grabbing/main.h"
#include "platform/ui/Application.h"
#include "shell/uZvAppliMan.h"

#include <exception>

#include <QTimer>

namespace {

const QString kOption = QStringLiteral("--run-script");

// The switch name of an argument ("/quit=1" gives "quit"), empty without a prefix.
QString SwitchName(const QString& argument) {
    if (argument.isEmpty() || !QStringLiteral("+-/").contains(argument.at(0)))
        return QString();
    return argument.mid(1).section(QLatin1Char('='), 0, 0).toLower();
}

} // namespace

TScriptRunArguments ParseScriptRun(const QStringList& arguments) {
    TScriptRunArguments run;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!run.Wanted && a == kOption) {
            run.Wanted = true;
            if (i + 1 < arguments.size())
                run.File = arguments.at(++i);
        } else if (!run.Wanted && a.startsWith(kOption + QLatin1Char('='))) {
            run.Wanted = true;
            run.File = a.mid(kOption.size() + 1);
        } else if (SwitchName(a) == QLatin1String("quit")) {
            run.Quit = true;
        } else {
            run.Switches.append(a);
        }
    }
    return run;
}

TScriptRun::TScriptRun(TShowForm& form, TScriptRunArguments arguments, TReport report)
    : FForm(form), FArguments(std::move(arguments)), FReport(std::move(report)) {
    // The switches wait for the script file: the first activation finds no command line.
    Application().SetParamStrings(QStringList{});
}

void TScriptRun::Start(int delayMs) {
    QTimer::singleShot(delayMs, &FForm, [this] { RunNow(); });
}

bool TScriptRun::ApplySwitches() {
    Application().SetParamStrings(FArguments.Switches);
    bool applied = true;
    try {
        FForm.Switches()->Run();
    } catch (const std::exception& e) {
        FReport(QStringLiteral("kelvara: a switch failed: ") + QString::fromUtf8(e.what()));
        applied = false;
    }
    Application().SetParamStrings(QStringList{}); // a later activation applies nothing again
    return applied;
}

void TScriptRun::RunNow() {
    if (FFinished)
        return;
    FFinished = true;
    Application().Activate(); // the first activation, if the platform has not reported it yet
    TScriptForm* script = FForm.am->ScriptForm();
    if (FArguments.File.isEmpty() || !script->OpenScript(FArguments.File)) {
        FReport(QStringLiteral("kelvara: cannot open the script \"%1\"").arg(FArguments.File));
        FExitStatus = 1;
    } else if (!ApplySwitches()) {
        FExitStatus = 1;
    } else {
        const bool ran = script->ExecuteScript();
        for (const QString& line : script->Messages())
            FReport(line);
        FExitStatus = ran ? 0 : 1;
    }
    if (FArguments.Quit)
        Application().CloseMainWindow();
}
