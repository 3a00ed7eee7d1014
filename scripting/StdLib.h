#pragma once
// The engine's standard library: the routines a Delphi script expects from System and SysUtils
// (strings, numbers, dates, files). Routines whose names start with '$' are helpers that the
// compiler calls for intrinsics (Copy, Format, Random, ...); scripts cannot name them.
#include <QString>

namespace kelvara::script {

class Compiler;
struct NativeCall;

void RegisterStdLib(Compiler& c);
void RegisterStdStrings(Compiler& c);
void RegisterStdNumbers(Compiler& c);
void RegisterStdDateTime(Compiler& c);

// Raises EConvertError with the text.
[[noreturn]] void ThrowConvertError(const QString& text);
// Raises EInvalidOp ("Invalid floating point operation").
[[noreturn]] void ThrowInvalidOp();

} // namespace kelvara::script
