#pragma once
// Where a variable lives: a global slot (fixed address for the program's life), or a slot of the
// frame of the routine at nesting depth `depth` (1 = a top-level routine). A var or out
// parameter's slot holds a reference to the variable passed.
#include "scripting/Value.h"

namespace kelvara::script {

struct VarLocation {
    bool global = false;
    Value* globalPtr = nullptr;
    int slot = 0;
    int depth = 0;
    bool byRef = false;
};

} // namespace kelvara::script
