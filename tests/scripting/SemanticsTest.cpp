// Value semantics that scripts rely on and that must stay memory-safe: references into arrays
// that change size, copies of nested aggregates, evaluation order, loops at the ends of ranges.
#include "scripting/Checker.h"
#include "scripting/IntExpr.h"
#include "tests/scripting/ScriptRunner.h"

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

std::string Output(const char* script) {
    const RunResult r = RunScript(QString::fromUtf8(script));
    EXPECT_TRUE(r.compiled) << script << "\n" << r.messages.join(u'\n').toStdString();
    EXPECT_TRUE(r.ran) << script << "\n" << r.error.toStdString();
    return r.output.toStdString();
}

TEST(Semantics, AVarParameterIntoAnArrayThatIsResizedStaysValid) {
    // The callee grows the very array its parameter points into.
    EXPECT_EQ(Output("var a: array of Integer; procedure Grow(var v: Integer); var i: Integer; "
                     "begin for i := 1 to 50 do SetLength(a, Length(a) + 100); v := 7; end; "
                     "begin SetLength(a, 1); Grow(a[0]); writeln(IntToStr(Length(a)) + ' ' + "
                     "IntToStr(a[0])); end."),
              "5001 0\n");
    // Shrinking to nothing while referenced.
    EXPECT_EQ(
        Output("var a: array of string; procedure Clear(var s: string); begin a := nil; s "
               ":= 'late'; end; begin SetLength(a, 3); Clear(a[2]); writeln(IntToStr(Length(a))); "
               "end."),
        "0\n");
}

TEST(Semantics, AssigningAnElementFromACallThatResizesTheArray) {
    EXPECT_EQ(Output("var a: array of Integer; function F: Integer; begin SetLength(a, 1000); "
                     "Result := 5; end; begin SetLength(a, 1); a[0] := F; writeln(IntToStr(a[0]) + "
                     "' ' + IntToStr(Length(a))); end."),
              "5 1000\n");
}

TEST(Semantics, NestedRecordsAndArraysCopyDeeply) {
    EXPECT_EQ(Output("type TIn = record v: array[0..2] of Integer; end; TOut = record a, b: TIn; "
                     "list: array of Integer; end; var x, y: TOut; begin SetLength(x.list, 1); "
                     "x.a.v[1] := 1; y := x; y.a.v[1] := 2; y.list[0] := 9; "
                     "writeln(IntToStr(x.a.v[1]) + IntToStr(y.a.v[1]) + IntToStr(x.list[0])); "
                     "end."),
              "129\n"); // the dynamic array inside is shared, as in Delphi
}

TEST(Semantics, ArraysOfRecordsCopyEachRecord) {
    EXPECT_EQ(Output("type TR = record n: Integer; end; var a, b: array[0..1] of TR; r: TR; begin "
                     "a[0].n := 1; b := a; r := b[0]; r.n := 5; b[0].n := 3; "
                     "writeln(IntToStr(a[0].n) + IntToStr(b[0].n) + IntToStr(r.n)); end."),
              "135\n");
}

TEST(Semantics, RecordAssignedToItselfAndSwapped) {
    EXPECT_EQ(Output("type TP = record x, y: Integer; end; var p, q, t: TP; begin p.x := 1; q.x := "
                     "2; p := p; t := p; p := q; q := t; writeln(IntToStr(p.x) + IntToStr(q.x)); "
                     "end."),
              "21\n");
}

TEST(Semantics, ForLoopsReachTheEndsOfTheirTypes) {
    EXPECT_EQ(Output("var b: Byte; n: Integer; i: Int64; begin n := 0; for b := 250 to 255 do "
                     "Inc(n); for b := 5 downto 0 do Inc(n); writeln(IntToStr(n) + ' ' + "
                     "IntToStr(b)); n := 0; for i := High(Int64) - 2 to High(Int64) do Inc(n); "
                     "for i := Low(Int64) + 1 downto Low(Int64) do Inc(n); writeln(IntToStr(n)); "
                     "end."),
              "12 0\n5\n");
}

