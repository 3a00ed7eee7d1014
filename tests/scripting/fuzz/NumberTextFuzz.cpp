// Fuzz target: number texts read as Val and StrToFloat read them. The input is UTF-8 text.
// Readers stay inside the text, report a position within it (or just past its end), give
// values of the width asked for, and what they read survives being written and read again.
#include "scripting/NumberText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include <QString>

namespace {

using namespace kelvara::script;

void CheckInteger(const QString& text, IntWidth width) {
    int64_t v = 0;
    const int code = ValInteger(text, width, v);
    if (code < 0 || code > text.size() + 1)
        __builtin_trap();
    if (code != 0) {
        if (v != 0)
            __builtin_trap();
        return;
    }
    if (width == IntWidth::I32 &&
        (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()))
        __builtin_trap();
    int64_t again = 0;
    if (ValInteger(QString::number(v), width, again) != 0 || again != v)
        __builtin_trap();
}

void CheckFloat(const QString& text, QChar decimal) {
    double v = 0;
    if (!ParseFloat(text, decimal, v))
        return;
    if (!std::isfinite(v))
        __builtin_trap();
    // 17 significant digits give back every double.
    double again = 0;
    if (!ParseFloat(FloatGeneral(v, 17, decimal), decimal, again) || again != v)
        __builtin_trap();
    FloatExponent(v, 18, decimal);
    FloatFixed(v, 18, decimal, QChar(u' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckInteger(text, IntWidth::I32);
    CheckInteger(text, IntWidth::I64);
    CheckFloat(text, QChar(u'.'));
    CheckFloat(text, QChar(u','));
    return 0;
}
