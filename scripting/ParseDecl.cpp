// Declarations: const, type and var sections, routines with their parameters and bodies.
#include "scripting/Parser.h"

namespace kelvara::script {

namespace {

bool IsDirective(const QString& key) {
    static const char* const kDirectives[] = {"forward",   "overload", "stdcall",  "register",
                                              "cdecl",     "pascal",   "safecall", "inline",
                                              "assembler", "far",      "near"};
    for (const char* d : kDirectives)
        if (key == QLatin1String(d))
            return true;
    return false;
}

bool SameParams(const std::vector<Param>& a, const std::vector<Param>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k].type != b[k].type || a[k].mode != b[k].mode)
            return false;
    return true;
}

} // namespace

// declarations := { const-section | type-section | var-section | routine }
void Parser::ParseDeclarations() {
    for (;;) {
        switch (FTok.kind) {
        case Tok::KwConst:
            ParseConstSection();
            break;
        case Tok::KwType:
            ParseTypeSection();
            break;
        case Tok::KwVar:
            ParseVarSection();
            break;
        case Tok::KwProcedure:
        case Tok::KwFunction:
            ParseRoutine(FTok.kind == Tok::KwFunction);
            break;
        case Tok::KwLabel:
            Fail(FTok.pos, QStringLiteral("Labels and goto are not supported"));
        case Tok::KwClass:
        case Tok::KwConstructor:
        case Tok::KwDestructor:
            Fail(FTok.pos, QStringLiteral("Class declarations are not supported"));
        default:
            return;
        }
    }
}

Symbol* Parser::Declare(std::unique_ptr<Symbol> s, const SourcePos& pos) {
    const QString name = s->name;
    Symbol* added = FScope->Add(std::move(s));
    if (!added)
        Fail(pos, QStringLiteral("Identifier redeclared: '%1'").arg(name));
    return added;
}

void Parser::DeclareConst(const QString& name, const Type* t, Value v, const SourcePos& pos) {
    auto s = std::make_unique<Symbol>();
    s->kind = SymKind::Const;
    s->name = name;
    s->type = t;
    s->value = std::move(v);
    Declare(std::move(s), pos);
}

VarLocation Parser::AllocVar(const Type* t) {
    VarLocation loc;
    if (Routine* r = FScope->routine) {
        loc.slot = r->slotCount++;
        loc.depth = FScope->depth;
        if (t->needsInit)
            r->inits.emplace_back(loc.slot, t);
        return loc;
    }
    loc.global = true;
    loc.globalPtr = FProgram.NewGlobal(t);
    return loc;
}

std::vector<std::pair<QString, SourcePos>> Parser::ParseIdentList() {
    std::vector<std::pair<QString, SourcePos>> names;
    do {
        const SourcePos pos = FTok.pos;
        names.emplace_back(ExpectIdent(), pos);
    } while (Accept(Tok::Comma));
    return names;
}

// const-section := 'const' { ident [':' type] '=' value ';' }
void Parser::ParseConstSection() {
    Next();
    do {
        const SourcePos pos = FTok.pos;
        const QString name = ExpectIdent();
        if (Accept(Tok::Colon)) {
            const Type* t = ParseType();
            Expect(Tok::Eq);
            Value v = ParseInitialValue(t);
            // A typed constant is a read-only variable with static storage.
            auto s = std::make_unique<Symbol>();
            s->kind = SymKind::Var;
            s->name = name;
            s->type = t;
            s->readOnly = true;
            s->loc.global = true;
            s->loc.globalPtr = FProgram.NewGlobal(t);
            FProgram.globalInitialValues.emplace_back(s->loc.globalPtr, std::move(v));
            Declare(std::move(s), pos);
        } else {
            Expect(Tok::Eq);
            ExprPtr e = ParseConstant();
            Value v = FCheck.Evaluate(*e);
            DeclareConst(name, e->type, std::move(v), pos);
        }
        Expect(Tok::Semicolon);
    } while (FTok.kind == Tok::Ident);
}

