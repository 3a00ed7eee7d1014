// Types: names, subranges, enumerations, records, static and dynamic arrays, sets, strings; and
// the initial values of typed constants.
#include "scripting/Parser.h"

namespace kelvara::script {

namespace {

// Elements one static array type may hold, nested arrays and records included.
constexpr int64_t kMaxStaticElements = 1 << 20;

int64_t ElementCount(const Type* t) {
    if (t->kind == TypeKind::StaticArray)
        return t->Count() * ElementCount(t->elem);
    if (t->kind == TypeKind::Record) {
        int64_t n = 0;
        for (const Field& f : t->fields)
            n += ElementCount(f.type);
        return n;
    }
    return 1;
}

} // namespace

const Type* Parser::LookupType(const QString& name, const SourcePos& pos) {
    const Symbol* s = FScope->Lookup(name);
    if (!s)
        Fail(pos, QStringLiteral("Unknown identifier '%1'").arg(name));
    if (s->kind != SymKind::Type)
        Fail(pos, QStringLiteral("Type identifier expected but '%1' found").arg(name));
    return s->type;
}

void Parser::CheckSize(const Type* t, const SourcePos& pos) {
    if (t->kind == TypeKind::StaticArray && t->Count() > kMaxStaticElements)
        Fail(pos, QStringLiteral("Data type too large"));
    if (ElementCount(t) > kMaxStaticElements)
        Fail(pos, QStringLiteral("Data type too large"));
}

// type := name | subrange | enumeration | record | array | set | string ['[' n ']']
const Type* Parser::ParseType() {
    const SourcePos pos = FTok.pos;
    Nesting guard(*this, pos);
    switch (FTok.kind) {
    case Tok::KwString:
        Next();
        if (Accept(Tok::LBracket)) {
            ParseConstant();
            Expect(Tok::RBracket);
        }
        return FTypes.String;
    case Tok::KwPacked:
        Next();
        return ParseType();
    case Tok::LParen:
        return ParseEnum();
    case Tok::KwRecord:
        return ParseRecord();
    case Tok::KwArray:
        return ParseArray();
    case Tok::KwSet:
        return ParseSet();
    case Tok::Caret:
        Fail(pos, QStringLiteral("Pointer types are not supported"));
    case Tok::KwProcedure:
    case Tok::KwFunction:
        Fail(pos, QStringLiteral("Procedural types are not supported"));
    case Tok::KwClass:
    case Tok::KwObject:
    case Tok::KwInterface:
        Fail(pos, QStringLiteral("Class declarations are not supported"));
    case Tok::KwFile:
        Fail(pos, QStringLiteral("File types are not supported"));
    case Tok::Ident:
        if (const Symbol* s = FScope->Lookup(FTok.text); s && s->kind == SymKind::Type) {
            Next();
            return s->type;
        }
        if (const Symbol* s = FScope->Lookup(FTok.text); !s)
            Fail(pos, QStringLiteral("Unknown identifier '%1'").arg(FTok.text));
        else if (s->kind != SymKind::Const)
            Fail(pos, QStringLiteral("Type identifier expected but '%1' found").arg(FTok.text));
        return ParseSubrange();
    default:
        return ParseSubrange();
    }
}

// subrange := constant '..' constant
const Type* Parser::ParseSubrange() {
    const SourcePos pos = FTok.pos;
    ExprPtr lo = ParseConstant();
    if (FTok.kind != Tok::DotDot)
        Expected(QStringLiteral("Type"));
    Next();
    ExprPtr hi = ParseConstant();
    if (!IsOrdinal(lo->type) || !IsOrdinal(hi->type))
        Fail(pos, QStringLiteral("Ordinal type required"));
    if (!SameOrdinalFamily(lo->type, hi->type))
        Checker::Mismatch(lo->type, hi->type, hi->pos);
    const int64_t low = FCheck.Evaluate(*lo).i;
    const int64_t high = FCheck.Evaluate(*hi).i;
    if (low > high)
        Fail(pos, QStringLiteral("Low bound exceeds high bound"));
    return FTypes.NewSubrange(lo->type, low, high);
}

// enumeration := '(' ident { ',' ident } ')'
const Type* Parser::ParseEnum() {
    Next();
    std::vector<std::pair<QString, SourcePos>> names;
    do {
        const SourcePos pos = FTok.pos;
        names.emplace_back(ExpectIdent(), pos);
        if (FTok.kind == Tok::Eq)
            Fail(FTok.pos,
                 QStringLiteral("Enumeration values with explicit ordinals are not supported"));
    } while (Accept(Tok::Comma));
    Expect(Tok::RParen);
    if (names.size() > 65536)
        Fail(names.front().second, QStringLiteral("Too many enumeration values"));
    std::vector<QString> texts;
    for (const auto& n : names)
        texts.push_back(n.first);
    const Type* t = FTypes.NewEnum(QString(), texts);
    for (size_t k = 0; k < names.size(); ++k) {
        Value v;
        v.i = int64_t(k);
        DeclareConst(names[k].first, t, std::move(v), names[k].second);
    }
    return t;
}

// record := 'record' { idents ':' type ';' } 'end'
const Type* Parser::ParseRecord() {
    const SourcePos pos = FTok.pos;
    Next();
    Type* t = FTypes.New(TypeKind::Record);
    while (FTok.kind != Tok::KwEnd) {
        if (FTok.kind == Tok::KwCase)
            Fail(FTok.pos, QStringLiteral("Variant records are not supported"));
        const auto names = ParseIdentList();
        Expect(Tok::Colon);
        const Type* ft = ParseType();
        for (const auto& [name, npos] : names) {
            if (t->FieldIndex(name.toLower()) >= 0)
                Fail(npos, QStringLiteral("Duplicate field '%1'").arg(name));
            t->fields.push_back({name, name.toLower(), ft});
        }
        if (!Accept(Tok::Semicolon))
            break;
    }
    Expect(Tok::KwEnd);
    FTypes.Finish(t);
    CheckSize(t, pos);
    return t;
}

// index := ordinal type name | subrange
const Type* Parser::ParseIndexType() {
    const SourcePos pos = FTok.pos;
    const Type* t = ParseType();
    if (!IsOrdinal(t))
        Fail(pos, QStringLiteral("Ordinal type required"));
    if (t->Count() > kMaxStaticElements || t->Count() <= 0)
        Fail(pos, QStringLiteral("Data type too large"));
    return t;
}

// array := 'array' ['[' index { ',' index } ']'] 'of' type
const Type* Parser::ParseArray() {
    const SourcePos pos = FTok.pos;
    Next();
    std::vector<const Type*> indexes;
    if (Accept(Tok::LBracket)) {
        do
            indexes.push_back(ParseIndexType());
        while (Accept(Tok::Comma));
        Expect(Tok::RBracket);
    }
    Expect(Tok::KwOf);
    if (FTok.kind == Tok::KwConst)
        Fail(FTok.pos, QStringLiteral("'array of const' is allowed only for parameters"));
    const Type* t = ParseType();
    if (indexes.empty())
        return FTypes.DynArrayOf(t);
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        t = FTypes.NewStaticArray(*it, t);
        CheckSize(t, pos);
    }
    return t;
}

