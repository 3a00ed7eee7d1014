#include "platform/ui/Colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

TEST(Colors, IdentifiersAndTheirCodes) {
    struct Case {
        const char* Ident;
        uint32_t Code;
    };
    const Case cases[] = {
        {"clBlack", 0x000000},        {"clRed", 0x0000FF},
        {"clBlue", 0xFF0000},         {"clWhite", 0xFFFFFF},
        {"clNavy", 0x800000},         {"clSilver", 0xC0C0C0},
        {"clMoneyGreen", 12639424},   {"clSkyBlue", 15780518},
        {"clCream", 15793151},        {"clMedGray", 0xA4A0A0},
        {"clNone", 0x1FFFFFFF},       {"clDefault", 0x20000000},
        {"clScrollBar", 0xFF000000},  {"clBtnFace", 0xFF00000F},
        {"clWindowText", 0xFF000008}, {"clInfoBk", 0xFF000018},
        {"clHotLight", 0xFF00001A},   {"clMenuBar", 0xFF00001E},
        {"cl3DDkShadow", 0xFF000015}, {"clAppWorkSpace", 0xFF00000C},
    };
    for (const Case& c : cases) {
        const auto color = IdentToColor(QString::fromLatin1(c.Ident));
        ASSERT_TRUE(color.has_value()) << c.Ident;
        EXPECT_EQ(uint32_t(*color), c.Code) << c.Ident;
        EXPECT_EQ(ColorToIdent(*color), QString::fromLatin1(c.Ident)) << c.Ident;
    }
}

TEST(Colors, IdentifiersIgnoreLetterCaseAndUnknownOnesDoNotRead) {
    EXPECT_EQ(IdentToColor("CLBTNFACE"), clBtnFace);
    EXPECT_EQ(IdentToColor("clLtGray"), clSilver);
    EXPECT_EQ(ColorToIdent(clLtGray), QStringLiteral("clSilver"));
    EXPECT_FALSE(IdentToColor("clRedd").has_value());
    EXPECT_FALSE(IdentToColor(" clRed").has_value());
    EXPECT_FALSE(IdentToColor("").has_value());
    EXPECT_FALSE(ColorToIdent(0x123456).has_value());
}

TEST(Colors, SystemColoursResolveThroughThePalette) {
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(ToQColor(clWindow), QColor(base.rgb()));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(FromQColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
    EXPECT_FALSE(ToQColor(clNone).isValid());
    EXPECT_GE(ColorToRGB(clScrollBar), 0); // a system colour without palette role
}

} // namespace
