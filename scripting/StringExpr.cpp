#include "scripting/StringExpr.h"

namespace kelvara::script {

namespace {

class Concat final : public Expr {
public:
    Concat(const Type* t, const SourcePos& p, std::vector<ExprPtr> parts)
        : Expr(t, p), FParts(std::move(parts)) {
        int h = 0;
        for (const auto& e : FParts)
            h = std::max(h, e->height);
        height = h + 1;
    }
    QString Str(Frame& f) override {
        QString out;
        for (const auto& e : FParts) {
            if (e->type->cat == Category::Str) {
                const QString part = e->Str(f);
                f.rt->CheckStringLength(int64_t(out.size()) + part.size(), pos);
                out += part;
            } else {
                f.rt->CheckStringLength(int64_t(out.size()) + 1, pos);
                out += QChar(char16_t(e->Int(f)));
            }
        }
        return out;
    }
    bool IsConstant() const override {
        for (const auto& e : FParts)
            if (!e->IsConstant())
                return false;
        return true;
    }

    std::vector<ExprPtr> FParts;
};

class CharToStr final : public Expr {
public:
    CharToStr(const Type* t, ExprPtr e) : Expr(t, e->pos), FE(std::move(e)) {
        height = HeightOver({FE.get()});
    }
    QString Str(Frame& f) override { return QString(QChar(char16_t(FE->Int(f)))); }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
};

} // namespace

ExprPtr MakeConcat(const Type* stringType, std::vector<ExprPtr> parts, const SourcePos& pos) {
    return std::make_unique<Concat>(stringType, pos, std::move(parts));
}

ExprPtr MakeCharToStr(const Type* stringType, ExprPtr e) {
    return std::make_unique<CharToStr>(stringType, std::move(e));
}

bool TakeConcatParts(ExprPtr& e, std::vector<ExprPtr>& parts) {
    auto* c = dynamic_cast<Concat*>(e.get());
    if (!c)
        return false;
    for (auto& p : c->FParts)
        parts.push_back(std::move(p));
    e.reset();
    return true;
}

} // namespace kelvara::script
