#pragma once
// Assignments and other in-place updates. The value is always evaluated before the target's
// address is taken, so that script code run by the value (a call that resizes an array) cannot
// leave the target address stale.
#include "scripting/Expr.h"
#include "scripting/Stmt.h"
#include "scripting/VarLocation.h"

#include <vector>

namespace kelvara::script {

// target := value (value already converted to the target's type). `simple`, when given, is the
// location of a plain variable target, which gets a faster node.
StmtPtr MakeAssign(ExprPtr target, ExprPtr value, const VarLocation* simple, int depth,
                   const SourcePos& pos);
// s[i] := c
StmtPtr MakeAssignChar(ExprPtr stringTarget, ExprPtr index, ExprPtr value, const SourcePos& pos);
// s := s + a + b ..., appended in place.
StmtPtr MakeAppend(ExprPtr stringTarget, std::vector<ExprPtr> parts, const SourcePos& pos);
// Inc(x, n) / Dec(x, n) on an ordinal (delta already negated for Dec); wraps to x's size.
StmtPtr MakeIncrement(ExprPtr target, ExprPtr delta, const SourcePos& pos);
// Evaluates an expression for its effect (a procedure call, or a function whose result is unused).
StmtPtr MakeExprStmt(ExprPtr e);

} // namespace kelvara::script
