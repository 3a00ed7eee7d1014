#pragma once
// Routines registered by the host take and give QVariants: a script value becomes the QVariant
// of the host interface (8- to 32-bit signed integers, enumerations and TColor as int; Cardinal,
// LongWord, Word, Byte as uint; Int64 as qlonglong; Boolean as bool; floats as double; strings
// and Char as QString; records, arrays and sets as QVariantList), and the routine's QVariant
// result becomes a value of the declared result type.
#include "scripting/Routine.h"

#include <functional>

#include <QPointer>
#include <QVariant>
#include <QVariantList>

namespace kelvara::script {

using ScriptRoutine = std::function<QVariant(const QVariantList& args)>;

QVariant ValueToVariant(const Value& v, const Type* t);

// The native code that calls `routine` for the parsed declaration r. When the routine belongs to
// an object, calling it after the object is gone is a run-time error. An exception thrown by the
// routine ends the run with a run-time error whose text is its what() read as UTF-8.
NativeFn MakeHostNative(const Routine& r, QObject* object, ScriptRoutine routine);

} // namespace kelvara::script
