#include "platform/filters/DVFrameInfo.h"

#include <algorithm>
#include <array>

namespace {

constexpr size_t kBlock = 80;
constexpr size_t kAudioBlock0 = 6 * kBlock; // first audio block of a sequence
constexpr size_t kAudioBlockStep = 16 * kBlock;
constexpr size_t kVauxBlock0 = 3 * kBlock;
constexpr uint8_t kAudioSourcePack = 0x50;
constexpr uint8_t kAudioControlPack = 0x51;
constexpr uint8_t kVideoSourcePack = 0x60;
constexpr uint8_t kVideoControlPack = 0x61;
constexpr uint16_t kNoSample16 = 0x8000;

bool HasSequence(std::span<const uint8_t> frame, int sequence) {
    return sequence >= 0 && frame.size() >= (size_t(sequence) + 1) * kDVSequenceBytes;
}

DWORD PackBody(const std::optional<std::array<uint8_t, 5>>& pack) {
    if (!pack)
        return 0;
    return DWORD((*pack)[1]) | DWORD((*pack)[2]) << 8 | DWORD((*pack)[3]) << 16 |
           DWORD((*pack)[4]) << 24;
}

int MinSamples(bool pal, int rateCode) {
    static const int pal625[] = {1896, 1742, 1264}, ntsc525[] = {1580, 1452, 1053};
    return (pal ? pal625 : ntsc525)[rateCode];
}

// Where sample n of a channel lies: the channel's samples cycle over the sequences of its half
// of the frame and the nine audio blocks, one sample slot of every block per pass.
struct TSlot {
    int sequence;
    int block;
    size_t byte;
};
TSlot SlotOf(int n, int half, bool twelveBit) {
    const int perPass = 9 * half;
    TSlot s;
    s.sequence = (n / 3 + 2 * (n % 3)) % half;
    s.block = 3 * (n % 3) + (n % perPass) / (perPass / 3);
    s.byte = size_t(8 + (twelveBit ? 3 : 2) * (n / perPass));
    return s;
}

// The non-linear 12-bit code of the 32 kHz four-channel mode, expanded to 16 bits.
int16_t Expand12(uint16_t code) {
    uint16_t sample = code < 0x800 ? code : uint16_t(code | 0xF000);
    uint16_t shift = uint16_t((sample & 0xF00) >> 8);
    if (shift < 0x2 || shift > 0xD)
        return int16_t(sample);
    if (shift < 0x8) {
        --shift;
        return int16_t(uint16_t((sample - 256 * shift) << shift));
    }
    shift = uint16_t(0xE - shift);
    return int16_t(uint16_t(((sample + (256 * shift + 1)) << shift) - 1));
}

} // namespace

std::optional<TDVSystem> ReadDVSystem(std::span<const uint8_t> frame) {
    if (frame.size() < kBlock || (frame[0] & 0xE0) != 0)
        return std::nullopt;
    TDVSystem s;
    s.pal = (frame[3] & 0x80) != 0;
    s.sequences = s.pal ? 12 : 10;
    s.frameBytes = s.pal ? kDVFrameBytes625 : kDVFrameBytes525;
    s.frameDuration = s.pal ? 400000 : 333667;
    return s;
}

std::optional<int> ReadDVSequenceNumber(std::span<const uint8_t> data) {
    static constexpr uint8_t kSectionTypes[] = {0, 1, 1, 2, 2, 2};
    if (data.size() < std::size(kSectionTypes) * kBlock)
        return std::nullopt;
    for (size_t b = 0; b < std::size(kSectionTypes); ++b)
        if (data[b * kBlock] >> 5 != kSectionTypes[b])
            return std::nullopt;
    return data[1] >> 4;
}

bool IsRecordedDVFrame(std::span<const uint8_t> frame) {
    // The header block's ID: section type 0 and the first sequence of the first channel.
    return ReadDVSystem(frame) && frame.size() >= 3 && (frame[1] & 0xF0) == 0 && frame[2] == 0 &&
           FindDVPack(frame, 0, kVideoSourcePack).has_value();
}

