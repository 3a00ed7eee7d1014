#pragma once
// Calls of routines. Arguments are bound in declaration order straight into the callee's frame:
// value parameters receive a copy (records and static arrays copied, open arrays copied), const
// parameters share what they are given, var and out parameters a reference. A script routine
// runs its body in the new frame, linked to the frame of the routine that encloses it; a native
// routine receives the frame as a NativeCall. Each call of a script routine checks the abort flag,
// the budget, the depth limit and the stack guard.
#include "scripting/Expr.h"
#include "scripting/Routine.h"

#include <vector>

namespace kelvara::script {

// args has one expression per parameter (defaults filled in by the compiler).
// callerDepth: nesting depth of the code that makes the call (0 for the main block).
// voidType: the type of a procedure call.
ExprPtr MakeCallExpr(Routine* routine, std::vector<ExprPtr> args, int callerDepth,
                     const SourcePos& pos, const Type* voidType);

} // namespace kelvara::script
