#pragma once
// Selectors: a record field, an element of a static, dynamic or open array, a field of an
// object, a character of a string. Indexes are bounds-checked.
#include "scripting/Expr.h"

namespace kelvara::script {

ExprPtr MakeFieldExpr(ExprPtr base, int index, const Type* fieldType, const SourcePos& pos);
ExprPtr MakeObjectFieldExpr(ExprPtr base, int index, const Type* fieldType, const SourcePos& pos);
// Static arrays check low..high and index from low; dynamic and open arrays from 0.
ExprPtr MakeIndexExpr(ExprPtr base, ExprPtr index, const SourcePos& pos);
// A character of a string, 1-based; the result type is Char.
ExprPtr MakeStrIndexExpr(ExprPtr base, ExprPtr index, const Type* charType, const SourcePos& pos);

// The element index an array index value selects, or a range error.
size_t CheckedElement(const Aggregate* a, const Type* arrayType, int64_t index,
                      const SourcePos& pos);
// The position in a string a 1-based index selects, or a range error.
qsizetype CheckedCharIndex(const QString& s, int64_t index, const SourcePos& pos);

} // namespace kelvara::script
