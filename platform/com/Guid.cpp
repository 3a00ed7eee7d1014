#include "platform/com/Guid.h"

#include <array>

namespace {

// Positions of the hexadecimal digit pairs of each byte in the 38-character text, in the order
// Data1 (4 bytes, most significant first), Data2 (2), Data3 (2), Data4 (8).
constexpr std::array<int, 16> kBytePositions = {1,  3,  5,  7,  10, 12, 15, 17,
                                                20, 22, 25, 27, 29, 31, 33, 35};
constexpr int kTextLength = 38;

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

template <typename CharAt>
bool ParseGuid(size_t length, CharAt at, GUID* guid) {
    if (length != kTextLength || at(0) != '{' || at(37) != '}')
        return false;
    for (int dash : {9, 14, 19, 24})
        if (at(dash) != '-')
            return false;
    uint8_t bytes[16];
    for (size_t i = 0; i < kBytePositions.size(); ++i) {
        const int hi = HexValue(at(kBytePositions[i]));
        const int lo = HexValue(at(kBytePositions[i] + 1));
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = uint8_t(hi << 4 | lo);
    }
    GUID g;
    g.Data1 =
        uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    g.Data2 = uint16_t(bytes[4] << 8 | bytes[5]);
    g.Data3 = uint16_t(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = bytes[8 + i];
    *guid = g;
    return true;
}

} // namespace

QString GuidToString(REFGUID g) {
    static const char kDigits[] = "0123456789ABCDEF";
    char text[kTextLength + 1];
    text[0] = '{';
    text[9] = text[14] = text[19] = text[24] = '-';
    text[37] = '}';
    text[38] = 0;
    const uint8_t bytes[16] = {uint8_t(g.Data1 >> 24),
                               uint8_t(g.Data1 >> 16),
                               uint8_t(g.Data1 >> 8),
                               uint8_t(g.Data1),
                               uint8_t(g.Data2 >> 8),
                               uint8_t(g.Data2),
                               uint8_t(g.Data3 >> 8),
                               uint8_t(g.Data3),
                               g.Data4[0],
                               g.Data4[1],
                               g.Data4[2],
                               g.Data4[3],
                               g.Data4[4],
                               g.Data4[5],
                               g.Data4[6],
                               g.Data4[7]};
    for (size_t i = 0; i < kBytePositions.size(); ++i) {
        text[kBytePositions[i]] = kDigits[bytes[i] >> 4];
        text[kBytePositions[i] + 1] = kDigits[bytes[i] & 15];
    }
    return QString::fromLatin1(text, kTextLength);
}

bool GuidFromString(QStringView text, GUID* guid) {
    if (!guid)
        return false;
    return ParseGuid(
        size_t(text.size()), [&](int i) { return char16_t(text[i].unicode()); }, guid);
}

bool GuidFromLatin1(const char* text, size_t length, GUID* guid) {
    if (!text || !guid)
        return false;
    return ParseGuid(
        length, [&](int i) { return char16_t(uint8_t(text[i])); }, guid);
}
