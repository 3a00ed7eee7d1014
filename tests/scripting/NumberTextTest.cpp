// Number text as the Pascal RTLs read and write it: Val's prefixes, ranges and error positions,
// StrToFloat's grammar, and the rounding of FloatToStr and Format's float conversions.
#include "scripting/NumberText.h"

#include "tests/scripting/ScriptRunner.h"

#include <limits>

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

constexpr int64_t kI32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kI64Min = std::numeric_limits<int64_t>::min();

struct ValCase {
    const char16_t* text;
    IntWidth width;
    int code; // Val's code: 0 or the 1-based position of the offending character
    int64_t value;
};

void PrintTo(const ValCase& c, std::ostream* os) {
    *os << QString::fromUtf16(c.text).toStdString() << (c.width == IntWidth::I32 ? " /32" : " /64");
}

class ValIntegerTest : public testing::TestWithParam<ValCase> {};

TEST_P(ValIntegerTest, GivesValueAndCode) {
    const ValCase& c = GetParam();
    int64_t v = 99;
    EXPECT_EQ(ValInteger(QString::fromUtf16(c.text), c.width, v), c.code);
    EXPECT_EQ(v, c.value);
}

constexpr IntWidth I32 = IntWidth::I32;
constexpr IntWidth I64 = IntWidth::I64;

const ValCase kPrefixes[] = {
    {u"x1F", I32, 0, 31},    {u"0X1f", I32, 0, 31}, {u"-x1F", I32, 0, -31}, {u"+$1F", I32, 0, 31},
    {u"-0x1F", I32, 0, -31}, {u"&17", I32, 0, 15},  {u"-&17", I32, 0, -15}, {u"%101", I32, 0, 5},
    {u"-%101", I32, 0, -5},  {u"&8", I32, 2, 0},    {u"%2", I32, 2, 0},     {u"$-1F", I32, 2, 0},
    {u"0&17", I32, 2, 0},    {u"00x1", I32, 3, 0},  {u"$0x1", I32, 3, 0},   {u"$ 1", I32, 2, 0},
};
INSTANTIATE_TEST_SUITE_P(Prefixes, ValIntegerTest, testing::ValuesIn(kPrefixes));

const ValCase kBlanksAndSigns[] = {
    {u"", I32, 1, 0},        {u" ", I32, 2, 0},   {u"-", I32, 2, 0},
    {u"$", I32, 2, 0},       {u"0x", I32, 3, 0},  {u"-$", I32, 3, 0},
    {u" \t 12", I32, 0, 12}, {u"12 ", I32, 3, 0}, {u"12\t", I32, 3, 0},
    {u"\n5", I32, 1, 0},     {u"+-1", I32, 2, 0}, {u"- 1", I32, 2, 0},
    {u"  12a", I32, 5, 0},   {u"1e3", I32, 2, 0}, {u"\u0661\u0662", I32, 1, 0},
};
INSTANTIATE_TEST_SUITE_P(BlanksAndSigns, ValIntegerTest, testing::ValuesIn(kBlanksAndSigns));

const ValCase kRanges[] = {
    {u"2147483647", I32, 0, 2147483647},
    {u"2147483648", I32, 10, 0},
    {u"-2147483648", I32, 0, kI32Min},
    {u"-2147483649", I32, 11, 0},
    {u"99999999999999999999999", I32, 10, 0},
    {u"00000000000000000000012", I32, 0, 12},
    {u"$FFFFFFFF", I32, 0, -1},
    {u"-$FFFFFFFF", I32, 0, 1},
    {u"$80000000", I32, 0, kI32Min},
    {u"-$80000000", I32, 0, kI32Min},
    {u"$100000000", I32, 10, 0},
    {u"$000000001", I32, 0, 1},
    {u"%11111111111111111111111111111111", I32, 0, -1},
    {u"$FFFFFFFF", I64, 0, 4294967295},
    {u"9223372036854775807", I64, 0, std::numeric_limits<int64_t>::max()},
    {u"9223372036854775808", I64, 19, 0},
    {u"-9223372036854775808", I64, 0, kI64Min},
    {u"-9223372036854775809", I64, 20, 0},
    {u"$FFFFFFFFFFFFFFFF", I64, 0, -1},
    {u"$10000000000000000", I64, 18, 0},
    {u"-$8000000000000000", I64, 0, kI64Min},
    {u"&1777777777777777777777", I64, 0, -1},
    {u"&2000000000000000000000", I64, 23, 0},
};
INSTANTIATE_TEST_SUITE_P(Ranges, ValIntegerTest, testing::ValuesIn(kRanges));

TEST(ValInteger, StopsAtAnEmbeddedNulInsteadOfEndingTheText) {
    int64_t v = 0;
    const QChar text[] = {u'1', u'2', QChar(0), u'3'};
    EXPECT_EQ(ValInteger(QString(text, 4), IntWidth::I32, v), 3);
}

