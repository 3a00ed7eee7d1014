// Position texts of any content through ParsePositionText, with a frame duration taken from the
// first eight bytes; the parsed position goes back through FormatPositionText, and the values
// also feed FitRectToAspect, whose arithmetic must not overflow.
#include "taps/uMediaDescriptions.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int64_t duration = 400000;
    if (size >= 8) {
        std::memcpy(&duration, data, 8);
        data += 8;
        size -= 8;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const int64_t position = ParsePositionText(text, duration);
    FormatPositionText(duration, position);
    FormatPositionText(position, duration);
    const auto a = int32_t(duration), b = int32_t(duration >> 32), c = int32_t(position),
               d = int32_t(position >> 32);
    FitRectToAspect(a, b, TRect{c, d, b, a}, (a & 1) != 0, d);
    return 0;
}
