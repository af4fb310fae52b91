// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// Runs a program's benchmarks side by side (repetitions interleaved at random)
// and prints each one's median time as a ratio of the floor's median: the
// floor is the benchmark whose name starts with "floor".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

class median_reporter : public benchmark::ConsoleReporter {
public:
    std::vector<std::pair<std::string, double>> medians;

    // Plain text: the ratio lines that follow are read by scripts.
    median_reporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians.emplace_back(run.run_name.function_name, run.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    // Defaults first, so that flags given on the command line override them.
    std::vector<char *> args = {argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=15",
                              "--benchmark_enable_random_interleaving=true",
                              "--benchmark_report_aggregates_only=true"};
    // data() of a const string is a const char *, which the vector cannot hold.
    // cppcheck-suppress constVariableReference
    for (std::string &d : defaults)
        args.push_back(d.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;

    median_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::pair<std::string, double> *floor = nullptr;
    for (const auto &m : reporter.medians)
        if (m.first.rfind("floor", 0) == 0)
            floor = &m;
    if (!floor)
        return 0;
    for (const auto &m : reporter.medians)
        if (&m != floor)
            std::printf("ratio: %s %.1f ns / %s %.1f ns = %.3f\n", m.first.c_str(), m.second,
                        floor->first.c_str(), floor->second, m.second / floor->second);
    return 0;
}
