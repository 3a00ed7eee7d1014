#include "scripting/SetExpr.h"

#include <algorithm>

namespace kelvara::script {

BracketExpr::BracketExpr(const Type* t, const SourcePos& p, std::vector<SetElement> elements,
                         bool pending)
    : Expr(t, p), elements(std::move(elements)), pending(pending) {
    int h = 0;
    for (const auto& e : this->elements)
        h = std::max({h, e.low->height, e.high ? e.high->height : 0});
    height = h + 1;
}

void BracketExpr::Get(Frame& f, Value& out) {
    AggRef set = MakeAgg(AggKind::Set, type);
    for (const auto& e : elements) {
        const int64_t lo = e.low->Int(f);
        const int64_t hi = e.high ? e.high->Int(f) : lo;
        for (int64_t n = std::max<int64_t>(lo, 0); n <= std::min<int64_t>(hi, 255); ++n)
            set->SetBit(n);
    }
    out.a = std::move(set);
}

bool BracketExpr::IsConstant() const {
    if (pending)
        return false;
    for (const auto& e : elements)
        if (!e.low->IsConstant() || (e.high && !e.high->IsConstant()))
            return false;
    return true;
}

namespace {

class SetBinary final : public Expr {
public:
    SetBinary(Tok op, const Type* t, const SourcePos& p, ExprPtr l, ExprPtr r)
        : Expr(t, p), FOp(op), FL(std::move(l)), FR(std::move(r)) {
        height = HeightOver({FL.get(), FR.get()});
    }
    void Get(Frame& f, Value& out) override {
        Value a, b;
        FL->Get(f, a);
        FR->Get(f, b);
        AggRef set = MakeAgg(AggKind::Set, type);
        for (size_t k = 0; k < 4; ++k) {
            const uint64_t x = a.a ? a.a->bits[k] : 0;
            const uint64_t y = b.a ? b.a->bits[k] : 0;
            set->bits[k] = FOp == Tok::Plus ? (x | y) : FOp == Tok::Minus ? (x & ~y) : (x & y);
        }
        out.a = std::move(set);
    }
    bool IsConstant() const override { return FL->IsConstant() && FR->IsConstant(); }

private:
    Tok FOp;
    ExprPtr FL, FR;
};

} // namespace

ExprPtr MakeSetCtor(const Type* setType, std::vector<SetElement> elements, const SourcePos& pos) {
    return std::make_unique<BracketExpr>(setType, pos, std::move(elements), false);
}

ExprPtr MakeBracket(const Type* guess, std::vector<SetElement> elements, const SourcePos& pos) {
    return std::make_unique<BracketExpr>(guess, pos, std::move(elements), true);
}

ExprPtr MakeSetBinary(Tok op, const Type* setType, ExprPtr l, ExprPtr r, const SourcePos& pos) {
    return std::make_unique<SetBinary>(op, setType, pos, std::move(l), std::move(r));
}

} // namespace kelvara::script
