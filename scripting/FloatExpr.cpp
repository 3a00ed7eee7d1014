#include "scripting/FloatExpr.h"

#include <cmath>

namespace kelvara::script {

namespace {

struct FAdd {
    static double Do(double a, double b, const SourcePos&) { return a + b; }
};
struct FSub {
    static double Do(double a, double b, const SourcePos&) { return a - b; }
};
struct FMul {
    static double Do(double a, double b, const SourcePos&) { return a * b; }
};
struct FDiv {
    static double Do(double a, double b, const SourcePos& pos) {
        if (b == 0.0) {
            if (a == 0.0 || std::isnan(a))
                throw ScriptError(QStringLiteral("Invalid floating point operation"),
                                  ErrorKind::InvalidOp, pos);
            throw ScriptError(QStringLiteral("Floating point division by zero"),
                              ErrorKind::DivByZero, pos);
        }
        return a / b;
    }
};

template <class Op>
class FloatBinary final : public Expr {
public:
    FloatBinary(const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    double Float(Frame& f) override {
        const double a = FL->Float(f);
        return Op::Do(a, FR->Float(f), pos);
    }
    bool IsConstant() const override { return FL->IsConstant() && FR->IsConstant(); }

private:
    ExprPtr FL, FR;
};

class FloatNeg final : public Expr {
public:
    FloatNeg(ExprPtr e, const SourcePos& p) : Expr(e->type, p), FE(std::move(e)) {
        height = HeightOver({FE.get()});
    }
    double Float(Frame& f) override { return -FE->Float(f); }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
};

class IntToFloat final : public Expr {
public:
    IntToFloat(const Type* t, ExprPtr e) : Expr(t, e->pos), FE(std::move(e)) {
        height = HeightOver({FE.get()});
    }
    double Float(Frame& f) override { return double(FE->Int(f)); }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
};

class ToSingle final : public Expr {
public:
    ToSingle(const Type* t, ExprPtr e) : Expr(t, e->pos), FE(std::move(e)) {
        height = HeightOver({FE.get()});
    }
    double Float(Frame& f) override {
        const double v = FE->type->cat == Category::Ord ? double(FE->Int(f)) : FE->Float(f);
        return double(float(v));
    }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
};

} // namespace

ExprPtr MakeFloatBinary(Tok op, const Type* t, ExprPtr l, ExprPtr r, const SourcePos& p) {
    switch (op) {
    case Tok::Plus:
        return std::make_unique<FloatBinary<FAdd>>(t, p, std::move(l), std::move(r));
    case Tok::Minus:
        return std::make_unique<FloatBinary<FSub>>(t, p, std::move(l), std::move(r));
    case Tok::Star:
        return std::make_unique<FloatBinary<FMul>>(t, p, std::move(l), std::move(r));
    case Tok::Slash:
        return std::make_unique<FloatBinary<FDiv>>(t, p, std::move(l), std::move(r));
    default:
        return nullptr;
    }
}

ExprPtr MakeFloatNeg(ExprPtr e, const SourcePos& pos) {
    return std::make_unique<FloatNeg>(std::move(e), pos);
}

ExprPtr MakeIntToFloat(const Type* to, ExprPtr e) {
    return std::make_unique<IntToFloat>(to, std::move(e));
}

ExprPtr MakeToSingle(const Type* to, ExprPtr e) {
    return std::make_unique<ToSingle>(to, std::move(e));
}

} // namespace kelvara::script
