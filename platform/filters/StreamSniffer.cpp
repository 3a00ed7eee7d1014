#include "platform/filters/StreamSniffer.h"

#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

bool StartsWith(std::span<const uint8_t> head, size_t at, const char* text) {
    const size_t n = std::strlen(text);
    return head.size() >= at + n && std::memcmp(head.data() + at, text, n) == 0;
}

// Sync bytes every `stride` bytes from `first`, for at least three packets.
bool IsTransportStream(std::span<const uint8_t> head, size_t first, size_t stride) {
    int seen = 0;
    for (size_t at = first; at < head.size() && seen < 5; at += stride, ++seen)
        if (head[at] != 0x47)
            return false;
    return seen >= 3;
}

} // namespace

long FindPackHeader(std::span<const uint8_t> head) {
    const size_t n = std::min(head.size(), kSniffBytes);
    for (size_t i = 0; i + 4 < n; ++i)
        if (head[i] == 0 && head[i + 1] == 0 && head[i + 2] == 1 && head[i + 3] == 0xBA)
            return long(i);
    return -1;
}

GUID SniffStreamSubtype(std::span<const uint8_t> head) {
    if (StartsWith(head, 0, "RIFF") && (StartsWith(head, 8, "AVI ") || StartsWith(head, 8, "AVIX")))
        return MEDIASUBTYPE_Avi;
    if ((StartsWith(head, 0, "RIFF") || StartsWith(head, 0, "RF64")) && StartsWith(head, 8, "WAVE"))
        return MEDIASUBTYPE_WAVE;
    if (head.size() >= 16 && std::memcmp(head.data(), kAsfHeader, 16) == 0)
        return MEDIASUBTYPE_Asf;
    if (IsTransportStream(head, 0, 188) || IsTransportStream(head, 4, 192))
        return MEDIASUBTYPE_MPEG2_TRANSPORT;
    const long pack = FindPackHeader(head);
    if (pack >= 0 && size_t(pack) + 4 < head.size()) {
        const uint8_t marker = head[size_t(pack) + 4];
        if ((marker & 0xC0) == 0x40)
            return MEDIASUBTYPE_MPEG2_PROGRAM;
        if ((marker & 0xF0) == 0x20)
            return MEDIASUBTYPE_MPEG1System;
    }
    if (head.size() >= 4 && head[0] == 0 && head[1] == 0 && head[2] == 1 && head[3] == 0xB3)
        return MEDIASUBTYPE_MPEG1Video;
    return GUID_NULL;
}
