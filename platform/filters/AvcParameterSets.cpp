#include "platform/filters/AvcParameterSets.h"

namespace {

constexpr uint8_t kNalSps = 7;
constexpr uint8_t kNalPps = 8;

struct TUnits {
    std::vector<std::span<const uint8_t>> sps, pps;
};

// Reads count entries of [2-byte length][NAL] at *at; false when one runs past the end.
bool ReadPrefixed(std::span<const uint8_t> bytes, size_t* at, size_t count,
                  std::vector<std::span<const uint8_t>>* out) {
    for (size_t i = 0; i < count; ++i) {
        if (*at + 2 > bytes.size())
            return false;
        const size_t length = size_t(bytes[*at]) << 8 | bytes[*at + 1];
        *at += 2;
        if (length == 0 || *at + length > bytes.size())
            return false;
        out->push_back(bytes.subspan(*at, length));
        *at += length;
    }
    return true;
}

void AppendPrefixed(std::vector<uint8_t>* out, std::span<const uint8_t> unit) {
    out->push_back(uint8_t(unit.size() >> 8));
    out->push_back(uint8_t(unit.size()));
    out->insert(out->end(), unit.begin(), unit.end());
}

} // namespace

std::optional<TAvcSequenceHeader> SequenceHeaderFromAvcC(std::span<const uint8_t> avcC) {
    if (avcC.size() < 7 || avcC[0] != 1)
        return std::nullopt;
    TAvcSequenceHeader header;
    header.profile = avcC[1];
    header.level = avcC[3];
    header.nalLengthSize = (avcC[4] & 0x03) + 1;
    size_t at = 6;
    std::vector<std::span<const uint8_t>> sps, pps;
    if (!ReadPrefixed(avcC, &at, avcC[5] & 0x1F, &sps) || at >= avcC.size())
        return std::nullopt;
    const size_t ppsCount = avcC[at++];
    if (!ReadPrefixed(avcC, &at, ppsCount, &pps) || sps.empty())
        return std::nullopt;
    for (const auto& unit : sps)
        AppendPrefixed(&header.sets, unit);
    for (const auto& unit : pps)
        AppendPrefixed(&header.sets, unit);
    return header;
}

std::vector<uint8_t> AvcCFromSequenceHeader(std::span<const uint8_t> sets, int nalLengthSize) {
    if (nalLengthSize != 1 && nalLengthSize != 2 && nalLengthSize != 4)
        return {};
    TUnits units;
    size_t at = 0;
    while (at < sets.size()) {
        std::vector<std::span<const uint8_t>> one;
        if (!ReadPrefixed(sets, &at, 1, &one))
            return {};
        const uint8_t type = one[0][0] & 0x1F;
        if (type == kNalSps)
            units.sps.push_back(one[0]);
        else if (type == kNalPps)
            units.pps.push_back(one[0]);
    }
    if (units.sps.empty() || units.sps[0].size() < 4 || units.sps.size() > 31 ||
        units.pps.size() > 255)
        return {};
    std::vector<uint8_t> avcC = {1,
                                 units.sps[0][1],
                                 units.sps[0][2],
                                 units.sps[0][3],
                                 uint8_t(0xFC | (nalLengthSize - 1)),
                                 uint8_t(0xE0 | units.sps.size())};
    for (const auto& unit : units.sps)
        AppendPrefixed(&avcC, unit);
    avcC.push_back(uint8_t(units.pps.size()));
    for (const auto& unit : units.pps)
        AppendPrefixed(&avcC, unit);
    return avcC;
}
