#include "DVAudio.h"

#include "AvPtr.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr size_t kSequenceSize = 12000;
constexpr size_t kAudioBlock0 = 6 * 80; // the first audio block of a sequence
constexpr size_t kAudioBlockStep = 16 * 80;

int RateIndex(int rate) {
    switch (rate) {
    case 48000:
        return 0;
    case 44100:
        return 1;
    case 32000:
        return 2;
    default:
        throw TClipError("DV audio is 48000, 44100 or 32000 Hz");
    }
}

uint8_t* AudioBlock(std::span<uint8_t> frame, int sequence, int block) {
    return frame.data() + size_t(sequence) * kSequenceSize + kAudioBlock0 +
           size_t(block) * kAudioBlockStep;
}

// Decoded value of every 12-bit code, for the nearest-code search.
struct TCodeTable {
    std::vector<std::pair<int, uint16_t>> Sorted; // (16-bit value, code), by value
    TCodeTable() {
        for (int code = 0; code < 4096; ++code)
            if (code != 0x800) // the no-sample code
                Sorted.emplace_back(DVDecode12(uint16_t(code)), uint16_t(code));
        std::sort(Sorted.begin(), Sorted.end());
    }
};

} // namespace

TDVAudioPosition DVAudioPosition(bool pal, int64_t n, bool twelveBit) {
    // One channel's samples cycle over the sequences of half a frame and the nine audio blocks;
    // each pass fills one sample slot (two bytes, or three for a 12-bit pair) of every block.
    const int64_t half = pal ? 6 : 5;
    const int64_t perPass = 9 * half; // 54 or 45
    TDVAudioPosition p;
    p.Sequence = int((n / 3 + 2 * (n % 3)) % half);
    p.Block = int(3 * (n % 3) + (n % perPass) / (perPass / 3));
    p.Byte = int(8 + (twelveBit ? 3 : 2) * (n / perPass));
    return p;
}

int DVAudioMinSamples(bool pal, int rate) {
    static const int pal625[] = {1896, 1742, 1264}, ntsc525[] = {1580, 1452, 1053};
    return (pal ? pal625 : ntsc525)[RateIndex(rate)];
}

int DVAudioMaxSamples(bool pal, int rate) {
    static const int pal625[] = {1944, 1786, 1296}, ntsc525[] = {1620, 1489, 1080};
    return (pal ? pal625 : ntsc525)[RateIndex(rate)];
}

int64_t DVAudioSamplesBefore(bool pal, int rate, int64_t frame) {
    RateIndex(rate);
    if (pal)
        return frame * rate / 25;
    if (rate == 48000)
        return frame / 5 * 8008 + (frame % 5 == 0 ? 0 : 1600 + (frame % 5 - 1) * 1602);
    return frame * rate * 1001 / 30000;
}

int DVAudioSamplesInFrame(bool pal, int rate, int64_t frame) {
    return int(DVAudioSamplesBefore(pal, rate, frame + 1) - DVAudioSamplesBefore(pal, rate, frame));
}

int16_t DVDecode12(uint16_t code) {
    // Signed 12-bit value; from ±512 outwards each segment of 256 codes doubles its step, so
    // that the 12 bits span the 16-bit range.
    const int v = (code & 0x800) ? int(code & 0xFFF) - 4096 : int(code & 0xFFF);
    if (v >= -512 && v < 512)
        return int16_t(v);
    if (v >= 512) {
        const int segment = v / 256 - 1; // 1..6
        return int16_t((v - 256 * segment) << segment);
    }
    const int segment = (-v - 1) / 256 - 1; // 1..6
    return int16_t(((v + 256 * segment + 1) << segment) - 1);
}

uint16_t DVEncode12(int16_t sample) {
    static const TCodeTable table;
    const auto& t = table.Sorted;
    auto it = std::lower_bound(t.begin(), t.end(), std::pair<int, uint16_t>(sample, 0));
    if (it == t.end())
        return std::prev(it)->second;
    if (it != t.begin() && sample - std::prev(it)->first < it->first - sample)
        return std::prev(it)->second;
    return it->second;
}

void WriteDVAudio(std::span<uint8_t> frame, bool pal, int rate, int bits, const int16_t* stereo,
                  int count) {
    const int sequences = pal ? 12 : 10, half = sequences / 2;
    if (frame.size() < size_t(sequences) * kSequenceSize)
        throw TClipError("DV frame too short for its audio");
    if (count < DVAudioMinSamples(pal, rate) || count > DVAudioMaxSamples(pal, rate))
        throw TClipError("DV audio sample count out of range");
    const bool twelve = bits == 12;
    const int perPass = 9 * half;
    const int slots = (twelve ? 24 : 36) * perPass;
    for (int n = 0; n < slots; ++n) {
        const TDVAudioPosition p = DVAudioPosition(pal, n, twelve);
        const bool used = n < count;
        if (twelve) {
            const uint16_t l = used ? DVEncode12(stereo[2 * n]) : 0x800;
            const uint16_t r = used ? DVEncode12(stereo[2 * n + 1]) : 0x800;
            uint8_t* a = AudioBlock(frame, p.Sequence, p.Block) + p.Byte;
            a[0] = uint8_t(l >> 4);
            a[1] = uint8_t(r >> 4);
            a[2] = uint8_t((l & 0xF) << 4 | (r & 0xF));
            uint8_t* b = AudioBlock(frame, p.Sequence + half, p.Block) + p.Byte;
            const uint16_t silent = used ? 0x000 : 0x800;
            b[0] = b[1] = uint8_t(silent >> 4);
            b[2] = uint8_t((silent & 0xF) << 4 | (silent & 0xF));
        } else {
            for (int ch = 0; ch < 2; ++ch) {
                const uint16_t v = used ? uint16_t(stereo[2 * n + ch]) : 0x8000;
                uint8_t* a = AudioBlock(frame, p.Sequence + ch * half, p.Block) + p.Byte;
                a[0] = uint8_t(v >> 8);
                a[1] = uint8_t(v & 0xFF);
            }
        }
    }
    const uint8_t smp = uint8_t(RateIndex(rate)), qu = twelve ? 1 : 0;
    const uint8_t extra = uint8_t(count - DVAudioMinSamples(pal, rate));
    for (int s = 0; s < sequences; ++s)
        for (int b = 0; b < 9; ++b) {
            uint8_t* pack = AudioBlock(frame, s, b) + 3;
            if (pack[0] != 0x50)
                continue;
            pack[1] = uint8_t((pack[1] & 0xC0) | extra);
            pack[4] = uint8_t((pack[4] & 0xC0) | smp << 3 | qu);
        }
}
