#include "ScriptOptions.h"

bool ParseScriptArguments(const TTypedArguments& args, TScriptOptions& o, QString& error) {
    const std::vector<QByteArray>& a = args.Native();
    const QStringList texts = args.Texts();
    for (size_t i = 0; i < a.size(); ++i) {
        const QByteArray& arg = a[i];
        if (arg == "-h" || arg == "--help") {
            o.Help = true;
        } else if (arg == "--define" || arg == "-d") {
            if (++i >= a.size()) {
                error = QStringLiteral("--define needs a name");
                return false;
            }
            o.Defines << texts.at(qsizetype(i));
        } else if (arg.startsWith("--define=")) {
            o.Defines << texts.at(qsizetype(i)).mid(9);
        } else if (arg.startsWith('-') && arg.size() > 1) {
            error = QStringLiteral("unknown option %1").arg(texts.at(qsizetype(i)));
            return false;
        } else if (o.File.isEmpty()) {
            o.File = arg;
        } else {
            error = QStringLiteral("only one script file may be given");
            return false;
        }
    }
    if (o.File.isEmpty() && !o.Help) {
        error = QStringLiteral("no script file given");
        return false;
    }
    return true;
}