std::optional<std::array<uint8_t, 5>> FindDVPack(std::span<const uint8_t> frame, int sequence,
                                                 uint8_t id) {
    if (!HasSequence(frame, sequence))
        return std::nullopt;
    const uint8_t* base = frame.data() + size_t(sequence) * kDVSequenceBytes;
    std::array<uint8_t, 5> pack{};
    if (id >= kVideoSourcePack) {
        for (size_t b = 0; b < 3; ++b)
            for (size_t p = 0; p < 15; ++p) {
                const uint8_t* at = base + kVauxBlock0 + b * kBlock + 3 + p * 5;
                if (at[0] == id) {
                    std::copy_n(at, 5, pack.begin());
                    return pack;
                }
            }
        return std::nullopt;
    }
    for (size_t b = 0; b < 9; ++b) {
        const uint8_t* at = base + kAudioBlock0 + b * kAudioBlockStep + 3;
        if (at[0] == id) {
            std::copy_n(at, 5, pack.begin());
            return pack;
        }
    }
    return std::nullopt;
}

DVINFO ReadDVInfo(std::span<const uint8_t> frame) {
    DVINFO info;
    const std::optional<TDVSystem> system = ReadDVSystem(frame);
    const int half = system ? system->sequences / 2 : 6;
    info.dwDVAAuxSrc = PackBody(FindDVPack(frame, 0, kAudioSourcePack));
    info.dwDVAAuxCtl = PackBody(FindDVPack(frame, 0, kAudioControlPack));
    info.dwDVAAuxSrc1 = PackBody(FindDVPack(frame, half, kAudioSourcePack));
    info.dwDVAAuxCtl1 = PackBody(FindDVPack(frame, half, kAudioControlPack));
    info.dwDVVAuxSrc = PackBody(FindDVPack(frame, 0, kVideoSourcePack));
    info.dwDVVAuxCtl = PackBody(FindDVPack(frame, 0, kVideoControlPack));
    return info;
}

std::optional<TDVAudioFormat> ReadDVAudioFormat(std::span<const uint8_t> frame) {
    const std::optional<TDVSystem> system = ReadDVSystem(frame);
    if (!system)
        return std::nullopt;
    const auto pack = FindDVPack(frame, 0, kAudioSourcePack);
    if (!pack)
        return std::nullopt;
    const int rateCode = ((*pack)[4] >> 3) & 0x07;
    const int quantisation = (*pack)[4] & 0x07;
    if (rateCode > 2 || quantisation > 1)
        return std::nullopt;
    static const int rates[] = {48000, 44100, 32000};
    TDVAudioFormat f;
    f.rate = rates[rateCode];
    f.bits = quantisation == 0 ? 16 : 12;
    f.samples = MinSamples(system->pal, rateCode) + ((*pack)[1] & 0x3F);
    return f;
}

bool ExtractDVAudio(std::span<const uint8_t> frame, const TDVAudioFormat& format,
                    std::vector<int16_t>* stereo) {
    const std::optional<TDVSystem> system = ReadDVSystem(frame);
    if (!system || !stereo || frame.size() < system->frameBytes ||
        (format.bits != 16 && format.bits != 12))
        return false;
    const int half = system->sequences / 2;
    const bool twelve = format.bits == 12;
    const int slotCount = (twelve ? 24 : 36) * 9 * half;
    const int count = std::min(format.samples, slotCount);
    const size_t first = stereo->size();
    stereo->resize(first + 2 * size_t(count));
    int16_t* out = stereo->data() + first;
    for (int n = 0; n < count; ++n) {
        const TSlot s = SlotOf(n, half, twelve);
        const size_t block = kAudioBlock0 + size_t(s.block) * kAudioBlockStep + s.byte;
        if (twelve) {
            const uint8_t* a = frame.data() + size_t(s.sequence) * kDVSequenceBytes + block;
            const uint16_t l = uint16_t(a[0] << 4 | a[2] >> 4);
            const uint16_t r = uint16_t(a[1] << 4 | (a[2] & 0x0F));
            out[2 * n] = l == 0x800 ? 0 : Expand12(l);
            out[2 * n + 1] = r == 0x800 ? 0 : Expand12(r);
            continue;
        }
        for (int ch = 0; ch < 2; ++ch) {
            const uint8_t* a =
                frame.data() + size_t(s.sequence + ch * half) * kDVSequenceBytes + block;
            const uint16_t v = uint16_t(a[0] << 8 | a[1]);
            out[2 * n + ch] = v == kNoSample16 ? 0 : int16_t(v);
        }
    }
    return true;
}