TEST(Semantics, ArgumentsAreEvaluatedLeftToRight) {
    EXPECT_EQ(Output("var log: string; function T(s: string): Integer; begin log := log + s; "
                     "Result := 1; end; procedure P(a, b, c: Integer); begin end; begin P(T('a'), "
                     "T('b'), T('c')); writeln(log + IntToStr(T('x') + T('y') * T('z'))); end."),
              "abc2\n"); // log is read before the calls in the rest of the expression
}

TEST(Semantics, ConstRecordParametersSeeTheCallersValue) {
    EXPECT_EQ(
        Output("type TR = record n: Integer; end; var g: TR; function Peek(const r: TR): "
               "Integer; begin Result := r.n; end; begin g.n := 4; writeln(IntToStr(Peek(g))); "
               "end."),
        "4\n");
}

TEST(Semantics, FunctionResultThroughTheNameOfAnEnclosingFunction) {
    EXPECT_EQ(Output("function Outer: Integer; procedure SetIt; begin Outer := 11; end; begin "
                     "Outer := 0; SetIt; end; begin writeln(IntToStr(Outer)); end."),
              "11\n");
}

TEST(Semantics, ManagedResultStartsEmptyOnEachCall) {
    EXPECT_EQ(Output("function F(add: string): string; begin Result := Result + add; end; begin "
                     "writeln(F('a') + F('b')); end."),
              "ab\n");
}

TEST(Semantics, SingleKeepsSinglePrecision) {
    EXPECT_EQ(Output("var s: Single; d: Double; begin s := 1 / 3; d := s; writeln(FloatToStr(d)); "
                     "end."),
              "0.333333343267441\n");
}

struct WidthCase {
    const char* left;
    const char* right;
    const char* result;
};

// The type of integer arithmetic on two operand types (Delphi's rules).
TEST(Semantics, IntegerArithmeticWidths) {
    const WidthCase cases[] = {
        {"Integer", "Integer", "Integer"}, {"Byte", "Byte", "Integer"},
        {"Word", "SmallInt", "Integer"},   {"Cardinal", "Cardinal", "Cardinal"},
        {"Cardinal", "Integer", "Int64"},  {"Cardinal", "Byte", "Cardinal"},
        {"Int64", "Byte", "Int64"},        {"ShortInt", "Cardinal", "Int64"},
    };
    for (const WidthCase& c : cases) {
        const RunResult r =
            RunScript(QStringLiteral("var a: %1; b: %2; r: %3; begin r := a + b; end.")
                          .arg(c.left, c.right, c.result));
        EXPECT_TRUE(r.compiled) << c.left << "+" << c.right;
    }
    // Cardinal with a non-negative constant stays Cardinal: 0 - 1 wraps.
    EXPECT_EQ(
        Output("var c: Cardinal; j: Int64; begin c := 0; j := c - 1; writeln(IntToStr(j)); end."),
        "4294967295\n");
    EXPECT_EQ(Output("var c: Cardinal; i: Integer; j: Int64; begin c := 0; i := 1; j := c - i; "
                     "writeln(IntToStr(j)); end."),
              "-1\n");
}

TEST(Semantics, Int64DivisionAtTheEdge) {
    EXPECT_EQ(
        Output("var a, b: Int64; i, j: Integer; begin a := Low(Int64); b := -1; "
               "writeln(IntToStr(a div b) + ' ' + IntToStr(a mod b)); i := Low(Integer); j := "
               "-1; writeln(IntToStr(i div j) + ' ' + IntToStr(i mod j) + ' ' + IntToStr(-i)); "
               "end."),
        "-9223372036854775808 0\n-2147483648 0 -2147483648\n");
}

} // namespace
} // namespace kelvara::script::test