// type-section := 'type' { ident '=' type ';' }
void Parser::ParseTypeSection() {
    Next();
    do {
        const SourcePos pos = FTok.pos;
        const QString name = ExpectIdent();
        Expect(Tok::Eq);
        Accept(Tok::KwType);
        const Type* t = ParseType();
        NameType(t, name);
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Type;
        s->name = name;
        s->type = t;
        Declare(std::move(s), pos);
        Expect(Tok::Semicolon);
    } while (FTok.kind == Tok::Ident);
}

// var-section := 'var' { idents ':' type ['=' value] ';' }
void Parser::ParseVarSection() {
    Next();
    do {
        const auto names = ParseIdentList();
        Expect(Tok::Colon);
        const Type* t = ParseType();
        bool hasInit = false;
        Value init;
        if (FTok.kind == Tok::Eq) {
            if (FScope->routine)
                Fail(FTok.pos, QStringLiteral("Cannot initialize local variables"));
            if (names.size() > 1)
                Fail(FTok.pos, QStringLiteral("Cannot initialize multiple variables"));
            Next();
            init = ParseInitialValue(t);
            hasInit = true;
        }
        for (const auto& [name, pos] : names) {
            auto s = std::make_unique<Symbol>();
            s->kind = SymKind::Var;
            s->name = name;
            s->type = t;
            s->loc = AllocVar(t);
            if (hasInit)
                FProgram.globalInitialValues.emplace_back(s->loc.globalPtr, init);
            Declare(std::move(s), pos);
        }
        Expect(Tok::Semicolon);
    } while (FTok.kind == Tok::Ident);
}

// heading := ident ['(' params ')'] [':' type]
RoutineHeading Parser::ParseHeading(bool isFunction) {
    RoutineHeading h;
    h.pos = FTok.pos;
    h.isFunction = isFunction;
    h.name = ExpectIdent();
    if (Accept(Tok::LParen)) {
        if (!Accept(Tok::RParen)) {
            ParseParams(h.params);
            Expect(Tok::RParen);
        }
    }
    if (isFunction && Accept(Tok::Colon))
        h.result = ParseType();
    return h;
}

// params := group { ';' group };  group := ['var'|'const'|'out'] idents ':' type ['=' const]
void Parser::ParseParams(std::vector<Param>& params) {
    do {
        ParamMode mode = ParamMode::Value;
        if (Accept(Tok::KwVar))
            mode = ParamMode::Var;
        else if (Accept(Tok::KwConst))
            mode = ParamMode::Const;
        else if (FTok.kind == Tok::Ident && FTok.key == u"out" && Peek().kind == Tok::Ident) {
            Next();
            mode = ParamMode::Out;
        }
        const auto names = ParseIdentList();
        if (FTok.kind != Tok::Colon)
            Fail(FTok.pos, QStringLiteral("Untyped parameters are not supported"));
        Next();
        const Type* t = nullptr;
        if (Accept(Tok::KwArray)) {
            Expect(Tok::KwOf);
            t = Accept(Tok::KwConst) ? FTypes.ConstArray : FTypes.OpenArrayOf(ParseType());
        } else {
            t = ParseType();
        }
        Param p;
        p.type = t;
        p.mode = mode;
        if (FTok.kind == Tok::Eq) {
            const SourcePos pos = FTok.pos;
            Next();
            if (names.size() > 1 || mode == ParamMode::Var || mode == ParamMode::Out)
                Fail(pos, QStringLiteral("Default value not allowed here"));
            ExprPtr def = FCheck.Coerce(ParseConstant(), t);
            p.def = FCheck.Evaluate(*def);
            p.hasDefault = true;
        } else if (!params.empty() && params.back().hasDefault) {
            Fail(names.front().second,
                 QStringLiteral("Default value required for '%1'").arg(names.front().first));
        }
        for (const auto& [name, pos] : names) {
            p.name = name;
            params.push_back(p);
        }
    } while (Accept(Tok::Semicolon));
}

