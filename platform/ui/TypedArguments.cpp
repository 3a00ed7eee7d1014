#include "platform/ui/TypedArguments.h"

#include <QFile>

namespace {

std::optional<TTypedArguments>& Captured() {
    static std::optional<TTypedArguments> arguments;
    return arguments;
}

} // namespace

TTypedArguments::TTypedArguments(int argc, const char* const* argv) {
    if (!argv)
        return;
    for (int i = 1; i < argc && argv[i]; ++i)
        FNative.emplace_back(argv[i]);
}

QStringList TTypedArguments::Texts() const {
    QStringList texts;
    texts.reserve(qsizetype(FNative.size()));
    for (const QByteArray& arg : FNative)
        texts << QFile::decodeName(arg);
    return texts;
}

void CaptureTypedArguments(int argc, const char* const* argv) {
    Captured() = TTypedArguments(argc, argv);
}

const std::optional<TTypedArguments>& CapturedArguments() {
    return Captured();
}

void ForgetCapturedArguments() {
    Captured().reset();
}
