// kelvara-script's command line: the input is split at NUL bytes into arguments.
#include "ScriptOptions.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(2); // the program name, then the first argument
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    TScriptOptions options;
    QString error;
    const bool parsed =
        ParseScriptArguments(TTypedArguments(int(args.size()), argv.data()), options, error);
    if (parsed && !options.Help && options.File.isEmpty())
        __builtin_trap(); // a command line that parses names the script
    if (!parsed && error.isEmpty())
        __builtin_trap();
    return 0;
}
