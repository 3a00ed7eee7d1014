// The standard routines a Delphi script expects, with Delphi's results.
#include "scripting/DateTimeText.h"
#include "scripting/NumberText.h"
#include "tests/scripting/ScriptRunner.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

struct ExprCase {
    const char* expression; // a string expression
    const char* value;
};

void PrintTo(const ExprCase& c, std::ostream* os) {
    *os << c.expression;
}

class StdLib : public testing::TestWithParam<ExprCase> {};

TEST_P(StdLib, GivesDelphisResult) {
    const ExprCase& c = GetParam();
    const RunResult r =
        RunScript(QStringLiteral("var s: string; i: Integer; begin writeln(%1); end.")
                      .arg(QString::fromUtf8(c.expression)));
    ASSERT_TRUE(r.compiled) << r.messages.join(u'\n').toStdString();
    ASSERT_TRUE(r.ran) << r.error.toStdString();
    EXPECT_EQ(r.output.toStdString(), std::string(c.value) + "\n");
}

const ExprCase kStrings[] = {
    {"IntToStr(Length('hello'))", "5"},
    {"Copy('abcdef', 2, 3)", "bcd"},
    {"Copy('abcdef', 0, 2)", "ab"},
    {"Copy('abcdef', 5, 100)", "ef"},
    {"Copy('abcdef', 9, 1)", ""},
    {"Copy('abcdef', 3)", "cdef"},
    {"Copy('abc', 2, -1)", ""},
    {"IntToStr(Pos('cd', 'abcdcd'))", "3"},
    {"IntToStr(Pos('x', 'abc')) + IntToStr(Pos('', 'abc'))", "00"},
    {"IntToStr(PosEx('cd', 'abcdcd', 4))", "5"},
    {"StringOfChar('*', 3) + StringOfChar('x', -1)", "***"},
    {"UpperCase('abc\u00e9') + LowerCase('DEF')", "ABC\u00e9def"},
    {"AnsiUpperCase('\u00e9t\u00e9')", "\u00c9T\u00c9"},
    {"'[' + Trim('  a b \t') + '][' + TrimLeft('  x ') + '][' + TrimRight(' y  ') + ']'",
     "[a b][x ][ y]"},
    {"IntToStr(CompareStr('a', 'b')) + IntToStr(CompareText('ABC', 'abc'))", "-10"},
    {"BoolToStr(SameText('Hello', 'HELLO'), True)", "True"},
    {"QuotedStr('it''s')", "'it''s'"},
    {"StringReplace('a-b-c', '-', '+', [])", "a+b-c"},
    {"StringReplace('a-b-c', '-', '', [rfReplaceAll])", "abc"},
    {"StringReplace('aXbx', 'x', '_', [rfReplaceAll, rfIgnoreCase])", "a_b_"},
    {"Concat('a', 'b', 'c')", "abc"},
    {"UpCase('q') + Chr(Ord('A') + 2)", "QC"},
    {"IntToHex(255, 4) + ' ' + IntToHex(-1, 2) + ' ' + IntToHex(Int64(-1), 1)",
     "00FF FFFFFFFF FFFFFFFFFFFFFFFF"},
};
INSTANTIATE_TEST_SUITE_P(Strings, StdLib, testing::ValuesIn(kStrings));

// Statements run in "var s: string; i: Integer; begin ... end." and what they print.
const ExprCase kProcedures[] = {
    {"s := 'abcdef'; Delete(s, 2, 3); writeln(s)", "aef"},
    {"s := 'abc'; Delete(s, 0, 1); Delete(s, 4, 1); Delete(s, 3, 9); writeln(s)", "ab"},
    {"s := 'ad'; Insert('bc', s, 2); Insert('<', s, -5); Insert('>', s, 99); writeln(s)", "<abcd>"},
    {"s := 'abc'; SetLength(s, 2); writeln(s + IntToStr(Length(s)))", "ab2"},
    {"i := 5; Inc(i); Inc(i, 10); Dec(i, 3); Dec(i); writeln(IntToStr(i))", "12"},
};

