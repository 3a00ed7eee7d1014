// kelvara-info's command line: the input is split at NUL bytes into arguments. The file named
// goes into the JSON report, which stays valid UTF-8 whatever bytes the name has.
#include "InfoOptions.h"
#include "InfoReport.h"

#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

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
    if (r.Options) {
        TInfoResult result;
        result.File = r.Options->File;
        result.VideoText = r.Options->File;
        const QByteArray json = QByteArray::fromStdString(JsonReport(result));
        if (QString::fromUtf8(json).toUtf8() != json)
            __builtin_trap(); // a byte that is not UTF-8 reached the document
    }
    return 0;
}
