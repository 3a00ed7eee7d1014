#include "taps/deinter.h"

// The row loops below are written to be vectorised; GCC does that at -O2 only for loops whose
// trip count it knows, so this file asks for its full vectoriser.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("tree-vectorize", "vect-cost-model=dynamic")
#endif

#include <bit>
#include <cstring>

namespace {

// Pixels are read as 32-bit words: blue is bits 0..7 on this byte order.
static_assert(std::endian::native == std::endian::little);

// D above this marks a combed pixel.
constexpr int kCombThreshold = 2000;

// Byte positions of red and blue inside a pixel; green is always byte 1.
struct TChannelOrder {
    int Red = 2;
    int Blue = 0;
};

TChannelOrder ChannelOrderOf(QImage::Format format) {
    if (format == QImage::Format_RGBA8888 || format == QImage::Format_RGBX8888 ||
        format == QImage::Format_RGBA8888_Premultiplied)
        return {0, 2};
    return {};
}

// destination := a copy of source, reusing destination's buffer when it fits. Rows for which
// skipRow is true are left for the caller to write.
template <typename Skip>
void CopyImage(const QImage& source, QImage& destination, Skip skipRow) {
    if (destination.size() != source.size() || destination.format() != source.format() ||
        destination.bytesPerLine() != source.bytesPerLine() || source.isNull()) {
        destination = source.copy();
        return;
    }
    for (int y = 0; y < source.height(); ++y)
        if (!skipRow(y))
            std::memcpy(destination.scanLine(y), source.constScanLine(y),
                        size_t(source.bytesPerLine()));
}

void CopyImage(const QImage& source, QImage& destination) {
    CopyImage(source, destination, [](int) { return false; });
}

bool IsDeinterlaced(const QImage& source) {
    return !source.isNull() && source.depth() == 32;
}

inline int CombValue(const uint8_t* p, const uint8_t* c, const uint8_t* n, TChannelOrder o) {
    const int dr = (p[o.Red] - c[o.Red]) * (n[o.Red] - c[o.Red]);
    const int dg = (p[1] - c[1]) * (n[1] - c[1]);
    const int db = (p[o.Blue] - c[o.Blue]) * (n[o.Blue] - c[o.Blue]);
    return 3 * dr + 6 * dg + db;
}

// One row of the comb mask, branch-free over 32-bit pixels; the shifts of red and blue are
// constants so that the loop vectorises.
template <int rs, int bs>
void CombRow(const uint32_t* __restrict p, const uint32_t* __restrict c,
             const uint32_t* __restrict n, uint8_t* __restrict comb, int width) {
    for (int x = 0; x < width; ++x) {
        const int pr = int((p[x] >> rs) & 0xFF), cr = int((c[x] >> rs) & 0xFF),
                  nr = int((n[x] >> rs) & 0xFF);
        const int pg = int((p[x] >> 8) & 0xFF), cg = int((c[x] >> 8) & 0xFF),
                  ng = int((n[x] >> 8) & 0xFF);
        const int pb = int((p[x] >> bs) & 0xFF), cb = int((c[x] >> bs) & 0xFF),
                  nb = int((n[x] >> bs) & 0xFF);
        const int d = 3 * (pr - cr) * (nr - cr) + 6 * (pg - cg) * (ng - cg) + (pb - cb) * (nb - cb);
        comb[x] = uint8_t(d > kCombThreshold);
    }
}

// One row of the confirmed mask: combed with a combed horizontal neighbour.
void ConfirmRow(const uint8_t* __restrict comb, uint8_t* __restrict confirmed, int width) {
    if (width == 1) {
        confirmed[0] = 0;
        return;
    }
    confirmed[0] = comb[0] & comb[1];
    for (int x = 1; x < width - 1; ++x)
        confirmed[x] = comb[x] & (comb[x - 1] | comb[x + 1]);
    confirmed[width - 1] = comb[width - 1] & comb[width - 2];
}

// Confirmed pixels of the three colour bytes become the floor average of the rows above and
// below; the fourth byte and unconfirmed pixels keep the source.
void BlendRow(const uint32_t* __restrict p, const uint32_t* __restrict c,
              const uint32_t* __restrict n, const uint8_t* __restrict confirmed,
              uint32_t* __restrict out, int width, uint32_t colourMask) {
    for (int x = 0; x < width; ++x) {
        const uint32_t average = (p[x] & n[x]) + (((p[x] ^ n[x]) & 0xFEFEFEFEu) >> 1);
        const uint32_t mask = (0u - uint32_t(confirmed[x])) & colourMask;
        out[x] = (average & mask) | (c[x] & ~mask);
    }
}

} // namespace

