#include "scripting/Token.h"

#include <QHash>

namespace kelvara::script {

namespace {

struct KeywordEntry {
    const char* text;
    Tok kind;
};

constexpr KeywordEntry kKeywords[] = {
    {"and", Tok::KwAnd},
    {"array", Tok::KwArray},
    {"as", Tok::KwAs},
    {"asm", Tok::KwAsm},
    {"begin", Tok::KwBegin},
    {"case", Tok::KwCase},
    {"class", Tok::KwClass},
    {"const", Tok::KwConst},
    {"constructor", Tok::KwConstructor},
    {"destructor", Tok::KwDestructor},
    {"div", Tok::KwDiv},
    {"do", Tok::KwDo},
    {"downto", Tok::KwDownto},
    {"else", Tok::KwElse},
    {"end", Tok::KwEnd},
    {"except", Tok::KwExcept},
    {"file", Tok::KwFile},
    {"finally", Tok::KwFinally},
    {"for", Tok::KwFor},
    {"function", Tok::KwFunction},
    {"goto", Tok::KwGoto},
    {"if", Tok::KwIf},
    {"implementation", Tok::KwImplementation},
    {"in", Tok::KwIn},
    {"inherited", Tok::KwInherited},
    {"interface", Tok::KwInterface},
    {"is", Tok::KwIs},
    {"label", Tok::KwLabel},
    {"mod", Tok::KwMod},
    {"nil", Tok::KwNil},
    {"not", Tok::KwNot},
    {"object", Tok::KwObject},
    {"of", Tok::KwOf},
    {"or", Tok::KwOr},
    {"packed", Tok::KwPacked},
    {"procedure", Tok::KwProcedure},
    {"program", Tok::KwProgram},
    {"property", Tok::KwProperty},
    {"raise", Tok::KwRaise},
    {"record", Tok::KwRecord},
    {"repeat", Tok::KwRepeat},
    {"set", Tok::KwSet},
    {"shl", Tok::KwShl},
    {"shr", Tok::KwShr},
    {"string", Tok::KwString},
    {"then", Tok::KwThen},
    {"to", Tok::KwTo},
    {"try", Tok::KwTry},
    {"type", Tok::KwType},
    {"unit", Tok::KwUnit},
    {"until", Tok::KwUntil},
    {"uses", Tok::KwUses},
    {"var", Tok::KwVar},
    {"while", Tok::KwWhile},
    {"with", Tok::KwWith},
    {"xor", Tok::KwXor},
};

const QHash<QString, Tok>& KeywordTable() {
    static const QHash<QString, Tok> table = [] {
        QHash<QString, Tok> t;
        for (const auto& k : kKeywords)
            t.insert(QString::fromLatin1(k.text), k.kind);
        return t;
    }();
    return table;
}

const char* SymbolText(Tok kind) {
    switch (kind) {
    case Tok::Plus:
        return "+";
    case Tok::Minus:
        return "-";
    case Tok::Star:
        return "*";
    case Tok::Slash:
        return "/";
    case Tok::Eq:
        return "=";
    case Tok::NotEq:
        return "<>";
    case Tok::Less:
        return "<";
    case Tok::Greater:
        return ">";
    case Tok::LessEq:
        return "<=";
    case Tok::GreaterEq:
        return ">=";
    case Tok::Assign:
        return ":=";
    case Tok::Colon:
        return ":";
    case Tok::Semicolon:
        return ";";
    case Tok::Comma:
        return ",";
    case Tok::Dot:
        return ".";
    case Tok::DotDot:
        return "..";
    case Tok::LParen:
        return "(";
    case Tok::RParen:
        return ")";
    case Tok::LBracket:
        return "[";
    case Tok::RBracket:
        return "]";
    case Tok::Caret:
        return "^";
    case Tok::At:
        return "@";
    default:
        return nullptr;
    }
}

} // namespace

Tok KeywordKind(const QString& key) {
    return KeywordTable().value(key, Tok::Ident);
}

QString TokKindText(Tok kind) {
    switch (kind) {
    case Tok::Eof:
        return QStringLiteral("end of file");
    case Tok::Ident:
        return QStringLiteral("identifier");
    case Tok::IntLit:
    case Tok::FloatLit:
        return QStringLiteral("number");
    case Tok::StrLit:
        return QStringLiteral("string constant");
    case Tok::Directive:
        return QStringLiteral("directive");
    default:
        break;
    }
    if (const char* s = SymbolText(kind))
        return QStringLiteral("'%1'").arg(QLatin1String(s));
    for (const auto& k : kKeywords)
        if (k.kind == kind)
            return QStringLiteral("'%1'").arg(QLatin1String(k.text));
    return QStringLiteral("token");
}

QString TokenText(const Token& t) {
    switch (t.kind) {
    case Tok::Ident:
        return QStringLiteral("identifier '%1'").arg(t.text);
    case Tok::IntLit:
    case Tok::FloatLit:
        return QStringLiteral("number");
    case Tok::StrLit:
        return QStringLiteral("string constant");
    default:
        return TokKindText(t.kind);
    }
}

} // namespace kelvara::script
