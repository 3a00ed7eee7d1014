#include "platform/filters/AviHeaderProbe.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxDepth = 4;

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Is(const uint8_t* p, const char* fourcc) {
    return std::memcmp(p, fourcc, 4) == 0;
}

// Walks the chunks of [begin, end): "LIST" chunks are entered, a "strh" chunk is checked.
bool FindIavs(std::span<const uint8_t> bytes, size_t begin, size_t end, int depth) {
    size_t at = begin;
    while (at + 8 <= end) {
        const uint8_t* chunk = bytes.data() + at;
        const uint64_t size = Le32(chunk + 4);
        const size_t bodyEnd = size_t(std::min<uint64_t>(end, at + 8 + size));
        if (Is(chunk, "LIST") && at + 12 <= end) {
            if (Is(chunk + 8, "movi"))
                return false; // the headers are over
            if (depth < kMaxDepth && FindIavs(bytes, at + 12, bodyEnd, depth + 1))
                return true;
        } else if (Is(chunk, "strh") && at + 12 <= end && Is(chunk + 8, "iavs")) {
            return true;
        }
        at += 8 + size_t(std::min<uint64_t>(size + (size & 1), end - at));
    }
    return false;
}

} // namespace

bool HasInterleavedDVStream(std::span<const uint8_t> head) {
    if (head.size() < 12 || !Is(head.data(), "RIFF") || !Is(head.data() + 8, "AVI "))
        return false;
    return FindIavs(head, 12, head.size(), 0);
}
