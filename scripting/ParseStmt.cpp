// Statements: compound, assignment, calls, if, case, for, while, repeat, try, raise, exit,
// break and continue.
#include "scripting/AssignStmt.h"
#include "scripting/ControlStmt.h"
#include "scripting/LoopStmt.h"
#include "scripting/Parser.h"
#include "scripting/StringExpr.h"
#include "scripting/TryStmt.h"
#include "scripting/VarExpr.h"

#include <algorithm>

namespace kelvara::script {

namespace {

bool SameLocation(const VarLocation* a, const VarLocation* b) {
    if (!a || !b || a->global != b->global || a->byRef != b->byRef)
        return false;
    return a->global ? a->globalPtr == b->globalPtr : (a->slot == b->slot && a->depth == b->depth);
}

bool IsOn(const Token& t) {
    return t.kind == Tok::Ident && t.key == u"on";
}

} // namespace

// statement := [compound | if | case | for | while | repeat | try | raise | simple]
StmtPtr Parser::ParseStatement() {
    const SourcePos pos = FTok.pos;
    Nesting guard(*this, pos);
    switch (FTok.kind) {
    case Tok::KwBegin:
        return ParseCompound();
    case Tok::KwIf:
        return ParseIf();
    case Tok::KwCase:
        return ParseCase();
    case Tok::KwFor:
        return ParseFor();
    case Tok::KwWhile:
        return ParseWhile();
    case Tok::KwRepeat:
        return ParseRepeat();
    case Tok::KwTry:
        return ParseTry();
    case Tok::KwRaise:
        return ParseRaise();
    case Tok::KwWith:
        Fail(pos, QStringLiteral("'with' statements are not supported"));
    case Tok::KwGoto:
        Fail(pos, QStringLiteral("Labels and goto are not supported"));
    case Tok::Ident:
        return ParseSimpleStatement();
    case Tok::Semicolon:
    case Tok::KwEnd:
    case Tok::KwElse:
    case Tok::KwUntil:
    case Tok::KwExcept:
    case Tok::KwFinally:
    case Tok::Eof:
        return nullptr; // the empty statement
    default:
        Expected(QStringLiteral("Statement"));
    }
}

// statements := statement { ';' statement }, ended by one of `enders`
std::unique_ptr<Block> Parser::ParseStatements(std::initializer_list<Tok> enders) {
    auto block = std::make_unique<Block>(FTok.pos);
    bool lastEmpty = false;
    for (;;) {
        StmtPtr s = ParseStatement();
        lastEmpty = !s;
        if (s)
            block->items.push_back(std::move(s));
        if (!Accept(Tok::Semicolon))
            break;
    }
    if (std::find(enders.begin(), enders.end(), FTok.kind) == enders.end())
        Expected(lastEmpty ? TokKindText(*enders.begin()) : QStringLiteral("';'"));
    return block;
}

// compound := 'begin' statements 'end'
StmtPtr Parser::ParseCompound() {
    Expect(Tok::KwBegin);
    StmtPtr block = ParseStatements({Tok::KwEnd});
    Expect(Tok::KwEnd);
    return block;
}

// simple := designator [':=' expression] | intrinsic procedure call
StmtPtr Parser::ParseSimpleStatement() {
    const SourcePos pos = FTok.pos;
    if (const Symbol* s = FScope->Lookup(FTok.text); s && s->kind == SymKind::Intrinsic) {
        const Intrinsic which = s->intrinsic;
        Next();
        if (which == Intrinsic::Exit)
            return ParseExit(pos);
        if (which == Intrinsic::Break || which == Intrinsic::Continue) {
            if (FLoops == 0)
                Fail(pos, QStringLiteral("BREAK or CONTINUE outside of loop"));
            return MakeJump(which == Intrinsic::Break ? Flow::Break : Flow::Continue, pos);
        }
        StmtPtr statement;
        ExprPtr e = ParseIntrinsic(which, pos, &statement);
        if (statement)
            return statement;
        return MakeExprStmt(std::move(e));
    }
    Designator d = ParseDesignator();
    if (FTok.kind == Tok::Assign)
        return ParseAssignment(std::move(d), pos);
    if (!d.isCall)
        Fail(FTok.kind == Tok::Eof ? pos : FTok.pos,
             FTok.kind == Tok::Eq ? QStringLiteral("':=' expected but '=' found")
                                  : QStringLiteral("Statement expected"));
    return MakeExprStmt(TakeValue(d));
}

StmtPtr Parser::ParseAssignment(Designator d, const SourcePos& pos) {
    const SourcePos assignPos = FTok.pos;
    Next();
    if (d.strBase) {
        CheckAssignable(d, assignPos);
        ExprPtr value = FCheck.Coerce(ParseExpression(), FTypes.Char);
        return MakeAssignChar(std::move(d.strBase), std::move(d.strIndex), std::move(value), pos);
    }
    CheckAssignable(d, assignPos);
    const int callsBefore = FCalls;
    ExprPtr value = ParseExpression();
    Checker::RequireValue(*value);
    const Type* t = d.expr->type;
    const VarLocation* simple = d.plain ? d.expr->SimpleLocation() : nullptr;
    if (IsString(t) && simple && FCalls == callsBefore) {
        std::vector<ExprPtr> parts;
        if (TakeConcatParts(value, parts)) {
            if (SameLocation(parts.front()->SimpleLocation(), simple)) {
                parts.erase(parts.begin());
                return MakeAppend(std::move(d.expr), std::move(parts), pos);
            }
            value = MakeConcat(FTypes.String, std::move(parts), pos);
        }
    }
    value = FCheck.Coerce(std::move(value), t);
    return MakeAssign(std::move(d.expr), std::move(value), simple, FScope->depth, pos);
}

void Parser::CheckAssignable(const Designator& d, const SourcePos& pos) {
    if (d.plain && d.root && d.root->loopVar)
        Fail(pos, QStringLiteral("For loop control variable '%1' cannot be assigned to")
                      .arg(d.root->name));
    const bool lvalue = d.strBase ? d.strBase->IsLValue() : (d.expr && d.expr->IsLValue());
    if (!lvalue || !d.assignable)
        Fail(pos, QStringLiteral("Left side cannot be assigned to"));
}

// if := 'if' expression 'then' statement ['else' statement]; else-if chains become one node
StmtPtr Parser::ParseIf() {
    const SourcePos pos = FTok.pos;
    std::vector<IfArm> arms;
    StmtPtr otherwise;
    Next();
    for (;;) {
        ExprPtr cond = FCheck.Condition(ParseExpression());
        Expect(Tok::KwThen);
        StmtPtr then = ParseStatement();
        arms.push_back({std::move(cond), std::move(then)});
        if (!Accept(Tok::KwElse))
            break;
        if (!Accept(Tok::KwIf)) {
            otherwise = ParseStatement();
            break;
        }
    }
    return MakeIf(std::move(arms), std::move(otherwise), pos);
}

// case := 'case' expression 'of' { labels ':' statement ';' } ['else' statements] 'end'
StmtPtr Parser::ParseCase() {
    const SourcePos pos = FTok.pos;
    Next();
    ExprPtr selector = ParseExpression();
    Checker::RequireValue(*selector);
    Expect(Tok::KwOf);
    if (IsString(selector->type))
        return ParseCaseString(std::move(selector), pos);
    if (!IsOrdinal(selector->type))
        Fail(selector->pos, QStringLiteral("Ordinal type required"));
    const Type* family = selector->type;
    auto label = [&]() {
        ExprPtr e = ParseConstant();
        if (!FCheck.CanCoerce(*e, family))
            Checker::Mismatch(family, e->type, e->pos);
        if (IsString(e->type))
            e = FCheck.Coerce(std::move(e), FTypes.Char);
        return FCheck.Evaluate(*e).i;
    };
    std::vector<CaseRange> ranges;
    std::vector<StmtPtr> branches;
    while (FTok.kind != Tok::KwEnd && FTok.kind != Tok::KwElse) {
        do {
            const SourcePos lpos = FTok.pos;
            const int64_t low = label();
            const int64_t high = Accept(Tok::DotDot) ? label() : low;
            if (low > high)
                Fail(lpos, QStringLiteral("Low bound exceeds high bound"));
            for (const CaseRange& r : ranges)
                if (low <= r.high && high >= r.low)
                    Fail(lpos, QStringLiteral("Duplicate case label"));
            ranges.push_back({low, high, int(branches.size())});
        } while (Accept(Tok::Comma));
        Expect(Tok::Colon);
        branches.push_back(ParseStatement());
        if (!Accept(Tok::Semicolon))
            break;
    }
    StmtPtr otherwise;
    if (Accept(Tok::KwElse))
        otherwise = ParseStatements({Tok::KwEnd});
    Expect(Tok::KwEnd);
    return MakeCaseOrd(std::move(selector), std::move(ranges), std::move(branches),
                       std::move(otherwise), pos);
}

StmtPtr Parser::ParseCaseString(ExprPtr selector, const SourcePos& pos) {
    std::vector<CaseString> labels;
    std::vector<StmtPtr> branches;
    while (FTok.kind != Tok::KwEnd && FTok.kind != Tok::KwElse) {
        do {
            const SourcePos lpos = FTok.pos;
            ExprPtr e = FCheck.Coerce(ParseConstant(), FTypes.String);
            const QString value = FCheck.Evaluate(*e).s;
            for (const CaseString& l : labels)
                if (l.value == value)
                    Fail(lpos, QStringLiteral("Duplicate case label"));
            labels.push_back({value, int(branches.size())});
        } while (Accept(Tok::Comma));
        Expect(Tok::Colon);
        branches.push_back(ParseStatement());
        if (!Accept(Tok::Semicolon))
            break;
    }
    StmtPtr otherwise;
    if (Accept(Tok::KwElse))
        otherwise = ParseStatements({Tok::KwEnd});
    Expect(Tok::KwEnd);
    return MakeCaseStr(std::move(selector), std::move(labels), std::move(branches),
                       std::move(otherwise), pos);
}

StmtPtr Parser::LoopBody() {
    ++FLoops;
    StmtPtr body = ParseStatement();
    --FLoops;
    return body;
}

// for := 'for' variable ':=' expression ('to'|'downto') expression 'do' statement
StmtPtr Parser::ParseFor() {
    const SourcePos pos = FTok.pos;
    Next();
    const SourcePos vpos = FTok.pos;
    const QString name = ExpectIdent();
    Symbol* var = FScope->Lookup(name);
    if (!var)
        Fail(vpos, QStringLiteral("Unknown identifier '%1'").arg(name));
    const bool local = var->kind == SymKind::Var && !var->loc.byRef &&
                       (var->loc.global || var->loc.depth == FScope->depth);
    if (!local || var->readOnly)
        Fail(vpos, QStringLiteral("For loop control variable must be a simple local variable"));
    if (!IsOrdinal(var->type))
        Fail(vpos, QStringLiteral("Ordinal type required"));
    if (var->loopVar)
        Fail(vpos,
             QStringLiteral("For loop control variable '%1' cannot be assigned to").arg(name));
    Expect(Tok::Assign);
    ExprPtr from = FCheck.Coerce(ParseExpression(), var->type);
    bool down = false;
    if (Accept(Tok::KwDownto))
        down = true;
    else
        Expect(Tok::KwTo);
    ExprPtr to = FCheck.Coerce(ParseExpression(), var->type);
    Expect(Tok::KwDo);
    var->loopVar = true;
    StmtPtr body = LoopBody();
    var->loopVar = false;
    return MakeFor(VarExpr(var, vpos), std::move(from), std::move(to), down, std::move(body), pos);
}

// while := 'while' expression 'do' statement
StmtPtr Parser::ParseWhile() {
    const SourcePos pos = FTok.pos;
    Next();
    ExprPtr cond = FCheck.Condition(ParseExpression());
    Expect(Tok::KwDo);
    StmtPtr body = LoopBody();
    return MakeWhile(std::move(cond), std::move(body), pos);
}

// repeat := 'repeat' statements 'until' expression
StmtPtr Parser::ParseRepeat() {
    const SourcePos pos = FTok.pos;
    Next();
    ++FLoops;
    StmtPtr body = ParseStatements({Tok::KwUntil});
    --FLoops;
    Expect(Tok::KwUntil);
    ExprPtr cond = FCheck.Condition(ParseExpression());
    return MakeRepeat(std::move(body), std::move(cond), pos);
}

// try := 'try' statements ('finally' statements | 'except' (handlers ['else' statements] |
//        statements)) 'end';  handler := 'on' [ident ':'] class 'do' statement
StmtPtr Parser::ParseTry() {
    const SourcePos pos = FTok.pos;
    Next();
    StmtPtr body = ParseStatements({Tok::KwExcept, Tok::KwFinally});
    if (Accept(Tok::KwFinally)) {
        StmtPtr final = ParseStatements({Tok::KwEnd});
        Expect(Tok::KwEnd);
        return MakeTryFinally(std::move(body), std::move(final), pos);
    }
    Expect(Tok::KwExcept);
    ++FHandlers;
    std::vector<ExceptHandler> handlers;
    StmtPtr plain;
    if (IsOn(FTok)) {
        while (IsOn(FTok)) {
            Next();
            Scope handlerScope(FScope, FScope->routine, FScope->depth);
            ExceptHandler h;
            QString varName;
            SourcePos vpos = FTok.pos;
            if (FTok.kind == Tok::Ident && Peek().kind == Tok::Colon) {
                varName = ExpectIdent();
                Next();
            }
            const SourcePos cpos = FTok.pos;
            h.cls = LookupType(ExpectIdent(), cpos);
            if (!IsClass(h.cls) || !InheritsFrom(h.cls, FTypes.Exception))
                Fail(cpos, QStringLiteral("Exception class expected"));
            Scope* const outer = FScope;
            FScope = &handlerScope;
            if (!varName.isEmpty()) {
                auto s = std::make_unique<Symbol>();
                s->kind = SymKind::Var;
                s->name = varName;
                s->type = h.cls;
                s->readOnly = true;
                s->loc = AllocVar(h.cls);
                h.var = s->loc;
                h.bindsVar = true;
                Declare(std::move(s), vpos);
            }
            Expect(Tok::KwDo);
            h.body = ParseStatement();
            FScope = outer;
            handlers.push_back(std::move(h));
            if (!Accept(Tok::Semicolon))
                break;
        }
        if (Accept(Tok::KwElse))
            plain = ParseStatements({Tok::KwEnd});
    } else {
        plain = ParseStatements({Tok::KwEnd});
    }
    --FHandlers;
    Expect(Tok::KwEnd);
    return MakeTryExcept(std::move(body), std::move(handlers), std::move(plain), FScope->depth,
                         pos);
}

// raise := 'raise' [expression ['at' expression]]
StmtPtr Parser::ParseRaise() {
    const SourcePos pos = FTok.pos;
    Next();
    const Tok k = FTok.kind;
    if (k == Tok::Semicolon || k == Tok::KwEnd || k == Tok::KwElse || k == Tok::KwUntil ||
        k == Tok::KwExcept || k == Tok::KwFinally || k == Tok::Eof) {
        if (FHandlers == 0)
            Fail(pos, QStringLiteral("Re-raising an exception only allowed in exception handler"));
        return MakeReRaise(pos);
    }
    ExprPtr e = ParseExpression();
    Checker::RequireValue(*e);
    if (!IsClass(e->type) || !InheritsFrom(e->type, FTypes.Exception))
        Fail(e->pos, QStringLiteral("Exception object expected"));
    if (FTok.kind == Tok::Ident && FTok.key == u"at") {
        Next();
        ParseExpression();
    }
    return MakeRaise(std::move(e), pos);
}

// exit := 'exit' ['(' expression ')']
StmtPtr Parser::ParseExit(const SourcePos& pos) {
    if (!Accept(Tok::LParen))
        return MakeJump(Flow::Exit, pos);
    Routine* r = FScope->routine;
    if (!r || !r->IsFunction())
        Fail(pos, QStringLiteral("Exit with a value is allowed only in a function"));
    ExprPtr value = FCheck.Coerce(ParseExpression(), r->result);
    Expect(Tok::RParen);
    VarLocation loc;
    loc.depth = r->depth;
    loc.slot = 0;
    auto block = std::make_unique<Block>(pos);
    block->items.push_back(MakeAssign(MakeVarExpr(r->result, pos, loc, FScope->depth),
                                      std::move(value), &loc, FScope->depth, pos));
    block->items.push_back(MakeJump(Flow::Exit, pos));
    return block;
}

} // namespace kelvara::script
