#include "scripting/Checker.h"

#include "scripting/ArrayCtorExpr.h"
#include "scripting/CompareExpr.h"
#include "scripting/FloatExpr.h"
#include "scripting/IntExpr.h"
#include "scripting/LogicExpr.h"
#include "scripting/SetExpr.h"
#include "scripting/StringExpr.h"

namespace kelvara::script {

namespace {

bool IsStrLike(const Type* t) {
    return IsString(t) || IsChar(t);
}
bool IsNumeric(const Type* t) {
    return IsInteger(t) || IsFloat(t);
}
bool IsBracket(const Expr& e) {
    return dynamic_cast<const BracketExpr*>(&e) != nullptr;
}

const ConstExpr* AsConst(const Expr& e) {
    return dynamic_cast<const ConstExpr*>(&e);
}

bool IsNonNegativeConst(const Expr& e) {
    const ConstExpr* c = AsConst(e);
    return c && IsInteger(e.type) && c->value.i >= 0 && c->value.i <= 0xFFFFFFFFLL;
}

bool IsSignedSize(IntSize s) {
    return s == IntSize::S8 || s == IntSize::S16 || s == IntSize::S32 || s == IntSize::S64;
}

bool IsComparison(Tok op) {
    return op == Tok::Eq || op == Tok::NotEq || op == Tok::Less || op == Tok::Greater ||
           op == Tok::LessEq || op == Tok::GreaterEq;
}

} // namespace

bool SameOrdinalFamily(const Type* a, const Type* b) {
    if (!IsOrdinal(a) || !IsOrdinal(b))
        return false;
    if (a->ord == OrdKind::Integer && b->ord == OrdKind::Integer)
        return true;
    return OrdinalBase(a) == OrdinalBase(b);
}

Checker::Checker(TypeTable& types, const Limits& limits)
    : types(types), FRuntime(std::make_unique<Runtime>(
                        [&] {
                            Limits l = limits;
                            l.budget = -1;
                            return l;
                        }(),
                        types, &FAbort, nullptr)) {}

Checker::~Checker() = default;

void Checker::Fail(const SourcePos& pos, const QString& text) {
    throw CompileError{pos, text};
}

void Checker::Mismatch(const Type* expected, const Type* found, const SourcePos& pos) {
    Fail(pos, QStringLiteral("Type mismatch: '%1' expected but '%2' found")
                  .arg(TypeName(expected), TypeName(found)));
}

void Checker::NotApplicable(const SourcePos& pos) {
    Fail(pos, QStringLiteral("Operator not applicable to this operand type"));
}

void Checker::RequireValue(const Expr& e) {
    if (e.IsTypeRef())
        Fail(e.pos,
             QStringLiteral("Expression expected but type '%1' found").arg(TypeName(e.type)));
    if (e.type->kind == TypeKind::Void)
        Fail(e.pos, QStringLiteral("Expression has no value (a procedure call)"));
}

ExprPtr Checker::Fold(ExprPtr e) {
    if (e->height > kMaxExprHeight)
        Fail(e->pos, QStringLiteral("Expression too complex"));
    if (!e->IsConstant() || AsConst(*e) || e->IsTypeRef())
        return e;
    if (e->type->cat == Category::None)
        return e;
    // An operation that fails on its constant operands (StrToInt('x')) is left to fail when run;
    // where a constant is required, Evaluate reports the failure instead.
    Frame frame{nullptr, nullptr, FRuntime.get()};
    Value v;
    try {
        e->Get(frame, v);
    } catch (const ScriptError&) {
        return e;
    } catch (const ScriptStop&) {
        return e;
    }
    return std::make_unique<ConstExpr>(e->type, e->pos, std::move(v));
}

Value Checker::Evaluate(Expr& e, const QString& what) {
    if (!e.IsConstant())
        Fail(e.pos, what);
    Frame frame{nullptr, nullptr, FRuntime.get()};
    Value v;
    try {
        e.Get(frame, v);
    } catch (const ScriptError& err) {
        Fail(err.hasPos ? err.pos : e.pos, err.message);
    } catch (const ScriptStop& stop) {
        Fail(e.pos, stop.message);
    }
    return v;
}

IntSize Checker::ArithWidth(const Expr& l, const Expr& r) const {
    const IntSize a = l.type->size, b = r.type->size;
    if (a == IntSize::S64 || b == IntSize::S64)
        return IntSize::S64;
    const bool au = a == IntSize::U32, bu = b == IntSize::U32;
    if (au || bu) {
        const Expr& other = au ? r : l;
        const IntSize os = au ? b : a;
        if (IsSignedSize(os) && !IsNonNegativeConst(other))
            return IntSize::S64;
        return IntSize::U32;
    }
    return IntSize::S32;
}

const Type* Checker::IntTypeOfWidth(IntSize w) const {
    return w == IntSize::S64 ? types.Int64 : w == IntSize::U32 ? types.Cardinal : types.Integer;
}

ExprPtr Checker::FitOrdinal(ExprPtr e, const Type* to) {
    int64_t fromLow, fromHigh, toLow, toHigh;
    SizeRange(e->type->size, fromLow, fromHigh);
    SizeRange(to->size, toLow, toHigh);
    if (fromLow >= toLow && fromHigh <= toHigh)
        return e;
    return Fold(MakeWrap(to, std::move(e)));
}

ExprPtr Checker::ToFloat(ExprPtr e) {
    if (IsFloat(e->type))
        return e;
    return Fold(MakeIntToFloat(types.Double, std::move(e)));
}

ExprPtr Checker::ToStr(ExprPtr e) {
    if (IsString(e->type))
        return e;
    return Fold(MakeCharToStr(types.String, std::move(e)));
}

bool Checker::CanCoerce(const Expr& e, const Type* to) const {
    const Type* from = e.type;
    if (from == to)
        return true;
    switch (to->kind) {
    case TypeKind::Ordinal:
        if (SameOrdinalFamily(from, to))
            return true;
        if (IsChar(to) && IsString(from))
            if (const ConstExpr* c = AsConst(e))
                return c->value.s.size() == 1;
        return false;
    case TypeKind::Float:
        return IsNumeric(from);
    case TypeKind::String:
        return IsStrLike(from);
    case TypeKind::Set:
        if (IsBracket(e))
            return from == types.EmptySet || SameOrdinalFamily(from->elem, to->elem) ||
                   to == types.EmptySet;
        return from->kind == TypeKind::Set && (from == types.EmptySet || to == types.EmptySet ||
                                               SameOrdinalFamily(from->elem, to->elem));
    case TypeKind::DynArray:
        return from->kind == TypeKind::Nil || IsBracket(e) ||
               (from->kind == TypeKind::DynArray && from->elem == to->elem);
    case TypeKind::OpenArray:
        return IsBracket(e) || (IsArray(from) && from->elem == to->elem);
    case TypeKind::ConstArray:
        return IsBracket(e);
    case TypeKind::Class:
        return from->kind == TypeKind::Nil || (IsClass(from) && InheritsFrom(from, to));
    default:
        return false;
    }
}

ExprPtr Checker::Coerce(ExprPtr e, const Type* to) {
    RequireValue(*e);
    const Type* from = e->type;
    if (from == to)
        return e;
    if (!CanCoerce(*e, to))
        Mismatch(to, from, e->pos);
    if (IsBracket(*e))
        return CoerceBracket(std::move(e), to);
    switch (to->kind) {
    case TypeKind::Ordinal:
        if (IsString(from))
            return MakeOrdConst(to, e->pos, AsConst(*e)->value.s.at(0).unicode());
        return FitOrdinal(std::move(e), to);
    case TypeKind::Float:
        if (IsInteger(from))
            e = ToFloat(std::move(e));
        if (to->single && !from->single)
            return Fold(MakeToSingle(to, std::move(e)));
        return e;
    case TypeKind::String:
        return ToStr(std::move(e));
    case TypeKind::DynArray:
    case TypeKind::Class:
        if (from->kind == TypeKind::Nil)
            return std::make_unique<ConstExpr>(to, e->pos, Value());
        return e;
    default:
        return e;
    }
}

ExprPtr Checker::CoerceBracket(ExprPtr e, const Type* to) {
    auto& bracket = static_cast<BracketExpr&>(*e);
    const SourcePos pos = e->pos;
    if (to->kind == TypeKind::Set) {
        std::vector<SetElement> elements = std::move(bracket.elements);
        if (to->elem)
            for (auto& el : elements) {
                el.low = Coerce(std::move(el.low), to->elem);
                if (el.high)
                    el.high = Coerce(std::move(el.high), to->elem);
            }
        return Fold(MakeSetCtor(to, std::move(elements), pos));
    }
    std::vector<ExprPtr> items;
    for (auto& el : bracket.elements) {
        if (el.high)
            Fail(el.high->pos, QStringLiteral("A range is not allowed in an array constructor"));
        items.push_back(to->kind == TypeKind::ConstArray ? std::move(el.low)
                                                         : Coerce(std::move(el.low), to->elem));
    }
    if (to->kind == TypeKind::ConstArray)
        return MakeConstArrayCtor(to, std::move(items), pos);
    return MakeArrayCtor(to, std::move(items), pos);
}

ExprPtr Checker::Condition(ExprPtr e) {
    RequireValue(*e);
    if (!IsBoolean(e->type))
        Mismatch(types.Boolean, e->type, e->pos);
    return e;
}

void Checker::MatchBrackets(ExprPtr& l, ExprPtr& r) {
    if (IsBracket(*l) && r->type->kind == TypeKind::Set && !IsBracket(*r))
        l = Coerce(std::move(l), r->type);
    else if (IsBracket(*r) && l->type->kind == TypeKind::Set && !IsBracket(*l))
        r = Coerce(std::move(r), l->type);
}

ExprPtr Checker::Binary(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos) {
    RequireValue(*l);
    RequireValue(*r);
    if (op == Tok::KwIn)
        return Membership(std::move(l), std::move(r), pos);
    MatchBrackets(l, r);
    if (l->type->kind == TypeKind::Set && r->type->kind == TypeKind::Set)
        return SetOperation(op, std::move(l), std::move(r), pos);
    if (IsComparison(op))
        return Comparison(op, std::move(l), std::move(r), pos);
    return Arithmetic(op, std::move(l), std::move(r), pos);
}

ExprPtr Checker::Arithmetic(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos) {
    const Type* a = l->type;
    const Type* b = r->type;
    if (op == Tok::Plus && IsStrLike(a) && IsStrLike(b)) {
        std::vector<ExprPtr> parts;
        if (!TakeConcatParts(l, parts))
            parts.push_back(std::move(l));
        parts.push_back(std::move(r));
        return Fold(MakeConcat(types.String, std::move(parts), pos));
    }
    const bool logical = op == Tok::KwAnd || op == Tok::KwOr || op == Tok::KwXor;
    if (logical && IsBoolean(a) && IsBoolean(b))
        return Fold(MakeLogical(op, types.Boolean, std::move(l), std::move(r), pos));
    if (IsInteger(a) && IsInteger(b) && op != Tok::Slash) {
        if (op == Tok::KwShl || op == Tok::KwShr) {
            const IntSize w = a->size == IntSize::S64   ? IntSize::S64
                              : a->size == IntSize::U32 ? IntSize::U32
                                                        : IntSize::S32;
            return Fold(MakeIntBinary(op, w, IntTypeOfWidth(w), std::move(l), std::move(r), pos));
        }
        const IntSize w = ArithWidth(*l, *r);
        ExprPtr node = MakeIntBinary(op, w, IntTypeOfWidth(w), std::move(l), std::move(r), pos);
        if (!node)
            NotApplicable(pos);
        return Fold(std::move(node));
    }
    const bool floatOp = op == Tok::Plus || op == Tok::Minus || op == Tok::Star || op == Tok::Slash;
    if (floatOp && IsNumeric(a) && IsNumeric(b))
        return Fold(
            MakeFloatBinary(op, types.Double, ToFloat(std::move(l)), ToFloat(std::move(r)), pos));
    NotApplicable(pos);
}

ExprPtr Checker::Comparison(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos) {
    const Type* a = l->type;
    const Type* b = r->type;
    const Type* boolean = types.Boolean;
    if (SameOrdinalFamily(a, b))
        return Fold(
            MakeCompare(CompareKind::Ordinal, op, boolean, std::move(l), std::move(r), pos));
    if (IsNumeric(a) && IsNumeric(b))
        return Fold(MakeCompare(CompareKind::Float, op, boolean, ToFloat(std::move(l)),
                                ToFloat(std::move(r)), pos));
    if (IsStrLike(a) && IsStrLike(b))
        return Fold(MakeCompare(CompareKind::String, op, boolean, ToStr(std::move(l)),
                                ToStr(std::move(r)), pos));
    const bool equality = op == Tok::Eq || op == Tok::NotEq;
    auto isRef = [](const Type* t) {
        return t->kind == TypeKind::Nil || t->kind == TypeKind::Class ||
               t->kind == TypeKind::DynArray;
    };
    if (equality && isRef(a) && isRef(b) &&
        (a->kind == TypeKind::Nil || b->kind == TypeKind::Nil || a->kind == b->kind))
        return MakeCompare(CompareKind::Reference, op, boolean, std::move(l), std::move(r), pos);
    if (a->kind != b->kind || a->cat == Category::ByValue)
        Fail(pos,
             QStringLiteral("Incompatible types: '%1' and '%2'").arg(TypeName(a), TypeName(b)));
    NotApplicable(pos);
}

ExprPtr Checker::SetOperation(Tok op, ExprPtr l, ExprPtr r, const SourcePos& pos) {
    const Type* a = l->type;
    const Type* b = r->type;
    if (a != types.EmptySet && b != types.EmptySet && !SameOrdinalFamily(a->elem, b->elem))
        Fail(pos,
             QStringLiteral("Incompatible types: '%1' and '%2'").arg(TypeName(a), TypeName(b)));
    const Type* result = a == types.EmptySet ? b : a;
    switch (op) {
    case Tok::Plus:
    case Tok::Minus:
    case Tok::Star:
        return Fold(MakeSetBinary(op, result, std::move(l), std::move(r), pos));
    case Tok::Eq:
    case Tok::NotEq:
    case Tok::LessEq:
    case Tok::GreaterEq:
        return Fold(
            MakeCompare(CompareKind::Set, op, types.Boolean, std::move(l), std::move(r), pos));
    default:
        NotApplicable(pos);
    }
}

ExprPtr Checker::Membership(ExprPtr l, ExprPtr r, const SourcePos& pos) {
    if (!IsOrdinal(l->type))
        Fail(l->pos, QStringLiteral("Ordinal type required"));
    if (IsBracket(*r))
        r = Coerce(std::move(r), types.SetOf(OrdinalBase(l->type)));
    if (r->type->kind != TypeKind::Set)
        Fail(r->pos, QStringLiteral("Set type required"));
    if (r->type != types.EmptySet && !SameOrdinalFamily(l->type, r->type->elem))
        Mismatch(r->type->elem, l->type, l->pos);
    return Fold(MakeInSet(types.Boolean, std::move(l), std::move(r), pos));
}

ExprPtr Checker::Unary(Tok op, ExprPtr e, const SourcePos& pos) {
    RequireValue(*e);
    const Type* t = e->type;
    if (op == Tok::KwNot) {
        if (IsBoolean(t))
            return Fold(MakeLogicalNot(std::move(e), pos));
        if (IsInteger(t))
            return Fold(MakeIntNot(t->size, t, std::move(e), pos));
        NotApplicable(pos);
    }
    if (IsFloat(t))
        return op == Tok::Minus ? Fold(MakeFloatNeg(std::move(e), pos)) : std::move(e);
    if (!IsInteger(t))
        NotApplicable(pos);
    if (op == Tok::Plus)
        return e;
    const IntSize w =
        (t->size == IntSize::S64 || t->size == IntSize::U32) ? IntSize::S64 : IntSize::S32;
    return Fold(MakeIntNeg(w, IntTypeOfWidth(w), std::move(e), pos));
}

} // namespace kelvara::script
