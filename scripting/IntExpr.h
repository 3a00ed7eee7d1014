#pragma once
// Integer arithmetic. Each operation works at one width (S32, U32 or S64) and wraps its result
// to that width, as Delphi does without overflow checking: Integer arithmetic wraps at 32 bits,
// Int64 arithmetic at 64. div and mod truncate toward zero; a zero divisor is an EDivByZero
// error. shl and shr shift the value of the width by the count modulo the width; shr is logical.
#include "scripting/Expr.h"
#include "scripting/Token.h"

namespace kelvara::script {

// op: + - * div mod and or xor shl shr
ExprPtr MakeIntBinary(Tok op, IntSize width, const Type* resultType, ExprPtr l, ExprPtr r,
                      const SourcePos& pos);
ExprPtr MakeIntNeg(IntSize width, const Type* resultType, ExprPtr e, const SourcePos& pos);
ExprPtr MakeIntNot(IntSize width, const Type* resultType, ExprPtr e, const SourcePos& pos);
// The value wrapped to a smaller storage size (an Int64 stored into a Byte).
ExprPtr MakeWrap(const Type* to, ExprPtr e);
// The same ordinal value seen as another ordinal type (Ord, casts between ordinals of one size).
ExprPtr MakeRetype(const Type* to, ExprPtr e);

} // namespace kelvara::script
