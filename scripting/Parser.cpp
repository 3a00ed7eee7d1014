#include "scripting/Parser.h"

#include <algorithm>

namespace kelvara::script {

namespace {

// Machine stack the parser allows itself below where it starts.
constexpr int64_t kParserStackBytes = 2 * 1024 * 1024;
constexpr int64_t kParserStackReserve = 128 * 1024;

} // namespace

Parser::Parser(Program& program, Checker& check, Scope& scope, TokenFn tokens)
    : FProgram(program), FCheck(check), FTypes(program.types), FScope(&scope),
      FTokens(std::move(tokens)) {
    const int64_t usable = std::max<int64_t>(
        0, std::min(kParserStackBytes, StackBytesAvailable() - kParserStackReserve));
    const uintptr_t here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    FStackLimit = int64_t(here > uintptr_t(usable) ? here - uintptr_t(usable) : 0);
    Next();
}

void Parser::Next() {
    if (FHasPeek) {
        FTok = std::move(FPeek);
        FHasPeek = false;
    } else {
        FTok = FTokens();
    }
}

const Token& Parser::Peek() {
    if (!FHasPeek) {
        FPeek = FTokens();
        FHasPeek = true;
    }
    return FPeek;
}

bool Parser::Accept(Tok kind) {
    if (FTok.kind != kind)
        return false;
    Next();
    return true;
}

void Parser::Fail(const SourcePos& pos, const QString& text) const {
    throw CompileError{pos, text};
}

void Parser::Expected(const QString& what) const {
    Fail(FTok.pos, QStringLiteral("%1 expected but %2 found").arg(what, TokenText(FTok)));
}

void Parser::Expect(Tok kind) {
    if (FTok.kind != kind)
        Expected(TokKindText(kind));
    Next();
}

QString Parser::ExpectIdent() {
    if (FTok.kind != Tok::Ident)
        Expected(QStringLiteral("Identifier"));
    QString name = FTok.text;
    Next();
    return name;
}

void Parser::NameType(const Type* t, const QString& name) {
    // Types belong to this program's table, which the parser fills; naming one is part of that.
    if (t->name.isEmpty())
        const_cast<Type*>(t)->name = name;
}

void Parser::ExpectEnd() {
    if (FTok.kind != Tok::Eof)
        Fail(FTok.pos, QStringLiteral("Unexpected %1 after the declaration").arg(TokenText(FTok)));
}

// program := ['program' ident ';'] ['uses' idents ';'] declarations compound '.'
void Parser::ParseProgram() {
    if (Accept(Tok::KwProgram)) {
        ExpectIdent();
        Expect(Tok::Semicolon);
    }
    if (Accept(Tok::KwUses)) {
        ParseIdentList();
        Expect(Tok::Semicolon);
    }
    ParseDeclarations();
    CheckForwards(FTok.pos);
    if (FTok.kind != Tok::KwBegin)
        Expected(TokKindText(Tok::KwBegin));
    FProgram.main = ParseCompound();
    Expect(Tok::Dot);
}

RoutineHeading Parser::ParseHeadingText() {
    bool isFunction = false;
    if (Accept(Tok::KwFunction))
        isFunction = true;
    else if (!Accept(Tok::KwProcedure))
        Expected(QStringLiteral("'procedure' or 'function'"));
    RoutineHeading h = ParseHeading(isFunction);
    if (FTok.kind != Tok::Eof)
        Expect(Tok::Semicolon);
    bool forward = false;
    SkipDirectives(forward);
    ExpectEnd();
    return h;
}

const Type* Parser::ParseTypeText(const QString& name) {
    const Type* t = ParseType();
    NameType(t, name);
    Accept(Tok::Semicolon);
    ExpectEnd();
    return t;
}

const Type* Parser::ParseTypeNameText() {
    const SourcePos pos = FTok.pos;
    const Type* t = nullptr;
    if (Accept(Tok::KwString))
        t = FTypes.String;
    else
        t = LookupType(ExpectIdent(), pos);
    ExpectEnd();
    return t;
}

} // namespace kelvara::script
