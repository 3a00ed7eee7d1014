// Every construct of the language, compiled and run, with its output checked.
#include "tests/scripting/ScriptRunner.h"

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

struct Case {
    const char* name;
    const char* script;
    const char* output;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Language : public testing::TestWithParam<Case> {};

TEST_P(Language, RunsAndPrints) {
    const Case& c = GetParam();
    const RunResult r = RunScript(QString::fromUtf8(c.script));
    ASSERT_TRUE(r.compiled) << r.messages.join(u'\n').toStdString();
    ASSERT_TRUE(r.ran) << r.error.toStdString();
    EXPECT_EQ(r.output.toStdString(), c.output);
}

const Case kStatements[] = {
    {"program header optional and uses ignored",
     "program P; uses SysUtils; begin writeln('x'); end.", "x\n"},
    {"no header", "begin writeln('a') end.", "a\n"},
    {"assignment and arithmetic",
     "var a, b: Integer; begin a := 7; b := a * 3 - 1; writeln(IntToStr(b)); end.", "20\n"},
    {"operator precedence",
     "begin writeln(IntToStr(2 + 3 * 4)); writeln(IntToStr((2 + 3) * 4)); "
     "writeln(IntToStr(-2 * 3)); writeln(IntToStr(10 - 4 - 3)); end.",
     "14\n20\n-6\n3\n"},
    {"if then else chain",
     "var i: Integer; begin for i := 1 to 4 do if i = 1 then writeln('one') else if i = 2 then "
     "writeln('two') else if i = 3 then writeln('three') else writeln('many'); end.",
     "one\ntwo\nthree\nmany\n"},
    {"dangling else binds inner",
     "var a, b: Boolean; begin a := True; b := False; if a then if b then writeln('ab') else "
     "writeln('a not b'); end.",
     "a not b\n"},
    {"case ordinals ranges else",
     "var i: Integer; begin for i := 0 to 6 do case i of 0: writeln('zero'); 1, 2: "
     "writeln('small'); "
     "3..4: writeln('mid'); else writeln('big'); end; end.",
     "zero\nsmall\nsmall\nmid\nmid\nbig\nbig\n"},
    {"case on chars and enums",
     "type TT = (ta, tb, tc); var c: Char; t: TT; begin c := 'b'; case c of 'a': writeln('A'); "
     "'b'..'z': writeln('lower'); end; t := tc; case t of ta: writeln('ta'); tb, tc: "
     "writeln('tbc'); "
     "end; end.",
     "lower\ntbc\n"},
    {"case on strings",
     "procedure P(s: string); begin case s of 'apple': writeln('fruit'); 'carrot', 'leek': "
     "writeln('veg'); else writeln('?'); end; end; begin P('apple'); P('leek'); P('x'); end.",
     "fruit\nveg\n?\n"},
    {"for to and downto",
     "var i: Integer; begin for i := 3 downto 1 do write(IntToStr(i)); "
     "for i := 1 to 3 do write(IntToStr(i)); writeln(''); end.",
     "321123\n"},
    {"for bounds evaluated once",
     "var i, n, count: Integer; begin n := 3; count := 0; for i := 1 to n do begin n := 10; "
     "Inc(count); end; writeln(IntToStr(count)); end.",
     "3\n"},
    {"for with empty range and last value",
     "var i: Integer; begin i := 42; for i := 5 to 1 do writeln('never'); writeln(IntToStr(i)); "
     "for i := 1 to 3 do ; writeln(IntToStr(i)); end.",
     "42\n3\n"},
    {"for over chars and enums",
     "type TT = (a1, a2, a3); var c: Char; t: TT; s: string; begin for c := 'a' to 'e' do s := s + "
     "c; "
     "for t := Low(TT) to High(TT) do s := s + IntToStr(Ord(t)); writeln(s); end.",
     "abcde012\n"},
    {"while", "var i: Integer; begin i := 0; while i < 5 do i := i + 2; writeln(IntToStr(i)); end.",
     "6\n"},
    {"repeat until runs once",
     "var i: Integer; begin i := 10; repeat Inc(i) until i > 5; "
     "writeln(IntToStr(i)); end.",
     "11\n"},
    {"break and continue",
     "var i: Integer; begin for i := 1 to 10 do begin if i mod 2 = 0 then Continue; if i > 7 then "
     "Break; write(IntToStr(i)); end; writeln(''); i := 0; while True do begin Inc(i); if i = 3 "
     "then Break; end; writeln(IntToStr(i)); repeat Inc(i); if i < 6 then Continue; Break; until "
     "False; writeln(IntToStr(i)); end.",
     "1357\n3\n6\n"},
    {"exit from procedure and main block",
     "procedure P(n: Integer); begin if n > 0 then Exit; writeln('zero'); end; begin P(1); P(0); "
     "Exit; writeln('never'); end.",
     "zero\n"},
    {"exit with value",
     "function F(n: Integer): Integer; begin if n > 0 then Exit(n * 2); Result "
     ":= -1; end; begin writeln(IntToStr(F(4)) + IntToStr(F(0))); end.",
     "8-1\n"},
    {"empty statements", "begin ; ; writeln('ok');; end.", "ok\n"},
};
INSTANTIATE_TEST_SUITE_P(Statements, Language, testing::ValuesIn(kStatements));

const Case kRoutines[] = {
    {"function result and name assignment",
     "function A(x: Integer): Integer; begin Result := x + 1; end; function B(x: Integer): "
     "Integer; begin B := x * 2; end; begin writeln(IntToStr(A(1)) + IntToStr(B(3))); end.",
     "26\n"},
    {"recursion",
     "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := "
     "Fib(n - 1) + Fib(n - 2); end; begin writeln(IntToStr(Fib(20))); end.",
     "6765\n"},
    {"forward declaration and mutual recursion",
     "function IsOdd(n: Integer): Boolean; forward; function IsEven(n: Integer): Boolean; begin "
     "if n = 0 then Result := True else Result := IsOdd(n - 1); end; function IsOdd(n: Integer): "
     "Boolean; begin if n = 0 then Result := False else Result := IsEven(n - 1); end; begin if "
     "IsEven(10) and IsOdd(7) then writeln('yes'); end.",
     "yes\n"},
    {"var const out and value parameters",
     "procedure P(a: Integer; var b: Integer; const c: Integer; out d: Integer); begin a := a + "
     "1; b := b + a + c; d := 99; end; var x, y, z: Integer; begin x := 1; y := 10; z := 0; P(x, "
     "y, 5, z); writeln(Format('%d %d %d', [x, y, z])); end.",
     "1 17 99\n"},
    {"var parameter to array element and record field",
     "type TR = record n: Integer; end; procedure Bump(var v: Integer); begin v := v + 1; end; var "
     "a: array of Integer; r: TR; begin SetLength(a, 2); Bump(a[1]); Bump(r.n); Bump(r.n); "
     "writeln(IntToStr(a[1]) + IntToStr(r.n)); end.",
     "12\n"},
    {"var string parameter",
     "procedure Add(var s: string; t: string); begin s := s + t; end; var s: string; begin s := "
     "'a'; Add(s, 'b'); Add(s, 'c'); writeln(s); end.",
     "abc\n"},
    {"nested routines see enclosing locals",
     "procedure Outer; var n: Integer; procedure Inner; begin n := n + 5; end; function Twice: "
     "Integer; begin Inner; Result := n * 2; end; begin n := 1; Inner; writeln(IntToStr(Twice)); "
     "end; begin Outer; end.",
     "22\n"},
    {"nested recursion keeps the right frame",
     "function Sum(n: Integer): Integer; var total: Integer; procedure Add(k: Integer); begin "
     "total := total + k; end; var i: Integer; begin total := 0; for i := 1 to n do Add(i); if n > "
     "1 then Add(Sum(n - 1)); Result := total; end; begin writeln(IntToStr(Sum(3))); end.",
     "10\n"},
    {"default parameters",
     "function F(a: Integer; b: Integer = 10; c: string = 'z'): string; begin Result := "
     "IntToStr(a + b) + c; end; begin writeln(F(1) + F(1, 2) + F(1, 2, 'q')); end.",
     "11z3z3q\n"},
    {"function result of record type",
     "type TP = record x, y: Integer; end; function Make(a, b: Integer): TP; begin Result.x := a; "
     "Result.y := b; end; var p: TP; begin p := Make(3, 4); writeln(IntToStr(p.x * p.y) + "
     "IntToStr(Make(5, 6).y)); end.",
     "126\n"},
    {"call without parentheses and ignored function result",
     "var n: Integer; function Next: Integer; begin Inc(n); Result := n; end; begin Next; Next(); "
     "writeln(IntToStr(Next)); end.",
     "3\n"},
    {"open array parameters",
     "function Total(const a: array of Integer): Integer; var i: Integer; begin Result := 0; for i "
     ":= Low(a) to High(a) do Result := Result + a[i]; end; var d: array of Integer; s: "
     "array[1..3] "
     "of Integer; begin SetLength(d, 2); d[0] := 4; d[1] := 5; s[1] := 1; s[2] := 2; s[3] := 3; "
     "writeln(IntToStr(Total([1, 2, 3])) + ' ' + IntToStr(Total(d)) + ' ' + IntToStr(Total(s))); "
     "end.",
     "6 9 6\n"},
    {"value parameters of records and arrays are copies",
     "type TR = record n: Integer; end; TA = array[0..1] of Integer; procedure P(r: TR; a: TA); "
     "begin "
     "r.n := 9; a[0] := 9; end; var r: TR; a: TA; begin r.n := 1; a[0] := 1; P(r, a); "
     "writeln(IntToStr(r.n) + IntToStr(a[0])); end.",
     "11\n"},
};
INSTANTIATE_TEST_SUITE_P(Routines, Language, testing::ValuesIn(kRoutines));

const Case kTypes[] = {
    {"integer types wrap on store",
     "var b: Byte; w: Word; si: ShortInt; sm: SmallInt; c: Cardinal; begin b := 255; b := b + 1; "
     "w := 65535; Inc(w); si := 127; Inc(si); sm := -32768; Dec(sm); c := 0; Dec(c); "
     "writeln(Format('%d %d %d %d %u', [b, w, si, sm, c])); end.",
     "0 0 -128 32767 4294967295\n"},
    {"Integer arithmetic wraps at 32 bits, Int64 does not",
     "var i: Integer; j: Int64; begin i := 2000000000; i := i * 2; j := 2000000000; j := j * 2; "
     "writeln(IntToStr(i) + ' ' + IntToStr(j)); j := MaxInt; j := j + 1; writeln(IntToStr(j)); "
     "end.",
     "-294967296 4000000000\n2147483648\n"},
    {"Integer times Integer stays 32-bit even into Int64",
     "var a, b: Integer; j: Int64; begin a := 100000; b := 100000; j := a * b; "
     "writeln(IntToStr(j)); "
     "j := Int64(a) * b; writeln(IntToStr(j)); end.",
     "1410065408\n10000000000\n"},
    {"Cardinal mixed with Integer widens",
     "var c: Cardinal; i: Integer; j: Int64; begin c := 4000000000; i := -1; j := c + i; "
     "writeln(IntToStr(j)); end.",
     "3999999999\n"},
    {"div and mod truncate toward zero",
     "begin writeln(Format('%d %d %d %d %d %d', [7 div 2, -7 div 2, 7 div -2, 7 mod 3, -7 mod 3, "
     "7 mod -3])); end.",
     "3 -3 -3 1 -1 1\n"},
    {"shifts and bitwise operators",
     "var i: Integer; begin i := -1; writeln(Format('%d %d %d %d %d', [1 shl 4, 256 shr 4, i shr "
     "28, 6 and 3, 6 or 3])); writeln(IntToStr(6 xor 3) + ' ' + IntToStr(not 0)); end.",
     "16 16 15 2 7\n5 -1\n"},
    {"Boolean logic short-circuits",
     "var calls: Integer; function T: Boolean; begin Inc(calls); Result := True; end; begin calls "
     ":= 0; if False and T then ; if True or T then ; writeln(IntToStr(calls)); if True and T "
     "then writeln('t'); if (1 < 2) xor (2 < 1) then writeln('x'); if not False then "
     "writeln('n'); end.",
     "0\nt\nx\nn\n"},
    {"floats and real division",
     "var d: Double; s: Single; e: Extended; begin d := 7 / 2; s := 0.1; e := 1.5; "
     "writeln(FloatToStr(d) + ' ' + FloatToStr(e * 2) + ' ' + FloatToStr(-d)); if s <> 0.1 then "
     "writeln('single rounded'); writeln(FloatToStr(1 / 3)); end.",
     "3.5 3 -3.5\nsingle rounded\n0.333333333333333\n"},
    {"integer to float promotion",
     "var i: Integer; d: Double; begin i := 3; d := i; d := d + i / 2; writeln(FloatToStr(d)); "
     "if i < 3.5 then writeln('less'); end.",
     "4.5\nless\n"},
    {"chars and strings",
     "var c: Char; s: string; w: WideString; a: AnsiString; begin c := 'x'; s := c + 'y' + #33 + "
     "#$41; w := s; a := w; writeln(a); writeln(IntToStr(Ord(c)) + Chr(66) + 'it''s'); end.",
     "xy!A\n120Bit's\n"},
    {"appending keeps Delphi's order of evaluation",
     "var s: string; function F: string; begin s := 'changed'; Result := '!'; end; var i: "
     "Integer; begin s := 'a'; s := s + F; writeln(s); s := ''; for i := 1 to 3 do s := s + "
     "IntToStr(i) + ','; s := s + s; writeln(s); end.",
     "a!\n1,2,3,1,2,3,\n"},
    {"strings are 1-based and copied by value",
     "var s, t: string; begin s := 'abc'; t := s; t[1] := 'X'; writeln(s + t + s[3]); "
     "writeln(IntToStr(Length(s))); end.",
     "abcXbcc\n3\n"},
    {"string comparison",
     "begin if 'abc' < 'abd' then writeln('lt'); if 'B' < 'a' then "
     "writeln('ordinal'); if 'x' = 'x' then writeln('eq'); end.",
     "lt\nordinal\neq\n"},
    {"enumerations",
     "type TDay = (Mon, Tue, Wed); var d: TDay; begin d := Tue; d := Succ(d); "
     "writeln(IntToStr(Ord(d)) + IntToStr(Ord(Pred(d))) + IntToStr(Ord(High(TDay)))); "
     "if d > Mon then writeln('later'); d := TDay(0); writeln(IntToStr(Ord(d))); end.",
     "21"
     "2\nlater\n0\n"},
    {"sets",
     "type TDay = (Mon, Tue, Wed, Thu); TDays = set of TDay; var s: TDays; c: set of Char; begin s "
     ":= [Mon, Wed]; Include(s, Thu); Exclude(s, Mon); if Wed in s then writeln('wed'); if not "
     "(Mon in s) then writeln('no mon'); s := s + [Tue] - [Thu]; if s = [Tue, Wed] then "
     "writeln('eq'); if [Tue] <= s then writeln('sub'); c := ['a'..'c', 'x']; if 'b' in c then "
     "writeln('b'); if 5 in [1..10] then writeln('5'); s := s * [Wed]; if s = [Wed] then "
     "writeln('inter'); s := []; if s = [] then writeln('empty'); end.",
     "wed\nno mon\neq\nsub\nb\n5\ninter\nempty\n"},
    {"records copied by value",
     "type TPt = record x, y: Integer; end; TBox = record a, b: TPt; name: string; end; var p, q: "
     "TBox; begin p.a.x := 1; p.name := 'p'; q := p; q.a.x := 2; q.name := 'q'; "
     "writeln(IntToStr(p.a.x) + p.name + IntToStr(q.a.x) + q.name); end.",
     "1p2q\n"},
    {"static arrays copied by value and multi-dimensional",
     "type M = array[1..2, 1..3] of Integer; var a, b: M; i, j: Integer; begin for i := 1 to 2 "
     "do for j := 1 to 3 do a[i, j] := i * 10 + j; b := a; b[2][3] := 0; writeln(IntToStr(a[2, "
     "3]) + ' ' + IntToStr(b[2, 3]) + ' ' + IntToStr(Length(a)) + IntToStr(High(a[1]))); end.",
     "23 0 23\n"},
    {"arrays indexed by enums and chars",
     "type TT = (r, g, b); var a: array[TT] of string; n: array['a'..'c'] of Integer; begin a[g] "
     ":= "
     "'green'; n['b'] := 7; writeln(a[g] + IntToStr(n['b']) + IntToStr(Length(a)) + Low(n)); "
     "end.",
     "green73a\n"},
    {"dynamic arrays share on assignment, SetLength keeps content",
     "var a, b: array of Integer; begin SetLength(a, 2); a[0] := 1; b := a; b[0] := 5; "
     "writeln(IntToStr(a[0])); SetLength(b, 4); b[0] := 7; writeln(IntToStr(a[0]) + "
     "IntToStr(b[0]) + IntToStr(b[3]) + IntToStr(Length(b)) + IntToStr(High(b))); a := nil; "
     "writeln(IntToStr(Length(a))); end.",
     "5\n57043\n0\n"},
    {"arrays of records and of arrays",
     "type TR = record n: Integer; s: string; end; var a: array of TR; m: array of array of "
     "Integer; "
     "begin SetLength(a, 2); a[1].n := 3; a[1].s := 'x'; SetLength(m, 2, 3); m[1][2] := 9; "
     "SetLength(m[0], 1); writeln(IntToStr(a[1].n) + a[1].s + IntToStr(m[1, 2]) + "
     "IntToStr(Length(m[0])) + IntToStr(Length(m[1]))); end.",
     "3x913\n"},
    {"type aliases and subranges",
     "type TInt = Integer; TDigit = 0..9; TLetter = 'a'..'z'; var i: TInt; d: TDigit; l: TLetter; "
     "begin i := 5; d := i; l := 'q'; writeln(IntToStr(d) + l + IntToStr(High(TDigit)) + "
     "IntToStr(Ord(High(TLetter)))); end.",
     "5q9122\n"},
    {"constants and typed constants",
     "const N = 3; S = 'abc'; F = 1.5; Big = N * 1000 + 1; Arr: array[0..2] of Integer = (1, 2, "
     "3); P: record x, y: Integer; end = (x: 4; y: 5); begin writeln(IntToStr(Big) + S + "
     "FloatToStr(F) + IntToStr(Arr[2]) + IntToStr(P.y)); end.",
     "3001abc1.53"
     "5\n"},
    {"initialised global variables reset at each run",
     "var n: Integer = 5; begin n := n + 1; writeln(IntToStr(n)); end.", "6\n"},
    {"TDateTime is a float",
     "var t: TDateTime; begin t := EncodeDate(2000, 1, 2) + 0.5; "
     "writeln(FloatToStr(t)); end.",
     "36527.5\n"},
    {"casts between ordinals",
     "var b: Byte; c: Char; begin b := Byte(300); c := Char(65); "
     "writeln(IntToStr(b) + c + IntToStr(Integer('Z')) + BoolToStr(Boolean(2), "
     "True)); end.",
     "44A90True\n"},
    {"nil and Assigned",
     "var a: array of Integer; begin if not Assigned(a) then writeln('nil'); "
     "SetLength(a, 1); if Assigned(a) and (a <> nil) then writeln('set'); end.",
     "nil\nset\n"},
};
INSTANTIATE_TEST_SUITE_P(Types, Language, testing::ValuesIn(kTypes));

const Case kExceptions[] = {
    {"try except catches run-time errors",
     "var i: Integer; begin i := 0; try i := 5 div i; writeln('no'); except writeln('caught'); "
     "end; writeln('after'); end.",
     "caught\nafter\n"},
    {"on handlers match classes and bind the object",
     "var a: array of Integer; begin try a[3] := 1; except on E: EDivByZero do writeln('div'); on "
     "E: ERangeError do writeln('range: ' + E.Message); end; end.",
     "range: Index 3 out of range (the array is empty)\n"},
    {"else part of handlers and Exception catches all",
     "begin try StrToInt('x'); except on E: EDivByZero do writeln('div'); else writeln('other'); "
     "end; try StrToInt('y'); except on E: Exception do writeln(E.Message); end; end.",
     "other\n'y' is not a valid integer value\n"},
    {"raise and re-raise",
     "begin try try raise Exception.Create('boom'); except on E: Exception do begin writeln('inner "
     "' + E.Message); raise; end; end; except on E: Exception do writeln('outer ' + E.Message); "
     "end; end.",
     "inner boom\nouter boom\n"},
    {"RaiseException",
     "begin try RaiseException('custom'); except on E: Exception do "
     "writeln(E.Message); end; try RaiseException(1, 'two'); except on E: "
     "Exception do writeln(E.Message); end; end.",
     "custom\ntwo\n"},
    {"finally runs on normal exit, exceptions, break and exit",
     "procedure P; begin try Exit; finally writeln('f1'); end; end; var i: Integer; begin P; for "
     "i := 1 to 3 do try if i = 2 then Break; finally writeln('f' + IntToStr(i + 1)); end; try try "
     "raise Exception.Create('e'); finally writeln('f4'); end; except writeln('caught'); end; end.",
     "f1\nf2\nf3\nf4\ncaught\n"},
    {"exception in a nested call unwinds frames",
     "procedure Deep(n: Integer); var s: string; begin s := 'x'; if n = 0 then raise "
     "EConvertError.Create('bottom'); Deep(n - 1); end; begin try Deep(20); except on E: "
     "EConvertError do writeln(E.Message); end; end.",
     "bottom\n"},
};
INSTANTIATE_TEST_SUITE_P(Exceptions, Language, testing::ValuesIn(kExceptions));

} // namespace
} // namespace kelvara::script::test
