#pragma once
// Array constructors: [a, b, c] given to an "array of T" parameter or a dynamic array (the
// elements have that type), and [a, b, c] given to an "array of const" parameter (each element
// keeps its own type, which routines such as Format read).
#include "scripting/Expr.h"

#include <vector>

namespace kelvara::script {

ExprPtr MakeArrayCtor(const Type* arrayType, std::vector<ExprPtr> elements, const SourcePos& pos);
ExprPtr MakeConstArrayCtor(const Type* constArrayType, std::vector<ExprPtr> elements,
                           const SourcePos& pos);

} // namespace kelvara::script
