#include "scripting/CompareExpr.h"

#include <functional>

namespace kelvara::script {

namespace {

template <class T, class Pred>
class Compare final : public Expr {
public:
    Compare(const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    int64_t Int(Frame& f) override {
        if constexpr (std::is_same_v<T, int64_t>) {
            const int64_t a = FL->Int(f);
            return Pred()(a, FR->Int(f));
        } else if constexpr (std::is_same_v<T, double>) {
            const double a = FL->Float(f);
            return Pred()(a, FR->Float(f));
        } else {
            const QString a = FL->Str(f);
            return Pred()(QString::compare(a, FR->Str(f), Qt::CaseSensitive), 0);
        }
    }
    bool IsConstant() const override { return FL->IsConstant() && FR->IsConstant(); }

private:
    ExprPtr FL, FR;
};

template <class T>
ExprPtr MakeTyped(Tok op, const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r) {
    switch (op) {
    case Tok::Eq:
        return std::make_unique<Compare<T, std::equal_to<>>>(t, p, std::move(l), std::move(r));
    case Tok::NotEq:
        return std::make_unique<Compare<T, std::not_equal_to<>>>(t, p, std::move(l), std::move(r));
    case Tok::Less:
        return std::make_unique<Compare<T, std::less<>>>(t, p, std::move(l), std::move(r));
    case Tok::Greater:
        return std::make_unique<Compare<T, std::greater<>>>(t, p, std::move(l), std::move(r));
    case Tok::LessEq:
        return std::make_unique<Compare<T, std::less_equal<>>>(t, p, std::move(l), std::move(r));
    case Tok::GreaterEq:
        return std::make_unique<Compare<T, std::greater_equal<>>>(t, p, std::move(l), std::move(r));
    default:
        return nullptr;
    }
}

const std::array<uint64_t, 4>& Bits(const Value& v) {
    static const std::array<uint64_t, 4> empty{};
    return v.a ? v.a->bits : empty;
}

class SetCompare final : public Expr {
public:
    SetCompare(Tok op, const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FOp(op), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    int64_t Int(Frame& f) override {
        Value a, b;
        FL->Get(f, a);
        FR->Get(f, b);
        const auto& x = Bits(a);
        const auto& y = Bits(b);
        bool sub = true, super = true;
        for (size_t k = 0; k < 4; ++k) {
            sub = sub && (x[k] & ~y[k]) == 0;
            super = super && (y[k] & ~x[k]) == 0;
        }
        switch (FOp) {
        case Tok::Eq:
            return sub && super;
        case Tok::NotEq:
            return !(sub && super);
        case Tok::LessEq:
            return sub;
        default:
            return super;
        }
    }
    bool IsConstant() const override { return FL->IsConstant() && FR->IsConstant(); }

private:
    Tok FOp;
    ExprPtr FL, FR;
};

class RefCompare final : public Expr {
public:
    RefCompare(Tok op, const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FEqual(op == Tok::Eq), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    int64_t Int(Frame& f) override {
        Value a, b;
        FL->Get(f, a);
        FR->Get(f, b);
        return (Identity(a) == Identity(b)) == FEqual;
    }

private:
    // An empty dynamic array is the same as nil.
    static const Aggregate* Identity(const Value& v) {
        if (v.a && v.a->kind == AggKind::DynArray && v.a->items.empty())
            return nullptr;
        return v.a.get();
    }

    bool FEqual;
    ExprPtr FL, FR;
};

class InSet final : public Expr {
public:
    InSet(const Type* t, const SourcePos& p, ExprPtr e, ExprPtr s)
        : Expr(t, p), FE(std::move(e)), FS(std::move(s)) {
        height = HeightOver({FE.get(), FS.get()});
    }
    int64_t Int(Frame& f) override {
        const int64_t n = FE->Int(f);
        Value set;
        FS->Get(f, set);
        return set.a && set.a->HasBit(n);
    }
    bool IsConstant() const override { return FE->IsConstant() && FS->IsConstant(); }

private:
    ExprPtr FE, FS;
};

} // namespace

ExprPtr MakeCompare(CompareKind kind, Tok op, const Type* t, ExprPtr l, ExprPtr r,
                    const SourcePos& p) {
    switch (kind) {
    case CompareKind::Ordinal:
        return MakeTyped<int64_t>(op, t, p, std::move(l), std::move(r));
    case CompareKind::Float:
        return MakeTyped<double>(op, t, p, std::move(l), std::move(r));
    case CompareKind::String:
        return MakeTyped<QString>(op, t, p, std::move(l), std::move(r));
    case CompareKind::Set:
        return std::make_unique<SetCompare>(op, t, p, std::move(l), std::move(r));
    case CompareKind::Reference:
        return std::make_unique<RefCompare>(op, t, p, std::move(l), std::move(r));
    }
    return nullptr;
}

ExprPtr MakeInSet(const Type* boolType, ExprPtr element, ExprPtr set, const SourcePos& pos) {
    return std::make_unique<InSet>(boolType, pos, std::move(element), std::move(set));
}

} // namespace kelvara::script
