#pragma once
// TZvScript: the program's script host. It registers the built-in routines, constants and types
// (RegisterBuiltins, the innermost hook of the compile-hook chain that action lists extend),
// compiles the script text with the preprocessor, runs it, and keeps the message lines of the
// last compilation or run for display.
//
// Thread contract: GUI thread only (scripts call actions and dialogs). Abort may come from any
// thread (Engine::Abort); showmessage, processmessages and sleep run on the GUI thread.
#include "commands/ActionInterfaces.h"
#include "scripting/Engine.h"
#include "scripting/FileSearch.h"

#include <atomic>
#include <functional>

#include <QObject>
#include <QStringList>

class TZvScript : public QObject, public kelvara::script::Engine, public IScriptHost {
public:
    explicit TZvScript(QObject* owner = nullptr);
    ~TZvScript() override;

    // The message lines of the last Compile or RunProgram.
    const QStringList& Messages() const { return FMessages; }
    // Called during each compilation after the built-in registrations.
    std::function<void(TZvScript& sender)> OnCompile;

    // Compiles the script text; the result is also kept as `compiled`.
    bool Compile();
    // Runs the last compiled program (see Messages for the outcome).
    void RunProgram();
    bool compiled() const { return FCompiled; }

    // The host's own compile hook: the built-in routines, constants and types, the standard
    // graphics declarations, then OnCompile.
    void RegisterBuiltins();

    // IScriptHost
    bool AddMethod(QObject* object, TScriptRoutine routine, const QString& declaration) override;
    TCompileHook CompileHook() const override { return FCompileHook; }
    void SetCompileHook(TCompileHook hook) override { FCompileHook = std::move(hook); }
    QObject* HostObject() override { return this; }

protected:
    void BeforeCompile() override;

private:
    void RegisterRoutines();
    void RegisterFileRoutines();
    void RegisterConstants();
    void RegisterTypes();
    bool Sleep(uint32_t milliseconds);

    QStringList FMessages;
    bool FCompiled = false;
    TCompileHook FCompileHook;
    kelvara::script::FileSearch FSearch;
    std::atomic<bool> FSleepInterrupted{false};
};
