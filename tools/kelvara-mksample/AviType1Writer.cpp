#include "AviType1Writer.h"

#include "AvPtr.h"
#include "DVPacks.h"

#include <cstring>
#include <fstream>
#include <span>

namespace {

constexpr uint64_t kMaxRiffSize = uint64_t(1) << 30;

class TRiffBuilder {
public:
    std::vector<uint8_t> Bytes;

    void FourCC(const char* id) { Bytes.insert(Bytes.end(), id, id + 4); }
    void U16(uint16_t v) {
        for (int i = 0; i < 2; ++i)
            Bytes.push_back(uint8_t(v >> (8 * i)));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            Bytes.push_back(uint8_t(v >> (8 * i)));
    }
    void Data(const uint8_t* p, size_t n) { Bytes.insert(Bytes.end(), p, p + n); }

    // Opens a chunk (or a RIFF/LIST with its type) and returns where its size goes.
    size_t Begin(const char* id, const char* listType = nullptr) {
        FourCC(id);
        const size_t at = Bytes.size();
        U32(0);
        if (listType)
            FourCC(listType);
        return at;
    }
    void End(size_t sizeAt) {
        const uint32_t size = uint32_t(Bytes.size() - sizeAt - 4);
        for (int i = 0; i < 4; ++i)
            Bytes[sizeAt + size_t(i)] = uint8_t(size >> (8 * i));
        if (Bytes.size() % 2)
            Bytes.push_back(0);
    }
};

uint32_t PackDword(std::span<const uint8_t> frame, uint8_t header) {
    uint8_t data[4] = {0, 0, 0, 0};
    if (!FindDVPack(frame, header, data))
        return 0;
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
           uint32_t(data[3]) << 24;
}

void WriteDVInfo(TRiffBuilder& r, const std::vector<uint8_t>& frame0, bool pal) {
    const std::span<const uint8_t> all(frame0);
    const std::span<const uint8_t> secondHalf = all.subspan(size_t(pal ? 6 : 5) * 12000);
    r.U32(PackDword(all, 0x50));        // dwDVAAuxSrc
    r.U32(PackDword(all, 0x51));        // dwDVAAuxCtl
    r.U32(PackDword(secondHalf, 0x50)); // dwDVAAuxSrc1
    r.U32(PackDword(secondHalf, 0x51)); // dwDVAAuxCtl1
    r.U32(PackDword(all, 0x60));        // dwDVVAuxSrc
    r.U32(PackDword(all, 0x61));        // dwDVVAuxCtl
    r.U32(0);
    r.U32(0);
}

} // namespace

void WriteType1Avi(const std::string& path, const TDVFrames& frames, bool pal) {
    if (frames.empty())
        throw TClipError("no DV frames to write");
    const uint32_t frameSize = uint32_t(frames[0].size());
    if (uint64_t(frameSize + 8) * frames.size() + 4096 >= kMaxRiffSize)
        throw TClipError("a type-1 AVI without OpenDML extensions must stay below 1 GiB");
    const uint32_t count = uint32_t(frames.size());
    const uint32_t scale = pal ? 1 : 1001, rate = pal ? 25 : 30000;
    const uint32_t width = 720, height = pal ? 576 : 480;
    TRiffBuilder r;
    const size_t riff = r.Begin("RIFF", "AVI ");
    const size_t hdrl = r.Begin("LIST", "hdrl");
    const size_t avih = r.Begin("avih");
    r.U32(uint32_t(uint64_t(1000000) * scale / rate)); // microseconds per frame
    r.U32(uint32_t(uint64_t(frameSize) * rate / scale));
    r.U32(0);
    r.U32(0x10 | 0x100); // AVIF_HASINDEX | AVIF_ISINTERLEAVED
    r.U32(count);
    r.U32(0);
    r.U32(1);
    r.U32(frameSize);
    r.U32(width);
    r.U32(height);
    for (int i = 0; i < 4; ++i)
        r.U32(0);
    r.End(avih);
    const size_t strl = r.Begin("LIST", "strl");
    const size_t strh = r.Begin("strh");
    r.FourCC("iavs");
    r.FourCC("dvsd");
    r.U32(0); // flags
    r.U16(0); // priority
    r.U16(0); // language
    r.U32(0); // initial frames
    r.U32(scale);
    r.U32(rate);
    r.U32(0);          // start
    r.U32(count);      // length in frames
    r.U32(frameSize);  // suggested buffer size
    r.U32(0xFFFFFFFF); // quality: default
    r.U32(0);          // sample size
    r.U16(0);
    r.U16(0);
    r.U16(uint16_t(width));
    r.U16(uint16_t(height));
    r.End(strh);
    const size_t strf = r.Begin("strf");
    WriteDVInfo(r, frames[0], pal);
    r.End(strf);
    r.End(strl);
    r.End(hdrl);

    const size_t movi = r.Begin("LIST", "movi");
    const size_t moviType = movi + 4; // chunk offsets in idx1 count from the 'movi' code
    std::vector<uint32_t> offsets;
    for (const auto& f : frames) {
        offsets.push_back(uint32_t(r.Bytes.size() - moviType));
        const size_t chunk = r.Begin("00dc");
        r.Data(f.data(), f.size());
        r.End(chunk);
    }
    r.End(movi);
    const size_t idx1 = r.Begin("idx1");
    for (size_t i = 0; i < frames.size(); ++i) {
        r.FourCC("00dc");
        r.U32(0x10); // AVIIF_KEYFRAME
        r.U32(offsets[i]);
        r.U32(uint32_t(frames[i].size()));
    }
    r.End(idx1);
    r.End(riff);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(r.Bytes.data()), std::streamsize(r.Bytes.size()));
    if (!out.flush())
        throw TClipError("cannot write " + path);
}
