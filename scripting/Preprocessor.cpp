#include "scripting/Preprocessor.h"

#include "scripting/CompileError.h"
#include "scripting/SourceFile.h"

#include <QDir>
#include <QFileInfo>

namespace kelvara::script {

namespace {

// Splits "IFDEF  Name" into ("ifdef", "Name") and "I+" into ("i", "+").
void SplitDirective(const QString& body, QString& name, QString& arg) {
    qsizetype i = 0;
    while (i < body.size() && (body.at(i).isLetterOrNumber() || body.at(i) == u'_'))
        ++i;
    name = body.left(i).toLower();
    arg = body.mid(i).trimmed();
}

QString Unquote(QString s) {
    if (s.size() >= 2 && s.startsWith(u'\'') && s.endsWith(u'\''))
        return s.mid(1, s.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return s;
}

// The first word of a directive argument: {$IFDEF DEBUG some comment}.
QString FirstWord(const QString& arg) {
    return arg.section(u' ', 0, 0, QString::SectionSkipEmpty);
}

} // namespace

Preprocessor::Preprocessor(const QString& text, const Options& options,
                           std::vector<SourceInfo>& sources)
    : FOptions(options), FSources(sources) {
    for (const QString& d : options.defines)
        if (!d.trimmed().isEmpty())
            FDefines.insert(d.trimmed().toLower());
    QString folder = QDir::currentPath();
    if (!options.mainFileName.isEmpty())
        folder = QFileInfo(options.mainFileName).absolutePath();
    FSources.push_back({QString(), options.mainFileName});
    FLevels.push_back({std::make_unique<Lexer>(text, 0, options.enabled), folder});
}

Preprocessor::~Preprocessor() = default;

void Preprocessor::Fail(const SourcePos& pos, const QString& text) const {
    throw CompileError{pos, text};
}

bool Preprocessor::Active() const {
    return FConditions.empty() || FConditions.back().active;
}

Token Preprocessor::Next() {
    for (;;) {
        Lexer& lexer = *FLevels.back().lexer;
        Token t = Active() ? lexer.Next() : lexer.NextDirective();
        if (t.kind == Tok::Directive) {
            Directive(t);
            continue;
        }
        if (t.kind == Tok::Eof) {
            if (FLevels.size() > 1) {
                FLevels.pop_back();
                continue;
            }
            if (!FConditions.empty())
                Fail(FConditions.back().pos, QStringLiteral("Missing {$ENDIF}"));
            return t;
        }
        if (Active())
            return t;
    }
}

void Preprocessor::Directive(const Token& t) {
    QString name, arg;
    SplitDirective(t.text, name, arg);
    if (name == u"ifdef" || name == u"ifndef") {
        const bool defined = FDefines.contains(FirstWord(arg).toLower());
        const bool cond = name == u"ifdef" ? defined : !defined;
        FConditions.push_back({Active(), Active() && cond, false, t.pos});
    } else if (name == u"else") {
        if (FConditions.empty() || FConditions.back().seenElse)
            Fail(t.pos, QStringLiteral("Misplaced {$ELSE}"));
        Condition& c = FConditions.back();
        c.seenElse = true;
        c.active = c.parentActive && !c.active;
    } else if (name == u"endif") {
        if (FConditions.empty())
            Fail(t.pos, QStringLiteral("Misplaced {$ENDIF}"));
        FConditions.pop_back();
    } else if (!Active()) {
        return;
    } else if (name == u"define") {
        if (!FirstWord(arg).isEmpty())
            FDefines.insert(FirstWord(arg).toLower());
    } else if (name == u"undef") {
        FDefines.remove(FirstWord(arg).toLower());
    } else if ((name == u"i" || name == u"include") && arg != u"+" && arg != u"-") {
        Include(t, Unquote(arg));
    }
}

void Preprocessor::Include(const Token& t, QString name) {
    if (name.isEmpty())
        Fail(t.pos, QStringLiteral("File name expected in {$I}"));
    if (int(FLevels.size()) > FOptions.maxIncludeDepth)
        Fail(t.pos, QStringLiteral("Include files nested too deeply"));
    const QString path = QDir(FLevels.back().folder).absoluteFilePath(name);
    QString text, error;
    if (!ReadSourceFile(path, text, error))
        Fail(t.pos, QStringLiteral("Cannot open include file '%1': %2").arg(name, error));
    const int index = int(FSources.size());
    FSources.push_back({name, path});
    FLevels.push_back({std::make_unique<Lexer>(std::move(text), index, FOptions.enabled),
                       QFileInfo(path).absolutePath()});
}

} // namespace kelvara::script
