// File names from the system as the filters carry them: any bytes become text that gives the
// same bytes back, and any text (UTF-16 units, lone surrogates included) becomes bytes whose
// text gives those bytes again.
#include "platform/filters/FilePaths.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (PathBytes(PathFromBytes(bytes)) != bytes)
        std::abort();
    const QString text(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    const QByteArray encoded = PathBytes(text);
    if (PathBytes(PathFromBytes(encoded)) != encoded)
        std::abort();
    return 0;
}