TEST(StdLibProcedures, ChangeTheirVarArguments) {
    for (const ExprCase& c : kProcedures) {
        const RunResult r = RunScript(QStringLiteral("var s: string; i: Integer; begin %1; end.")
                                          .arg(QString::fromUtf8(c.expression)));
        ASSERT_TRUE(r.ran) << c.expression << r.messages.join(u'\n').toStdString()
                           << r.error.toStdString();
        EXPECT_EQ(r.output.toStdString(), std::string(c.value) + "\n") << c.expression;
    }
}

const ExprCase kNumbers[] = {
    {"IntToStr(StrToInt(' -42'))", "-42"},
    {"IntToStr(StrToInt('$1F') + StrToInt('0x10'))", "47"},
    {"IntToStr(StrToInt('$FFFFFFFF'))", "-1"},
    {"IntToStr(StrToIntDef('12a', 7) + StrToIntDef('', 1) + StrToIntDef('3000000000', 2))", "10"},
    {"IntToStr(StrToInt64('9000000000'))", "9000000000"},
    {"IntToStr(Round(2.5)) + IntToStr(Round(3.5)) + IntToStr(Round(-2.5)) + IntToStr(Round(2.51))",
     "24-23"},
    {"IntToStr(Round(0.5)) + ' ' + IntToStr(Round(1.5)) + ' ' + IntToStr(Round(-0.5))", "0 2 0"},
    {"IntToStr(Trunc(-2.7)) + IntToStr(Trunc(2.7)) + IntToStr(Ceil(1.2)) + IntToStr(Floor(-1.2))",
     "-222-2"},
    {"IntToStr(Abs(-5)) + FloatToStr(Abs(-2.5)) + IntToStr(Sqr(-4)) + FloatToStr(Sqr(1.5))",
     "52.5162.25"},
    {"IntToStr(Abs(-2147483647 - 1))", "-2147483648"},
    {"FloatToStr(Sqrt(16)) + ' ' + FloatToStr(Frac(2.25)) + ' ' + FloatToStr(Int(-2.75))",
     "4 0.25 -2"},
    {"FloatToStr(Exp(0)) + FloatToStr(Ln(1)) + FloatToStr(Power(2, 10))", "101024"},
    {"IntToStr(Max(3, 9)) + IntToStr(Min(3, 9)) + FloatToStr(Max(1.5, 2))", "932"},
    {"BoolToStr(Odd(3), True) + BoolToStr(Odd(-4), True) + BoolToStr(True)", "TrueFalse-1"},
    {"FloatToStr(StrToFloat(' 1.25 ')) + FloatToStr(StrToFloatDef('x', -1))", "1.25-1"},
    {"FloatToStr(1e15) + ' ' + FloatToStr(123456789012345) + ' ' + FloatToStr(0.0001) + ' ' + "
     "FloatToStr(0.00001)",
     "1E15 123456789012345 0.0001 0.00001"},
    {"FloatToStr(1.5e20) + ' ' + FloatToStr(-0.1) + ' ' + FloatToStr(100) + ' ' + FloatToStr(0)",
     "1.5E20 -0.1 100 0"},
    {"FloatToStr(0.1 + 0.2) + ' ' + FloatToStr(2 / 3)", "0.3 0.666666666666667"},
    {"IntToStr(High(Integer)) + ' ' + IntToStr(Low(Integer)) + ' ' + IntToStr(High(Byte)) + ' ' "
     "+ IntToStr(MaxInt) + ' ' + IntToStr(High(Int64))",
     "2147483647 -2147483648 255 2147483647 9223372036854775807"},
};

const ExprCase kFormat[] = {
    {"Format('%d|%5d|%-5d|%.3d|%x|%.4X', [42, 42, 42, 7, 255, 10])", "42|   42|42   |007|FF|000A"},
    {"Format('%s and %s', ['this', 'that'])", "this and that"},
    {"Format('%1:s %0:s %s', ['a', 'b'])", "b a b"},
    {"Format('%*d|%-*s|', [4, 7, 3, 'x'])", "   7|x  |"},
    {"Format('%f %.1f %.0f %n', [1.005, 2.25, 2.5, 1234567.891])", "1.00 2.3 3 1,234,567.89"},
    {"Format('%e|%.3e', [1234.5, 0.000123])", "1.23450000000000E+003|1.23E-004"},
    {"Format('%g %g', [0.5, 1e20])", "0.5 1E20"},
    {"Format('%.2s|%5.1s|%%|%s', ['abc', 'xyz', 'c'])", "ab|    x|%|c"},
    {"Format('%u %x', [-1, Int64(-1)])", "4294967295 FFFFFFFFFFFFFFFF"},
    {"Format('%d', [Int64(9000000000)])", "9000000000"},
    {"Format('no args', [])", "no args"},
};
INSTANTIATE_TEST_SUITE_P(Format, StdLib, testing::ValuesIn(kFormat));

