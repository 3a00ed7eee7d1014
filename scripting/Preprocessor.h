#pragma once
// The token stream the parser reads. With the preprocessor on it follows the directives
// {$DEFINE name}, {$UNDEF name}, {$IFDEF name}, {$IFNDEF name}, {$ELSE}, {$ENDIF} and
// {$I file} / {$INCLUDE file} (a file named relative to the folder of the file that includes it;
// the main text's folder is that of its file name, or the current folder). Other directives are
// ignored. With the preprocessor off, every directive is a comment.
#include "scripting/Lexer.h"

#include <memory>
#include <vector>

#include <QSet>
#include <QString>
#include <QStringList>

namespace kelvara::script {

struct SourceInfo {
    QString displayName; // as shown in messages (empty for the main text)
    QString path;        // full path, empty for the main text without a file
};

class Preprocessor {
public:
    struct Options {
        bool enabled = true;
        QStringList defines;
        QString mainFileName; // where the main text came from, if anywhere
        int maxIncludeDepth = 16;
    };

    // `sources` receives one entry per source read (the main text first); token positions index it.
    Preprocessor(const QString& text, const Options& options, std::vector<SourceInfo>& sources);
    ~Preprocessor();

    Token Next();

private:
    struct Condition {
        bool parentActive;
        bool active;
        bool seenElse;
        SourcePos pos;
    };
    struct Level {
        std::unique_ptr<Lexer> lexer;
        QString folder;
    };

    bool Active() const;
    void Directive(const Token& t);
    void Include(const Token& t, QString name);
    [[noreturn]] void Fail(const SourcePos& pos, const QString& text) const;

    Options FOptions;
    std::vector<SourceInfo>& FSources;
    std::vector<Level> FLevels;
    std::vector<Condition> FConditions;
    QSet<QString> FDefines; // lower case
};

} // namespace kelvara::script