// set := 'set' 'of' ordinal type with values in 0..255
const Type* Parser::ParseSet() {
    Next();
    Expect(Tok::KwOf);
    const SourcePos pos = FTok.pos;
    const Type* elem = ParseType();
    if (!IsOrdinal(elem))
        Fail(pos, QStringLiteral("Ordinal type required"));
    if (!IsChar(elem) && (elem->low < 0 || elem->high > 255))
        Fail(pos, QStringLiteral("Sets may have at most 256 elements"));
    return FTypes.SetOf(elem);
}

// The value of a typed constant or initialised variable: a constant expression, or
// '(' values ')' for arrays and '(' field ':' value ';' ... ')' for records.
Value Parser::ParseInitialValue(const Type* t) {
    const SourcePos pos = FTok.pos;
    Nesting guard(*this, pos);
    if (t->kind == TypeKind::StaticArray) {
        Value v;
        InitValue(v, t);
        Expect(Tok::LParen);
        for (size_t k = 0; k < v.a->items.size(); ++k) {
            if (k > 0)
                Expect(Tok::Comma);
            Value item = ParseInitialValue(t->elem);
            v.a->items[k] = std::move(item);
        }
        Expect(Tok::RParen);
        return v;
    }
    if (t->kind == TypeKind::Record) {
        Value v;
        InitValue(v, t);
        Expect(Tok::LParen);
        while (FTok.kind != Tok::RParen) {
            const SourcePos fpos = FTok.pos;
            const QString name = ExpectIdent();
            const int index = t->FieldIndex(name.toLower());
            if (index < 0)
                Fail(fpos, QStringLiteral("Unknown field '%1'").arg(name));
            Expect(Tok::Colon);
            v.a->items[size_t(index)] = ParseInitialValue(t->fields[size_t(index)].type);
            if (!Accept(Tok::Semicolon))
                break;
        }
        Expect(Tok::RParen);
        return v;
    }
    ExprPtr e = FCheck.Coerce(ParseConstant(t), t);
    return FCheck.Evaluate(*e);
}

} // namespace kelvara::script
