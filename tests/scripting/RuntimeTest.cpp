// Run-time errors and the engine's safety limits: each ends the run with a clear text and never
// takes the process down.
#include "tests/scripting/ScriptRunner.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

struct ErrorCase {
    const char* name;
    const char* script;
    const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class RuntimeErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(RuntimeErrors, EndTheRunWithTheirText) {
    const ErrorCase& c = GetParam();
    const RunResult r = RunScript(QString::fromUtf8(c.script));
    ASSERT_TRUE(r.compiled) << r.messages.join(u'\n').toStdString();
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.error.toStdString(), c.error);
}

const ErrorCase kErrors[] = {
    {"integer division by zero", "var i: Integer; begin i := 0; i := 10 div i; end.",
     "Division by zero"},
    {"modulo by zero", "var i: Int64; begin i := 0; i := 10 mod i; end.", "Division by zero"},
    {"float division by zero", "var d: Double; begin d := 0; d := 1 / d; end.",
     "Floating point division by zero"},
    {"zero by zero", "var d: Double; begin d := 0; d := d / d; end.",
     "Invalid floating point operation"},
    {"static array index",
     "var a: array[1..3] of Integer; i: Integer; begin i := 4; a[i] := 1; end.",
     "Index 4 out of range 1..3"},
    {"index far outside an array of negative bounds",
     "type TI = -9223372036854775807 - 1..-9223372036854775800; var a: array[TI] of Byte; i: "
     "Int64; begin i := High(Int64); a[i] := 1; end.",
     "Index 9223372036854775807 out of range -9223372036854775808..-9223372036854775800"},
    {"dynamic array index", "var a: array of Integer; begin SetLength(a, 2); a[-1] := 0; end.",
     "Index -1 out of range 0..1"},
    {"empty array", "var a: array of string; begin writeln(a[0]); end.",
     "Index 0 out of range (the array is empty)"},
    {"string index", "var s: string; i: Integer; begin s := 'abc'; i := 0; s[i] := 'x'; end.",
     "String index 0 out of range 1..3"},
    {"string index read", "var s: string; begin s := 'abc'; writeln(s[4]); end.",
     "String index 4 out of range 1..3"},
    {"negative SetLength",
     "var a: array of Integer; n: Integer; begin n := -1; SetLength(a, n); end.",
     "Invalid array length -1"},
    {"conversion", "begin writeln(IntToStr(StrToInt('12x'))); end.",
     "'12x' is not a valid integer value"},
    {"uncaught raise", "begin raise Exception.Create('boom'); end.", "boom"},
    {"message changed before re-raise",
     "begin try raise Exception.Create('a'); except on E: Exception do begin E.Message := 'b'; "
     "raise; end; end; end.",
     "b"},
    {"nil object", "var e: Exception; begin writeln(e.Message); end.", "Object reference is nil"},
    {"square root of a negative", "begin writeln(FloatToStr(Sqrt(-1 + 0.0))); end.",
     "Invalid floating point operation"},
    {"round out of range", "var d: Double; begin d := 1e30; writeln(IntToStr(Round(d))); end.",
     "Invalid floating point operation"},
    {"invalid date", "begin writeln(FloatToStr(EncodeDate(2001, 2, 29))); end.",
     "Invalid argument to date encode"},
    {"format mismatch", "begin writeln(Format('%d', ['x'])); end.",
     "Format '%d' invalid or incompatible with argument"},
    {"format missing argument", "begin writeln(Format('%s %s', ['x'])); end.",
     "Format '%s %s' invalid or incompatible with argument"},
};
INSTANTIATE_TEST_SUITE_P(Texts, RuntimeErrors, testing::ValuesIn(kErrors));

TEST(RuntimeErrorPosition, IsPartOfTheTextWithDebugInformation) {
    const RunResult r =
        RunScript(QStringLiteral("var i: Integer;\nbegin\n  i := 0;\n  i := 5 div i;\nend."), true);
    EXPECT_EQ(r.error.toStdString(), "Division by zero (line 4, column 10)");
    const RunResult inner = RunScript(
        QStringLiteral("procedure P;\nbegin\n  StrToInt('q');\nend;\nbegin\n  P;\nend."), true);
    EXPECT_EQ(inner.error.toStdString(), "'q' is not a valid integer value (line 3, column 3)");
}