TEST(ParseInteger, ReadsAWideRangeWithoutThe32BitWrap) {
    int64_t v = 0;
    EXPECT_TRUE(ParseInteger(QStringLiteral("$FFFFFFFF"), kI64Min, INT64_MAX, v));
    EXPECT_EQ(v, 4294967295);
}

struct FloatCase {
    const char16_t* text;
    bool ok;
    double value;
};

void PrintTo(const FloatCase& c, std::ostream* os) {
    *os << QString::fromUtf16(c.text).toStdString();
}

class ParseFloatTest : public testing::TestWithParam<FloatCase> {};

TEST_P(ParseFloatTest, FollowsStrToFloatsGrammar) {
    const FloatCase& c = GetParam();
    double v = -7;
    EXPECT_EQ(ParseFloat(QString::fromUtf16(c.text), QChar(u'.'), v), c.ok);
    EXPECT_EQ(v, c.ok ? c.value : -7);
}

const FloatCase kFloats[] = {
    {u"1.", true, 1},           {u".5", true, 0.5},
    {u" \t1.5\r\n", true, 1.5}, {u"1e0000000000000000000000001", true, 10},
    {u"1e-400", true, 0},       {u".", false, 0},
    {u"e3", false, 0},          {u"1e", false, 0},
    {u"1e+", false, 0},         {u"1 5", false, 0},
    {u"1,5", false, 0},         {u"1.5e400", false, 0},
    {u"0x10", false, 0},        {u"$10", false, 0},
    {u"inf", false, 0},         {u"NaN", false, 0},
    {u"\u00a01.5", false, 0},   {u"\u0661.5", false, 0},
};
INSTANTIATE_TEST_SUITE_P(Texts, ParseFloatTest, testing::ValuesIn(kFloats));

enum class Form { General, Exponent, Fixed, Number };

struct FormatCase {
    Form form;
    double value;
    int precision; // significant digits (General, Exponent) or decimals (Fixed, Number)
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.text;
}

class FloatTextTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FloatTextTest, RoundsTheExactValueHalfAwayFromZero) {
    const FormatCase& c = GetParam();
    const QChar dot(u'.');
    QString s;
    switch (c.form) {
    case Form::General:
        s = FloatGeneral(c.value, c.precision, dot);
        break;
    case Form::Exponent:
        s = FloatExponent(c.value, c.precision, dot);
        break;
    case Form::Fixed:
        s = FloatFixed(c.value, c.precision, dot);
        break;
    case Form::Number:
        s = FloatFixed(c.value, c.precision, dot, QChar(u','));
        break;
    }
    EXPECT_EQ(s.toStdString(), c.text);
}

const FormatCase kGeneral[] = {
    {Form::General, 0.00001, 15, "0.00001"},
    {Form::General, 0.0000123, 15, "0.0000123"},
    {Form::General, 0.000001, 15, "1E-6"},
    {Form::General, 9.5e-6, 15, "9.5E-6"},
    {Form::General, -0.00001, 15, "-0.00001"},
    {Form::General, 100000000000000.5, 15, "100000000000001"},
    {Form::General, 999999999999999.9, 15, "1E15"},
    {Form::General, 123456789012345678.0, 15, "1.23456789012346E17"},
    {Form::General, 0.125, 2, "0.13"},
    {Form::General, 2.675, 3, "2.67"},
    {Form::General, -0.0, 15, "0"},
};
INSTANTIATE_TEST_SUITE_P(General, FloatTextTest, testing::ValuesIn(kGeneral));

const FormatCase kExponent[] = {
    {Form::Exponent, 0.125, 2, "1.3E-001"},    {Form::Exponent, 2.675, 3, "2.67E+000"},
    {Form::Exponent, 9.96, 2, "1.0E+001"},     {Form::Exponent, 0.0, 4, "0.000E+000"},
    {Form::Exponent, -1e-300, 2, "-1.0E-300"}, {Form::Exponent, 1234.5, 1, "1E+003"},
};
INSTANTIATE_TEST_SUITE_P(Exponent, FloatTextTest, testing::ValuesIn(kExponent));

const FormatCase kFixed[] = {
    {Form::Fixed, 2.25, 1, "2.3"},
    {Form::Fixed, 2.5, 0, "3"},
    {Form::Fixed, -2.5, 0, "-3"},
    {Form::Fixed, 0.5, 0, "1"},
    {Form::Fixed, 0.125, 2, "0.13"},
    {Form::Fixed, 1.005, 2, "1.00"},
    {Form::Fixed, 0.49999999999999994, 0, "0"},
    {Form::Fixed, -0.04, 1, "0.0"},
    {Form::Fixed, 0.05, 1, "0.1"},
    {Form::Fixed, 0.1, 18, "0.100000000000000006"},
    {Form::Fixed, 123456789012345678.0, 0, "123456789012345680"},
    {Form::Number, 999.999, 2, "1,000.00"},
    {Form::Number, -1234567.5, 0, "-1,234,568"},
    {Form::Number, 0.004, 2, "0.00"},
};
INSTANTIATE_TEST_SUITE_P(Fixed, FloatTextTest, testing::ValuesIn(kFixed));

