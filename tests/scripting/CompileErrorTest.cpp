// Compiler messages: the first error stops compilation and reads as one line with its position.
#include "tests/scripting/ScriptRunner.h"

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

struct ErrorCase {
    const char* name;
    const char* script;
    const char* message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class CompileErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(CompileErrors, ReportTheFirstErrorWithLineAndColumn) {
    const ErrorCase& c = GetParam();
    const RunResult r = RunScript(QString::fromUtf8(c.script));
    EXPECT_FALSE(r.compiled);
    ASSERT_EQ(r.messages.size(), 1) << r.messages.join(u'\n').toStdString();
    EXPECT_EQ(r.messages.front().toStdString(), c.message);
}

const ErrorCase kErrors[] = {
    {"unknown identifier", "begin\n  x := 1;\nend.", "[Error] (2:3): Unknown identifier 'x'"},
    {"unknown routine", "begin\n  writeln('a');\n    Foo(1);\nend.",
     "[Error] (3:5): Unknown identifier 'Foo'"},
    {"type mismatch in assignment", "var i: Integer;\nbegin\n  i := 'text';\nend.",
     "[Error] (3:8): Type mismatch: 'Integer' expected but 'String' found"},
    {"float into integer", "var i: Integer;\nbegin\n  i := 1.5;\nend.",
     "[Error] (3:8): Type mismatch: 'Integer' expected but 'Double' found"},
    {"type mismatch in argument", "begin\n  writeln(42);\nend.",
     "[Error] (2:11): Type mismatch: 'String' expected but 'Integer' found"},
    {"missing semicolon", "var i: Integer;\nbegin\n  i := 1\n  i := 2;\nend.",
     "[Error] (4:3): ';' expected but identifier 'i' found"},
    {"too many arguments", "procedure P(a: Integer); begin end;\nbegin\n  P(1, 2);\nend.",
     "[Error] (3:8): Too many actual parameters for 'P'"},
    {"not enough arguments", "procedure P(a, b: Integer); begin end;\nbegin\n  P(1);\nend.",
     "[Error] (3:3): Not enough actual parameters for 'P'"},
    {"condition must be Boolean", "begin\n  if 1 then writeln('x');\nend.",
     "[Error] (2:6): Type mismatch: 'Boolean' expected but 'Integer' found"},
    {"and binds tighter than comparison",
     "var a: Integer; b: Boolean;\nbegin\n  if b and a > 0 then ;\nend.",
     "[Error] (3:8): Operator not applicable to this operand type"},
    {"redeclared identifier", "var a: Integer;\n    A: string;\nbegin end.",
     "[Error] (2:5): Identifier redeclared: 'A'"},
    {"var parameter needs a variable",
     "procedure P(var a: Integer); begin end;\nbegin\n  P(1 + 2);\nend.",
     "[Error] (3:5): Variable required"},
    {"var parameter needs the identical type",
     "procedure P(var a: Integer); begin end;\nvar b: Byte;\nbegin\n  P(b);\nend.",
     "[Error] (4:5): Types of actual and formal var parameters must be identical ('Integer' "
     "expected for 'a' of 'P')"},
    {"assign to constant", "const C = 1;\nbegin\n  C := 2;\nend.",
     "[Error] (3:5): Left side cannot be assigned to"},
    {"assign to const parameter",
     "procedure P(const a: Integer);\nbegin\n  a := 2;\nend;\nbegin end.",
     "[Error] (3:5): Left side cannot be assigned to"},
    {"assign to for variable", "var i: Integer;\nbegin\n  for i := 1 to 2 do\n    i := 5;\nend.",
     "[Error] (4:7): For loop control variable 'i' cannot be assigned to"},
    {"break outside loop", "begin\n  Break;\nend.",
     "[Error] (2:3): BREAK or CONTINUE outside of loop"},
    {"missing end", "begin\n  writeln('a');\n",
     "[Error] (3:1): 'end' expected but end of file found"},
    {"missing final dot", "begin end", "[Error] (1:10): '.' expected but end of file found"},
    {"unterminated string", "begin\n  writeln('abc);\nend.", "[Error] (2:11): Unterminated string"},
    {"unterminated comment", "begin { never closed\nend.", "[Error] (1:7): Unterminated comment"},
    {"illegal character", "begin\n  ?\nend.",
     "[Error] (2:3): Illegal character in input file: '?' ($3f)"},
    {"integer constant too large", "begin writeln(IntToStr(99999999999999999999)); end.",
     "[Error] (1:24): Integer constant too large"},
    {"division by zero in a constant", "const X = 1 div 0;\nbegin end.",
     "[Error] (1:13): Division by zero"},
    {"duplicate case label",
     "var i: Integer;\nbegin\n  case i of\n    1..5: ;\n    3: ;\n  end;\nend.",
     "[Error] (5:5): Duplicate case label"},
    {"unsatisfied forward", "procedure P; forward;\nbegin end.",
     "[Error] (2:1): Unsatisfied forward declaration: 'P'"},
    {"function without result type", "function F;\nbegin end;\nbegin end.",
     "[Error] (1:11): Result type of function 'F' expected"},
    {"procedure used as a value",
     "procedure P; begin end;\nvar i: Integer;\nbegin\n  i := P;\nend.",
     "[Error] (4:8): Expression has no value (a procedure call)"},
    {"unknown field", "type TR = record a: Integer; end;\nvar r: TR;\nbegin\n  r.b := 1;\nend.",
     "[Error] (4:5): Unknown field 'b'"},
    {"index of a non-array", "var i: Integer;\nbegin\n  i[1] := 2;\nend.",
     "[Error] (3:4): Array type required"},
    {"with is not supported", "begin\n  with x do ;\nend.",
     "[Error] (2:3): 'with' statements are not supported"},
    {"typed variable in a type position", "var i: Integer;\n    j: i;\nbegin end.",
     "[Error] (2:8): Type identifier expected but 'i' found"},
    {"expression too deep",
     "begin writeln(IntToStr(((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((("
     "((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((("
     "((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((("
     "1)))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))"
     ")))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))"
     "))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))); end.",
     "[Error] (1:222): Nesting too deep"},
};
INSTANTIATE_TEST_SUITE_P(Messages, CompileErrors, testing::ValuesIn(kErrors));

// Type rules: what may be stored where, what operators accept.
const ErrorCase kTypeRules[] = {
    {"string into char", "var c: Char;\nbegin\n  c := 'ab';\nend.",
     "[Error] (3:8): Type mismatch: 'Char' expected but 'String' found"},
    {"integer into char", "var c: Char;\nbegin\n  c := 65;\nend.",
     "[Error] (3:8): Type mismatch: 'Char' expected but 'Integer' found"},
    {"enum into integer", "type TE = (ea, eb);\nvar i: Integer;\nbegin\n  i := eb;\nend.",
     "[Error] (4:8): Type mismatch: 'Integer' expected but 'TE' found"},
    {"one enum into another", "type TA = (aa); TB = (bb);\nvar a: TA;\nbegin\n  a := bb;\nend.",
     "[Error] (4:8): Type mismatch: 'TA' expected but 'TB' found"},
    {"boolean into integer", "var i: Integer;\nbegin\n  i := True;\nend.",
     "[Error] (3:8): Type mismatch: 'Integer' expected but 'Boolean' found"},
    {"records of different types",
     "type TA = record x: Integer; end; TB = record x: Integer; end;\nvar a: TA; b: TB;\nbegin\n  "
     "a := b;\nend.",
     "[Error] (4:8): Type mismatch: 'TA' expected but 'TB' found"},
    {"records compared",
     "type TA = record x: Integer; end;\nvar a, b: TA;\nbegin\n  if a = b then ;\nend.",
     "[Error] (4:8): Incompatible types: 'TA' and 'TA'"},
    {"string minus string", "begin\n  writeln('a' - 'b');\nend.",
     "[Error] (2:15): Operator not applicable to this operand type"},
    {"div on floats", "var d: Double;\nbegin\n  d := d div 2;\nend.",
     "[Error] (3:10): Operator not applicable to this operand type"},
    {"not on a string", "begin\n  if not 'x' then ;\nend.",
     "[Error] (2:6): Operator not applicable to this operand type"},
    {"set of another base",
     "type TE = (ea); TF = (fa);\nvar s: set of TE;\nbegin\n  s := [fa];\nend.",
     "[Error] (4:8): Type mismatch: 'set of TE' expected but 'set of TF' found"},
    {"in needs an ordinal", "begin\n  if 'ab' in ['a'] then ;\nend.",
     "[Error] (2:6): Ordinal type required"},
    {"set of integer too large", "var s: set of Integer;\nbegin end.",
     "[Error] (1:15): Sets may have at most 256 elements"},
    {"array index of the wrong type", "var a: array[1..3] of Integer;\nbegin\n  a['x'] := 1;\nend.",
     "[Error] (3:5): Type mismatch: '1..3' expected but 'Char' found"},
    {"string index must be an integer", "var s: string;\nbegin\n  s[1.5] := 'x';\nend.",
     "[Error] (3:5): Type mismatch: 'Integer' expected but 'Double' found"},
    {"for over a float", "var d: Double;\nbegin\n  for d := 1 to 2 do ;\nend.",
     "[Error] (3:7): Ordinal type required"},
    {"for over a var parameter",
     "procedure P(var i: Integer);\nbegin\n  for i := 1 to 2 do ;\nend;\nbegin end.",
     "[Error] (3:7): For loop control variable must be a simple local variable"},
    {"case label of the wrong type",
     "var i: Integer;\nbegin\n  case i of\n    'a': ;\n  end;\nend.",
     "[Error] (4:5): Type mismatch: 'Integer' expected but 'Char' found"},
    {"case label not constant", "var i, j: Integer;\nbegin\n  case i of\n    j: ;\n  end;\nend.",
     "[Error] (4:5): Constant expression expected"},
    {"raise of a non-exception", "begin\n  raise 5;\nend.",
     "[Error] (2:9): Exception object expected"},
    {"re-raise outside a handler", "begin\n  raise;\nend.",
     "[Error] (2:3): Re-raising an exception only allowed in exception handler"},
    {"exit with a value in a procedure", "procedure P;\nbegin\n  Exit(1);\nend;\nbegin end.",
     "[Error] (3:3): Exit with a value is allowed only in a function"},
    {"Inc on a float", "var d: Double;\nbegin\n  Inc(d);\nend.",
     "[Error] (3:7): Ordinal type required"},
    {"Inc of a constant", "const C = 1;\nbegin\n  Inc(C);\nend.",
     "[Error] (3:7): Variable required"},
    {"procedure intrinsic in an expression", "var i: Integer;\nbegin\n  i := Inc(i);\nend.",
     "[Error] (3:8): Expression expected but procedure 'Inc' found"},
    {"SetLength of a static array",
     "var a: array[0..1] of Integer;\nbegin\n  SetLength(a, 3);\nend.",
     "[Error] (3:13): String or dynamic array required"},
    {"forward declaration that differs",
     "procedure P(a: Integer); forward;\nprocedure P(a: string);\nbegin end;\nbegin end.",
     "[Error] (2:11): Declaration of 'P' differs from previous declaration"},
    {"default without default after it",
     "procedure P(a: Integer = 1; b: Integer);\nbegin end;\nbegin end.",
     "[Error] (1:29): Default value required for 'b'"},
    {"unsupported pointer type", "type P = ^Integer;\nbegin end.",
     "[Error] (1:10): Pointer types are not supported"},
    {"class declarations", "type T = class end;\nbegin end.",
     "[Error] (1:10): Class declarations are not supported"},
};
INSTANTIATE_TEST_SUITE_P(TypeRules, CompileErrors, testing::ValuesIn(kTypeRules));

TEST(CompilerMessage, OneLineFormNamesAnIncludedFile) {
    CompilerMessage m;
    m.kind = MessageKind::Warning;
    m.file = QStringLiteral("lib.inc");
    m.line = 4;
    m.col = 2;
    m.text = QStringLiteral("Something");
    EXPECT_EQ(m.ToString().toStdString(), "[Warning] lib.inc(4:2): Something");
    m.file.clear();
    m.kind = MessageKind::Hint;
    EXPECT_EQ(m.ToString().toStdString(), "[Hint] (4:2): Something");
}

TEST(CompileErrorsInLongExpressions, AreReportedInsteadOfOverflowingTheStack) {
    QString sum = QStringLiteral("1");
    for (int i = 0; i < 5000; ++i)
        sum += QStringLiteral(" + 1");
    const RunResult r =
        RunScript(QStringLiteral("var i: Integer; j: Integer; begin j := 1; i := j") + sum.mid(1) +
                  QStringLiteral("; end."));
    ASSERT_FALSE(r.compiled);
    EXPECT_TRUE(r.messages.front().endsWith(QStringLiteral("Expression too complex")))
        << r.messages.front().toStdString();
}

} // namespace
} // namespace kelvara::script::test
