// Calls of the routines the compiler builds itself: they take several types, types themselves,
// or variables (Inc, SetLength, High, Length, Copy, Format, ...).
#include "scripting/AssignStmt.h"
#include "scripting/CompareExpr.h"
#include "scripting/IntExpr.h"
#include "scripting/IntrinsicExpr.h"
#include "scripting/Parser.h"
#include "scripting/StringExpr.h"
#include "scripting/TryStmt.h"

#include <limits>

namespace kelvara::script {

namespace {

const char* IntrinsicName(Intrinsic i) {
    static const char* const kNames[] = {"Inc",      "Dec",
                                         "Ord",      "Chr",
                                         "Succ",     "Pred",
                                         "Length",   "SetLength",
                                         "High",     "Low",
                                         "Copy",     "Abs",
                                         "Sqr",      "Odd",
                                         "Include",  "Exclude",
                                         "Assigned", "Format",
                                         "Exit",     "Break",
                                         "Continue", "Random",
                                         "Max",      "Min",
                                         "Concat",   "RaiseException",
                                         "IntToHex"};
    return kNames[size_t(i)];
}

bool IsStatementIntrinsic(Intrinsic i) {
    return i == Intrinsic::Inc || i == Intrinsic::Dec || i == Intrinsic::SetLength ||
           i == Intrinsic::Include || i == Intrinsic::Exclude || i == Intrinsic::RaiseException;
}

} // namespace

std::vector<ExprPtr> Parser::ParseIntrinsicArgs(size_t minCount, size_t maxCount,
                                                const QString& name, const SourcePos& pos,
                                                uint32_t varMask) {
    std::vector<ExprPtr> args;
    if (Accept(Tok::LParen) && !Accept(Tok::RParen)) {
        do {
            const size_t k = args.size();
            if (k >= maxCount)
                Fail(FTok.pos, QStringLiteral("Too many actual parameters for '%1'").arg(name));
            if (k < 32 && (varMask >> k) & 1) {
                Designator d = ParseVarArgument();
                args.push_back(std::move(d.expr));
            } else {
                args.push_back(ParseExpression());
            }
        } while (Accept(Tok::Comma));
        Expect(Tok::RParen);
    }
    if (args.size() < minCount)
        Fail(pos, QStringLiteral("Not enough actual parameters for '%1'").arg(name));
    return args;
}

ExprPtr Parser::CallNative(const QString& name, std::vector<ExprPtr> args, const SourcePos& pos) {
    const Symbol* s = FScope->Lookup(name);
    Routine* r = s && s->kind == SymKind::Routine ? s->routine : nullptr;
    if (!r || r->params.size() != args.size())
        Fail(pos, QStringLiteral("Internal error: routine '%1' missing").arg(name));
    for (size_t k = 0; k < args.size(); ++k)
        args[k] = FCheck.Coerce(std::move(args[k]), r->params[k].type);
    return MakeCall(r, std::move(args), pos);
}

ExprPtr Parser::ParseIntrinsic(Intrinsic which, const SourcePos& pos, StmtPtr* statement) {
    const QString name = QLatin1String(IntrinsicName(which));
    if (IsStatementIntrinsic(which) && !statement)
        Fail(pos, QStringLiteral("Expression expected but procedure '%1' found").arg(name));
    auto requireOrdinal = [](const Expr& e) {
        Checker::RequireValue(e);
        if (!IsOrdinal(e.type))
            Checker::Fail(e.pos, QStringLiteral("Ordinal type required"));
    };
    switch (which) {
    case Intrinsic::Inc:
    case Intrinsic::Dec: {
        auto args = ParseIntrinsicArgs(1, 2, name, pos, 1);
        requireOrdinal(*args[0]);
        ExprPtr delta = args.size() > 1 ? FCheck.Coerce(std::move(args[1]), FTypes.Int64)
                                        : MakeOrdConst(FTypes.Int64, pos, 1);
        if (which == Intrinsic::Dec)
            delta = FCheck.Unary(Tok::Minus, std::move(delta), pos);
        *statement = MakeIncrement(std::move(args[0]), std::move(delta), pos);
        return nullptr;
    }
    case Intrinsic::Ord: {
        auto args = ParseIntrinsicArgs(1, 1, name, pos);
        requireOrdinal(*args[0]);
        if (IsInteger(args[0]->type))
            return std::move(args[0]);
        return FCheck.Fold(MakeRetype(FTypes.Integer, std::move(args[0])));
    }
    case Intrinsic::Chr: {
        auto args = ParseIntrinsicArgs(1, 1, name, pos);
        Checker::RequireValue(*args[0]);
        if (!IsInteger(args[0]->type))
            Checker::Mismatch(FTypes.Integer, args[0]->type, args[0]->pos);
        return FCheck.Fold(MakeWrap(FTypes.Char, std::move(args[0])));
    }
    case Intrinsic::Succ:
    case Intrinsic::Pred: {
        auto args = ParseIntrinsicArgs(1, 1, name, pos);
        requireOrdinal(*args[0]);
        const Type* t = args[0]->type;
        ExprPtr sum = MakeIntBinary(which == Intrinsic::Succ ? Tok::Plus : Tok::Minus, IntSize::S64,
                                    FTypes.Int64, std::move(args[0]),
                                    MakeOrdConst(FTypes.Int64, pos, 1), pos);
        return FCheck.Fold(MakeWrap(t, std::move(sum)));
    }
    case Intrinsic::Length:
        return IntrinsicLength(ParseIntrinsicArgs(1, 1, name, pos), pos);
    case Intrinsic::SetLength: {
        auto args = ParseIntrinsicArgs(2, 9, name, pos, 1);
        const Type* t = args[0]->type;
        if (IsString(t)) {
            if (args.size() != 2)
                Fail(pos, QStringLiteral("Too many actual parameters for 'SetLength'"));
            *statement = MakeSetLengthStr(std::move(args[0]),
                                          FCheck.Coerce(std::move(args[1]), FTypes.Int64), pos);
            return nullptr;
        }
        const Type* level = t;
        for (size_t k = 1; k < args.size(); ++k, level = level ? level->elem : nullptr)
            if (!level || level->kind != TypeKind::DynArray)
                Fail(args[0]->pos, QStringLiteral("String or dynamic array required"));
        std::vector<ExprPtr> lengths;
        for (size_t k = 1; k < args.size(); ++k)
            lengths.push_back(FCheck.Coerce(std::move(args[k]), FTypes.Int64));
        *statement = MakeSetLengthArray(std::move(args[0]), std::move(lengths), pos);
        return nullptr;
    }
    case Intrinsic::High:
    case Intrinsic::Low:
        return IntrinsicHighLow(which == Intrinsic::High, ParseIntrinsicArgs(1, 1, name, pos), pos);
    case Intrinsic::Copy:
        return IntrinsicCopy(ParseIntrinsicArgs(2, 3, name, pos), pos);
    case Intrinsic::Abs:
    case Intrinsic::Sqr:
        return IntrinsicAbsSqr(which == Intrinsic::Sqr, ParseIntrinsicArgs(1, 1, name, pos), pos);
    case Intrinsic::Odd: {
        auto args = ParseIntrinsicArgs(1, 1, name, pos);
        return CallNative(QStringLiteral("$Odd"), std::move(args), pos);
    }
    case Intrinsic::Include:
    case Intrinsic::Exclude: {
        auto args = ParseIntrinsicArgs(2, 2, name, pos, 1);
        const Type* t = args[0]->type;
        if (t->kind != TypeKind::Set || !t->elem)
            Fail(args[0]->pos, QStringLiteral("Set type required"));
        Checker::RequireValue(*args[1]);
        if (!FCheck.CanCoerce(*args[1], t->elem))
            Checker::Mismatch(t->elem, args[1]->type, args[1]->pos);
        ExprPtr element = IsString(args[1]->type) ? FCheck.Coerce(std::move(args[1]), t->elem)
                                                  : std::move(args[1]);
        *statement = MakeSetInclude(std::move(args[0]), std::move(element),
                                    which == Intrinsic::Include, pos);
        return nullptr;
    }
    case Intrinsic::Assigned: {
        auto args = ParseIntrinsicArgs(1, 1, name, pos);
        Checker::RequireValue(*args[0]);
        const Type* t = args[0]->type;
        if (!IsClass(t) && t->kind != TypeKind::DynArray && t->kind != TypeKind::Nil)
            Fail(args[0]->pos, QStringLiteral("Object or dynamic array required"));
        return MakeCompare(CompareKind::Reference, Tok::NotEq, FTypes.Boolean, std::move(args[0]),
                           std::make_unique<ConstExpr>(FTypes.Nil, pos, Value()), pos);
    }
    case Intrinsic::Format:
        return IntrinsicFormat(ParseIntrinsicArgs(2, 2, name, pos), pos);
    case Intrinsic::Random:
        return IntrinsicRandom(ParseIntrinsicArgs(0, 1, name, pos), pos);
    case Intrinsic::Max:
    case Intrinsic::Min:
        return IntrinsicMaxMin(which == Intrinsic::Max, ParseIntrinsicArgs(2, 2, name, pos), pos);
    case Intrinsic::Concat: {
        auto args = ParseIntrinsicArgs(1, 255, name, pos);
        std::vector<ExprPtr> parts;
        for (auto& a : args)
            parts.push_back(FCheck.Coerce(std::move(a), FTypes.String));
        return FCheck.Fold(MakeConcat(FTypes.String, std::move(parts), pos));
    }
    case Intrinsic::RaiseException: {
        auto args = ParseIntrinsicArgs(1, 2, name, pos);
        if (args.size() == 2)
            requireOrdinal(*args[0]);
        ExprPtr message = FCheck.Coerce(std::move(args.back()), FTypes.String);
        *statement = MakeRaise(MakeExceptionCreate(FTypes.Exception, std::move(message), pos), pos);
        return nullptr;
    }
    case Intrinsic::IntToHex: {
        auto args = ParseIntrinsicArgs(1, 2, name, pos);
        Checker::RequireValue(*args[0]);
        if (!IsInteger(args[0]->type))
            Checker::Mismatch(FTypes.Integer, args[0]->type, args[0]->pos);
        if (args.size() == 1)
            args.push_back(MakeOrdConst(FTypes.Integer, pos, 0));
        const bool wide = args[0]->type->size == IntSize::S64;
        return CallNative(wide ? QStringLiteral("$IntToHex64") : QStringLiteral("$IntToHex32"),
                          std::move(args), pos);
    }
    case Intrinsic::Exit:
    case Intrinsic::Break:
    case Intrinsic::Continue:
        break;
    }
    Fail(pos, QStringLiteral("Expression expected but '%1' found").arg(name));
}

ExprPtr Parser::IntrinsicLength(std::vector<ExprPtr> args, const SourcePos& pos) {
    ExprPtr& e = args[0];
    Checker::RequireValue(*e);
    const Type* t = e->type;
    if (IsChar(t))
        return MakeOrdConst(FTypes.Integer, pos, 1);
    if (IsString(t))
        return FCheck.Fold(MakeStrLength(FTypes.Integer, std::move(e)));
    if (t->kind == TypeKind::StaticArray)
        return MakeOrdConst(FTypes.Integer, pos, t->Count());
    if (t->kind == TypeKind::DynArray || t->kind == TypeKind::OpenArray)
        return MakeArrayLength(FTypes.Integer, std::move(e), 0);
    Fail(e->pos, QStringLiteral("String or array required"));
}

ExprPtr Parser::IntrinsicHighLow(bool high, std::vector<ExprPtr> args, const SourcePos& pos) {
    ExprPtr& e = args[0];
    const Type* t = e->type;
    if (IsOrdinal(t))
        return MakeOrdConst(t, pos, high ? t->high : t->low);
    if (t->kind == TypeKind::StaticArray)
        return MakeOrdConst(t->index, pos, high ? t->high : t->low);
    if (!e->IsTypeRef() && (t->kind == TypeKind::DynArray || t->kind == TypeKind::OpenArray))
        return high ? MakeArrayLength(FTypes.Integer, std::move(e), -1)
                    : MakeOrdConst(FTypes.Integer, pos, 0);
    if (!e->IsTypeRef() && IsString(t))
        return high ? FCheck.Fold(MakeStrLength(FTypes.Integer, std::move(e)))
                    : MakeOrdConst(FTypes.Integer, pos, 1);
    Fail(e->pos, QStringLiteral("Ordinal type, array or string required"));
}

ExprPtr Parser::IntrinsicCopy(std::vector<ExprPtr> args, const SourcePos& pos) {
    Checker::RequireValue(*args[0]);
    const Type* t = args[0]->type;
    if (args.size() == 2)
        args.push_back(MakeOrdConst(FTypes.Int64, pos, std::numeric_limits<int32_t>::max()));
    if (t->kind == TypeKind::DynArray || t->kind == TypeKind::OpenArray) {
        ExprPtr index = FCheck.Coerce(std::move(args[1]), FTypes.Int64);
        ExprPtr count = FCheck.Coerce(std::move(args[2]), FTypes.Int64);
        return MakeArrayCopy(FTypes.DynArrayOf(t->elem), std::move(args[0]), std::move(index),
                             std::move(count), pos);
    }
    return CallNative(QStringLiteral("$CopyStr"), std::move(args), pos);
}

ExprPtr Parser::IntrinsicAbsSqr(bool sqr, std::vector<ExprPtr> args, const SourcePos& pos) {
    Checker::RequireValue(*args[0]);
    const Type* t = args[0]->type;
    if (IsInteger(t)) {
        const IntSize w = t->size == IntSize::S64   ? IntSize::S64
                          : t->size == IntSize::U32 ? IntSize::U32
                                                    : IntSize::S32;
        const Type* rt = FCheck.IntTypeOfWidth(w);
        return FCheck.Fold(sqr ? MakeIntSqr(rt, std::move(args[0]), pos)
                               : MakeIntAbs(rt, std::move(args[0]), pos));
    }
    return CallNative(sqr ? QStringLiteral("$SqrFloat") : QStringLiteral("$AbsFloat"),
                      std::move(args), pos);
}

ExprPtr Parser::IntrinsicMaxMin(bool max, std::vector<ExprPtr> args, const SourcePos& pos) {
    Checker::RequireValue(*args[0]);
    Checker::RequireValue(*args[1]);
    if (IsInteger(args[0]->type) && IsInteger(args[1]->type)) {
        const Type* rt = FCheck.IntTypeOfWidth(FCheck.ArithWidth(*args[0], *args[1]));
        ExprPtr r = CallNative(max ? QStringLiteral("$MaxInt") : QStringLiteral("$MinInt"),
                               std::move(args), pos);
        return FCheck.Fold(MakeRetype(rt, std::move(r)));
    }
    return CallNative(max ? QStringLiteral("$MaxFloat") : QStringLiteral("$MinFloat"),
                      std::move(args), pos);
}

ExprPtr Parser::IntrinsicRandom(std::vector<ExprPtr> args, const SourcePos& pos) {
    if (args.empty())
        return CallNative(QStringLiteral("$RandomFloat"), std::move(args), pos);
    return CallNative(QStringLiteral("$RandomInt"), std::move(args), pos);
}

ExprPtr Parser::IntrinsicFormat(std::vector<ExprPtr> args, const SourcePos& pos) {
    return CallNative(QStringLiteral("$Format"), std::move(args), pos);
}

} // namespace kelvara::script
