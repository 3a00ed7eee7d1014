#include "scripting/Lexer.h"

#include "scripting/CompileError.h"

#include <cmath>
#include <limits>

namespace kelvara::script {

namespace {

bool IsIdentStart(QChar c) {
    return c == u'_' || c.isLetter();
}
bool IsIdentPart(QChar c) {
    return c == u'_' || c.isLetterOrNumber();
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int HexValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

Lexer::Lexer(QString text, int fileIndex, bool directives)
    : FText(std::move(text)), FFile(fileIndex), FDirectives(directives) {}

QChar Lexer::Peek(qsizetype ahead) const {
    const qsizetype i = FPos + ahead;
    return i < FText.size() ? FText.at(i) : QChar(0);
}

void Lexer::Advance() {
    if (FPos >= FText.size())
        return;
    if (FText.at(FPos) == u'\n') {
        ++FLine;
        FLineStart = FPos + 1;
    }
    ++FPos;
}

SourcePos Lexer::Here() const {
    return {FFile, FLine, int32_t(FPos - FLineStart + 1)};
}

void Lexer::Fail(const SourcePos& pos, const QString& text) const {
    throw CompileError{pos, text};
}

Token Lexer::Next() {
    Token directive;
    if (SkipSpaceAndComments(directive))
        return directive;
    if (FPos >= FText.size()) {
        Token t;
        t.kind = Tok::Eof;
        t.pos = Here();
        return t;
    }
    const QChar c = Peek();
    if (IsIdentStart(c))
        return Identifier();
    if (IsDigit(c))
        return Number();
    if (c == u'$')
        return HexNumber();
    if (c == u'\'' || c == u'#')
        return StringLiteral();
    return Symbol();
}

Token Lexer::NextDirective() {
    Token directive;
    for (;;) {
        if (SkipSpaceAndComments(directive))
            return directive;
        if (FPos >= FText.size()) {
            Token t;
            t.kind = Tok::Eof;
            t.pos = Here();
            return t;
        }
        if (Peek() == u'\'') {
            Advance();
            while (FPos < FText.size() && Peek() != u'\'' && Peek() != u'\n')
                Advance();
        }
        Advance();
    }
}

// Skips blanks and comments; returns true with `directive` filled when a directive comes first.
bool Lexer::SkipSpaceAndComments(Token& directive) {
    while (FPos < FText.size()) {
        const QChar c = Peek();
        if (c.unicode() <= u' ' || c.isSpace()) {
            Advance();
        } else if (c == u'{') {
            if (SkipBraceComment(directive))
                return true;
        } else if (c == u'(' && Peek(1) == u'*') {
            if (SkipParenComment(directive))
                return true;
        } else if (c == u'/' && Peek(1) == u'/') {
            while (FPos < FText.size() && Peek() != u'\n')
                Advance();
        } else {
            return false;
        }
    }
    return false;
}

bool Lexer::SkipBraceComment(Token& directive) {
    const SourcePos start = Here();
    const bool isDirective = FDirectives && Peek(1) == u'$';
    Advance();
    const qsizetype bodyStart = FPos + (isDirective ? 1 : 0);
    while (FPos < FText.size() && Peek() != u'}')
        Advance();
    if (FPos >= FText.size())
        Fail(start, QStringLiteral("Unterminated comment"));
    const qsizetype bodyEnd = FPos;
    Advance();
    if (!isDirective)
        return false;
    directive.kind = Tok::Directive;
    directive.pos = start;
    directive.text = FText.mid(bodyStart, bodyEnd - bodyStart);
    return true;
}

bool Lexer::SkipParenComment(Token& directive) {
    const SourcePos start = Here();
    const bool isDirective = FDirectives && Peek(2) == u'$';
    Advance();
    Advance();
    const qsizetype bodyStart = FPos + (isDirective ? 1 : 0);
    while (FPos < FText.size() && !(Peek() == u'*' && Peek(1) == u')'))
        Advance();
    if (FPos >= FText.size())
        Fail(start, QStringLiteral("Unterminated comment"));
    const qsizetype bodyEnd = FPos;
    Advance();
    Advance();
    if (!isDirective)
        return false;
    directive.kind = Tok::Directive;
    directive.pos = start;
    directive.text = FText.mid(bodyStart, bodyEnd - bodyStart);
    return true;
}

Token Lexer::Identifier() {
    Token t;
    t.pos = Here();
    const qsizetype start = FPos;
    while (FPos < FText.size() && IsIdentPart(Peek()))
        Advance();
    t.text = FText.mid(start, FPos - start);
    t.key = t.text.toLower();
    t.kind = KeywordKind(t.key);
    return t;
}

// Decimal integers, and floats with a fraction and/or an exponent ("1..5" stays a range).
Token Lexer::Number() {
    Token t;
    t.pos = Here();
    const qsizetype start = FPos;
    while (IsDigit(Peek()))
        Advance();
    bool isFloat = false;
    if (Peek() == u'.' && IsDigit(Peek(1))) {
        isFloat = true;
        Advance();
        while (IsDigit(Peek()))
            Advance();
    }
    if (Peek() == u'e' || Peek() == u'E') {
        const qsizetype signOffset = (Peek(1) == u'+' || Peek(1) == u'-') ? 2 : 1;
        if (!IsDigit(Peek(signOffset)))
            Fail(Here(), QStringLiteral("Invalid number"));
        isFloat = true;
        for (qsizetype i = 0; i < signOffset; ++i)
            Advance();
        while (IsDigit(Peek()))
            Advance();
    }
    const QString text = FText.mid(start, FPos - start);
    if (isFloat) {
        t.kind = Tok::FloatLit;
        t.fval = text.toDouble();
        if (!std::isfinite(t.fval))
            Fail(t.pos, QStringLiteral("Floating point constant out of range"));
        return t;
    }
    bool ok = false;
    t.ival = text.toLongLong(&ok);
    if (!ok)
        Fail(t.pos, QStringLiteral("Integer constant too large"));
    t.kind = Tok::IntLit;
    return t;
}

// $FF; up to 16 digits, so $FFFFFFFFFFFFFFFF reads as the Int64 -1.
Token Lexer::HexNumber() {
    Token t;
    t.pos = Here();
    Advance();
    uint64_t value = 0;
    int digits = 0;
    while (HexValue(Peek()) >= 0) {
        if (++digits > 16)
            Fail(t.pos, QStringLiteral("Integer constant too large"));
        value = value * 16 + uint64_t(HexValue(Peek()));
        Advance();
    }
    if (digits == 0)
        Fail(t.pos, QStringLiteral("Hexadecimal digit expected"));
    t.kind = Tok::IntLit;
    t.ival = int64_t(value);
    return t;
}

// A run of quoted parts and #character codes: 'a'#13#10'b'.
Token Lexer::StringLiteral() {
    Token t;
    t.pos = Here();
    t.kind = Tok::StrLit;
    while (Peek() == u'\'' || Peek() == u'#') {
        if (Peek() == u'\'')
            QuotedPart(t.text);
        else
            CharCodePart(t.text);
    }
    return t;
}

void Lexer::QuotedPart(QString& out) {
    const SourcePos start = Here();
    Advance();
    for (;;) {
        if (FPos >= FText.size() || Peek() == u'\n' || Peek() == u'\r')
            Fail(start, QStringLiteral("Unterminated string"));
        if (Peek() == u'\'') {
            if (Peek(1) != u'\'') {
                Advance();
                return;
            }
            Advance();
        }
        out.append(Peek());
        Advance();
    }
}

void Lexer::CharCodePart(QString& out) {
    const SourcePos start = Here();
    Advance();
    uint32_t code = 0;
    int digits = 0;
    if (Peek() == u'$') {
        Advance();
        for (; HexValue(Peek()) >= 0; ++digits, Advance())
            code = code > 0xFFFF ? code : code * 16 + uint32_t(HexValue(Peek()));
    } else {
        for (; IsDigit(Peek()); ++digits, Advance())
            code = code > 0xFFFF ? code : code * 10 + uint32_t(Peek().unicode() - u'0');
    }
    if (digits == 0)
        Fail(start, QStringLiteral("Character code expected after '#'"));
    if (code > 0xFFFF)
        Fail(start, QStringLiteral("Character code out of range"));
    out.append(QChar(char16_t(code)));
}

Token Lexer::Symbol() {
    Token t;
    t.pos = Here();
    const QChar c = Peek();
    const QChar n = Peek(1);
    auto take = [&](Tok kind, int length) {
        t.kind = kind;
        for (int i = 0; i < length; ++i)
            Advance();
        return t;
    };
    switch (c.unicode()) {
    case u'+':
        return take(Tok::Plus, 1);
    case u'-':
        return take(Tok::Minus, 1);
    case u'*':
        return take(Tok::Star, 1);
    case u'/':
        return take(Tok::Slash, 1);
    case u'=':
        return take(Tok::Eq, 1);
    case u'<':
        if (n == u'>')
            return take(Tok::NotEq, 2);
        if (n == u'=')
            return take(Tok::LessEq, 2);
        return take(Tok::Less, 1);
    case u'>':
        return n == u'=' ? take(Tok::GreaterEq, 2) : take(Tok::Greater, 1);
    case u':':
        return n == u'=' ? take(Tok::Assign, 2) : take(Tok::Colon, 1);
    case u';':
        return take(Tok::Semicolon, 1);
    case u',':
        return take(Tok::Comma, 1);
    case u'.':
        return n == u'.' ? take(Tok::DotDot, 2) : take(Tok::Dot, 1);
    case u'(':
        return take(Tok::LParen, 1);
    case u')':
        return take(Tok::RParen, 1);
    case u'[':
        return take(Tok::LBracket, 1);
    case u']':
        return take(Tok::RBracket, 1);
    case u'^':
        return take(Tok::Caret, 1);
    case u'@':
        return take(Tok::At, 1);
    default:
        break;
    }
    Fail(t.pos, QStringLiteral("Illegal character in input file: '%1' ($%2)")
                    .arg(c.isPrint() ? QString(c) : QString())
                    .arg(c.unicode(), 2, 16, QChar(u'0')));
}

} // namespace kelvara::script
