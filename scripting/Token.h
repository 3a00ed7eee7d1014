#pragma once
// Tokens of the script language. Identifiers keep their spelling in `text` and their lower-case
// form in `key` (the language ignores case); string literals have their value in `text`;
// directives ({$...}) have their body in `text`.
#include "scripting/SourcePos.h"

#include <cstdint>

#include <QString>

namespace kelvara::script {

enum class Tok : uint8_t {
    Eof,
    Ident,
    IntLit,
    FloatLit,
    StrLit,
    Directive,
    // symbols
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    NotEq,
    Less,
    Greater,
    LessEq,
    GreaterEq,
    Assign,
    Colon,
    Semicolon,
    Comma,
    Dot,
    DotDot,
    LParen,
    RParen,
    LBracket,
    RBracket,
    Caret,
    At,
    // reserved words
    KwAnd,
    KwArray,
    KwAs,
    KwAsm,
    KwBegin,
    KwCase,
    KwClass,
    KwConst,
    KwConstructor,
    KwDestructor,
    KwDiv,
    KwDo,
    KwDownto,
    KwElse,
    KwEnd,
    KwExcept,
    KwFile,
    KwFinally,
    KwFor,
    KwFunction,
    KwGoto,
    KwIf,
    KwImplementation,
    KwIn,
    KwInherited,
    KwInterface,
    KwIs,
    KwLabel,
    KwMod,
    KwNil,
    KwNot,
    KwObject,
    KwOf,
    KwOr,
    KwPacked,
    KwProcedure,
    KwProgram,
    KwProperty,
    KwRaise,
    KwRecord,
    KwRepeat,
    KwSet,
    KwShl,
    KwShr,
    KwString,
    KwThen,
    KwTo,
    KwTry,
    KwType,
    KwUnit,
    KwUntil,
    KwUses,
    KwVar,
    KwWhile,
    KwWith,
    KwXor,
};

struct Token {
    Tok kind = Tok::Eof;
    SourcePos pos;
    QString text;
    QString key;
    int64_t ival = 0;
    double fval = 0.0;
};

// The reserved word spelled by a lower-case identifier, or Tok::Ident.
Tok KeywordKind(const QString& key);

// How a token kind reads in messages: "';'", "'begin'", "identifier", "end of file".
QString TokKindText(Tok kind);

// How a token reads in "... expected but X found" messages.
QString TokenText(const Token& t);

} // namespace kelvara::script
