#pragma once
// Format(fmt, [args]) as Delphi's SysUtils.Format: "%" [index ":"] ["-"] [width] ["." precision]
// type, with the types d u x e f g n m s, "*" for a width or precision taken from the arguments,
// and "%%". A specifier that does not fit its argument is an EConvertError.
#include "scripting/Runtime.h"

#include <QString>

namespace kelvara::script {

// args: an array-of-const aggregate (items and their types); null for no arguments.
QString FormatText(const QString& format, const Aggregate* args, const Runtime& rt,
                   const SourcePos& pos);

} // namespace kelvara::script
