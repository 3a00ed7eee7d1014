#pragma once
// Floating-point arithmetic and conversions. Division by zero is an error (EDivByZero for x/0,
// EInvalidOp for 0/0) as in Delphi with its default floating-point exceptions.
#include "scripting/Expr.h"
#include "scripting/Token.h"

namespace kelvara::script {

// op: + - * /
ExprPtr MakeFloatBinary(Tok op, const Type* resultType, ExprPtr l, ExprPtr r, const SourcePos& pos);
ExprPtr MakeFloatNeg(ExprPtr e, const SourcePos& pos);
ExprPtr MakeIntToFloat(const Type* to, ExprPtr e);
// A float rounded to Single precision (what a Single variable keeps).
ExprPtr MakeToSingle(const Type* to, ExprPtr e);

} // namespace kelvara::script
