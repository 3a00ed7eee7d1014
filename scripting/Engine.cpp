#include "scripting/Engine.h"

#include "scripting/Compiler.h"
#include "scripting/GraphicsDecls.h"
#include "scripting/Program.h"
#include "scripting/TryStmt.h"

#include <new>

namespace kelvara::script {

namespace {

// Clears a flag when the scope ends, whatever way it ends.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
    ~FlagGuard() { FFlag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& FFlag;
};

} // namespace

Engine::Engine() = default;
Engine::~Engine() = default;

void Engine::BeforeCompile() {
    if (FCallback)
        FCallback(*this);
}

bool Engine::Register(const Registration& registration) {
    if (FCompiling)
        return registration(*FCompiling);
    if (!FScratch) {
        FScratch = std::make_unique<Compiler>();
        DeclareStandardGraphics(*FScratch);
    }
    if (!registration(*FScratch))
        return false;
    FPending.push_back(registration);
    return true;
}

bool Engine::AddMethod(QObject* object, ScriptRoutine routine, const QString& declaration) {
    if (!routine)
        return false;
    return Register([object, routine, declaration](Compiler& c) {
        return c.AddMethod(declaration, [&](Routine& r) {
            for (const Param& p : r.params)
                if (p.mode == ParamMode::Var || p.mode == ParamMode::Out)
                    return false; // the host interface cannot give values back
            r.native = MakeHostNative(r, object, routine);
            return true;
        });
    });
}

bool Engine::AddType(const QString& name, const QString& declaration) {
    return Register([name, declaration](Compiler& c) { return c.AddType(name, declaration); });
}

bool Engine::AddConstant(const QString& name, const QString& typeName, const QVariant& value) {
    return Register(
        [name, typeName, value](Compiler& c) { return c.AddConstant(name, typeName, value); });
}

void Engine::AddStandardGraphics() {
    Register([](Compiler& c) {
        DeclareStandardGraphics(c);
        return true;
    });
}

bool Engine::Compile() {
    if (FCompiling) { // a compile hook that compiles again
        CompilerMessage m;
        m.text = QStringLiteral("A compilation is already under way");
        FMessages = {m};
        return false;
    }
    FMessages.clear();
    FProgram.reset();
    auto compiler = std::make_unique<Compiler>(FLimits);
    const std::vector<Registration> pending = std::exchange(FPending, {});
    FScratch.reset();
    FCompiling = compiler.get();
    try {
        BeforeCompile();
    } catch (...) {
        FCompiling = nullptr;
        throw;
    }
    FCompiling = nullptr;
    // Registrations made outside a compilation come after the hook's, which they may build on.
    for (const Registration& r : pending)
        r(*compiler);
    Preprocessor::Options options;
    options.enabled = FUsePreProcessor;
    options.defines = FDefines;
    options.mainFileName = FMainFileName;
    if (!compiler->Compile(FScript, options, FMessages))
        return false;
    FProgram = compiler->program();
    return true;
}

void Engine::Fail(const QString& message) {
    FErrorText = message;
}

bool Engine::Execute() {
    FErrorText.clear();
    if (!FProgram) {
        Fail(QStringLiteral("No compiled program"));
        return false;
    }
    if (FRunning) {
        Fail(QStringLiteral("A script is already running"));
        return false;
    }
    FlagGuard running(FRunning);
    FOwnAbort.store(false);
    const std::shared_ptr<Program> program = FProgram; // kept alive for the whole run
    auto place = [&](const QString& message, const SourcePos& pos, bool hasPos) {
        if (!FUseDebugInfo || !hasPos)
            return message;
        QString where = QStringLiteral("line %1, column %2").arg(pos.line).arg(pos.col);
        if (pos.file > 0 && size_t(pos.file) < program->sources.size())
            where = program->sources[size_t(pos.file)].displayName + QStringLiteral(", ") + where;
        return QStringLiteral("%1 (%2)").arg(message, where);
    };
    try {
        program->ResetGlobals();
        Runtime rt(FLimits, program->types, &FOwnAbort, FExternalAbort);
        Frame main{nullptr, nullptr, &rt};
        program->main->Exec(main);
        return true;
    } catch (const ScriptError& e) {
        const QString message =
            e.object && !e.object->items.empty() ? e.object->items[0].s : e.message;
        Fail(place(message, e.pos, e.hasPos));
    } catch (const ScriptStop& s) {
        Fail(place(s.message, s.pos, true));
    } catch (const std::bad_alloc&) {
        Fail(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        Fail(QStringLiteral("Internal error: %1").arg(QString::fromUtf8(e.what())));
    }
    return false;
}

} // namespace kelvara::script
