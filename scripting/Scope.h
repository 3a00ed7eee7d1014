#pragma once
// Names and what they denote, in nested scopes: the engine's built-ins, the host's
// registrations, the program's globals, then one scope per routine being compiled. Names are
// compared without regard to case. A scope owns its symbols; routines and types belong to the
// program.
#include "scripting/VarLocation.h"

#include <memory>
#include <vector>

#include <QHash>
#include <QString>

namespace kelvara::script {

struct Type;
class Routine;

enum class SymKind : uint8_t { Const, Type, Var, Routine, Intrinsic };

// Routines whose calls the compiler builds itself.
enum class Intrinsic : uint8_t {
    Inc,
    Dec,
    Ord,
    Chr,
    Succ,
    Pred,
    Length,
    SetLength,
    High,
    Low,
    Copy,
    Abs,
    Sqr,
    Odd,
    Include,
    Exclude,
    Assigned,
    Format,
    Exit,
    Break,
    Continue,
    Random,
    Max,
    Min,
    Concat,
    RaiseException,
    IntToHex,
};

struct Symbol {
    SymKind kind = SymKind::Const;
    QString name;
    const Type* type = nullptr; // Const, Var: its type; Type: the type itself
    Value value;                // Const
    VarLocation loc;            // Var
    bool readOnly = false;      // Var: const parameter, typed constant
    bool loopVar = false;       // Var: control variable of a for loop being compiled
    Routine* routine = nullptr; // Routine
    Intrinsic intrinsic = Intrinsic::Inc;
};

class Scope {
public:
    Scope(Scope* parent, Routine* routine, int depth)
        : parent(parent), routine(routine), depth(depth) {}

    // The symbol declared in this scope under the name, or null.
    Symbol* Find(const QString& name) const { return FMap.value(name.toLower(), nullptr); }
    // The symbol visible under the name here or in an enclosing scope, or null.
    Symbol* Lookup(const QString& name) const;
    // Declares the symbol; null when the name is already declared in this scope.
    Symbol* Add(std::unique_ptr<Symbol> s);
    // Hands over every symbol of this scope (which is left empty).
    std::vector<std::unique_ptr<Symbol>> TakeSymbols();

    Scope* const parent;
    Routine* const routine; // the routine whose body this scope belongs to, or null
    const int depth;        // code nesting depth: 0 for the program, n for a routine at depth n

private:
    QHash<QString, Symbol*> FMap;
    std::vector<std::unique_ptr<Symbol>> FSymbols;
};

} // namespace kelvara::script
