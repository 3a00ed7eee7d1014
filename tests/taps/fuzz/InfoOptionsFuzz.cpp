// kelvara-info's command line: the input is split at NUL bytes into arguments.
#include "InfoOptions.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    const TInfoOptionsResult r = ParseInfoOptions(args);
    if (r.Options && !r.Options->Help && r.Options->File.empty())
        __builtin_trap(); // a parse that succeeds always names the file
    if (!r.Options && r.Error.empty())
        __builtin_trap();
    return 0;
}
