#pragma once
// A console reporter that also remembers every benchmark's CPU time per iteration and, after the
// run, prints the ratios asked for: each figure against a reference measured in the same
// process, so that the numbers mean something on a loaded machine.
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    // Prints "name / reference = ratio" for every pair once the run is over.
    explicit TRatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : FPairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                FTimes[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nRatios (CPU time per iteration, same process):\n");
        for (const auto& [name, reference] : FPairs) {
            const auto a = FTimes.find(name), b = FTimes.find(reference);
            if (a == FTimes.end() || b == FTimes.end() || b->second <= 0)
                continue;
            std::printf("  %-44s / %-40s = %6.2f\n", name.c_str(), reference.c_str(),
                        a->second / b->second);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> FPairs;
    std::map<std::string, double> FTimes;
};

// main() of a benchmark program that reports the given ratios.
inline int RunWithRatios(int argc, char** argv,
                         std::vector<std::pair<std::string, std::string>> pairs) {
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
