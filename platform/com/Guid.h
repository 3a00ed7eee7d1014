#pragma once
// 128-bit identifiers of classes, interfaces and media types, with their registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hexadecimal, 8-4-4-4-12 in braces).
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

#include <QString>
#include <QStringView>

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
    friend constexpr std::strong_ordering operator<=>(const GUID&, const GUID&) = default;
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
QString GuidToString(REFGUID guid);

// Reads the registry text form (38 characters, braces included, hexadecimal digits in either
// case). Returns false, leaving *guid untouched, for any other text.
bool GuidFromString(QStringView text, GUID* guid);

// The same two on 8-bit text, for callers outside the toolkit (modules, tools, fuzz targets).
bool GuidFromLatin1(const char* text, size_t length, GUID* guid);

template <>
struct std::hash<GUID> {
    size_t operator()(const GUID& g) const noexcept {
        uint64_t lo = (uint64_t(g.Data1) << 32) | (uint64_t(g.Data2) << 16) | g.Data3;
        uint64_t hi = 0;
        for (uint8_t b : g.Data4)
            hi = (hi << 8) | b;
        return std::hash<uint64_t>()(lo ^ (hi * 0x9E3779B97F4A7C15ull));
    }
};
