// kelvara-script FILE [--define NAME]...
//
// Compiles and runs a script with the script host's built-in routines, types and constants, plus
// write(s) and writeln(s), which print to standard output. showmessage prints its text there too.
// The host's message lines (compiler messages with their line and column, then the outcome of the
// compilation and of the run) go to standard error. Exit status: 0 when the script ran, 1 when it
// did not compile, 2 when its run failed, 64 for a wrong command line, 66 when the file cannot be
// read.
#include "platform/ui/DialogService.h"
#include "scripting/SourceFile.h"
#include "scripting/uZvScript.h"

#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

namespace {

constexpr int kCompileFailed = 1;
constexpr int kRunFailed = 2;
constexpr int kUsage = 64;
constexpr int kNoInput = 66;

struct Options {
    QString file;
    QStringList defines;
    bool help = false;
};

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void Usage(FILE* stream) {
    Print(stream, QStringLiteral("usage: kelvara-script FILE [--define NAME]...\n"
                                 "Compiles and runs a Pascal script of Kelvara.\n"));
}

// False with a reason when the command line is wrong.
bool ParseArguments(const QStringList& args, Options& o, QString& error) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == u"-h" || a == u"--help") {
            o.help = true;
        } else if (a == u"--define" || a == u"-d") {
            if (++i >= args.size()) {
                error = QStringLiteral("--define needs a name");
                return false;
            }
            o.defines << args.at(i);
        } else if (a.startsWith(QStringLiteral("--define="))) {
            o.defines << a.mid(9);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            error = QStringLiteral("unknown option %1").arg(a);
            return false;
        } else if (o.file.isEmpty()) {
            o.file = a;
        } else {
            error = QStringLiteral("only one script file may be given");
            return false;
        }
    }
    if (o.file.isEmpty() && !o.help) {
        error = QStringLiteral("no script file given");
        return false;
    }
    return true;
}

void AddOutputRoutines(TZvScript& host) {
    host.AddMethod(
        nullptr,
        [](const QVariantList& a) {
            Print(stdout, a.value(0).toString());
            return QVariant();
        },
        QStringLiteral("procedure write(s: string);"));
    host.AddMethod(
        nullptr,
        [](const QVariantList& a) {
            Print(stdout, a.value(0).toString() + QLatin1Char('\n'));
            return QVariant();
        },
        QStringLiteral("procedure writeln(s: string);"));
}

// Message boxes become lines of output; the first button answers.
int32_t PrintDialog(const TDialogRequest& request) {
    Print(stdout, request.Text + QLatin1Char('\n'));
    return request.Buttons.isEmpty() ? request.CancelResult : request.Buttons.front().Result;
}

void PrintLines(const QStringList& lines) {
    for (const QString& line : lines)
        Print(stderr, line + QLatin1Char('\n'));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options options;
    QString error;
    if (!ParseArguments(app.arguments(), options, error)) {
        Print(stderr, QStringLiteral("kelvara-script: %1\n").arg(error));
        Usage(stderr);
        return kUsage;
    }
    if (options.help) {
        Usage(stdout);
        return 0;
    }
    QString text;
    if (!kelvara::script::ReadSourceFile(options.file, text, error)) {
        Print(stderr,
              QStringLiteral("kelvara-script: cannot read %1: %2\n").arg(options.file, error));
        return kNoInput;
    }
    DialogService().SetPresenter(PrintDialog);
    TZvScript host;
    host.SetUseDebugInfo(true);
    host.SetMainFileName(options.file);
    host.SetDefines(options.defines);
    host.SetScript(text);
    host.OnCompile = AddOutputRoutines;
    const bool compiled = host.Compile();
    PrintLines(host.Messages());
    if (!compiled)
        return kCompileFailed;
    host.RunProgram();
    PrintLines(host.Messages());
    return host.Messages().value(0).startsWith(QStringLiteral("***")) ? 0 : kRunFailed;
}