TEST(StdLibNumbers, Table) {
    for (const ExprCase& c : kNumbers) {
        const RunResult r = RunScript(
            QStringLiteral("begin writeln(%1); end.").arg(QString::fromUtf8(c.expression)));
        ASSERT_TRUE(r.compiled) << c.expression << r.messages.join(u'\n').toStdString();
        ASSERT_TRUE(r.ran) << c.expression << r.error.toStdString();
        EXPECT_EQ(r.output.toStdString(), std::string(c.value) + "\n") << c.expression;
    }
}

TEST(StdLibRandom, RepeatsDelphisSequenceFromTheStartSeedAndStaysInRange) {
    const RunResult r = RunScript(QStringLiteral(
        "var i, n: Integer; d: Double; ok: Boolean; begin ok := True; for i := 1 to 1000 do begin "
        "n := Random(10); d := Random; ok := ok and (n >= 0) and (n < 10) and (d >= 0) and (d < "
        "1); end; writeln(BoolToStr(ok, True)); end."));
    EXPECT_EQ(r.output.toStdString(), "True\n");
    const RunResult first = RunScript(QStringLiteral("begin writeln(IntToStr(Random(1000)) + ' ' + "
                                                     "IntToStr(Random(1000))); end."));
    // Delphi's generator from RandSeed 0: seeds 1 then 134775814.
    EXPECT_EQ(first.output.toStdString(), "0 31\n");
}

TEST(StdLibDates, EncodeDecodeAndFormat) {
    const RunResult r = RunScript(QStringLiteral(
        "var t: TDateTime; y, m, d, h, n, s, ms: Word; begin t := EncodeDate(2024, 2, 29) + "
        "EncodeTime(13, 5, 9, 250); DecodeDate(t, y, m, d); DecodeTime(t, h, n, s, ms); "
        "writeln(Format('%d-%d-%d %d:%d:%d.%d', [y, m, d, h, n, s, ms])); "
        "writeln(FloatToStr(EncodeDate(1899, "
        "12, 30)) + ' ' + FloatToStr(EncodeDate(1900, 1, 1))); writeln(FormatDateTime('yyyy-mm-dd "
        "hh:nn:ss.zzz', t)); writeln(FormatDateTime('d/m/yy h:m ampm', t)); "
        "writeln(FormatDateTime('\"day\" dd ''of'' mmmm', t)); writeln(IntToStr(DayOfWeek(t))); "
        "writeln(BoolToStr(IsLeapYear(2024), True) + BoolToStr(IsLeapYear(1900), True)); end."));
    ASSERT_TRUE(r.ran) << r.messages.join(u'\n').toStdString() << r.error.toStdString();
    const QString month = QLocale().monthName(2, QLocale::LongFormat);
    EXPECT_EQ(r.output.toStdString(),
              QStringLiteral("2024-2-29 13:5:9.250\n0 2\n2024-02-29 13:05:09.250\n"
                             "29/2/24 1:5 %2\nday 29 of %1\n5\nTrueFalse\n")
                  .arg(month, QLocale().pmText())
                  .toStdString());
}

