#include "commands/uValueText.h"
#include "tests/commands/support/QtPrint.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(ReadIntegerText, DecimalAndHexadecimalForms) {
    struct Case {
        const char* Text;
        std::optional<int32_t> Value;
    };
    const Case cases[] = {
        {"5", 5},
        {"  42", 42},
        {"\t-17", -17},
        {"+8", 8},
        {"$FF", 255},
        {"$ff", 255},
        {"-$10", -16},
        {"$FF000008", int32_t(0xFF000008u)},
        {"$00000000FF", 255},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$100000000", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"5 ", std::nullopt},
        {"5x", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadIntegerText(QString::fromLatin1(c.Text)), c.Value) << '"' << c.Text << '"';
}

TEST(ReadBooleanText, TrueAndFalseTexts) {
    struct Case {
        const char* Text;
        bool Value;
    };
    const Case cases[] = {
        {"1", true},      {"-1", true},  {"TRUE", true},      {" Vrai ", true}, {"v", true},
        {"T", true},      {"$10", true}, {"true ", true},     {"0", false},     {"yes", false},
        {"false", false}, {"", false},   {"vraiment", false}, {"faux", false},  {"  ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadBooleanText(QString::fromLatin1(c.Text)), c.Value) << '"' << c.Text << '"';
}

TEST(ReadPointText, BracketedPairs) {
    struct Case {
        const char* Text;
        std::optional<TPoint> Value;
    };
    const Case cases[] = {
        {"(5, 7)", TPoint{5, 7}},  {"  ( -3 ,$10 )  ", TPoint{-3, 16}},
        {"(a, 7)", TPoint{0, 7}},  {"(,)", TPoint{0, 0}},
        {"(1,2,3)", TPoint{1, 0}}, {"5,7", std::nullopt},
        {"(5 7)", std::nullopt},   {"(5,7", std::nullopt},
        {"5,7)", std::nullopt},    {"", std::nullopt},
        {"(", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadPointText(QString::fromLatin1(c.Text)), c.Value) << '"' << c.Text << '"';
}

TEST(ReadRectText, BracketedQuadruples) {
    struct Case {
        const char* Text;
        std::optional<TRect> Value;
    };
    const Case cases[] = {
        {"(1,2,3,4)", TRect{1, 2, 3, 4}},
        {" ( 300 , 300, 1100 ,860 ) ", TRect{300, 300, 1100, 860}},
        {"(1,x,3,4)", TRect{1, 0, 3, 4}},
        {"(1,2,3,4,5)", TRect{1, 2, 3, 0}},
        {"(1,2,3)", std::nullopt},
        {"1,2,3,4", std::nullopt},
        {"(1,2,3,4", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadRectText(QString::fromLatin1(c.Text)), c.Value) << '"' << c.Text << '"';
}

TEST(ReadDoubleText, FollowsTheLocaleDecimalSeparator) {
    const QLocale c = QLocale::c();
    const QLocale fr(QLocale::French, QLocale::France);
    EXPECT_EQ(ReadDoubleText("1.5", c), 1.5);
    EXPECT_EQ(ReadDoubleText(" -2.25e1 ", c), -22.5);
    EXPECT_EQ(ReadDoubleText("1,5", fr), 1.5);
    EXPECT_FALSE(ReadDoubleText("1,5", c).has_value());
    EXPECT_FALSE(ReadDoubleText("1,000.5", c).has_value()); // no group separators
    EXPECT_FALSE(ReadDoubleText("abc", c).has_value());
    EXPECT_FALSE(ReadDoubleText("", c).has_value());
    EXPECT_FALSE(ReadDoubleText("inf", c).has_value());
    EXPECT_FALSE(ReadDoubleText("nan", c).has_value());
    EXPECT_FALSE(ReadDoubleText("1e999", c).has_value());
}

TEST(ScriptTexts, QuotesBooleansAndColours) {
    EXPECT_EQ(ScriptString("it's"), QStringLiteral("'it''s'"));
    EXPECT_EQ(ScriptString(""), QStringLiteral("''"));
    EXPECT_EQ(ScriptString("''"), QStringLiteral("''''''"));
    EXPECT_EQ(ScriptBoolean(true), QStringLiteral("True"));
    EXPECT_EQ(ScriptBoolean(false), QStringLiteral("False"));
    EXPECT_EQ(ScriptHexColor(0), QStringLiteral("$000000"));
    EXPECT_EQ(ScriptHexColor(0x00ABCDEF), QStringLiteral("$ABCDEF"));
    EXPECT_EQ(ScriptHexColor(0x1FFFFFFF), QStringLiteral("$1FFFFFFF"));
    EXPECT_EQ(ScriptHexColor(int32_t(0xFF00000F)), QStringLiteral("$FF00000F"));
}

TEST(ScriptDouble, GeneralFormatWithFifteenSignificantDigits) {
    struct Case {
        double Value;
        const char* Text;
    };
    const Case cases[] = {
        {0, "0"},
        {1.5, "1.5"},
        {-2.25, "-2.25"},
        {100, "100"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e15, "1E15"},
        {1e20, "1E20"},
        {0.0001, "0.0001"},
        {0.00012, "0.00012"},
        {0.00001, "1E-5"},
        {1.5e-7, "1.5E-7"},
        {-3.25e-10, "-3.25E-10"},
        {std::numeric_limits<double>::infinity(), "INF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScriptDouble(c.Value), QString::fromLatin1(c.Text)) << c.Text;
}

// What a script reads back from the recorded text is the value that was recorded, to 15 digits.
TEST(ScriptDouble, ReadsBackToTheSameValue) {
    for (double v : {1.5, -0.0625, 3.14159265358979, 2.5e-12, 6.02214076e23, 86400.0}) {
        const double back = ScriptDouble(v).toDouble();
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
    }
}

} // namespace
