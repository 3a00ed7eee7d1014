#include "taps/uMediaDescriptions.h"
#include "tests/platform/rtl/QtPrinters.h"

#include <limits>

#include <gtest/gtest.h>

TEST(FormatPositionText, RoundingAndCarry) {
    struct Case {
        int64_t duration, position;
        const char* text;
    } cases[] = {
        {400000, 9800000, "0:00:00:24"}, // 200000 is not below half a frame
        {400000, 9900000, "0:00:01:00"}, // within half a frame of the next second
        {0, 5000000, "0:00:00:500"},     // a duration of 0 counts as 10000
        {400000, 0, "0:00:00:00"},
        {400000, 834800000, "0:01:23:12"}, // 83.48 s at 25 fps
        {400000, 200000, "0:00:00:00"},    // 0.5 frame rounds to the even 0
        {400000, 600000, "0:00:00:02"},    // 1.5 frames round to the even 2
        {400000, 1000000, "0:00:00:02"},   // 2.5 frames round to the even 2
        {333667, 9700000, "0:00:00:29"},
        {333667, 9900000, "0:00:01:00"},
        {417083, 10000000 + 5 * 417083, "0:00:01:05"},
        {400000, 36000000000LL * 123 + 590000000, "123:00:59:00"},
        {400000, 35990000000LL, "0:59:59:00"},
        {400000, 36000000000LL * 100000, "100000:00:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPositionText(c.duration, c.position), QString::fromUtf8(c.text))
            << c.duration << " " << c.position;
}

TEST(FormatPositionText, ExtremeValuesDoNotCrash) {
    const int64_t extremes[] = {std::numeric_limits<int64_t>::min(), -1, 1,
                                std::numeric_limits<int64_t>::max()};
    for (int64_t d : extremes)
        for (int64_t p : extremes)
            EXPECT_FALSE(FormatPositionText(d, p).isEmpty()) << d << " " << p;
}

TEST(ParsePositionText, ReadsFromTheEnd) {
    struct Case {
        const char* text;
        int64_t duration, position;
    } cases[] = {
        {"1:02:03:04", 400000, 37230000000LL + 1600000},
        {"0:00:00:00", 400000, 0},
        {"123:45:06:07", 400000, (123LL * 3600 + 45 * 60 + 6) * 10000000 + 7 * 400000},
        {" 1:02:03:04", 400000, 37230000000LL + 1600000},
        {"1.02.03.04", 400000, 37230000000LL + 1600000}, // separators are not read
        {"1:xx:03:04", 400000, (3600LL + 3) * 10000000 + 4 * 400000},
        {"12", 400000, 12 * 400000},
        {"", 400000, 0},
        {"abc", 400000, 0},
        {"x:00:00:00", 400000, 0},
        {"0:00:00:500", 10000, 0}, // three frame digits do not fit the layout
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsePositionText(QString::fromUtf8(c.text), c.duration), c.position) << c.text;
}

TEST(ParsePositionText, RoundTripsFormattedPositions) {
    for (int64_t duration : {int64_t(400000), int64_t(200000), int64_t(1000000)})
        for (int64_t frame = 0; frame < 20000; frame += 7) {
            const int64_t position = frame * duration;
            const QString text = FormatPositionText(duration, position);
            ASSERT_EQ(ParsePositionText(text, duration), position) << text.toStdString();
        }
}

TEST(ParsePositionText, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(ParsePositionText(QStringLiteral("922337203685:00:00:00"), 400000),
              std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParsePositionText(QStringLiteral("-922337203685:00:00:00"), 400000),
              std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParsePositionText(QStringLiteral("0:00:00:99"), std::numeric_limits<int64_t>::max()),
              std::numeric_limits<int64_t>::max());
    // An hour count beyond 64 bits is no number.
    EXPECT_EQ(ParsePositionText(QStringLiteral("99999999999999999999:00:00:01"), 400000), 400000);
}

TEST(FitRectToAspect, CentresTheLargestRectangle) {
    struct Case {
        int32_t aw, ah;
        TRect box;
        bool relative;
        int32_t margin;
        TRect expected;
    } cases[] = {
        {4, 3, {0, 0, 800, 400}, false, 0, {133, 0, 666, 400}},
        {4, 3, {0, 0, 400, 800}, false, 0, {0, 250, 400, 550}},
        {4, 3, {100, 50, 900, 450}, false, 10, {247, 60, 753, 440}},
        {4, 3, {100, 50, 900, 450}, true, 10, {147, 10, 653, 390}},
        {16, 9, {0, 0, 1920, 1080}, false, 0, {0, 0, 1920, 1080}},
        {0, 3, {10, 20, 30, 40}, false, 2, {12, 22, 28, 38}},
        {4, -3, {10, 20, 30, 40}, true, 2, {2, 2, 18, 18}},
        {16,
         9,
         {-2000000000, -2000000000, 2000000000, 2000000000},
         false,
         0,
         {-2000000000, -1125000000, 2000000000, 1125000000}},
        {2147483647, 1, {0, 0, 100, 100}, false, 0, {0, 50, 100, 50}},
        // A margin larger than the box: the shrunk box is inverted, the products pass 64 bits.
        {2147483647,
         1,
         {-2147483647 - 1, 0, 2147483647, 0},
         false,
         -2147483647 - 1,
         {-2147483647 - 1, -2, 2147483647, 2}},
    };
    for (const auto& c : cases) {
        const TRect r = FitRectToAspect(c.aw, c.ah, c.box, c.relative, c.margin);
        EXPECT_EQ(r, c.expected) << c.aw << ":" << c.ah << " box " << c.box.Left << "," << c.box.Top
                                 << "," << c.box.Right << "," << c.box.Bottom << " -> " << r.Left
                                 << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
}
