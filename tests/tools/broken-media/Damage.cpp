#include "tests/tools/broken-media/Damage.h"

#include <random>

namespace kelvara::test {

namespace {

uint32_t Get32(const QByteArray& b, qsizetype at) {
    const auto u = [&](qsizetype k) { return uint32_t(uint8_t(b[at + k])); };
    return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}

std::string FourCC(const QByteArray& b, qsizetype at) {
    return b.mid(at, 4).toStdString();
}

void Walk(const QByteArray& b, qsizetype from, qsizetype end, const std::string& parent,
          std::vector<TAviChunk>& out, int depth) {
    qsizetype at = from;
    while (depth < 8 && at + 8 <= end && at + 8 <= b.size()) {
        TAviChunk c{FourCC(b, at), {}, at, Get32(b, at + 4), parent};
        const qsizetype dataEnd = std::min<qsizetype>(end, at + 8 + qsizetype(c.Size));
        if ((c.Id == "LIST" || c.Id == "RIFF") && at + 12 <= b.size()) {
            c.List = FourCC(b, at + 8);
            out.push_back(c);
            Walk(b, at + 12, dataEnd, c.List, out, depth + 1);
        } else {
            out.push_back(c);
        }
        at += 8 + qsizetype(c.Size) + (c.Size & 1);
    }
}

// RBSP of a NAL unit's payload: the emulation prevention bytes (00 00 03) taken out.
std::vector<uint8_t> Unescape(const uint8_t* p, size_t n) {
    std::vector<uint8_t> out;
    int zeros = 0;
    for (size_t i = 0; i < n; ++i) {
        if (zeros >= 2 && p[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = p[i] == 0 ? zeros + 1 : 0;
        out.push_back(p[i]);
    }
    return out;
}

std::vector<uint8_t> Escape(const std::vector<uint8_t>& rbsp) {
    std::vector<uint8_t> out;
    int zeros = 0;
    for (uint8_t v : rbsp) {
        if (zeros >= 2 && v <= 3) {
            out.push_back(3);
            zeros = 0;
        }
        zeros = v == 0 ? zeros + 1 : 0;
        out.push_back(v);
    }
    return out;
}

class TBitReader {
public:
    explicit TBitReader(const std::vector<uint8_t>& bytes) : FBytes(bytes) {}
    bool Ok() const { return FOk; }
    uint32_t Bit() {
        if (FPos >= FBytes.size() * 8) {
            FOk = false;
            return 0;
        }
        const uint32_t bit = (FBytes[FPos / 8] >> (7 - FPos % 8)) & 1;
        ++FPos;
        return bit;
    }
    uint32_t Bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 1 | Bit();
        return v;
    }
    uint32_t Ue() {
        int zeros = 0;
        while (FOk && Bit() == 0 && zeros < 32)
            ++zeros;
        if (zeros >= 32)
            FOk = false;
        return FOk ? (1u << zeros) - 1 + Bits(zeros) : 0;
    }

private:
    const std::vector<uint8_t>& FBytes;
    size_t FPos = 0;
    bool FOk = true;
};

class TBitWriter {
public:
    void Bit(uint32_t bit) {
        if (FUsed % 8 == 0)
            FBytes.push_back(0);
        if (bit)
            FBytes.back() |= uint8_t(0x80 >> (FUsed % 8));
        ++FUsed;
    }
    void Bits(uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i)
            Bit((v >> i) & 1);
    }
    void Ue(uint32_t v) {
        const uint64_t x = uint64_t(v) + 1;
        int length = 0;
        while ((x >> length) > 1)
            ++length;
        Bits(0, length);
        for (int i = length; i >= 0; --i)
            Bit(uint32_t(x >> i) & 1);
    }
    std::vector<uint8_t> Finish() {
        Bit(1); // rbsp_stop_one_bit, then zero bits to the byte's end
        return FBytes;
    }

private:
    std::vector<uint8_t> FBytes;
    size_t FUsed = 0;
};

bool HighProfile(uint32_t profile) {
    for (uint32_t p : {100u, 110u, 122u, 244u, 44u, 83u, 86u, 118u, 128u, 138u, 139u, 134u, 135u})
        if (profile == p)
            return true;
    return false;
}

// The SPS RBSP (after the NAL header byte) with another picture size; empty if its form is one
// this does not copy (scaling matrices, picture order type 1).
std::vector<uint8_t> ResizedSps(const std::vector<uint8_t>& rbsp, uint32_t widthMbs,
                                uint32_t heightMbs) {
    TBitReader r(rbsp);
    TBitWriter w;
    const auto copyBits = [&](int n) { w.Bits(r.Bits(n), n); };
    const auto copyUe = [&] { w.Ue(r.Ue()); };
    const uint32_t profile = r.Bits(8);
    w.Bits(profile, 8);
    copyBits(16); // constraint flags, level
    copyUe();     // seq_parameter_set_id
    if (HighProfile(profile)) {
        const uint32_t chroma = r.Ue();
        w.Ue(chroma);
        if (chroma == 3)
            copyBits(1);
        copyUe();    // bit depth luma
        copyUe();    // bit depth chroma
        copyBits(1); // qpprime_y_zero_transform_bypass
        if (r.Bits(1))
            return {}; // scaling matrices
        w.Bits(0, 1);
    }
    copyUe(); // log2_max_frame_num_minus4
    const uint32_t pocType = r.Ue();
    w.Ue(pocType);
    if (pocType == 0)
        copyUe();
    else if (pocType == 1)
        return {};
    copyUe();    // max_num_ref_frames
    copyBits(1); // gaps_in_frame_num_allowed
    r.Ue();
    r.Ue();
    w.Ue(widthMbs - 1);
    w.Ue(heightMbs - 1);
    const uint32_t frameMbsOnly = r.Bits(1);
    w.Bits(frameMbsOnly, 1);
    if (!frameMbsOnly)
        copyBits(1);
    copyBits(1);  // direct_8x8_inference
    w.Bits(0, 1); // no cropping
    w.Bits(0, 1); // no VUI
    if (!r.Ok())
        return {};
    return w.Finish();
}

} // namespace

QByteArray Truncated(const QByteArray& bytes, double keep) {
    return bytes.left(std::max<qsizetype>(1, qsizetype(double(bytes.size()) * keep)));
}

QByteArray FlipBits(const QByteArray& bytes, uint32_t seed, int count) {
    QByteArray out = bytes;
    if (out.isEmpty())
        return out;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<qsizetype> at(0, out.size() - 1);
    std::uniform_int_distribution<int> bit(0, 7);
    for (int i = 0; i < count; ++i) {
        const qsizetype where = at(rng);
        out[where] = char(uint8_t(out[where]) ^ uint8_t(1u << bit(rng)));
    }
    return out;
}

QByteArray Zeroed(QByteArray bytes, qsizetype from, qsizetype length) {
    for (qsizetype i = std::max<qsizetype>(0, from); i < from + length && i < bytes.size(); ++i)
        bytes[i] = 0;
    return bytes;
}

std::vector<TAviChunk> AviChunks(const QByteArray& bytes) {
    std::vector<TAviChunk> chunks;
    Walk(bytes, 0, bytes.size(), {}, chunks, 0);
    return chunks;
}

void Put32(QByteArray& bytes, qsizetype offset, uint32_t value) {
    for (int k = 0; k < 4 && offset + k < bytes.size(); ++k)
        bytes[offset + k] = char(uint8_t(value >> (8 * k)));
}

std::optional<std::pair<qsizetype, qsizetype>> FirstAviFrame(const QByteArray& bytes) {
    for (const TAviChunk& c : AviChunks(bytes))
        if (c.Parent == "movi" && c.Id.size() == 4 &&
            (c.Id.substr(2) == "dc" || c.Id.substr(2) == "db"))
            return std::make_pair(c.Offset + 8, qsizetype(c.Size));
    return std::nullopt;
}

int PatchSequenceHeaders(QByteArray& bytes, int width, int height, bool transportStream) {
    static const QByteArray start("\x00\x00\x01\xB3", 4);
    int patched = 0;
    for (qsizetype at = bytes.indexOf(start); at >= 0 && at + 7 <= bytes.size();
         at = bytes.indexOf(start, at + 4)) {
        if (transportStream && (at % 188) + 7 >= 188)
            continue;
        // 12 bits of width, 12 of height, then aspect and rate.
        bytes[at + 4] = char(uint8_t(width >> 4));
        bytes[at + 5] = char(uint8_t((width & 0xF) << 4 | (height >> 8 & 0xF)));
        bytes[at + 6] = char(uint8_t(height & 0xFF));
        ++patched;
    }
    return patched;
}

int PatchJpegFrameHeaders(QByteArray& bytes, int width, int height) {
    int patched = 0;
    for (qsizetype at = 0; at + 9 <= bytes.size(); ++at) {
        const uint8_t marker = uint8_t(bytes[at + 1]);
        if (uint8_t(bytes[at]) != 0xFF || (marker != 0xC0 && marker != 0xC1))
            continue;
        // FF C0, length (2), precision (1), height (2), width (2).
        if (uint8_t(bytes[at + 4]) != 8)
            continue;
        bytes[at + 5] = char(uint8_t(height >> 8));
        bytes[at + 6] = char(uint8_t(height));
        bytes[at + 7] = char(uint8_t(width >> 8));
        bytes[at + 8] = char(uint8_t(width));
        ++patched;
    }
    return patched;
}

int PatchAvcPictureSize(QByteArray& bytes, uint32_t widthMbs, uint32_t heightMbs) {
    const qsizetype box = bytes.indexOf("avcC");
    // version, profile, compatibility, level, length size, SPS count, SPS length, SPS.
    if (box < 0 || box + 12 > bytes.size() || uint8_t(bytes[box + 4]) != 1 ||
        (uint8_t(bytes[box + 9]) & 0x1F) == 0)
        return 0;
    const qsizetype length = qsizetype(uint8_t(bytes[box + 10])) << 8 | uint8_t(bytes[box + 11]);
    const qsizetype nal = box + 12;
    if (length < 2 || nal + length > bytes.size())
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData()) + nal;
    const std::vector<uint8_t> rbsp = Unescape(p + 1, size_t(length - 1));
    const std::vector<uint8_t> resized = ResizedSps(rbsp, widthMbs, heightMbs);
    if (resized.empty())
        return 0;
    const std::vector<uint8_t> escaped = Escape(resized);
    if (qsizetype(escaped.size()) > length - 1)
        return 0;
    for (qsizetype i = 0; i < length - 1; ++i)
        bytes[nal + 1 + i] = i < qsizetype(escaped.size()) ? char(escaped[size_t(i)]) : char(0);
    return 1;
}

} // namespace kelvara::test
