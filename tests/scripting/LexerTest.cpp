// Tokens: literals, comments, directives and positions.
#include "scripting/Lexer.h"

#include "scripting/CompileError.h"

#include <gtest/gtest.h>

namespace kelvara::script {
namespace {

std::vector<Token> Lex(const QString& text, bool directives = true) {
    Lexer lexer(text, 0, directives);
    std::vector<Token> tokens;
    for (;;) {
        Token t = lexer.Next();
        if (t.kind == Tok::Eof)
            return tokens;
        tokens.push_back(std::move(t));
    }
}

TEST(Lexer, NumbersInEveryForm) {
    const auto t = Lex(QStringLiteral("42 $ff $FFFFFFFFFFFFFFFF 1.5 2e3 1E-2 7..9 3.x"));
    ASSERT_EQ(t.size(), 12u);
    EXPECT_EQ(t[0].ival, 42);
    EXPECT_EQ(t[1].ival, 255);
    EXPECT_EQ(t[2].ival, -1);
    EXPECT_EQ(t[3].kind, Tok::FloatLit);
    EXPECT_EQ(t[3].fval, 1.5);
    EXPECT_EQ(t[4].fval, 2000.0);
    EXPECT_EQ(t[5].fval, 0.01);
    EXPECT_EQ(t[6].ival, 7); // a range, not a float
    EXPECT_EQ(t[7].kind, Tok::DotDot);
    EXPECT_EQ(t[8].ival, 9);
    EXPECT_EQ(t[9].kind, Tok::IntLit); // "3." followed by a letter is 3 then '.'
    EXPECT_EQ(t[10].kind, Tok::Dot);
    EXPECT_EQ(t[11].key, QStringLiteral("x"));
}

TEST(Lexer, StringsWithQuotesAndCharacterCodes) {
    const auto t = Lex(QStringLiteral("'it''s' #65#$42'c'#13#10 '' #0''"));
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].text, QStringLiteral("it's"));
    EXPECT_EQ(t[1].text, QStringLiteral("ABc\r\n"));
    EXPECT_EQ(t[2].kind, Tok::StrLit);
    EXPECT_EQ(t[2].text, QString());
    EXPECT_EQ(t[3].text, QString(QChar(u'\0')));
}

TEST(Lexer, CommentsOfThreeKindsAndNesting) {
    const auto t = Lex(QStringLiteral("a { b (* c } d (* e { f *) g // h\ni"));
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].key, QStringLiteral("a"));
    EXPECT_EQ(t[1].key, QStringLiteral("d"));
    EXPECT_EQ(t[2].key, QStringLiteral("g"));
    EXPECT_EQ(t[3].key, QStringLiteral("i"));
}

TEST(Lexer, DirectivesOnlyWhenAsked) {
    const auto on = Lex(QStringLiteral("{$DEFINE X} (*$I a.inc*) {x}"));
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].kind, Tok::Directive);
    EXPECT_EQ(on[0].text, QStringLiteral("DEFINE X"));
    EXPECT_EQ(on[1].text, QStringLiteral("I a.inc"));
    EXPECT_TRUE(Lex(QStringLiteral("{$DEFINE X}"), false).empty());
}

TEST(Lexer, IdentifiersIgnoreCaseAndKeywordsAreRecognised) {
    const auto t = Lex(QStringLiteral("BeGiN MyVar _x2 caf\u00e9 END"));
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].kind, Tok::KwBegin);
    EXPECT_EQ(t[1].kind, Tok::Ident);
    EXPECT_EQ(t[1].text, QStringLiteral("MyVar"));
    EXPECT_EQ(t[1].key, QStringLiteral("myvar"));
    EXPECT_EQ(t[2].key, QStringLiteral("_x2"));
    EXPECT_EQ(t[3].key, QStringLiteral("caf\u00e9"));
    EXPECT_EQ(t[4].kind, Tok::KwEnd);
}

TEST(Lexer, SymbolsAndPositions) {
    const auto t = Lex(QStringLiteral("a:=b<>c\n  <=>=..(.^@"));
    const Tok kinds[] = {Tok::Ident,  Tok::Assign, Tok::Ident,     Tok::NotEq,
                         Tok::Ident,  Tok::LessEq, Tok::GreaterEq, Tok::DotDot,
                         Tok::LParen, Tok::Dot,    Tok::Caret,     Tok::At};
    ASSERT_EQ(t.size(), std::size(kinds));
    for (size_t k = 0; k < t.size(); ++k)
        EXPECT_EQ(t[k].kind, kinds[k]) << k;
    EXPECT_EQ(t[5].pos.line, 2);
    EXPECT_EQ(t[5].pos.col, 3);
    EXPECT_EQ(t[2].pos.col, 4);
}

TEST(Lexer, ErrorsNameTheirPlace) {
    struct Bad {
        const char* text;
        const char* message;
        int col;
    };
    const Bad cases[] = {
        {"x 'open", "Unterminated string", 3},
        {"{ open", "Unterminated comment", 1},
        {"(* open", "Unterminated comment", 1},
        {"#", "Character code expected after '#'", 1},
        {"#70000", "Character code out of range", 1},
        {"$", "Hexadecimal digit expected", 1},
        {"$12345678123456789", "Integer constant too large", 1},
        {"1e", "Invalid number", 2},
        {"1e999", "Floating point constant out of range", 1},
        {"a ~", "Illegal character in input file: '~' ($7e)", 3},
    };
    for (const Bad& b : cases) {
        try {
            Lex(QString::fromLatin1(b.text));
            ADD_FAILURE() << b.text;
        } catch (const CompileError& e) {
            EXPECT_EQ(e.text.toStdString(), b.message) << b.text;
            EXPECT_EQ(e.pos.col, b.col) << b.text;
        }
    }
}

} // namespace
} // namespace kelvara::script
