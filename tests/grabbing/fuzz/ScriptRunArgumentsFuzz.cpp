// Fuzz target of the --run-script command line: the input is split at NUL bytes into arguments
// (UTF-8). Every argument must end up in exactly one place (the option, its file, a quit switch
// or the switches, in order), no quit switch may reach the switches, and the option is found
// exactly when it is there.
#include "grabbing/uScriptRun.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList args;
    const char* text = reinterpret_cast<const char*>(data);
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i)
        if (i == size || data[i] == 0) {
            args.append(QString::fromUtf8(text + start, qsizetype(i - start)));
            start = i + 1;
        }
    const TScriptRunArguments run = ParseScriptRun(args);
    const QString option = QStringLiteral("--run-script");
    qsizetype optionAt = -1;
    for (qsizetype i = 0; i < args.size() && optionAt < 0; ++i)
        if (args[i] == option || args[i].startsWith(option + QLatin1Char('=')))
            optionAt = i;
    if (run.Wanted != (optionAt >= 0))
        std::abort();
    qsizetype next = 0, quits = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (i == optionAt) {
            if (args[i] == option && i + 1 < args.size()) {
                if (run.File != args[i + 1])
                    std::abort();
                ++i;
            }
            continue;
        }
        const QString& a = args[i];
        const bool quit = !a.isEmpty() && QStringLiteral("+-/").contains(a[0]) &&
                          a.mid(1).section(QLatin1Char('='), 0, 0).toLower() == "quit";
        if (quit) {
            ++quits;
            continue;
        }
        if (next >= run.Switches.size() || run.Switches[next++] != a)
            std::abort();
    }
    if (next != run.Switches.size() || run.Quit != (quits > 0))
        std::abort();
    return 0;
}
