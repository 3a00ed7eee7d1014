// kelvara-script FILE [--define NAME]...
//
// Compiles and runs a script with the script host's built-in routines, types and constants, plus
// write(s) and writeln(s), which print to standard output. showmessage prints its text there too.
// The host's message lines (compiler messages with their line and column, then the outcome of the
// compilation and of the run) go to standard error. Exit status: 0 when the script ran, 1 when it
// did not compile, 2 when its run failed, 64 for a wrong command line, 66 when the file cannot be
// read.
#include "ScriptOptions.h"
#include "platform/os/NativeFile.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ToolApplication.h"
#include "scripting/SourceFile.h"
#include "scripting/uZvScript.h"

#include <cstdio>
#include <cstring>

#include <QStringList>

namespace {

constexpr int kCompileFailed = 1;
constexpr int kRunFailed = 2;
constexpr int kUsage = 64;
constexpr int kNoInput = 66;

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void Usage(FILE* stream) {
    Print(stream, QStringLiteral("usage: kelvara-script FILE [--define NAME]...\n"
                                 "Compiles and runs a Pascal script of Kelvara.\n"));
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

// Why the script file cannot be read, when it is no regular file (reading a FIFO would wait).
QString NotAFile(const TNativeFile& file) {
    switch (file.Kind()) {
    case TNativeFile::TKind::Regular:
        return {};
    case TNativeFile::TKind::Missing:
        return QStringLiteral("no such file");
    case TNativeFile::TKind::Folder:
        return QStringLiteral("is a folder");
    case TNativeFile::TKind::Other:
        return QStringLiteral("not a regular file");
    case TNativeFile::TKind::Unreadable:
        break;
    }
    return QString::fromLocal8Bit(std::strerror(file.Error()));
}

} // namespace

int main(int argc, char** argv) {
    TToolApplication app(argc, argv, {TToolkit::Core, nullptr});
    TScriptOptions options;
    QString error;
    if (!ParseScriptArguments(app.Arguments(), options, error)) {
        Print(stderr, QStringLiteral("kelvara-script: %1\n").arg(error));
        Usage(stderr);
        return kUsage;
    }
    if (options.Help) {
        Usage(stdout);
        return 0;
    }
    const TNativeFile file(options.File);
    QString text;
    error = NotAFile(file);
    if (error.isEmpty() && !kelvara::script::ReadSourceFile(file.Path(), text, error) &&
        error.isEmpty())
        error = QStringLiteral("cannot be read");
    if (!error.isEmpty()) {
        Print(
            stderr,
            QStringLiteral("kelvara-script: cannot read %1: %2\n").arg(file.DisplayName(), error));
        return kNoInput;
    }
    DialogService().SetPresenter(PrintDialog);
    TZvScript host;
    host.SetUseDebugInfo(true);
    host.SetMainFileName(file.Path());
    host.SetDefines(options.Defines);
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
