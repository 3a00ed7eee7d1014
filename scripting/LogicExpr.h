#pragma once
// Boolean operators. "and" and "or" evaluate their right operand only when it decides the result.
#include "scripting/Expr.h"
#include "scripting/Token.h"

namespace kelvara::script {

// op: and or xor
ExprPtr MakeLogical(Tok op, const Type* boolType, ExprPtr l, ExprPtr r, const SourcePos& pos);
ExprPtr MakeLogicalNot(ExprPtr e, const SourcePos& pos);

} // namespace kelvara::script
