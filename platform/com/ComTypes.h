#pragma once
// The fixed-width integer names and the rectangle that the media interfaces are declared with.
// They keep the published layouts of the format blocks and the interface signatures readable.
#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int32_t;
using LONGLONG = int64_t;
using ULONGLONG = uint64_t;

// A rectangle given by its edges; right and bottom lie just outside it.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};
static_assert(sizeof(RECT) == 16);
