#include "commands/uScriptArguments.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

const QVariant& Arg(const QVariantList& args, int index) {
    if (index < 0 || index >= args.size())
        throw std::invalid_argument("Missing argument " + std::to_string(index + 1));
    return args.at(index);
}

[[noreturn]] void Invalid(int index, const char* what) {
    throw std::invalid_argument("Argument " + std::to_string(index + 1) + " is not " + what);
}

} // namespace

int32_t ScriptArgInt(const QVariantList& args, int index) {
    bool ok = false;
    const qlonglong v = Arg(args, index).toLongLong(&ok);
    if (!ok)
        Invalid(index, "an integer");
    // 32-bit unsigned values (a colour given as $FF000008) keep their bits.
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<uint32_t>::max())
        Invalid(index, "a 32-bit integer");
    return int32_t(uint32_t(v));
}

double ScriptArgDouble(const QVariantList& args, int index) {
    bool ok = false;
    const double v = Arg(args, index).toDouble(&ok);
    if (!ok)
        Invalid(index, "a number");
    return v;
}

bool ScriptArgBool(const QVariantList& args, int index) {
    const QVariant& v = Arg(args, index);
    if (!v.canConvert<bool>())
        Invalid(index, "a Boolean");
    return v.toBool();
}

QString ScriptArgString(const QVariantList& args, int index) {
    const QVariant& v = Arg(args, index);
    if (!v.canConvert<QString>())
        Invalid(index, "a text");
    return v.toString();
}
