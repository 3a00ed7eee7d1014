#include "scripting/LogicExpr.h"

namespace kelvara::script {

namespace {

class Logical final : public Expr {
public:
    Logical(Tok op, const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FOp(op), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    int64_t Int(Frame& f) override {
        const bool a = FL->Bool(f);
        switch (FOp) {
        case Tok::KwAnd:
            return a && FR->Bool(f);
        case Tok::KwOr:
            return a || FR->Bool(f);
        default:
            return a != FR->Bool(f);
        }
    }
    bool IsConstant() const override { return FL->IsConstant() && FR->IsConstant(); }

private:
    Tok FOp;
    ExprPtr FL, FR;
};

class LogicalNot final : public Expr {
public:
    LogicalNot(ExprPtr e, const SourcePos& p) : Expr(e->type, p), FE(std::move(e)) {
        height = HeightOver({FE.get()});
    }
    int64_t Int(Frame& f) override { return !FE->Bool(f); }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
};

} // namespace

ExprPtr MakeLogical(Tok op, const Type* boolType, ExprPtr l, ExprPtr r, const SourcePos& pos) {
    return std::make_unique<Logical>(op, boolType, pos, std::move(l), std::move(r));
}

ExprPtr MakeLogicalNot(ExprPtr e, const SourcePos& pos) {
    return std::make_unique<LogicalNot>(std::move(e), pos);
}

} // namespace kelvara::script
