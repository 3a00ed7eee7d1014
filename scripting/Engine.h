#pragma once
// The script engine component: a script text, its compilation (with a hook in which the host
// registers routines, types and constants before each compilation) and its execution.
//
// Compiler messages convert to one line each ("[Error] (12:5): Unknown identifier 'Foo'"); the
// first error ends the compilation. A failed run leaves a text describing the error; with debug
// information on, the text ends with the line and column where the error happened.
//
// Thread contract: compile and execute on one thread (the GUI thread in the program). Abort may
// be called from any thread; the running script stops at its next loop iteration or call. The
// external abort flag, when given, is watched the same way. A compilation may happen while a
// script runs (a routine of the host may compile); the running program is kept until its run
// ends. A second run cannot start while one is running.
#include "scripting/CompilerMessage.h"
#include "scripting/HostBinding.h"
#include "scripting/Limits.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>
#include <QVariant>

class QObject;

namespace kelvara::script {

class Compiler;
class Program;

class Engine {
public:
    Engine();
    virtual ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void SetScript(const QString& text) { FScript = text; }
    const QString& Script() const { return FScript; }
    // The file the script text came from: {$I} names files relative to its folder.
    void SetMainFileName(const QString& path) { FMainFileName = path; }
    const QString& MainFileName() const { return FMainFileName; }

    void SetUsePreProcessor(bool on) { FUsePreProcessor = on; }
    bool UsePreProcessor() const { return FUsePreProcessor; }
    void SetDefines(const QStringList& names) { FDefines = names; }
    const QStringList& Defines() const { return FDefines; }
    // Debug information: run-time error texts name the line and column of the error.
    void SetUseDebugInfo(bool on) { FUseDebugInfo = on; }
    bool UseDebugInfo() const { return FUseDebugInfo; }
    void SetLimits(const Limits& limits) { FLimits = limits; }
    const Limits& GetLimits() const { return FLimits; }

    // A flag owned elsewhere (the program's abort flag) that stops a running script when raised.
    void SetAbortFlag(const std::atomic<bool>* flag) { FExternalAbort = flag; }
    // Stops the running script (any thread).
    void Abort() { FOwnAbort.store(true); }
    // True once the running script has been asked to stop (by Abort or the external flag).
    bool AbortRequested() const {
        return FOwnAbort.load() || (FExternalAbort && FExternalAbort->load());
    }

    // Compiles the script text; runs the compile hook first.
    bool Compile();
    bool Compiled() const { return FProgram != nullptr; }
    const std::vector<CompilerMessage>& CompilerMessages() const { return FMessages; }

    // Runs the last compiled program. False with ExecErrorText set when there is none, when it
    // fails, when it is stopped, or when a run is already going on.
    bool Execute();
    const QString& ExecErrorText() const { return FErrorText; }
    bool Running() const { return FRunning; }

    // Registrations. Inside the compile hook they apply to the compilation under way; outside it
    // they are checked now and applied to the next compilation. False for a declaration that
    // does not parse or a name already declared.
    bool AddMethod(QObject* object, ScriptRoutine routine, const QString& declaration);
    bool AddType(const QString& name, const QString& declaration);
    bool AddConstant(const QString& name, const QString& typeName, const QVariant& value);
    // The standard graphics types, classes and named colours.
    void AddStandardGraphics();

    // A simple compile hook for users that do not derive from Engine.
    void SetCompileCallback(std::function<void(Engine&)> callback) {
        FCallback = std::move(callback);
    }

protected:
    // Runs at the start of every compilation: the place to register. Calls the callback.
    virtual void BeforeCompile();

private:
    using Registration = std::function<bool(Compiler&)>;
    bool Register(const Registration& registration);
    void Fail(const QString& message);

    QString FScript;
    QString FMainFileName;
    bool FUsePreProcessor = true;
    QStringList FDefines;
    bool FUseDebugInfo = true;
    Limits FLimits;
    const std::atomic<bool>* FExternalAbort = nullptr;
    std::atomic<bool> FOwnAbort{false};

    std::shared_ptr<Program> FProgram;
    std::vector<CompilerMessage> FMessages;
    QString FErrorText;
    bool FRunning = false;

    Compiler* FCompiling = nullptr;     // the compilation under way
    std::unique_ptr<Compiler> FScratch; // checks registrations made outside a compilation
    std::vector<Registration> FPending;
    std::function<void(Engine&)> FCallback;
};

} // namespace kelvara::script
