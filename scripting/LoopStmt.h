#pragma once
// Loops. Every iteration checks the abort flag and the budget. A for loop evaluates its bounds
// once and counts on its own, so the body cannot change the number of iterations; the control
// variable holds the current value during the body and the last value afterwards.
#include "scripting/Expr.h"
#include "scripting/Stmt.h"

namespace kelvara::script {

// var must be a plain variable (stable address); from and to converted to its type.
StmtPtr MakeFor(ExprPtr var, ExprPtr from, ExprPtr to, bool down, StmtPtr body,
                const SourcePos& pos);
StmtPtr MakeWhile(ExprPtr cond, StmtPtr body, const SourcePos& pos);
StmtPtr MakeRepeat(StmtPtr body, ExprPtr cond, const SourcePos& pos);

} // namespace kelvara::script
