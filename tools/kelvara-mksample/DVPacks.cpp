#include "DVPacks.h"

#include <cstring>

namespace {

constexpr size_t kSequenceSize = 12000;

uint8_t Bcd(int v) {
    return uint8_t((v / 10) << 4 | (v % 10));
}

} // namespace

void ForEachDVPack(std::span<uint8_t> frame, const std::function<void(uint8_t* pack)>& visit) {
    for (size_t base = 0; base + kSequenceSize <= frame.size(); base += kSequenceSize) {
        uint8_t* s = frame.data() + base;
        for (size_t block : {80, 160}) // subcode: six packs after each sync block's ID
            for (size_t k = 6; k < 6 + 6 * 8; k += 8)
                visit(s + block + k);
        for (size_t block : {240, 320, 400}) // VAUX: fifteen packs after the block ID
            for (size_t k = 0; k < 15; ++k)
                visit(s + block + 3 + 5 * k);
        for (size_t j = 0; j < 9; ++j) // AAUX: one pack at the start of each audio block
            visit(s + 6 * 80 + j * 16 * 80 + 3);
    }
}

void RemoveDVPacks(std::span<uint8_t> frame, std::initializer_list<uint8_t> headers) {
    ForEachDVPack(frame, [&](uint8_t* pack) {
        for (uint8_t h : headers)
            if (pack[0] == h)
                std::memset(pack, 0xFF, 5);
    });
}

void SetDVRecordingDay(std::span<uint8_t> frame, int day, int month) {
    ForEachDVPack(frame, [&](uint8_t* pack) {
        if (pack[0] != 0x62 && pack[0] != 0x52)
            return;
        pack[2] = uint8_t((pack[2] & 0xC0) | Bcd(day));
        pack[3] = uint8_t((pack[3] & 0xE0) | Bcd(month));
    });
}

bool FindDVPack(std::span<const uint8_t> frame, uint8_t header, uint8_t data[4]) {
    bool found = false;
    // The visitor does not write; the const_cast only lets the one walker serve both uses.
    std::span<uint8_t> bytes(const_cast<uint8_t*>(frame.data()), frame.size());
    ForEachDVPack(bytes, [&](uint8_t* pack) {
        if (!found && pack[0] == header) {
            std::memcpy(data, pack + 1, 4);
            found = true;
        }
    });
    return found;
}