void Parser::SkipDirectives(bool& forward) {
    while (FTok.kind == Tok::Ident) {
        if (FTok.key == u"external")
            Fail(FTok.pos, QStringLiteral("External routines are not supported"));
        if (!IsDirective(FTok.key))
            return;
        if (FTok.key == u"forward")
            forward = true;
        Next();
        if (FTok.kind != Tok::Eof)
            Expect(Tok::Semicolon);
    }
}

// routine := ('procedure'|'function') heading ';' directives (block ';' | 'forward' ';')
void Parser::ParseRoutine(bool isFunction) {
    Next();
    RoutineHeading h = ParseHeading(isFunction);
    const SourcePos afterHeading = FTok.pos;
    Expect(Tok::Semicolon);
    bool forward = false;
    SkipDirectives(forward);

    Symbol* existing = FScope->Find(h.name);
    Routine* r = nullptr;
    if (existing && existing->kind == SymKind::Routine && existing->routine->forward &&
        !existing->routine->defined && !forward) {
        r = existing->routine;
        const bool brief = h.params.empty() && !h.result;
        if (!brief && (!SameParams(h.params, r->params) || h.result != r->result ||
                       isFunction != r->IsFunction()))
            Fail(h.pos, QStringLiteral("Declaration of '%1' differs from previous declaration")
                            .arg(h.name));
        r->forward = false;
    } else {
        if (isFunction && !h.result)
            Fail(afterHeading, QStringLiteral("Result type of function '%1' expected").arg(h.name));
        r = FProgram.NewRoutine();
        r->name = h.name;
        r->pos = h.pos;
        r->params = std::move(h.params);
        r->result = h.result;
        r->depth = FScope->depth + 1;
        r->slotCount = 1 + int(r->params.size());
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Routine;
        s->name = h.name;
        s->routine = r;
        Symbol* sym = Declare(std::move(s), h.pos);
        if (forward) {
            r->forward = true;
            FForwards.emplace_back(FScope, sym);
            return;
        }
    }
    CompileBody(r);
    Expect(Tok::Semicolon);
}

void Parser::CompileBody(Routine* r) {
    Scope scope(FScope, r, r->depth);
    Scope* const outer = FScope;
    const int loops = FLoops, handlers = FHandlers;
    FScope = &scope;
    FLoops = 0;
    FHandlers = 0;
    if (r->IsFunction()) {
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Var;
        s->name = QStringLiteral("Result");
        s->type = r->result;
        s->loc.depth = r->depth;
        s->loc.slot = 0;
        Declare(std::move(s), r->pos);
        if (r->result->needsInit)
            r->inits.emplace_back(0, r->result);
    }
    for (size_t k = 0; k < r->params.size(); ++k) {
        const Param& p = r->params[k];
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Var;
        s->name = p.name;
        s->type = p.type;
        s->loc.depth = r->depth;
        s->loc.slot = int(k) + 1;
        s->loc.byRef = p.mode == ParamMode::Var || p.mode == ParamMode::Out;
        s->readOnly = p.mode == ParamMode::Const || p.type->kind == TypeKind::ConstArray;
        Declare(std::move(s), r->pos);
    }
    ParseDeclarations();
    CheckForwards(FTok.pos);
    if (FTok.kind != Tok::KwBegin)
        Expected(TokKindText(Tok::KwBegin));
    r->body = ParseCompound();
    r->defined = true;
    FScope = outer;
    FLoops = loops;
    FHandlers = handlers;
}

// Every routine declared forward in this scope must have its body by now; the scope's entries
// are then dropped (the scope's symbols do not outlive it).
void Parser::CheckForwards(const SourcePos& pos) {
    for (const auto& [scope, s] : FForwards)
        if (scope == FScope && !s->routine->defined)
            Fail(pos, QStringLiteral("Unsatisfied forward declaration: '%1'").arg(s->name));
    std::erase_if(FForwards, [this](const auto& entry) { return entry.first == FScope; });
}

} // namespace kelvara::script
