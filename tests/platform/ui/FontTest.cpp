#include "platform/ui/Font.h"
#include <QFont>

#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesZeroDivisor) {
    EXPECT_EQ(MulDiv(27, 72, 96), 20);  // 20.25
    EXPECT_EQ(MulDiv(30, 72, 96), 23);  // 22.5 rounds up
    EXPECT_EQ(MulDiv(-30, 72, 96), -23);
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 2, 4), 1000000000); // no 32-bit overflow in the product
}

TEST(TFont, SizeFollowsHeightAndResolution) {
    TFont f;
    f.SetHeight(-27);
    EXPECT_EQ(f.Size(), 20);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    f.SetPixelsPerInch(120);
    EXPECT_EQ(f.Size(), 12);
    EXPECT_EQ(f.Height(), -20);
    f.SetPixelsPerInch(0); // ignored
    EXPECT_EQ(f.PixelsPerInch(), 120);
}

TEST(TFont, StyleBitsAndEquality) {
    TFont a, b;
    a.SetStyle(fsBold, true);
    a.SetStyle(fsStrikeOut, true);
    EXPECT_TRUE(a.HasStyle(fsBold));
    EXPECT_FALSE(a.HasStyle(fsItalic));
    EXPECT_NE(a, b);
    a.SetStyle(fsBold, false);
    a.SetStyle(fsStrikeOut, false);
    EXPECT_EQ(a, b);
    const QFont q = b.ToQFont();
    EXPECT_EQ(q.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(q.pointSize(), 8);
}
