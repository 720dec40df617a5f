// A SimBrief flight plan of 1 MiB, its navigation log making up nearly all of it, read and
// planned by brimwell-plan's own code in this process: the file read, the cells filled, Calculate
// and the 37 report lines. Once in XML and once in JSON; the goal is 5 ms for each.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/summary.h"
#include "cli/plan_run.h"
#include "tests/support/flight_plan_file.h"

namespace {

using namespace brimwell;

constexpr std::size_t kPlanSize = std::size_t{1024} * 1024;

// The sample flight with as many waypoints as make it 1 MiB, written into a file.
std::string writeLargePlan(bool json) {
    test::OfpSpec spec;
    spec.json = json;
    const auto bare = test::ofpText(spec).size();
    spec.navlogFixes = 100;
    const auto perFix = (test::ofpText(spec).size() - bare) / spec.navlogFixes;
    spec.navlogFixes = (kPlanSize - bare) / perFix + 1;
    const auto path = (std::filesystem::temp_directory_path() /
                       (json ? "brimwell-bench-ofp.json" : "brimwell-bench-ofp.xml"))
                          .string();
    std::ofstream(path, std::ios::binary) << test::ofpText(spec);
    return path;
}

struct Run {
    int status;
    std::string out;
};

Run plan(const std::string& path) {
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        runPlan({"--ofp", path, "--contingency", "30", "--min-landing-fuel", "19000"}, out, err);
    return {status, out.str()};
}

void readAndPlan(benchmark::State& state, const std::string& path) {
    for ([[maybe_unused]] auto _ : state) {
        const auto run = plan(path);
        benchmark::DoNotOptimize(run.out.data());
        if (run.status != kExitPlanned) {
            state.SkipWithError("the flight plan was not planned");
            break;
        }
    }
    state.counters["MiB"] = static_cast<double>(std::filesystem::file_size(path)) / kPlanSize;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> paths = {writeLargePlan(false), writeLargePlan(true)};
    // Both forms must plan the sample flight, or the figures say nothing.
    if (plan(paths[0]).status != kExitPlanned || plan(paths[0]).out != plan(paths[1]).out) {
        std::cerr << "bench_flight_plan: the two forms do not plan the same flight\n";
        return 1;
    }
    benchmark::RegisterBenchmark("BM_ReadAndPlanXml", readAndPlan, paths[0])
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ReadAndPlanJson", readAndPlan, paths[1])
        ->Unit(benchmark::kMillisecond);
    bench::SummaryReporter reporter;
    const bool ran = bench::runBenchmarks(argc, argv, reporter);
    for (const auto& path : paths) {
        std::filesystem::remove(path);
    }
    if (!ran) {
        return 1;
    }
    std::cout << '\n';
    const auto xml = bench::reportFigure(reporter, "1 MiB OFP, XML", "BM_ReadAndPlanXml", 5);
    const auto json = bench::reportFigure(reporter, "1 MiB OFP, JSON", "BM_ReadAndPlanJson", 5);
    return xml == bench::Goal::NotMeasured || json == bench::Goal::NotMeasured ? 1 : 0;
}
