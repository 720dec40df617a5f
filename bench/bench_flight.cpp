// The watch of a flight: one reading through it on a route of 200 fixes, searched whole (the
// aircraft still on the first leg); and a 12-hour flight's readings at 5 s, 8640 of them, with the
// memory the watch holds for them, which may not pass 5 MB.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstddef>
#include <optional>

#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "flight/flight_watch.h"
#include "tests/support/plan.h"

namespace brimwell::bench {
namespace {

constexpr std::size_t kFixes = 200;
constexpr int kTwelveHours = 12 * 3600 / 5;
constexpr double kMostHeldBytes = 5'000'000;

engine::FuelPlanLine samplePlan() {
    engine::MemoryCells cells;
    test::RecordingSink sink;
    engine::FuelPlanner planner(cells, sink);
    test::enter(cells, test::samplePlan());
    planner.calculate();
    return std::get<engine::FuelPlanLine>(engine::FuelPlanLine::read(cells));
}

// From Rome westwards along 42 N, 20 nm a leg: the sample flight's 4000 nm.
flightplan::Route route() {
    flightplan::Route route{42, 12, {}};
    for (std::size_t i = 1; i <= kFixes; ++i) {
        route.fixes.push_back({"WP", 42, 12 - 0.45 * static_cast<double>(i), 20, 100'000});
    }
    return route;
}

flight::Reading reading(double time, double longitude) {
    flight::Reading r;
    r.time = time;
    r.latitude = 42.01;
    r.longitude = longitude;
    r.fuelOnBoardKg = 100'000;
    r.fuelFlowKgPerSecond = {1.5, 1.5, 1.5, 1.5};
    r.groundSpeedMetresPerSecond = 250;
    return r;
}

void BM_WatchReading(benchmark::State& state) {
    flight::FlightWatch watch(samplePlan(), route());
    double time = 0;
    for ([[maybe_unused]] auto _ : state) {
        time += 5;
        // Back and forth on the first leg: no fix passed, every leg searched.
        watch.read(reading(time, 12 - 0.4 * (static_cast<int>(time) % 100) / 100));
    }
    if (watch.checks().empty() || !watch.fixesPassed().empty()) {
        state.SkipWithError("the readings were not checked on the first leg");
    }
}
BENCHMARK(BM_WatchReading)->Unit(benchmark::kMillisecond);

void BM_WatchTwelveHours(benchmark::State& state) {
    double held = 0;
    for ([[maybe_unused]] auto _ : state) {
        auto plan = samplePlan();
        auto fixes = route();
        const auto before = mallinfo2().uordblks;
        std::optional<flight::FlightWatch> watch;
        watch.emplace(std::move(plan), std::move(fixes));
        for (int i = 0; i < kTwelveHours; ++i) {
            watch->read(reading(i * 5.0, 12 - 90.0 * i / kTwelveHours));
        }
        held = static_cast<double>(mallinfo2().uordblks - before);
        if (watch->checks().size() != static_cast<std::size_t>(kTwelveHours)) {
            state.SkipWithError("not every reading was checked and held");
        }
    }
    state.counters["held_MB"] = held / 1e6;
    if (held > kMostHeldBytes) {
        state.SkipWithError("the watch holds more than 5 MB for a 12-hour flight");
    }
}
BENCHMARK(BM_WatchTwelveHours)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimwell::bench

BENCHMARK_MAIN();
