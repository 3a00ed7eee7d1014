#include "scripting/IntExpr.h"

#include <limits>

namespace kelvara::script {

namespace {

template <IntSize W>
inline int64_t Wrap(uint64_t v) {
    return WrapToSize(int64_t(v), W);
}

template <IntSize W>
constexpr unsigned ShiftMask() {
    return W == IntSize::S64 ? 63u : 31u;
}

// Operands arrive already inside the range of their types, so for widths below 64 bits the
// 64-bit quotient never overflows; only Int64's MinInt64 div -1 needs care.
[[noreturn]] void DivZero(const SourcePos& pos) {
    throw ScriptError(QStringLiteral("Division by zero"), ErrorKind::DivByZero, pos);
}

template <IntSize W>
struct OpAdd {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) {
        return Wrap<W>(uint64_t(a) + uint64_t(b));
    }
};
template <IntSize W>
struct OpSub {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) {
        return Wrap<W>(uint64_t(a) - uint64_t(b));
    }
};
template <IntSize W>
struct OpMul {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) {
        return Wrap<W>(uint64_t(a) * uint64_t(b));
    }
};
template <IntSize W>
struct OpDiv {
    static int64_t Do(int64_t a, int64_t b, const SourcePos& pos) {
        if (b == 0)
            DivZero(pos);
        if (b == -1)
            return Wrap<W>(uint64_t(0) - uint64_t(a));
        return Wrap<W>(uint64_t(a / b));
    }
};
template <IntSize W>
struct OpMod {
    static int64_t Do(int64_t a, int64_t b, const SourcePos& pos) {
        if (b == 0)
            DivZero(pos);
        if (b == -1)
            return 0;
        return Wrap<W>(uint64_t(a % b));
    }
};
template <IntSize W>
struct OpAnd {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) { return Wrap<W>(uint64_t(a & b)); }
};
template <IntSize W>
struct OpOr {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) { return Wrap<W>(uint64_t(a | b)); }
};
template <IntSize W>
struct OpXor {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) { return Wrap<W>(uint64_t(a ^ b)); }
};
template <IntSize W>
struct OpShl {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) {
        return Wrap<W>(uint64_t(a) << (unsigned(b) & ShiftMask<W>()));
    }
};
template <IntSize W>
struct OpShr {
    static int64_t Do(int64_t a, int64_t b, const SourcePos&) {
        const uint64_t bits = W == IntSize::S64 ? uint64_t(a) : uint64_t(uint32_t(a));
        return Wrap<W>(bits >> (unsigned(b) & ShiftMask<W>()));
    }
};

template <class Op>
class IntBinary final : public Expr {
public:
    IntBinary(const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    int64_t Int(Frame& f) override {
        const int64_t a = FL->Int(f);
        return Op::Do(a, FR->Int(f), pos);
    }
    bool IsConstant() const override { return FL->IsConstant() && FR->IsConstant(); }

private:
    ExprPtr FL, FR;
};

template <template <IntSize> class Op>
ExprPtr MakeSized(IntSize w, const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r) {
    switch (w) {
    case IntSize::S64:
        return std::make_unique<IntBinary<Op<IntSize::S64>>>(t, p, std::move(l), std::move(r));
    case IntSize::U32:
        return std::make_unique<IntBinary<Op<IntSize::U32>>>(t, p, std::move(l), std::move(r));
    default:
        return std::make_unique<IntBinary<Op<IntSize::S32>>>(t, p, std::move(l), std::move(r));
    }
}

class IntUnary final : public Expr {
public:
    IntUnary(const Type* t, const SourcePos& p, ExprPtr e, IntSize w, bool negate)
        : Expr(t, p), FE(std::move(e)), FWidth(w), FNegate(negate) {
        height = HeightOver({FE.get()});
    }
    int64_t Int(Frame& f) override {
        const uint64_t v = uint64_t(FE->Int(f));
        return WrapToSize(int64_t(FNegate ? uint64_t(0) - v : ~v), FWidth);
    }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
    IntSize FWidth;
    bool FNegate;
};

class WrapExpr final : public Expr {
public:
    WrapExpr(const Type* t, ExprPtr e) : Expr(t, e->pos), FE(std::move(e)), FSize(t->size) {
        height = HeightOver({FE.get()});
    }
    int64_t Int(Frame& f) override { return WrapToSize(FE->Int(f), FSize); }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
    IntSize FSize;
};

class RetypeExpr final : public Expr {
public:
    RetypeExpr(const Type* t, ExprPtr e) : Expr(t, e->pos), FE(std::move(e)) {
        height = HeightOver({FE.get()});
    }
    int64_t Int(Frame& f) override { return FE->Int(f); }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
};

} // namespace

ExprPtr MakeIntBinary(Tok op, IntSize w, const Type* t, ExprPtr l, ExprPtr r, const SourcePos& p) {
    switch (op) {
    case Tok::Plus:
        return MakeSized<OpAdd>(w, t, p, std::move(l), std::move(r));
    case Tok::Minus:
        return MakeSized<OpSub>(w, t, p, std::move(l), std::move(r));
    case Tok::Star:
        return MakeSized<OpMul>(w, t, p, std::move(l), std::move(r));
    case Tok::KwDiv:
        return MakeSized<OpDiv>(w, t, p, std::move(l), std::move(r));
    case Tok::KwMod:
        return MakeSized<OpMod>(w, t, p, std::move(l), std::move(r));
    case Tok::KwAnd:
        return MakeSized<OpAnd>(w, t, p, std::move(l), std::move(r));
    case Tok::KwOr:
        return MakeSized<OpOr>(w, t, p, std::move(l), std::move(r));
    case Tok::KwXor:
        return MakeSized<OpXor>(w, t, p, std::move(l), std::move(r));
    case Tok::KwShl:
        return MakeSized<OpShl>(w, t, p, std::move(l), std::move(r));
    case Tok::KwShr:
        return MakeSized<OpShr>(w, t, p, std::move(l), std::move(r));
    default:
        return nullptr;
    }
}

ExprPtr MakeIntNeg(IntSize width, const Type* t, ExprPtr e, const SourcePos& pos) {
    return std::make_unique<IntUnary>(t, pos, std::move(e), width, true);
}

ExprPtr MakeIntNot(IntSize width, const Type* t, ExprPtr e, const SourcePos& pos) {
    return std::make_unique<IntUnary>(t, pos, std::move(e), width, false);
}

ExprPtr MakeWrap(const Type* to, ExprPtr e) {
    return std::make_unique<WrapExpr>(to, std::move(e));
}

ExprPtr MakeRetype(const Type* to, ExprPtr e) {
    return std::make_unique<RetypeExpr>(to, std::move(e));
}

} // namespace kelvara::script
