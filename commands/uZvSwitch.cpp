#include "commands/uZvSwitch.h"

#include "commands/uCheckAction.h"
#include "commands/uSuperAction.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProcessMessages.h"

#include <exception>

void TSuperList::Clear() {
    while (!FItems.empty())
        FItems.pop_back();
}

TZvSwitch::TZvSwitch(QObject* owner) : QObject(owner) {
    Application().SetOnActivate([this](QObject* sender) { FirstActivation(sender); }, this);
}

TZvSwitch::~TZvSwitch() {
    Application().ClearOnActivate(this);
}

TCustomAbstractAction* TZvSwitch::DefaultAction() const {
    return FDefaultAction;
}

void TZvSwitch::SetDefaultAction(TCustomAbstractAction* action) {
    FDefaultAction = action;
}

void TZvSwitch::FirstActivation(QObject* sender) {
    // Later activations reach only OnActivate. This is installed before the run: the run
    // processes pending messages, and an activation among them must not apply the command line
    // a second time.
    Application().SetOnActivate(
        [this](QObject* s) {
            if (OnActivate)
                OnActivate(s);
        },
        this);
    if (OnActivate)
        OnActivate(sender);
    Run();
}

void TZvSwitch::AddActions(const TCustomZvActionList& list) {
    for (TCustomAbstractAction* a : list.TypedActions())
        FSwitches.push_back({a->Switch, a});
}

void TZvSwitch::RemoveActions(const TCustomZvActionList& list) {
    for (TCustomAbstractAction* a : list.TypedActions()) {
        for (auto it = FSwitches.begin(); it != FSwitches.end(); ++it)
            if (it->Action == a) {
                FSwitches.erase(it);
                break;
            }
    }
}

void TZvSwitch::Run() {
    if (FRunning)
        return;
    struct TRunScope {
        TZvSwitch& Runner;
        explicit TRunScope(TZvSwitch& r) : Runner(r) { Runner.FRunning = true; }
        ~TRunScope() {
            Runner.FEntries.Clear();
            Runner.FRunning = false;
        }
    } scope(*this);
    ParseCommandLine();
    if (FEntries.Count() > 0) {
        ExecuteEntries();
        return;
    }
    if (OnNoCommandLine)
        OnNoCommandLine(nullptr);
    // "quit" makes no entry of its own; given alone (or with nothing else that applies) it
    // still closes the program.
    if (FQuitRequested)
        Application().CloseMainWindow();
}

void TZvSwitch::ParseCommandLine() {
    FEntries.Clear();
    FQuitRequested = false;
    for (const QString& argument : Application().ParamStrings())
        ParseParam(argument);
}

void TZvSwitch::ParseParam(const QString& argument) {
    QChar prefix;
    if (!argument.isEmpty() && QStringLiteral("+-/").contains(argument.at(0)))
        prefix = argument.at(0);
    QString name, value;
    if (prefix.isNull()) {
        value = argument;
    } else {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            name = argument.mid(1, equals - 1).toLower();
            value = argument.mid(equals + 1);
        } else {
            name = argument.mid(1).toLower();
        }
    }
    TCustomAbstractAction* action = name.isEmpty() ? FDefaultAction.data() : FindAction(name);
    if (action)
        FEntries.Add({action, value, prefix});
}

TCustomAbstractAction* TZvSwitch::FindAction(const QString& name) {
    if (FSwitches.empty())
        return nullptr;
    const QString lower = name.toLower();
    if (lower.isEmpty())
        return FDefaultAction;
    if (lower == QLatin1String("quit")) {
        FQuitRequested = true;
        return nullptr;
    }
    for (const TSwitchEntry& s : FSwitches)
        if (s.Action && s.Name.compare(lower, Qt::CaseInsensitive) == 0)
            return s.Action;
    return FDefaultAction;
}

void TZvSwitch::ApplyEntry(const TActionEx& entry) {
    TCustomAbstractAction* action = entry.Action;
    if (!action || !action->Enabled())
        return;
    if (auto* check = dynamic_cast<TCheckAction*>(action)) {
        if (entry.Prefix == QLatin1Char('+'))
            check->SetChecked(true);
        else if (entry.Prefix == QLatin1Char('-'))
            check->SetChecked(false);
        else if (entry.Prefix == QLatin1Char('/'))
            check->SetChecked(!check->Checked());
    } else {
        action->SetValueText(entry.Value);
    }
    ProcessMessages();
}

void TZvSwitch::ExecuteEntries() {
    if (FEntries.Count() == 0)
        return;
    FExecuting = true;
    std::exception_ptr error;
    // A copy: what the entries' actions and the messages processed between them do cannot
    // change the list being walked.
    std::vector<TActionEx> entries;
    for (int i = 0; i < FEntries.Count(); ++i)
        entries.push_back(FEntries.Items(i));
    try {
        for (FCurrentIndex = 0; FCurrentIndex < int(entries.size()); ++FCurrentIndex) {
            ProcessMessages();
            ApplyEntry(entries[size_t(FCurrentIndex)]);
        }
    } catch (...) {
        error = std::current_exception();
    }
    try {
        if (FQuitRequested)
            Application().CloseMainWindow();
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    FExecuting = false;
    if (error)
        std::rethrow_exception(error);
}
