#include "scripting/StdLib.h"

#include "scripting/Compiler.h"
#include "scripting/ScriptError.h"

#include <QString>

namespace kelvara::script {

void ThrowConvertError(const QString& text) {
    throw ScriptError(text, ErrorKind::Convert);
}

void ThrowInvalidOp() {
    throw ScriptError(QStringLiteral("Invalid floating point operation"), ErrorKind::InvalidOp);
}

void RegisterStdLib(Compiler& c) {
    RegisterStdStrings(c);
    RegisterStdNumbers(c);
    RegisterStdDateTime(c);
}

} // namespace kelvara::script
