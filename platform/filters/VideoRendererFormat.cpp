#include "platform/filters/VideoRendererFormat.h"

#include "platform/filters/PictureLimits.h"
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"

#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

int BytesPerPixelOf(REFGUID subtype) {
    if (subtype == MEDIASUBTYPE_RGB32 || subtype == MEDIASUBTYPE_ARGB32)
        return 4;
    if (subtype == MEDIASUBTYPE_RGB24)
        return 3;
    return 0;
}

// Copies `count` 32-bit pixels and makes each opaque, in one pass over the memory (a full HD
// frame is 8 MB, copied for every frame shown).
void CopyOpaque(const BYTE* in, uint32_t* out, int count) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    for (; x + 4 <= count; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(v, alpha));
    }
#endif
    for (; x < count; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, in + 4 * x, 4);
        out[x] = pixel | 0xFF000000u;
    }
}

struct THeaderFields {
    RECT source;
    REFERENCE_TIME frameDuration = 0;
    BITMAPINFOHEADER bmi;
    LONG aspectX = 0;
    LONG aspectY = 0;
};

std::optional<THeaderFields> ReadHeader(const AM_MEDIA_TYPE& mt) {
    THeaderFields f;
    if (mt.formattype == FORMAT_VideoInfo) {
        const auto vih = mt.ReadFormat<VIDEOINFOHEADER>();
        if (!vih)
            return std::nullopt;
        f.source = vih->rcSource;
        f.frameDuration = vih->AvgTimePerFrame;
        f.bmi = vih->bmiHeader;
        return f;
    }
    if (mt.formattype == FORMAT_VideoInfo2) {
        const auto vih2 = mt.ReadFormat<VIDEOINFOHEADER2>();
        if (!vih2)
            return std::nullopt;
        f.source = vih2->rcSource;
        f.frameDuration = vih2->AvgTimePerFrame;
        f.bmi = vih2->bmiHeader;
        f.aspectX = LONG(std::min<DWORD>(vih2->dwPictAspectRatioX, 0x7FFFFFFF));
        f.aspectY = LONG(std::min<DWORD>(vih2->dwPictAspectRatioY, 0x7FFFFFFF));
        return f;
    }
    return std::nullopt;
}

// rcSource when it is a non-empty part of the bitmap, else the whole bitmap.
QRect PictureOf(const RECT& source, int width, int height) {
    const QRect whole(0, 0, width, height);
    if (source.left < 0 || source.top < 0 || source.right <= source.left ||
        source.bottom <= source.top || source.right > width || source.bottom > height)
        return whole;
    return QRect(source.left, source.top, source.right - source.left, source.bottom - source.top);
}

} // namespace

std::optional<TVideoFormat> TVideoFormat::FromMediaType(const AM_MEDIA_TYPE& mt) {
    if (mt.majortype != MEDIATYPE_Video)
        return std::nullopt;
    const int bpp = BytesPerPixelOf(mt.subtype);
    const std::optional<THeaderFields> f = ReadHeader(mt);
    if (bpp == 0 || !f || f->bmi.biBitCount != bpp * 8)
        return std::nullopt;
    if (f->bmi.biCompression != BI_RGB && !(f->bmi.biCompression == BI_BITFIELDS && bpp == 4))
        return std::nullopt;
    const LONG width = f->bmi.biWidth;
    const LONG height = f->bmi.biHeight;
    // A bitmap larger than the program shows is refused rather than allocated.
    if (height == INT32_MIN || !IsPictureSizeAllowed(width, std::abs(height)))
        return std::nullopt;
    TVideoFormat format;
    format.subtype = mt.subtype;
    format.bitmapWidth = int(width);
    format.bitmapHeight = int(std::abs(height));
    format.topDown = height < 0;
    format.bytesPerPixel = bpp;
    format.stride = (format.bitmapWidth * bpp + 3) & ~3;
    format.picture = PictureOf(f->source, format.bitmapWidth, format.bitmapHeight);
    format.frameDuration = f->frameDuration;
    if (f->aspectX > 0 && f->aspectY > 0) {
        format.aspectX = f->aspectX;
        format.aspectY = f->aspectY;
    } else {
        format.aspectX = format.picture.width();
        format.aspectY = format.picture.height();
    }
    return format;
}

bool TVideoFormat::CopyInto(const BYTE* data, qsizetype length, QImage& image) const {
    if (!data || length < BufferSize() || picture.isEmpty())
        return false;
    if (image.size() != picture.size() || image.format() != QImage::Format_RGB32 ||
        !image.isDetached())
        image = QImage(picture.size(), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    for (int y = 0; y < picture.height(); ++y) {
        const int row = picture.top() + y;
        const int stored = topDown ? row : bitmapHeight - 1 - row;
        const BYTE* in =
            data + qsizetype(stored) * stride + qsizetype(picture.left()) * bytesPerPixel;
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        if (bytesPerPixel == 4) {
            // B, G, R in memory; the fourth byte is not alpha and becomes opaque.
            CopyOpaque(in, out, picture.width());
        } else {
            for (int x = 0; x < picture.width(); ++x) {
                const BYTE* p = in + 3 * x;
                out[x] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            }
        }
    }
    return true;
}
