#include "scripting/Expr.h"

#include <algorithm>

namespace kelvara::script {

Expr::~Expr() = default;

int64_t Expr::Int(Frame& f) {
    Value v;
    Get(f, v);
    return v.i;
}

double Expr::Float(Frame& f) {
    Value v;
    Get(f, v);
    return v.d;
}

QString Expr::Str(Frame& f) {
    Value v;
    Get(f, v);
    return std::move(v.s);
}

void Expr::Get(Frame& f, Value& out) {
    switch (type->cat) {
    case Category::Ord:
        out.i = Int(f);
        return;
    case Category::Float:
        out.d = Float(f);
        return;
    case Category::Str:
        out.s = Str(f);
        return;
    default:
        throw ScriptError(QStringLiteral("Internal error: expression has no value"),
                          ErrorKind::Custom, pos);
    }
}

Value* Expr::Ref(Frame&) {
    return nullptr;
}

Value* Expr::RefKeep(Frame& f, AggRef&) {
    return Ref(f);
}

ExprPtr MakeOrdConst(const Type* type, const SourcePos& pos, int64_t v) {
    Value value;
    value.i = v;
    return std::make_unique<ConstExpr>(type, pos, std::move(value));
}

ExprPtr MakeFloatConst(const Type* type, const SourcePos& pos, double v) {
    Value value;
    value.d = v;
    return std::make_unique<ConstExpr>(type, pos, std::move(value));
}

ExprPtr MakeStrConst(const Type* type, const SourcePos& pos, const QString& v) {
    Value value;
    value.s = v;
    return std::make_unique<ConstExpr>(type, pos, std::move(value));
}

void StoreInto(Expr& e, Frame& f, Value& dst) {
    switch (e.type->cat) {
    case Category::Ord:
        dst.i = e.Int(f);
        return;
    case Category::Float:
        dst.d = e.Float(f);
        return;
    case Category::Str:
        dst.s = e.Str(f);
        return;
    case Category::ByValue: {
        Value tmp;
        e.Get(f, tmp);
        if (tmp.a)
            CopyInto(dst.a, *tmp.a);
        return;
    }
    default: {
        Value tmp;
        e.Get(f, tmp);
        dst.a = std::move(tmp.a);
        return;
    }
    }
}

int HeightOver(std::initializer_list<const Expr*> children) {
    int h = 0;
    for (const Expr* c : children)
        if (c)
            h = std::max(h, c->height);
    return h + 1;
}

} // namespace kelvara::script
