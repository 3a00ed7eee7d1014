#pragma once
// Motion-adaptive deinterlacing of a grabbed frame. Where the two fields of an interlaced frame
// disagree (something moved between them) alternate lines comb; the filter keeps every pixel of
// the even rows and every odd-row pixel that does not comb, and replaces only combed odd-row
// pixels, confirmed by a combed horizontal neighbour, by the average of the pixels above and
// below. Still parts keep their full vertical resolution.
//
// Pictures are 32-bit QImages (blue, green, red and a fourth byte in memory; the RGBA byte order
// of Format_RGBA8888 and Format_RGBX8888 is read as such). The fourth byte is never changed.
// Other depths are copied unchanged.
#include <cstdint>
#include <vector>

#include <QImage>

class TDeinterlacer {
public:
    // destination := source, deinterlaced. Branch-free inner loops that the compiler vectorises.
    void Deinterlace(const QImage& source, QImage& destination);
    // The same result computed pixel by pixel as the rule reads; the reference for the fast path.
    void DeinterlaceReference(const QImage& source, QImage& destination);

private:
    void PrepareMasks(int width, int height);

    // The comb mask and the confirmed mask: one byte (0 or 1) per pixel, kept between calls so
    // that a series of grabs allocates them once.
    std::vector<uint8_t> FComb;
    std::vector<uint8_t> FConfirmed;
};

// The program's deinterlacer: one set of masks for the whole program. GUI thread only.
void Deinterlace(const QImage& source, QImage& destination);
