#pragma once
// Variable nodes: global, local, or in the frame of an enclosing routine; held directly or, for
// var parameters, through a reference.
#include "scripting/Expr.h"
#include "scripting/VarLocation.h"

namespace kelvara::script {

// The expression that reads and writes the variable from code at nesting depth `currentDepth`.
ExprPtr MakeVarExpr(const Type* type, const SourcePos& pos, const VarLocation& loc,
                    int currentDepth);

// The slot of a variable (not dereferenced), from code at nesting depth `currentDepth`.
Value& SlotOf(Frame& f, const VarLocation& loc, int currentDepth);

} // namespace kelvara::script
