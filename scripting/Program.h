#pragma once
// A compiled program: its types, routines, global variables and main block. It is immutable
// once compiled, except for the globals, which each run starts afresh. A run holds the program
// through a shared pointer, so compiling a new program while one runs does not disturb it.
#include "scripting/Preprocessor.h"
#include "scripting/Routine.h"
#include "scripting/Stmt.h"
#include "scripting/TypeTable.h"

#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace kelvara::script {

class Program {
public:
    TypeTable types;
    std::vector<std::unique_ptr<Routine>> routines;
    std::deque<Value> globals; // stable addresses: nodes point at them
    std::vector<std::pair<Value*, const Type*>> globalTypes;   // every global and its type
    std::vector<std::pair<Value*, Value>> globalInitialValues; // initialised variables
    StmtPtr main;
    std::vector<SourceInfo> sources;

    // A new global slot of the type.
    Value* NewGlobal(const Type* t);
    // Puts every global back to its initial value (before a run).
    void ResetGlobals();
    Routine* NewRoutine();
};

} // namespace kelvara::script
