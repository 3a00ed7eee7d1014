#pragma once
// Sets: constructors [a, b, c..d] and the operators + (union), - (difference), * (intersection).
// Elements outside 0..255 are left out, as a set holds at most 256 elements.
#include "scripting/Expr.h"
#include "scripting/Token.h"

#include <vector>

namespace kelvara::script {

struct SetElement {
    ExprPtr low;
    ExprPtr high; // null for a single element
};

// [a, b, c..d]. It builds a set when run; the compiler may instead take its elements to make an
// array constructor when the brackets are given where an array is expected.
class BracketExpr final : public Expr {
public:
    BracketExpr(const Type* t, const SourcePos& p, std::vector<SetElement> elements, bool pending);

    void Get(Frame& f, Value& out) override;
    bool IsConstant() const override;

    std::vector<SetElement> elements;
    // As written, before the compiler knows whether a set or an array is meant.
    bool pending;
};

// [a, b] as the parser reads it, to be made a set or an array constructor where it is used.
ExprPtr MakeBracket(const Type* guess, std::vector<SetElement> elements, const SourcePos& pos);

ExprPtr MakeSetCtor(const Type* setType, std::vector<SetElement> elements, const SourcePos& pos);
ExprPtr MakeSetBinary(Tok op, const Type* setType, ExprPtr l, ExprPtr r, const SourcePos& pos);

} // namespace kelvara::script
