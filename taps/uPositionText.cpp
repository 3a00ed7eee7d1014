// The position text and the aspect-fitting rectangle of uMediaDescriptions.h.
#include "taps/uMediaDescriptions.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int64_t kUnitsPerSecond = 10'000'000;
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

// n / d rounded to the nearest integer, halves to the even neighbour (d != 0).
int64_t DivideHalfEven(int64_t n, int64_t d) {
    int64_t q = n / d;
    const int64_t r = n % d;
    if (r == 0)
        return q;
    // Compare |r| with |d| - |r| instead of 2|r| with |d| so that nothing overflows.
    const uint64_t ar = r < 0 ? uint64_t(0) - uint64_t(r) : uint64_t(r);
    const uint64_t ad = d < 0 ? uint64_t(0) - uint64_t(d) : uint64_t(d);
    const bool negative = (n < 0) != (d < 0);
    if (ar > ad - ar || (ar == ad - ar && (q % 2) != 0))
        q += negative ? -1 : 1;
    return q;
}

// A decimal number with optional leading blanks and sign; nullopt for anything else, also for
// a number that does not fit in 64 bits.
std::optional<int64_t> ParseNumber(QStringView s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    if (i == s.size())
        return std::nullopt;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (__builtin_mul_overflow(v, int64_t(10), &v) ||
            __builtin_add_overflow(v, negative ? -digit : digit, &v))
            return std::nullopt;
    }
    return v;
}

// Characters first..last (1-based, inclusive) of the text, the part inside the text only.
QStringView Chars(const QString& text, qsizetype first, qsizetype last) {
    first = std::max<qsizetype>(first, 1);
    last = std::min<qsizetype>(last, text.size());
    if (last < first)
        return {};
    return QStringView(text).mid(first - 1, last - first + 1);
}

int64_t Saturate(__int128 v) {
    if (v > kInt64Max)
        return kInt64Max;
    if (v < kInt64Min)
        return kInt64Min;
    return int64_t(v);
}

} // namespace

QString FormatPositionText(int64_t frameDuration, int64_t position) {
    if (frameDuration == 0)
        frameDuration = 10000;
    int64_t seconds = position / kUnitsPerSecond;
    int64_t rest = position % kUnitsPerSecond;
    if (kUnitsPerSecond - rest < frameDuration / 2) {
        ++seconds;
        rest = 0;
    }
    const int64_t frames = DivideHalfEven(rest, frameDuration);
    return QString::asprintf("%lld:%.2lld:%.2lld:%.2lld", (long long)(seconds / 3600),
                             (long long)((seconds / 60) % 60), (long long)(seconds % 60),
                             (long long)frames);
}

int64_t ParsePositionText(const QString& text, int64_t frameDuration) {
    const qsizetype n = text.size();
    auto part = [&](qsizetype first, qsizetype last) -> __int128 {
        return ParseNumber(Chars(text, first, last)).value_or(0);
    };
    const __int128 hours = part(1, n - 9);
    const __int128 minutes = part(n - 7, n - 6);
    const __int128 seconds = part(n - 4, n - 3);
    const __int128 frames = part(n - 1, n);
    // hours * 3600e7 and frames * frameDuration each fit in 128 bits, and so does their sum.
    const __int128 total = (hours * 3600 + minutes * 60 + seconds) * kUnitsPerSecond +
                           frames * __int128(frameDuration);
    return Saturate(total);
}

TRect FitRectToAspect(int32_t aspectWidth, int32_t aspectHeight, const TRect& box, bool relative,
                      int32_t margin) {
    // 128-bit arithmetic: the shrunk box spans up to 2^33 and the aspect up to 2^31, so their
    // products pass 64 bits; the edges are clamped back into 32 bits at the end.
    using Wide = __int128;
    const Wide left = Wide(box.Left) + margin, top = Wide(box.Top) + margin;
    const Wide right = Wide(box.Right) - margin, bottom = Wide(box.Bottom) - margin;
    const Wide w = right - left, h = bottom - top;
    Wide l = left, t = top, r = right, b = bottom;
    if (aspectWidth > 0 && aspectHeight > 0) {
        if (h * aspectWidth <= w * aspectHeight) {
            const Wide width = h * aspectWidth / aspectHeight;
            l = left + (w - width) / 2;
            r = l + width;
        } else {
            const Wide height = w * aspectHeight / aspectWidth;
            t = top + (h - height) / 2;
            b = t + height;
        }
    }
    if (relative) {
        l -= box.Left;
        r -= box.Left;
        t -= box.Top;
        b -= box.Top;
    }
    auto clamp = [](Wide v) {
        return int32_t(std::clamp<Wide>(v, std::numeric_limits<int32_t>::min(),
                                        std::numeric_limits<int32_t>::max()));
    };
    return TRect{clamp(l), clamp(t), clamp(r), clamp(b)};
}
