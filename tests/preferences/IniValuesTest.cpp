// Number texts of the INI store.
#include "preferences/IniValues.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

TEST(IniValues, FormatsFloatsInTheGeneralForm) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},
        {1.0, "1"},
        {-2.5, "-2.5"},
        {0.1, "0.1"},
        {123.45, "123.45"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.5e-7, "1.5E-7"},
        {1e14, "100000000000000"},
        {1e15, "1E15"},
        {1e20, "1E20"},
        {-1.25e300, "-1.25E300"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789.125, "123456789.125"},
        {29.97002997003, "29.97002997003"},
        {NAN, "NAN"},
        {INFINITY, "INF"},
        {-INFINITY, "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IniValues::FormatFloat(c.value, u'.'), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(IniValues::FormatFloat(-2.5, u','), QStringLiteral("-2,5"));
    EXPECT_EQ(IniValues::FormatFloat(1.5e-7, u','), QStringLiteral("1,5E-7"));
}

TEST(IniValues, ParsesFloatsWithEitherSeparator) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", true, 1.5},   {"1,5", true, 1.5},       {" -2.25 ", true, -2.25},
        {"1E20", true, 1e20}, {"1.5e-7", true, 1.5e-7}, {".5", true, 0.5},
        {"7", true, 7.0},     {"+3", true, 3.0},        {"abc", false, 0},
        {"", false, 0},       {"1.2.3", false, 0},      {"0x10", false, 0},
        {"1e999", false, 0},  {"1 2", false, 0},        {"infinity", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -99;
        EXPECT_EQ(IniValues::ParseFloat(QString::fromLatin1(c.text), u'.', v), c.ok);
        if (c.ok)
            EXPECT_DOUBLE_EQ(v, c.value);
        else
            EXPECT_EQ(v, -99);
    }
    double v = 0;
    ASSERT_TRUE(IniValues::ParseFloat(QStringLiteral("NAN"), u'.', v));
    EXPECT_TRUE(std::isnan(v));
    ASSERT_TRUE(IniValues::ParseFloat(QStringLiteral("-INF"), u'.', v));
    EXPECT_EQ(v, -INFINITY);
}

TEST(IniValues, ParsesIntegers) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"  42", true, 42},
        {"+7", true, 7},
        {"$FF", true, 255},
        {"0x10", true, 16},
        {"$FFFFFFFF", true, -1},
        {"$100000000", false, 0},
        {"42 ", false, 0},
        {"abc", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"1.5", false, 0},
        {"\xd9\xa3", false, 0}, // an Arabic-Indic digit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t v = -99;
        EXPECT_EQ(IniValues::ParseInteger(QString::fromUtf8(c.text), v), c.ok);
        EXPECT_EQ(v, c.ok ? c.value : -99);
    }
}

} // namespace