TEST(Recursion, DeeperThanTheLimitEndsTheRunCleanly) {
    Limits limits;
    limits.maxCallDepth = 100;
    const char* script =
        "var depth: Integer; procedure Down; begin Inc(depth); Down; end; begin Down; end.";
    const RunResult r = RunScript(QString::fromUtf8(script), false, limits);
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.error.toStdString(), "Stack overflow: more than 100 nested calls");
}

TEST(Recursion, UnboundedRecursionWithDefaultLimitsFailsInsteadOfCrashing) {
    const char* script =
        "function F(n: Integer; s: string): Integer; var a, b, c: string; begin "
        "a := s; Result := F(n + 1, a) + 1; end; begin writeln(IntToStr(F(0, 'x'))); end.";
    const RunResult r = RunScript(QString::fromUtf8(script));
    EXPECT_FALSE(r.ran);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("Stack overflow"))) << r.error.toStdString();
}

TEST(Recursion, OverflowCanBeCaughtAndTheScriptGoesOn) {
    Limits limits;
    limits.maxCallDepth = 50;
    const char* script = "procedure Down; begin Down; end; begin try Down; except on E: "
                         "EStackOverflow do writeln('caught'); end; writeln('after'); end.";
    const RunResult r = RunScript(QString::fromUtf8(script), false, limits);
    EXPECT_TRUE(r.ran) << r.error.toStdString();
    EXPECT_EQ(r.output.toStdString(), "caught\nafter\n");
}

TEST(Limits, StringsLongerThanTheLimitAreErrors) {
    Limits limits;
    limits.maxStringLength = 1000;
    const char* cases[] = {
        "var s: string; begin s := 'x'; while True do s := s + s; end.",
        "var s: string; begin s := 'x'; while True do s := s + 'y' + s; end.",
        "begin writeln(StringOfChar('a', 5000)); end.",
        "var s: string; begin SetLength(s, 1001); end.",
        "var s: string; i: Integer; begin for i := 1 to 2000 do Insert('ab', s, 1); end.",
        "var s: string; begin s := StringOfChar('a', 600); s := s + s; end.",
    };
    for (const char* script : cases) {
        const RunResult r = RunScript(QString::fromUtf8(script), false, limits);
        EXPECT_FALSE(r.ran) << script;
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("String too long")))
            << script << " -> " << r.error.toStdString();
    }
}

TEST(Limits, ArraysLargerThanTheLimitAreErrors) {
    Limits limits;
    limits.maxArrayLength = 10000;
    const char* cases[] = {
        "var a: array of Integer; begin SetLength(a, 10001); end.",
        "var a: array of array of Integer; begin SetLength(a, 200, 200); end.",
    };
    for (const char* script : cases) {
        const RunResult r = RunScript(QString::fromUtf8(script), false, limits);
        EXPECT_FALSE(r.ran) << script;
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("Array too large"))) << r.error.toStdString();
    }
}

TEST(Limits, HugeStaticArraysAreRefusedWhenCompiling) {
    const RunResult r =
        RunScript(QStringLiteral("var a: array[0..100000000] of Integer; begin end."));
    ASSERT_FALSE(r.compiled);
    EXPECT_TRUE(r.messages.front().endsWith(QStringLiteral("Data type too large")));
}

TEST(Limits, TheBudgetStopsEveryKindOfLoopAndCannotBeCaught) {
    Limits limits;
    limits.budget = 1000;
    const char* cases[] = {
        "begin while True do ; end.",
        "begin repeat until False; end.",
        "var i: Integer; begin for i := 0 to MaxInt do ; end.",
        "procedure P; begin P; end; begin P; end.",
        "begin while True do try while True do ; except writeln('caught'); end; end.",
    };
    for (const char* script : cases) {
        const RunResult r = RunScript(QString::fromUtf8(script), false, limits);
        EXPECT_FALSE(r.ran) << script;
        EXPECT_EQ(r.error.toStdString(), "Execution limit reached") << script;
        EXPECT_TRUE(r.output.isEmpty()) << script;
    }
}

TEST(Limits, FinallyBlocksRunWhenTheRunIsStopped) {
    Limits limits;
    limits.budget = 100;
    const RunResult r =
        RunScript(QStringLiteral("begin try while True do ; finally writeln('cleanup'); end; end."),
                  false, limits);
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.output.toStdString(), "cleanup\n");
}