TEST(StdLibDates, FormatDateTimeSpecifiers) {
    const QLocale c(QLocale::C);
    double t = 0;
    ASSERT_TRUE(EncodeDate(2009, 3, 7, t));
    double time = 0;
    ASSERT_TRUE(EncodeTime(0, 4, 5, 6, time));
    t += time;
    const std::pair<const char*, QString> cases[] = {
        {"d-dd-ddd-dddd",
         QStringLiteral("7-07-%1-%2").arg(c.dayName(6, QLocale::ShortFormat), c.dayName(6))},
        {"m-mm-mmm-mmmm",
         QStringLiteral("3-03-%1-%2").arg(c.monthName(3, QLocale::ShortFormat), c.monthName(3))},
        {"yy yyyy y", QStringLiteral("09 2009 09")},
        {"h:n:s.z", QStringLiteral("0:4:5.6")},
        {"hh:mm:ss.zzz", QStringLiteral("00:04:05.006")},
        {"hh' h 'nn", QStringLiteral("00 h 04")},
        {"\"mm\" mm", QStringLiteral("mm 03")},
        {"h am/pm A/P ampm", QStringLiteral("12 am A %1").arg(c.amText())},
        {"yyyy/mm/dd", QStringLiteral("2009/03/07")},
    };
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(FormatDateTime(QString::fromLatin1(format), t, c).toStdString(),
                  expected.toStdString())
            << format;
    EXPECT_EQ(FormatDateTime(QStringLiteral("c"), 40000.0, c).toStdString(),
              c.toString(QDate(2009, 7, 6), QLocale::ShortFormat).toStdString());
}

TEST(StdLibDates, NegativeValuesCountTheTimeForward) {
    DateTimeParts p;
    ASSERT_TRUE(DecodeDateTime(-1.25, p));
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    ASSERT_TRUE(DecodeDateTime(0.99999999999, p)); // rounds to midnight of the next day
    EXPECT_EQ(p.day, 31);
    EXPECT_EQ(p.hour, 0);
    EXPECT_FALSE(DecodeDateTime(1e10, p));
}

TEST(StdLibDates, NowDateAndTimeAgree) {
    const double before = CurrentDateTime();
    const RunResult r =
        RunScript(QStringLiteral("var n: TDateTime; begin n := Now; writeln(FloatToStr(Date)); "
                                 "writeln(BoolToStr((Time >= 0) "
                                 "and (Time < 1), True)); writeln(FloatToStr(Trunc(n))); end."));
    const double after = CurrentDateTime();
    const QStringList lines = r.output.split(u'\n');
    ASSERT_GE(lines.size(), 3);
    const double date = lines[0].toDouble();
    EXPECT_TRUE(date == std::floor(before) || date == std::floor(after));
    EXPECT_EQ(lines[1], QStringLiteral("True"));
}

TEST(StdLibFiles, FileAndDirectoryExists) {
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const RunResult r = RunScript(
        QStringLiteral("const D = '%1'; begin writeln(BoolToStr(FileExists(D + '/a.txt'), True) + "
                       "BoolToStr(FileExists(D), True) + BoolToStr(DirectoryExists(D), True) + "
                       "BoolToStr(DirectoryExists(D + '/a.txt'), True) + BoolToStr(FileExists(''), "
                       "True)); end.")
            .arg(dir.path()));
    EXPECT_EQ(r.output.toStdString(), "TrueFalseTrueFalseFalse\n");
}

TEST(NumberText, ParsesIntegersAsVal) {
    int64_t v = 0;
    EXPECT_TRUE(ParseInteger(QStringLiteral("+7"), -100, 100, v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(ParseInteger(QStringLiteral("-$10"), -100, 100, v));
    EXPECT_EQ(v, -16);
    EXPECT_TRUE(ParseInteger(QStringLiteral("-9223372036854775808"), INT64_MIN, INT64_MAX, v));
    EXPECT_EQ(v, INT64_MIN);
    for (const char* bad : {"", " ", "1 ", "--1", "$", "0x", "12e3", "9223372036854775808", "1.0"})
        EXPECT_FALSE(ParseInteger(QString::fromLatin1(bad), INT64_MIN, INT64_MAX, v)) << bad;
}

TEST(NumberText, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FloatGeneral(1.5, 15, QChar(u',')).toStdString(), "1,5");
    EXPECT_EQ(FloatFixed(-1234.5, 2, QChar(u','), QChar(u'.')).toStdString(), "-1.234,50");
    double d = 0;
    EXPECT_TRUE(ParseFloat(QStringLiteral("2,5"), QChar(u','), d));
    EXPECT_EQ(d, 2.5);
    EXPECT_FALSE(ParseFloat(QStringLiteral("2.5"), QChar(u','), d));
    EXPECT_EQ(FloatGeneral(std::numeric_limits<double>::infinity(), 15, QChar(u'.')).toStdString(),
              "INF");
}

} // namespace
} // namespace kelvara::script::test
