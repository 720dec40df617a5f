// The X-Plane link on loopback: the sample plan loaded into the X-Plane stand-in through the
// link's face, as the window and brimwell-plan call it; seven requests on one kept-alive
// connection, from the connection to the last answer read back. The first load, which also loads
// the link's module with libcurl behind it, is timed once apart. And one reading in flight with
// its fuel check: three requests, then the check of the sample plan against it.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "bench/summary.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "links/xplane/xplane.h"
#include "tests/support/plan.h"
#include "tests/support/xplane_standin.h"

namespace {

using namespace brimwell;
using namespace brimwell::links;

XPlaneRequest sampleRequest(const test::XPlaneStandIn& standIn) {
    return {*parseXPlaneUrl(standIn.url()), 229752, 100000, std::chrono::seconds(5)};
}

void BM_LoadIntoXPlane(benchmark::State& state) {
    const test::XPlaneStandIn standIn;
    const XPlaneRequest request = sampleRequest(standIn);
    for ([[maybe_unused]] auto _ : state) {
        LinkControl control;
        const XPlaneOutcome outcome = loadIntoXPlane(request, control);
        if (!std::holds_alternative<XPlaneLoaded>(outcome)) {
            state.SkipWithError(describe(outcome, Unit::Pounds).c_str());
            break;
        }
    }
}
BENCHMARK(BM_LoadIntoXPlane)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadAndCheckFuel(benchmark::State& state) {
    test::XPlaneStandIn standIn;
    standIn.setValue("sim/flightmodel/weight/m_fuel_total", 60000);
    standIn.setValue("sim/flightmodel/controls/dist", 3'000'000);
    MemoryCells cells;
    test::enter(cells, test::samplePlan());
    test::RecordingSink messages;
    FuelPlanner(cells, messages).calculate();
    const auto line = FuelPlanLine::read(cells);
    const XPlaneAddress address = *parseXPlaneUrl(standIn.url());
    for ([[maybe_unused]] auto _ : state) {
        LinkControl control;
        const auto reading = readXPlane(address, std::chrono::seconds(5), control);
        if (!std::holds_alternative<FuelReading>(reading) ||
            !std::holds_alternative<FuelPlanLine>(line) ||
            !std::holds_alternative<FuelCheck>(
                std::get<FuelPlanLine>(line).check(std::get<FuelReading>(reading)))) {
            state.SkipWithError("the reading or its check failed");
            break;
        }
    }
}
BENCHMARK(BM_ReadAndCheckFuel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    {
        const test::XPlaneStandIn standIn;
        const auto started = std::chrono::steady_clock::now();
        LinkControl control;
        const XPlaneOutcome outcome = loadIntoXPlane(sampleRequest(standIn), control);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - started;
        if (!std::holds_alternative<XPlaneLoaded>(outcome)) {
            std::cerr << "bench_xplane: " << describe(outcome, Unit::Pounds) << '\n';
            return 1;
        }
        std::printf("first load, the module loaded with it: %.2f ms\n\n", took.count());
    }
    bench::SummaryReporter reporter;
    if (!bench::runBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    std::cout << '\n';
    // The exchanges on loopback take a small part of the link's bound of 5 s.
    const bool load = bench::reportFigure(reporter, "X-Plane exchange on loopback",
                                          "BM_LoadIntoXPlane", 50) != bench::Goal::NotMeasured;
    const bool check = bench::reportFigure(reporter, "a reading in flight and its check",
                                           "BM_ReadAndCheckFuel", 20) != bench::Goal::NotMeasured;
    return load && check ? 0 : 1;
}
