#include "platform/graph/GraphTypes.h"

#include <algorithm>

void CopyToNameBuffer(const QString& text, WCHAR* buffer, int capacity) {
    if (!buffer || capacity <= 0)
        return;
    const int n = std::min<int>(int(text.size()), capacity - 1);
    std::copy_n(reinterpret_cast<const WCHAR*>(text.utf16()), n, buffer);
    buffer[n] = 0;
}
