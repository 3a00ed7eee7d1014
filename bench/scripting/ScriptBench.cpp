// Script engine speed: loops of integer arithmetic with an assignment, string building, calls and
// compilation, each script against the equivalent C++ code run in the same process. After the
// Google Benchmark table, each script's iterations per second and its ratio to C++ are printed.
#include "scripting/Engine.h"

#include <cstdio>
#include <map>
#include <string>

#include <QString>

#include <benchmark/benchmark.h>

namespace {

using kelvara::script::Engine;

constexpr int64_t kLoop = 10'000'000;
constexpr int64_t kAppends = 1'000'000;
constexpr int kFib = 25; // 242785 calls

// An engine with the script compiled (a failure stops the benchmark).
bool Prepare(Engine& e, const QString& text, benchmark::State& state) {
    e.SetScript(text);
    if (!e.Compile()) {
        state.SkipWithError("script does not compile");
        return false;
    }
    return true;
}

void RunScript(benchmark::State& state, const QString& text, int64_t iterations) {
    Engine e;
    if (!Prepare(e, text, state))
        return;
    for (auto _ : state)
        if (!e.Execute())
            state.SkipWithError(e.ExecErrorText().toUtf8().constData());
    state.SetItemsProcessed(state.iterations() * iterations);
}

void BM_Script_IntegerLoop(benchmark::State& state) {
    RunScript(
        state,
        QStringLiteral("var i, x: Integer; begin x := 0; for i := 1 to %1 do x := x + i * 2; end.")
            .arg(kLoop),
        kLoop);
}

void BM_Cpp_IntegerLoop(benchmark::State& state) {
    for (auto _ : state) {
        int32_t x = 0;
        for (int32_t i = 1; i <= int32_t(kLoop); ++i) {
            x = int32_t(uint32_t(x) + uint32_t(i) * 2u);
            benchmark::DoNotOptimize(x);
        }
    }
    state.SetItemsProcessed(state.iterations() * kLoop);
}

void BM_Script_LocalWhileLoop(benchmark::State& state) {
    RunScript(
        state,
        QStringLiteral("procedure P; var i, x: Integer; begin i := 0; x := 0; while i < %1 do "
                       "begin x := x xor (i mod 7); Inc(i); end; end; begin P; end.")
            .arg(kLoop),
        kLoop);
}

void BM_Cpp_LocalWhileLoop(benchmark::State& state) {
    for (auto _ : state) {
        int32_t i = 0, x = 0;
        while (i < int32_t(kLoop)) {
            x = x ^ (i % 7);
            benchmark::DoNotOptimize(x);
            ++i;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLoop);
}

void BM_Script_StringBuilding(benchmark::State& state) {
    RunScript(
        state,
        QStringLiteral("var i: Integer; s: string; begin for i := 1 to %1 do s := s + 'x'; end.")
            .arg(kAppends),
        kAppends);
}

void BM_Cpp_StringBuilding(benchmark::State& state) {
    for (auto _ : state) {
        QString s;
        for (int64_t i = 0; i < kAppends; ++i)
            s += QLatin1Char('x');
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kAppends);
}

void BM_Script_StringFormatting(benchmark::State& state) {
    RunScript(state,
              QStringLiteral("var i: Integer; s: string; begin for i := 1 to %1 do s := s + "
                             "IntToStr(i) + ','; end.")
                  .arg(kAppends / 10),
              kAppends / 10);
}

void BM_Cpp_StringFormatting(benchmark::State& state) {
    for (auto _ : state) {
        QString s;
        for (int64_t i = 1; i <= kAppends / 10; ++i)
            s += QString::number(i) + QLatin1Char(',');
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * (kAppends / 10));
}

int64_t FibCalls(int n) {
    return n < 2 ? 1 : 1 + FibCalls(n - 1) + FibCalls(n - 2);
}

void BM_Script_Calls(benchmark::State& state) {
    RunScript(state,
              QStringLiteral("function Fib(n: Integer): Integer; begin if n < 2 then Result := n "
                             "else Result := Fib(n - 1) + Fib(n - 2); end; var r: Integer; begin "
                             "r := Fib(%1); end.")
                  .arg(kFib),
              FibCalls(kFib));
}

__attribute__((noinline)) int32_t Fib(int32_t n) {
    return n < 2 ? n : Fib(n - 1) + Fib(n - 2);
}

void BM_Cpp_Calls(benchmark::State& state) {
    for (auto _ : state) {
        int32_t n = kFib;
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(Fib(n));
    }
    state.SetItemsProcessed(state.iterations() * FibCalls(kFib));
}

void BM_Script_Compile(benchmark::State& state) {
    QString text = QStringLiteral("var total: Integer;\n");
    for (int k = 0; k < 200; ++k)
        text += QStringLiteral("function F%1(a, b: Integer): Integer; var s: string; begin s := "
                               "IntToStr(a) + ','; if a > b then Result := a - b else Result := "
                               "b * %1; end;\n")
                    .arg(k);
    text += QStringLiteral("begin total := F0(1, 2); end.");
    for (auto _ : state) {
        Engine e;
        e.SetScript(text);
        if (!e.Compile())
            state.SkipWithError("script does not compile");
    }
    state.SetItemsProcessed(state.iterations() * 201);
}

// Collects items per second by benchmark name, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const auto it = r.counters.find("items_per_second");
            if (it != r.counters.end() && r.run_type == Run::RT_Iteration)
                FRates[r.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        std::printf("\n%-22s %18s %18s %10s\n", "workload", "script / s", "C++ / s", "C++/script");
        for (const auto& [name, rate] : FRates) {
            if (name.rfind("BM_Script_", 0) != 0)
                continue;
            const std::string what = name.substr(10);
            const auto cpp = FRates.find("BM_Cpp_" + what);
            if (cpp == FRates.end()) {
                std::printf("%-22s %18.0f %18s %10s\n", what.c_str(), rate, "-", "-");
                continue;
            }
            std::printf("%-22s %18.0f %18.0f %10.1f\n", what.c_str(), rate, cpp->second,
                        cpp->second / rate);
        }
    }

private:
    std::map<std::string, double> FRates;
};

} // namespace

BENCHMARK(BM_Script_IntegerLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cpp_IntegerLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Script_LocalWhileLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cpp_LocalWhileLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Script_StringBuilding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cpp_StringBuilding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Script_StringFormatting)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cpp_StringFormatting)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Script_Calls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cpp_Calls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Script_Compile)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
