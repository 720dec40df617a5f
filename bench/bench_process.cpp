// A complete plan through brimwell-plan as a whole process (start, options, Calculate, the 37
// lines on its output, end), against a program that only prints the same 37 lines. Both run in
// the same benchmark run, and the ratio of their times closes the output.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "bench/summary.h"

namespace {

using namespace brimwell;

const std::vector<std::string>& planOptions() {
    static const std::vector<std::string> options = [] {
        std::vector<std::string> lines;
        std::ifstream file(BRIMWELL_SAMPLE_PLAN_ARGS);
        for (std::string line; std::getline(file, line);) {
            lines.push_back(line);
        }
        return lines;
    }();
    return options;
}

void timeProcess(benchmark::State& state, const std::string& program,
                 const std::vector<std::string>& arguments) {
    for ([[maybe_unused]] auto _ : state) {
        const auto result = bench::runProcess(program, arguments);
        if (result.status != 0) {
            state.SkipWithError("the program failed");
            break;
        }
        benchmark::DoNotOptimize(result.output.data());
    }
}

void BM_PlanProcess(benchmark::State& state) {
    timeProcess(state, BRIMWELL_PLAN_PROGRAM, planOptions());
}
BENCHMARK(BM_PlanProcess)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same with the links' HTTP client linked in (libcurl, with OpenSSL, nghttp2, Kerberos...).
void BM_PlanLinkedCurlProcess(benchmark::State& state) {
    timeProcess(state, BRIMWELL_PLAN_LINKED_CURL_PROGRAM, planOptions());
}
BENCHMARK(BM_PlanLinkedCurlProcess)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PrintLinesProcess(benchmark::State& state) {
    timeProcess(state, BRIMWELL_PRINT_LINES_PROGRAM, {});
}
BENCHMARK(BM_PrintLinesProcess)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The yardstick must print exactly what the planner prints, or the comparison says nothing.
    const auto plan = bench::runProcess(BRIMWELL_PLAN_PROGRAM, planOptions());
    const auto lines = bench::runProcess(BRIMWELL_PRINT_LINES_PROGRAM, {});
    if (plan.status != 0 || plan.output != lines.output) {
        std::cerr << "bench_process: brimwell-plan and print_lines print different texts\n";
        return 1;
    }
    bench::SummaryReporter reporter;
    if (!bench::runBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    std::cout << '\n';
    // Linked in line, the X-Plane link would cost every start; it is a module
    // (docs/performance.md).
    bench::reportRatio(reporter, "plan, X-Plane link in line", "BM_PlanLinkedCurlProcess",
                       "BM_PrintLinesProcess", "", 1.5);
    return bench::reportRatio(reporter, "brimwell-plan process", "BM_PlanProcess",
                              "BM_PrintLinesProcess", "", 1.5) == bench::Goal::NotMeasured
               ? 1
               : 0;
}