void TDeinterlacer::PrepareMasks(int width, int height) {
    const size_t size = size_t(width) * size_t(height);
    FComb.resize(size);
    FConfirmed.resize(size);
}

void TDeinterlacer::Deinterlace(const QImage& source, QImage& destination) {
    if (!source.isNull() && source.constBits() == destination.constBits()) {
        const QImage separate = source.copy(); // the rows are read while they are written
        Deinterlace(separate, destination);
        return;
    }
    const int w = source.width(), h = source.height();
    // Odd rows above the last are written whole by the blend below.
    const bool filtered = IsDeinterlaced(source);
    CopyImage(source, destination, [&](int y) { return filtered && y % 2 == 1 && y <= h - 2; });
    if (!filtered)
        return;
    PrepareMasks(w, h);
    const bool bgra = ChannelOrderOf(source.format()).Red == 2;
    const uint32_t colourMask = 0x00FFFFFFu; // the fourth byte is byte 3 in both orders
    auto row = [&](int y) { return reinterpret_cast<const uint32_t*>(source.constScanLine(y)); };
    // One odd row at a time, so that its three source rows stay in the cache for all passes.
    for (int r = 1; r <= h - 2; r += 2) {
        uint8_t* comb = &FComb[size_t(r) * w];
        uint8_t* confirmed = &FConfirmed[size_t(r) * w];
        if (bgra)
            CombRow<16, 0>(row(r - 1), row(r), row(r + 1), comb, w);
        else
            CombRow<0, 16>(row(r - 1), row(r), row(r + 1), comb, w);
        ConfirmRow(comb, confirmed, w);
        BlendRow(row(r - 1), row(r), row(r + 1), confirmed,
                 reinterpret_cast<uint32_t*>(destination.scanLine(r)), w, colourMask);
    }
}

void TDeinterlacer::DeinterlaceReference(const QImage& source, QImage& destination) {
    if (!source.isNull() && source.constBits() == destination.constBits()) {
        const QImage separate = source.copy();
        DeinterlaceReference(separate, destination);
        return;
    }
    CopyImage(source, destination);
    if (!IsDeinterlaced(source))
        return;
    const int w = source.width(), h = source.height();
    PrepareMasks(w, h);
    const TChannelOrder o = ChannelOrderOf(source.format());
    auto pixel = [&](int x, int y) { return source.constScanLine(y) + 4 * x; };
    for (int r = 1; r <= h - 2; r += 2)
        for (int x = 0; x < w; ++x)
            FComb[size_t(r) * w + x] =
                CombValue(pixel(x, r - 1), pixel(x, r), pixel(x, r + 1), o) > kCombThreshold ? 1
                                                                                             : 0;
    for (int r = 1; r <= h - 2; r += 2)
        for (int x = 0; x < w; ++x) {
            const uint8_t* comb = &FComb[size_t(r) * w];
            const bool left = x > 0 && comb[x - 1] == 1;
            const bool right = x < w - 1 && comb[x + 1] == 1;
            FConfirmed[size_t(r) * w + x] = comb[x] == 1 && (left || right) ? 1 : 0;
        }
    for (int r = 1; r <= h - 2; r += 2)
        for (int x = 0; x < w; ++x) {
            if (FConfirmed[size_t(r) * w + x] != 1)
                continue;
            uint8_t* out = destination.scanLine(r) + 4 * x;
            const uint8_t *p = pixel(x, r - 1), *n = pixel(x, r + 1);
            for (int ch : {o.Blue, 1, o.Red})
                out[ch] = uint8_t((p[ch] + n[ch]) / 2);
        }
}

void Deinterlace(const QImage& source, QImage& destination) {
    static TDeinterlacer deinterlacer;
    deinterlacer.Deinterlace(source, destination);
}
