#pragma once
// String building: concatenation of any number of strings and characters (checked against the
// string length limit), and a character seen as a one-character string.
#include "scripting/Expr.h"

#include <vector>

namespace kelvara::script {

// Parts are strings or Char ordinals.
ExprPtr MakeConcat(const Type* stringType, std::vector<ExprPtr> parts, const SourcePos& pos);
ExprPtr MakeCharToStr(const Type* stringType, ExprPtr e);

// Flattens a concatenation into its parts (for a + b + c); false when e is not one.
bool TakeConcatParts(ExprPtr& e, std::vector<ExprPtr>& parts);

} // namespace kelvara::script
