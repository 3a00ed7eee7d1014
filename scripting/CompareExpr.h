#pragma once
// Comparisons giving a Boolean: ordinals, floats, strings (by UTF-16 code units, as Delphi's
// CompareStr), sets (equality, subset, superset), references (objects, dynamic arrays, nil: an
// empty dynamic array equals nil), and membership of an ordinal in a set.
#include "scripting/Expr.h"
#include "scripting/Token.h"

namespace kelvara::script {

enum class CompareKind { Ordinal, Float, String, Set, Reference };

// op: = <> < > <= >= (sets: = <> <= >=; references: = <>)
ExprPtr MakeCompare(CompareKind kind, Tok op, const Type* boolType, ExprPtr l, ExprPtr r,
                    const SourcePos& pos);
ExprPtr MakeInSet(const Type* boolType, ExprPtr element, ExprPtr set, const SourcePos& pos);

} // namespace kelvara::script
