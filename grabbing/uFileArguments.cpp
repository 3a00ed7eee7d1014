#include "grabbing/uFileArguments.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool IsFileName(const QByteArray& arg) {
    if (arg.isEmpty())
        return false;
    const char first = arg.front();
    if (first == '+' || first == '-')
        return false;
    if (first != '/')
        return true;
    return QFileInfo(QFile::decodeName(arg)).isFile();
}

} // namespace

std::vector<QByteArray> OpenBareFiles(const std::vector<QByteArray>& arguments) {
    std::vector<QByteArray> result;
    result.reserve(arguments.size());
    bool scriptFileNext = false;
    for (const QByteArray& arg : arguments) {
        if (scriptFileNext || !IsFileName(arg))
            result.push_back(arg);
        else
            result.push_back(QByteArrayLiteral("/o=") + arg);
        scriptFileNext = arg == "--run-script";
    }
    return result;
}