// A script that tells the test it is running, then loops until stopped from another thread.
class AbortFromAnotherThread : public testing::Test {
protected:
    void Start(Engine& engine) {
        engine.SetCompileCallback([this](Engine& e) {
            e.AddMethod(
                nullptr,
                [this](const QVariantList&) {
                    std::lock_guard lock(FMutex);
                    FStarted = true;
                    FCondition.notify_all();
                    return QVariant();
                },
                QStringLiteral("procedure Started;"));
        });
        engine.SetScript(
            QStringLiteral("var n: Integer; begin Started; while True do begin Inc(n); "
                           "try n := n + 1; except end; end; end."));
        ASSERT_TRUE(engine.Compile());
    }
    void WaitStarted() {
        std::unique_lock lock(FMutex);
        FCondition.wait(lock, [this] { return FStarted; });
    }

    std::mutex FMutex;
    std::condition_variable FCondition;
    bool FStarted = false;
};

TEST_F(AbortFromAnotherThread, StopsARunawayScript) {
    Engine engine;
    Start(engine);
    std::thread stopper([&] {
        WaitStarted();
        engine.Abort();
    });
    EXPECT_FALSE(engine.Execute());
    stopper.join();
    EXPECT_EQ(engine.ExecErrorText().left(14).toStdString(), "Script aborted");
    // The next run starts with the flag lowered.
    engine.SetScript(QStringLiteral("begin end."));
    ASSERT_TRUE(engine.Compile());
    EXPECT_TRUE(engine.Execute());
}

TEST_F(AbortFromAnotherThread, TheProgramsAbortFlagStopsItToo) {
    Engine engine;
    std::atomic<bool> programAbort{false};
    engine.SetAbortFlag(&programAbort);
    Start(engine);
    std::thread stopper([&] {
        WaitStarted();
        programAbort.store(true);
    });
    EXPECT_FALSE(engine.Execute());
    stopper.join();
    EXPECT_TRUE(engine.ExecErrorText().startsWith(QStringLiteral("Script aborted")));
}

TEST(Execution, EachRunStartsWithFreshGlobals) {
    Engine engine;
    QString out;
    engine.SetCompileCallback([&out](Engine& e) { AddOutput(e, out); });
    engine.SetScript(
        QStringLiteral("var n: Integer; s: string; a: array of Integer; begin Inc(n); "
                       "s := s + 'x'; SetLength(a, Length(a) + 1); writeln(IntToStr(n) + s "
                       "+ IntToStr(Length(a))); end."));
    ASSERT_TRUE(engine.Compile());
    EXPECT_TRUE(engine.Execute());
    EXPECT_TRUE(engine.Execute());
    EXPECT_EQ(out.toStdString(), "1x1\n1x1\n");
}

TEST(Execution, WithoutACompiledProgramFails) {
    Engine engine;
    EXPECT_FALSE(engine.Execute());
    EXPECT_EQ(engine.ExecErrorText().toStdString(), "No compiled program");
    engine.SetScript(QStringLiteral("begin end."));
    ASSERT_TRUE(engine.Compile());
    engine.SetScript(QStringLiteral("begin x end."));
    EXPECT_FALSE(engine.Compile());
    EXPECT_FALSE(engine.Execute());
}

TEST(Execution, AHostRoutineMayRecompileButNotRunAgain) {
    Engine engine;
    QString out;
    bool nestedRun = true;
    engine.SetCompileCallback([&](Engine& e) {
        AddOutput(e, out);
        e.AddMethod(
            nullptr,
            [&](const QVariantList&) {
                EXPECT_TRUE(engine.Compile());
                nestedRun = engine.Execute();
                out += engine.ExecErrorText() + QLatin1Char('\n');
                return QVariant();
            },
            QStringLiteral("procedure Again;"));
    });
    engine.SetScript(
        QStringLiteral("var s: string; begin s := 'before'; Again; writeln(s + ' after'); end."));
    ASSERT_TRUE(engine.Compile());
    EXPECT_TRUE(engine.Execute()) << engine.ExecErrorText().toStdString();
    EXPECT_FALSE(nestedRun);
    EXPECT_EQ(out.toStdString(), "A script is already running\nbefore after\n");
}

} // namespace
} // namespace kelvara::script::test
