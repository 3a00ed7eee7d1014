// Expressions: operators by Pascal precedence, literals, set and array brackets, designators
// (variables, constants, calls, casts, fields, indexes).
#include "scripting/AccessExpr.h"
#include "scripting/CompareExpr.h"
#include "scripting/IntExpr.h"
#include "scripting/IntrinsicExpr.h"
#include "scripting/Parser.h"
#include "scripting/SetExpr.h"
#include "scripting/VarExpr.h"

#include <limits>

namespace kelvara::script {

namespace {

bool IsRelational(Tok k) {
    return k == Tok::Eq || k == Tok::NotEq || k == Tok::Less || k == Tok::Greater ||
           k == Tok::LessEq || k == Tok::GreaterEq || k == Tok::KwIn || k == Tok::KwIs;
}

bool IsAdding(Tok k) {
    return k == Tok::Plus || k == Tok::Minus || k == Tok::KwOr || k == Tok::KwXor;
}

bool IsMultiplying(Tok k) {
    return k == Tok::Star || k == Tok::Slash || k == Tok::KwDiv || k == Tok::KwMod ||
           k == Tok::KwAnd || k == Tok::KwShl || k == Tok::KwShr || k == Tok::KwAs;
}

} // namespace

// expression := simple [relop simple]
ExprPtr Parser::ParseExpression() {
    ExprPtr left = ParseSimpleExpression();
    if (IsRelational(FTok.kind)) {
        const Tok op = FTok.kind;
        const SourcePos pos = FTok.pos;
        if (op == Tok::KwIs)
            Fail(pos, QStringLiteral("The 'is' operator is not supported"));
        Next();
        ExprPtr right = ParseSimpleExpression();
        left = FCheck.Binary(op, std::move(left), std::move(right), pos);
    }
    return left;
}

// simple := term { ('+'|'-'|'or'|'xor') term }
ExprPtr Parser::ParseSimpleExpression() {
    ExprPtr left = ParseTerm();
    while (IsAdding(FTok.kind)) {
        const Tok op = FTok.kind;
        const SourcePos pos = FTok.pos;
        Next();
        ExprPtr right = ParseTerm();
        left = FCheck.Binary(op, std::move(left), std::move(right), pos);
    }
    return left;
}

// term := factor { ('*'|'/'|'div'|'mod'|'and'|'shl'|'shr') factor }
ExprPtr Parser::ParseTerm() {
    ExprPtr left = ParseFactor();
    while (IsMultiplying(FTok.kind)) {
        const Tok op = FTok.kind;
        const SourcePos pos = FTok.pos;
        if (op == Tok::KwAs)
            Fail(pos, QStringLiteral("The 'as' operator is not supported"));
        Next();
        ExprPtr right = ParseFactor();
        left = FCheck.Binary(op, std::move(left), std::move(right), pos);
    }
    return left;
}

// factor := number | string | 'nil' | '(' expression ')' | ('not'|'+'|'-') factor
//         | '[' elements ']' | designator
ExprPtr Parser::ParseFactor() {
    const SourcePos pos = FTok.pos;
    Nesting guard(*this, pos);
    switch (FTok.kind) {
    case Tok::IntLit: {
        const int64_t v = FTok.ival;
        Next();
        const bool small =
            v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
        return MakeOrdConst(small ? FTypes.Integer : FTypes.Int64, pos, v);
    }
    case Tok::FloatLit: {
        const double v = FTok.fval;
        Next();
        return MakeFloatConst(FTypes.Double, pos, v);
    }
    case Tok::StrLit: {
        const QString v = FTok.text;
        Next();
        if (v.size() == 1)
            return MakeOrdConst(FTypes.Char, pos, v.at(0).unicode());
        return MakeStrConst(FTypes.String, pos, v);
    }
    case Tok::KwNil:
        Next();
        return std::make_unique<ConstExpr>(FTypes.Nil, pos, Value());
    case Tok::LParen: {
        Next();
        ExprPtr e = ParseExpression();
        Expect(Tok::RParen);
        return e;
    }
    case Tok::KwNot:
    case Tok::Plus:
    case Tok::Minus: {
        const Tok op = FTok.kind;
        Next();
        return FCheck.Unary(op, ParseFactor(), pos);
    }
    case Tok::LBracket:
        return ParseBracket();
    case Tok::At:
        Fail(pos, QStringLiteral("Pointers are not supported"));
    case Tok::KwInherited:
        Fail(pos, QStringLiteral("Class declarations are not supported"));
    case Tok::KwString:
        Next();
        return ParseCast(FTypes.String, pos);
    case Tok::Ident: {
        Designator d = ParseDesignator();
        return TakeValue(d);
    }
    default:
        Expected(QStringLiteral("Expression"));
    }
}

// bracket := '[' [element { ',' element }] ']';  element := expression ['..' expression]
ExprPtr Parser::ParseBracket() {
    const SourcePos pos = FTok.pos;
    Next();
    std::vector<SetElement> elements;
    if (FTok.kind != Tok::RBracket) {
        do {
            SetElement el;
            el.low = ParseExpression();
            Checker::RequireValue(*el.low);
            if (Accept(Tok::DotDot)) {
                el.high = ParseExpression();
                Checker::RequireValue(*el.high);
            }
            elements.push_back(std::move(el));
        } while (Accept(Tok::Comma));
    }
    Expect(Tok::RBracket);
    const Type* t = FTypes.EmptySet;
    if (!elements.empty()) {
        const Type* first = elements.front().low->type;
        bool ordinal = IsOrdinal(first);
        for (const auto& el : elements)
            ordinal = ordinal && SameOrdinalFamily(first, el.low->type) &&
                      (!el.high || SameOrdinalFamily(first, el.high->type));
        if (ordinal)
            t = FTypes.SetOf(OrdinalBase(first));
    }
    return MakeBracket(t, std::move(elements), pos);
}

ExprPtr Parser::ParseConstant(const Type*) {
    ExprPtr e = ParseExpression();
    Checker::RequireValue(*e);
    if (!e->IsConstant())
        Fail(e->pos, QStringLiteral("Constant expression expected"));
    return FCheck.Fold(std::move(e));
}

ExprPtr Parser::VarExpr(Symbol* sym, const SourcePos& pos) {
    return MakeVarExpr(sym->type, pos, sym->loc, FScope->depth);
}

// The function (this one or one enclosing it) whose result `name :=` assigns, if any.
Routine* Parser::ResultTarget(Symbol* sym) {
    if (!sym->routine->IsFunction())
        return nullptr;
    for (const Scope* s = FScope; s; s = s->parent)
        if (s->routine == sym->routine)
            return sym->routine;
    return nullptr;
}

// designator := ident { '.' ident | '[' expressions ']' }, where ident is a variable, constant,
// routine (called), type (a cast or a class member) or intrinsic
Parser::Designator Parser::ParseDesignator() {
    const SourcePos pos = FTok.pos;
    const QString name = FTok.text;
    Symbol* sym = FScope->Lookup(name);
    if (!sym)
        Fail(pos, QStringLiteral("Unknown identifier '%1'").arg(name));
    Next();
    Designator d;
    switch (sym->kind) {
    case SymKind::Const:
        d.expr = std::make_unique<ConstExpr>(sym->type, pos, sym->value);
        break;
    case SymKind::Var:
        d.expr = VarExpr(sym, pos);
        d.assignable = !sym->readOnly;
        d.root = sym;
        d.plain = true;
        break;
    case SymKind::Type:
        if (FTok.kind == Tok::LParen)
            d.expr = ParseCast(sym->type, pos);
        else if (FTok.kind == Tok::Dot && IsClass(sym->type))
            d.expr = ParseClassMember(sym->type, pos);
        else
            d.expr = std::make_unique<TypeRefExpr>(sym->type, pos);
        break;
    case SymKind::Routine:
        if (Routine* r = ResultTarget(sym); r && FTok.kind == Tok::Assign) {
            VarLocation loc;
            loc.depth = r->depth;
            loc.slot = 0;
            d.expr = MakeVarExpr(r->result, pos, loc, FScope->depth);
            d.assignable = true;
            d.plain = true;
            return d;
        }
        d.expr = ParseCall(sym->routine, pos);
        d.isCall = true;
        break;
    case SymKind::Intrinsic:
        d.expr = ParseIntrinsic(sym->intrinsic, pos, nullptr);
        break;
    }
    ParseSelectors(d);
    return d;
}

void Parser::ParseSelectors(Designator& d) {
    for (;;) {
        if (FTok.kind == Tok::Dot) {
            Next();
            const SourcePos fpos = FTok.pos;
            const QString field = ExpectIdent();
            ExprPtr base = TakeValue(d);
            Checker::RequireValue(*base);
            const Type* t = base->type;
            const int index = t->FieldIndex(field.toLower());
            if (t->kind != TypeKind::Record && t->kind != TypeKind::Class)
                Fail(fpos, QStringLiteral("Record or object required before '.%1'").arg(field));
            if (index < 0)
                Fail(fpos, QStringLiteral("Unknown field '%1'").arg(field));
            const Type* ft = t->FieldAt(index).type;
            if (t->kind == TypeKind::Class) {
                d.expr = MakeObjectFieldExpr(std::move(base), index, ft, fpos);
                d.assignable = d.expr->IsLValue();
            } else {
                d.expr = MakeFieldExpr(std::move(base), index, ft, fpos);
            }
            d.plain = false;
            d.isCall = false;
        } else if (FTok.kind == Tok::LBracket) {
            SourcePos ipos = FTok.pos;
            Next();
            do {
                ExprPtr base = TakeValue(d);
                Checker::RequireValue(*base);
                const Type* t = base->type;
                ExprPtr index = ParseExpression();
                Checker::RequireValue(*index);
                if (IsString(t)) {
                    if (!IsInteger(index->type))
                        Checker::Mismatch(FTypes.Integer, index->type, index->pos);
                    d.strBase = std::move(base);
                    d.strIndex = std::move(index);
                } else if (IsArray(t)) {
                    const Type* want = t->kind == TypeKind::StaticArray ? t->index : FTypes.Integer;
                    if (!SameOrdinalFamily(index->type, want))
                        Checker::Mismatch(want, index->type, index->pos);
                    d.expr = FCheck.Fold(MakeIndexExpr(std::move(base), std::move(index), ipos));
                } else {
                    Fail(ipos, QStringLiteral("Array type required"));
                }
                d.plain = false;
                d.isCall = false;
                ipos = FTok.pos;
            } while (Accept(Tok::Comma));
            Expect(Tok::RBracket);
        } else if (FTok.kind == Tok::Caret) {
            Fail(FTok.pos, QStringLiteral("Pointers are not supported"));
        } else {
            return;
        }
    }
}

ExprPtr Parser::TakeValue(Designator& d) {
    if (d.strBase) {
        const SourcePos pos = d.strIndex->pos;
        d.expr = FCheck.Fold(
            MakeStrIndexExpr(std::move(d.strBase), std::move(d.strIndex), FTypes.Char, pos));
        d.strBase.reset();
        d.strIndex.reset();
    }
    return std::move(d.expr);
}

// cast := type '(' expression ')' between ordinals, numbers and strings
ExprPtr Parser::ParseCast(const Type* to, const SourcePos& pos) {
    Expect(Tok::LParen);
    ExprPtr e = ParseExpression();
    Expect(Tok::RParen);
    Checker::RequireValue(*e);
    const Type* from = e->type;
    if (from == to)
        return e;
    if (IsBoolean(to) && IsOrdinal(from))
        return FCheck.Fold(MakeCompare(CompareKind::Ordinal, Tok::NotEq, FTypes.Boolean,
                                       std::move(e), MakeOrdConst(from, pos, 0), pos));
    if (IsOrdinal(to) && IsOrdinal(from)) {
        if (to->size == from->size)
            return FCheck.Fold(MakeRetype(to, std::move(e)));
        return FCheck.Fold(MakeWrap(to, std::move(e)));
    }
    if ((IsOrdinal(to) && IsString(from)) || IsFloat(to) || IsString(to)) {
        if (FCheck.CanCoerce(*e, to))
            return FCheck.Coerce(std::move(e), to);
    }
    Fail(pos,
         QStringLiteral("Invalid typecast from '%1' to '%2'").arg(TypeName(from), TypeName(to)));
}

// Exception.Create(message) and its descendants
ExprPtr Parser::ParseClassMember(const Type* cls, const SourcePos& pos) {
    Next();
    const SourcePos mpos = FTok.pos;
    const QString member = ExpectIdent();
    if (!InheritsFrom(cls, FTypes.Exception))
        Fail(pos,
             QStringLiteral("Objects of class '%1' cannot be created by scripts").arg(cls->name));
    if (member.toLower() != u"create")
        Fail(mpos, QStringLiteral("Unknown identifier '%1'").arg(member));
    Expect(Tok::LParen);
    ExprPtr message = FCheck.Coerce(ParseExpression(), FTypes.String);
    Expect(Tok::RParen);
    return MakeExceptionCreate(cls, std::move(message), pos);
}

} // namespace kelvara::script
