#include "platform/com/Guid.h"

#include <unordered_set>

#include <gtest/gtest.h>

namespace {

constexpr GUID kRgb32{0xE436EB7E, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

TEST(Guid, PrintsRegistryFormInUpperCase) {
    EXPECT_EQ(GuidToString(kRgb32), QStringLiteral("{E436EB7E-524F-11CE-9F53-0020AF0BA770}"));
    EXPECT_EQ(GuidToString(GUID_NULL), QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
    const GUID leadingZeros{0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(GuidToString(leadingZeros), QStringLiteral("{0000010C-0000-0000-C000-000000000046}"));
}

TEST(Guid, ParsesEitherCaseAndRoundTrips) {
    GUID g;
    ASSERT_TRUE(GuidFromString(u"{e436eb7e-524f-11ce-9f53-0020af0ba770}", &g));
    EXPECT_EQ(g, kRgb32);
    ASSERT_TRUE(GuidFromString(u"{E436EB7E-524F-11CE-9F53-0020AF0BA770}", &g));
    EXPECT_EQ(g, kRgb32);
    const GUID odd{0x89ABCDEF, 0x0123, 0xFEDC, {1, 2, 3, 4, 0xA5, 0x5A, 0xFF, 0x00}};
    ASSERT_TRUE(GuidFromString(GuidToString(odd), &g));
    EXPECT_EQ(g, odd);
}

TEST(Guid, RejectsEverythingButTheRegistryForm) {
    const char16_t* bad[] = {
        u"",
        u"E436EB7E-524F-11CE-9F53-0020AF0BA770",      // no braces
        u"{E436EB7E-524F-11CE-9F53-0020AF0BA770",     // no closing brace
        u"{E436EB7E-524F-11CE-9F53-0020AF0BA7700}",   // too long
        u"{E436EB7E-524F-11CE-9F53-0020AF0BA77}",     // too short
        u"{E436EB7E+524F-11CE-9F53-0020AF0BA770}",    // wrong separator
        u"{E436EB7E-524F-11CE-9F530-020AF0BA770}",    // separator misplaced
        u"{G436EB7E-524F-11CE-9F53-0020AF0BA770}",    // not hexadecimal
        u"{E436EB7E-524F-11CE-9F53-0020AF0BA77 }",    // blank
        u"{\uFF25436EB7E-524F-11CE-9F53-0020AF0BA7}", // wide letter
        u"(E436EB7E-524F-11CE-9F53-0020AF0BA770)",
    };
    for (const char16_t* text : bad) {
        GUID g = kRgb32;
        EXPECT_FALSE(GuidFromString(QString::fromUtf16(text), &g))
            << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(g, kRgb32) << "untouched on failure";
    }
    EXPECT_FALSE(GuidFromString(u"{E436EB7E-524F-11CE-9F53-0020AF0BA770}", nullptr));
}

TEST(Guid, Latin1ParserAgreesWithWideParser) {
    const char text[] = "{E436EB7E-524F-11CE-9F53-0020AF0BA770}";
    GUID g;
    ASSERT_TRUE(GuidFromLatin1(text, sizeof text - 1, &g));
    EXPECT_EQ(g, kRgb32);
    EXPECT_FALSE(GuidFromLatin1(text, sizeof text - 2, &g));
    EXPECT_FALSE(GuidFromLatin1(nullptr, 38, &g));
}

TEST(Guid, OrdersAndHashesByValue) {
    const GUID a{1, 0, 0, {}};
    const GUID b{1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_LT(GUID_NULL, a);
    EXPECT_LT(a, b);
    EXPECT_NE(a, b);
    std::unordered_set<GUID> set{a, b, a};
    EXPECT_EQ(set.size(), 2u);
}

} // namespace
