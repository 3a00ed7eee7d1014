#pragma once
// The type rules of the language: which values may be stored where (and the conversions that
// storing implies), what each operator accepts and gives, and the evaluation of constant
// expressions while compiling. Every violation is a CompileError at the offending expression.
#include "scripting/CompileError.h"
#include "scripting/Expr.h"
#include "scripting/Token.h"
#include "scripting/TypeTable.h"

#include <atomic>
#include <memory>

namespace kelvara::script {

// Deepest expression tree accepted (deeper ones would risk the machine stack when run).
constexpr int kMaxExprHeight = 1000;

class Checker {
public:
    // Constant expressions are evaluated under the limits the program will run with.
    Checker(TypeTable& types, const Limits& limits);
    ~Checker();

    [[noreturn]] static void Fail(const SourcePos& pos, const QString& text);
    [[noreturn]] static void Mismatch(const Type* expected, const Type* found,
                                      const SourcePos& pos);
    // Type names stand only as arguments of High, Low, SizeOf and the like.
    static void RequireValue(const Expr& e);

    // The expression converted for storing into `to`, or a type mismatch error.
    ExprPtr Coerce(ExprPtr e, const Type* to);
    // True when Coerce(e, to) would succeed.
    bool CanCoerce(const Expr& e, const Type* to) const;
    // An expression that must be Boolean (if, while, until).
    ExprPtr Condition(ExprPtr e);

    ExprPtr Binary(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos);
    ExprPtr Unary(Tok op, ExprPtr e, const SourcePos& pos);

    // Replaces a constant expression by its value; checks the tree height.
    ExprPtr Fold(ExprPtr e);
    // The value of a constant expression (an error when it is not constant).
    Value Evaluate(Expr& e, const QString& what = QStringLiteral("Constant expression expected"));

    // Integer operand width and result type of an arithmetic operation on two integer types.
    IntSize ArithWidth(const Expr& l, const Expr& r) const;
    const Type* IntTypeOfWidth(IntSize w) const;

    TypeTable& types;

private:
    ExprPtr CoerceBracket(ExprPtr e, const Type* to);
    ExprPtr FitOrdinal(ExprPtr e, const Type* to);
    ExprPtr Arithmetic(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos);
    ExprPtr Comparison(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos);
    ExprPtr SetOperation(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos);
    ExprPtr Membership(ExprPtr l, ExprPtr r, const SourcePos& pos);
    ExprPtr ToFloat(ExprPtr e);
    ExprPtr ToStr(ExprPtr e);
    // Makes a bracket operand the set type of the other operand.
    void MatchBrackets(ExprPtr& l, ExprPtr& r);
    [[noreturn]] static void NotApplicable(const SourcePos& pos);

    std::atomic<bool> FAbort{false};
    std::unique_ptr<Runtime> FRuntime;
};

// Both ordinals of one family: all integer types, or the same Char, Boolean or enumeration.
bool SameOrdinalFamily(const Type* a, const Type* b);

} // namespace kelvara::script
