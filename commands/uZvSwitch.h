#pragma once
// The switch runner: applies the program's command line, once, at the first activation of the
// application, exactly as if the user had set each named action in turn.
//
// Arguments (as the platform splits the command line, without the program path):
//   "/" name ["=" value], "+" name ["=" value], "-" name ["=" value]   a switch
//   anything else                                                       no switch (value = all)
// Names are compared without regard to letter case. "quit" closes the main window after the
// other switches have run, wherever it stands. A check action takes '+' (on), '-' (off) or '/'
// (toggle); any other action gets the value text through SetValueText. Disabled actions are
// skipped. Pending window messages are processed before and after each entry.
//
// Lists register their actions through their Switch property (AddActions / RemoveActions); the
// table takes a snapshot of each action's Switch at that moment. GUI thread only.
#include "platform/ui/Messages.h"

#include <memory>
#include <vector>

#include <QChar>
#include <QObject>
#include <QPointer>
#include <QStringList>

class TCustomAbstractAction;
class TCustomZvActionList;

// One parsed argument.
struct TActionEx {
    QPointer<TCustomAbstractAction> Action;
    QString Value;
    QChar Prefix; // '+', '-', '/' or none (a null QChar)
};

// The parsed command line; owns its entries and destroys them last first when cleared.
class TSuperList {
public:
    TSuperList() = default;
    ~TSuperList() { Clear(); }
    TSuperList(const TSuperList&) = delete;
    TSuperList& operator=(const TSuperList&) = delete;

    void Add(TActionEx entry) { FItems.push_back(std::make_unique<TActionEx>(std::move(entry))); }
    int Count() const { return int(FItems.size()); }
    const TActionEx& Items(int index) const { return *FItems.at(size_t(index)); }
    void Clear();

private:
    std::vector<std::unique_ptr<TActionEx>> FItems;
};

class TZvSwitch : public QObject {
public:
    // Installs the runner's first-activation handler as the application's activation handler.
    explicit TZvSwitch(QObject* owner = nullptr);
    ~TZvSwitch() override;

    // Called at every activation of the application.
    TNotifyEvent OnActivate;
    // Called (with no sender) when the command line yields no entry.
    TNotifyEvent OnNoCommandLine;
    // Receives arguments that name no known switch; none in the program.
    TCustomAbstractAction* DefaultAction() const;
    void SetDefaultAction(TCustomAbstractAction* action);
    // True while the entries are being applied.
    bool Executing() const { return FExecuting; }

    void AddActions(const TCustomZvActionList& list);
    void RemoveActions(const TCustomZvActionList& list);

    // Parses the command line and applies it; the entries are cleared afterwards. A Run while
    // one is under way (reached through the messages it processes) does nothing.
    void Run();
    void ParseCommandLine();
    void ParseParam(const QString& argument);
    // The action of a switch name; "quit" marks the quit request and gives none.
    TCustomAbstractAction* FindAction(const QString& name);
    // Applies the entries; an exception from an action skips the rest and is passed on, after a
    // requested quit has still closed the main window.
    void ExecuteEntries();

    const TSuperList& Entries() const { return FEntries; }
    bool QuitRequested() const { return FQuitRequested; }
    int CurrentIndex() const { return FCurrentIndex; }
    int SwitchCount() const { return int(FSwitches.size()); }

private:
    struct TSwitchEntry {
        QString Name;
        QPointer<TCustomAbstractAction> Action;
    };

    void FirstActivation(QObject* sender);
    void ApplyEntry(const TActionEx& entry);

    std::vector<TSwitchEntry> FSwitches;
    TSuperList FEntries;
    QPointer<TCustomAbstractAction> FDefaultAction;
    bool FExecuting = false;
    bool FRunning = false;
    bool FQuitRequested = false;
    int FCurrentIndex = -1;
};
