// GUID texts come from the preferences, the registry hive and scripts: parsing must accept only
// the registry form and never read out of bounds; an accepted text must print back the same
// (upper-cased).
#include "platform/com/Guid.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GUID g;
    const bool latin1 = GuidFromLatin1(reinterpret_cast<const char*>(data), size, &g);
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    GUID g2;
    const bool wide = GuidFromString(text, &g2);
    if (latin1 != wide)
        std::abort();
    if (latin1) {
        if (!(g == g2) || GuidToString(g) != text.toUpper())
            std::abort();
    }
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    const QString utf16 = QString::fromStdU16String(units);
    GuidFromString(utf16, &g2);
    return 0;
}
