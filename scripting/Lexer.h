#pragma once
// Splits script text into tokens: identifiers (any case), reserved words, numbers (decimal,
// $hexadecimal, floating point), strings ('it''s', #13#10, #$41 and runs of them), symbols,
// and, when directives are on, {$...} / (*$...*) directives; otherwise those are comments like
// { }, (* *) and //. Lexical errors throw CompileError.
#include "scripting/Token.h"

#include <QString>

namespace kelvara::script {

class Lexer {
public:
    Lexer(QString text, int fileIndex, bool directives);

    Token Next();
    // The next directive (or the end of the text), skipping everything else: code inside an
    // inactive {$IFDEF} is not read as tokens, so it may hold anything. Comments still hide
    // directives, and quoted text on one line may hold braces.
    Token NextDirective();

private:
    QChar Peek(qsizetype ahead = 0) const;
    void Advance();
    SourcePos Here() const;
    [[noreturn]] void Fail(const SourcePos& pos, const QString& text) const;

    bool SkipSpaceAndComments(Token& directive);
    bool SkipBraceComment(Token& directive);
    bool SkipParenComment(Token& directive);
    Token Identifier();
    Token Number();
    Token HexNumber();
    Token StringLiteral();
    void QuotedPart(QString& out);
    void CharCodePart(QString& out);
    Token Symbol();

    QString FText;
    qsizetype FPos = 0;
    int FFile;
    int FLine = 1;
    qsizetype FLineStart = 0;
    bool FDirectives;
};

} // namespace kelvara::script
