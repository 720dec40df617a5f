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
#include <utility>
#include <vector>

#include "bench/summary.h"
#include "cli/plan_run.h"
#include "tests/support/flight_plan_file.h"

namespace {

using namespace brimwell;

constexpr std::size_t kPlanSize = std::size_t{1024} * 1024;

// One waypoint of the navigation log, with the fields SimBrief gives each, in either form.
std::string waypoint(std::size_t i, bool json) {
    const auto n = std::to_string(i);
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"ident", "WP" + n}, {"name", "WAYPOINT " + n}, {"type", "wpt"}, {"icao_region", "LI"},
        {"pos_lat", "41." + n}, {"pos_long", "-12." + n}, {"stage", "CRZ"}, {"via_airway", "NATA"},
        {"is_sid_star", "0"}, {"distance", "52"}, {"track_true", "287"}, {"track_mag", "291"},
        {"heading_true", "281"}, {"heading_mag", "285"}, {"altitude_feet", "35000"},
        {"ind_airspeed", "283"}, {"true_airspeed", "489"}, {"mach", "0.85"},
        {"wind_component", "-50"}, {"groundspeed", "439"}, {"time_leg", "427"},
        {"time_total", n + "00"}, {"fuel_flow", "23810"}, {"fuel_leg", "2824"},
        {"fuel_totalused", n + "000"}, {"fuel_min_onboard", "41200"},
        {"fuel_plan_onboard", "45800"}, {"oat", "-52"}, {"oat_isa_dev", "4"}, {"wind_dir", "268"},
        {"wind_spd", "57"}, {"shear", "2"}, {"tropopause_feet", "36120"}, {"ground_height", "0"},
        {"mora", "1600"}, {"fir", "LIRR"}, {"fir_units", "N"}};
    // clang-format on
    std::string out = json ? "{" : "<fix>";
    for (const auto& [name, text] : fields) {
        if (json) {
            out.append("\"").append(name).append("\":\"").append(text).append("\",");
        } else {
            out.append("<").append(name).append(">").append(text).append("</").append(name).append(
                ">");
        }
    }
    if (json) {
        out.back() = '}';
    }
    return out + (json ? "," : "</fix>");
}

// The sample flight with as many waypoints as make it 1 MiB, written into a file.
std::string writeLargePlan(bool json) {
    test::OfpChanges changes;
    changes.json = json;
    auto plan = test::ofpText(changes);
    std::string navlog;
    for (std::size_t i = 0; plan.size() + navlog.size() < kPlanSize; ++i) {
        navlog += waypoint(i, json);
    }
    if (json) {
        navlog.back() = ']';
        plan.insert(plan.rfind('}'), R"(,"navlog":{"fix":[)" + navlog + "}");
    } else {
        plan.insert(plan.rfind("</OFP>"), "<navlog>" + navlog + "</navlog>");
    }
    auto path = (std::filesystem::temp_directory_path() /
                 (json ? "brimwell-bench-ofp.json" : "brimwell-bench-ofp.xml"))
                    .string();
    std::ofstream(path, std::ios::binary) << plan;
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
