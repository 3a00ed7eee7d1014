#pragma once
// Thrown inside the compiler at the first error; the compiler turns it into a message and stops.
#include "scripting/SourcePos.h"

#include <QString>

namespace kelvara::script {

struct CompileError {
    SourcePos pos;
    QString text;
};

} // namespace kelvara::script