// The routines as scripts call them: results, the exception and its text, Val's code.
struct ScriptCase {
    const char* statements; // run in "var i, c: Integer; j: Int64; d: Double; begin ... end."
    const char* output;
};

void PrintTo(const ScriptCase& c, std::ostream* os) {
    *os << c.statements;
}

class NumberRoutines : public testing::TestWithParam<ScriptCase> {};

TEST_P(NumberRoutines, BehaveAsTheRtl) {
    const ScriptCase& c = GetParam();
    const RunResult r = RunScript(
        QStringLiteral("var i, c: Integer; j: Int64; d: Double; begin try %1; except on E: "
                       "EConvertError do writeln('EConvertError: ' + E.Message); end; end.")
            .arg(QString::fromUtf8(c.statements)));
    ASSERT_TRUE(r.compiled) << r.messages.join(u'\n').toStdString();
    ASSERT_TRUE(r.ran) << r.error.toStdString();
    EXPECT_EQ(r.output.toStdString(), c.output);
}

const ScriptCase kScripts[] = {
    {"writeln(IntToStr(StrToInt('x1F') + StrToInt(#9'-$10') + StrToInt('&17') + "
     "StrToInt('%101')))",
     "35\n"},
    {"writeln(IntToStr(StrToInt('12 ')))", "EConvertError: '12 ' is not a valid integer value\n"},
    {"writeln(IntToStr(StrToInt('')))", "EConvertError: '' is not a valid integer value\n"},
    {"writeln(IntToStr(StrToInt('2147483648')))",
     "EConvertError: '2147483648' is not a valid integer value\n"},
    {"writeln(IntToStr(StrToInt64('$FFFFFFFF')) + ' ' + IntToStr(StrToInt('$FFFFFFFF')))",
     "4294967295 -1\n"},
    {"writeln(IntToStr(StrToInt64('-9223372036854775809')))",
     "EConvertError: '-9223372036854775809' is not a valid integer value\n"},
    {"writeln(IntToStr(StrToIntDef('0x', 7)) + ' ' + IntToStr(StrToIntDef('x10', 7)) + ' ' + "
     "IntToStr(StrToInt64Def('$1G', -1)))",
     "7 16 -1\n"},
    {"i := 5; writeln(BoolToStr(TryStrToInt('2147483648', i), True) + IntToStr(i)); "
     "writeln(BoolToStr(TryStrToInt(' $7fffffff', i), True) + IntToStr(i))",
     "False0\nTrue2147483647\n"},
    {"writeln(BoolToStr(TryStrToInt64('9223372036854775807', j), True) + IntToStr(j))",
     "True9223372036854775807\n"},
    {"Val('  12a', i, c); writeln(IntToStr(i) + ' ' + IntToStr(c)); Val('-$80000000', i, c); "
     "writeln(IntToStr(i) + ' ' + IntToStr(c)); Val('', i, c); writeln(IntToStr(c))",
     "0 5\n-2147483648 0\n1\n"},
    {"writeln(FloatToStr(StrToFloat(' -.5'#9)))", "-0.5\n"},
    {"writeln(FloatToStr(StrToFloat('e3')))",
     "EConvertError: 'e3' is not a valid floating point value\n"},
    {"d := 3; writeln(BoolToStr(TryStrToFloat('1.5e400', d), True) + FloatToStr(d)); "
     "writeln(BoolToStr(TryStrToFloat('2.5E-1', d), True) + FloatToStr(d))",
     "False0\nTrue0.25\n"},
    {"writeln(FloatToStr(0.00001) + ' ' + FloatToStr(0.000001))", "0.00001 1E-6\n"},
    {"writeln(Format('%.1f %.0f %.2e %n', [2.25, 2.5, 0.125, 999.999]))",
     "2.3 3 1.3E-001 1,000.00\n"},
    {"writeln(IntToHex(255, 40))", "00000000000000000000000000000000000000FF\n"},
};
INSTANTIATE_TEST_SUITE_P(Scripts, NumberRoutines, testing::ValuesIn(kScripts));

TEST(IntToHex, PaddingBeyondTheStringLimitIsARunTimeError) {
    Limits limits;
    limits.maxStringLength = 100;
    const RunResult r = RunScript(QStringLiteral("var n: Integer; begin n := 101; "
                                                 "writeln(IntToHex(1, n)); end."),
                                  false, limits);
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.error.toStdString(), "String too long (101 characters; at most 100)");
}

} // namespace
} // namespace kelvara::script::test
