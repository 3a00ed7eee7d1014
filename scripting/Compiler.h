#pragma once
// One compilation: a new Program, the scope of the engine's built-ins (types, constants,
// intrinsics, the standard library), the scope of the host's registrations, then the script.
//
// Registrations parse Pascal text: routine headings, type declarations, constant type names.
// A registration that does not parse, or whose name is already declared, is refused.
#include "scripting/Checker.h"
#include "scripting/CompilerMessage.h"
#include "scripting/Preprocessor.h"
#include "scripting/Program.h"
#include "scripting/Scope.h"

#include <functional>
#include <memory>
#include <vector>

#include <QVariant>

namespace kelvara::script {

class Compiler {
public:
    explicit Compiler(const Limits& limits = {});
    ~Compiler();
    Compiler(const Compiler&) = delete;
    Compiler& operator=(const Compiler&) = delete;

    // Declares a routine of the host. `bind` receives the parsed routine and gives it its native
    // code; it may refuse the routine by returning false.
    bool AddMethod(const QString& declaration, const std::function<bool(Routine&)>& bind,
                   QString* error = nullptr);
    // Declares a type of the host by name and declaration text.
    bool AddType(const QString& name, const QString& declaration, QString* error = nullptr);
    // Declares a constant of the host by name, type name and value.
    bool AddConstant(const QString& name, const QString& typeName, const QVariant& value,
                     QString* error = nullptr);

    // Declares an opaque class of the host (no members a script can use) under a known class.
    bool AddClass(const QString& name, const QString& parentName);

    // Declares a routine of the engine's own library (in the built-in scope).
    void AddNative(const QString& declaration, NativeFn fn, bool pure);
    // Declares a type of the engine's own library (in the built-in scope).
    bool AddSystemType(const QString& name, const QString& declaration);
    void AddSystemConstant(const QString& name, const Type* t, Value v);

    // Compiles the script; the program is complete when it returns true. The first error ends
    // the compilation and is added to messages.
    bool Compile(const QString& text, const Preprocessor::Options& options,
                 std::vector<CompilerMessage>& messages);

    std::shared_ptr<Program> program() const { return FProgram; }
    TypeTable& types() { return FProgram->types; }

private:
    void DeclareBuiltins();
    void DeclareType(const QString& name, const Type* t);
    void DeclareIntrinsic(const QString& name, Intrinsic which);
    Routine* ParseRoutine(Scope& scope, const QString& declaration);
    bool DeclareTypeIn(Scope& scope, const QString& name, const QString& declaration,
                       QString* error);
    CompilerMessage Message(const CompileError& e) const;

    std::shared_ptr<Program> FProgram;
    std::unique_ptr<Checker> FCheck;
    std::unique_ptr<Scope> FSystem;
    std::unique_ptr<Scope> FHost;
};

// The value a QVariant gives for a constant or a routine result of the type.
bool VariantToValue(const QVariant& v, const Type* t, Value& out);

} // namespace kelvara::script
