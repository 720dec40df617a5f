// brimwell-plan's own work in this process: Calculate; the 37 report lines; a SimBrief flight plan
// of 1 MiB read and planned; the X-Plane link against the tests' stand-in on loopback, the plan
// loaded (the first load of the process, which loads the link's module, timed apart, first) and
// a reading in flight with the plan's fuel check.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/plan_run.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "links/xplane/xplane.h"
#include "report/report_lines.h"
#include "tests/support/flight_plan_file.h"
#include "tests/support/plan.h"
#include "tests/support/xplane_standin.h"

namespace brimwell::bench {
namespace {

using namespace cli;
using namespace engine;
using namespace links;
using namespace report;

// The sample plan in cells, calculated; with the landing-weight correction when asked.
MemoryCells calculated(bool corrected = false) {
    MemoryCells cells;
    test::enter(cells, test::samplePlan());
    cells.setTicked(cell::CheckCorrection, corrected);
    test::RecordingSink sink;
    FuelPlanner(cells, sink).calculate();
    return cells;
}

void BM_Calculate(benchmark::State& state, bool corrected) {
    MemoryCells cells = calculated(corrected);
    test::RecordingSink sink;
    FuelPlanner planner(cells, sink);
    bool planned = true;
    for ([[maybe_unused]] auto _ : state) {
        planned = planner.calculate() && planned;
    }
    if (!planned || cells.text(cell::txtZFW) != "494088" || cells.text(cell::txtETA) != "9:07") {
        state.SkipWithError("the sample plan gave other results");
    }
}
BENCHMARK_CAPTURE(BM_Calculate, sample, false);
BENCHMARK_CAPTURE(BM_Calculate, corrected, true);

void BM_ReportLines(benchmark::State& state) {
    const MemoryCells cells = calculated();
    for ([[maybe_unused]] auto _ : state) {
        auto lines = buildReportLines(cells);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReportLines);

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
    std::ostringstream out;
    out << (json ? "{" : "<fix>");
    for (const auto& [name, text] : fields) {
        if (json) {
            out << (name == "ident" ? "\"" : ",\"") << name << "\":\"" << text << '"';
        } else {
            out << '<' << name << '>' << text << "</" << name << '>';
        }
    }
    out << (json ? "}," : "</fix>");
    return out.str();
}

// The sample flight with as many waypoints as make it 1 MiB, in a file of the process's own.
void BM_ReadAndPlan(benchmark::State& state, bool json) {
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
    const auto path = std::filesystem::temp_directory_path() /
                      ("brimwell-bench-" + std::to_string(getpid()) + (json ? ".json" : ".xml"));
    std::ofstream(path, std::ios::binary) << plan;
    for ([[maybe_unused]] auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        const int status =
            runPlan({"--ofp", path.string(), "--contingency", "30", "--min-landing-fuel", "19000"},
                    out, err);
        // The sample flight's fuel, or the figure says nothing.
        if (status != kExitPlanned ||
            out.str().find("TOTAL FUEL LOAD: 229752 lbs") == std::string::npos) {
            state.SkipWithError("the flight plan was not planned as the sample flight");
            break;
        }
    }
    state.counters["MiB"] = static_cast<double>(plan.size()) / kPlanSize;
    std::filesystem::remove(path);
}
BENCHMARK_CAPTURE(BM_ReadAndPlan, xml, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndPlan, json, true)->Unit(benchmark::kMillisecond);

void BM_LoadIntoXPlane(benchmark::State& state) {
    const test::XPlaneStandIn standIn;
    const XPlaneRequest request{*parseXPlaneUrl(standIn.url()), 229752, 100000,
                                std::chrono::seconds(5)};
    for ([[maybe_unused]] auto _ : state) {
        LinkControl control;
        const XPlaneOutcome outcome = loadIntoXPlane(request, control);
        if (!outcome.done()) {
            state.SkipWithError(describe(outcome, Unit::Pounds).c_str());
            break;
        }
    }
}
BENCHMARK(BM_LoadIntoXPlane)
    ->Name("BM_FirstLoadIntoXPlane")
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_LoadIntoXPlane)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadAndCheckFuel(benchmark::State& state) {
    test::XPlaneStandIn standIn;
    standIn.setValue("sim/flightmodel/weight/m_fuel_total", 60000);
    standIn.setValue("sim/flightmodel/controls/dist", 3'000'000);
    const auto line = FuelPlanLine::read(calculated());
    const XPlaneAddress address = *parseXPlaneUrl(standIn.url());
    for ([[maybe_unused]] auto _ : state) {
        LinkControl control;
        const auto reading = readXPlaneFlight(address, std::chrono::seconds(5), true, control);
        if (!reading.done() || !std::holds_alternative<FuelPlanLine>(line) ||
            !std::holds_alternative<FuelCheck>(std::get<FuelPlanLine>(line).check(
                {reading.value().fuelOnBoardKg, reading.value().distanceTravelledMetres}))) {
            state.SkipWithError("the reading or its check failed");
            break;
        }
    }
}
BENCHMARK(BM_ReadAndCheckFuel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace brimwell::bench

BENCHMARK_MAIN();
