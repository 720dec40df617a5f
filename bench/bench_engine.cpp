// The Calculate command on cells held in memory: one complete plan per iteration, the filling
// of the three performance tables included, as every press of the button does it.

#include <benchmark/benchmark.h>

#include <stdexcept>

#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "report/report_lines.h"
#include "tests/support/plan.h"

namespace {

using namespace brimwell;

MemoryCells sampleCells(bool corrected) {
    MemoryCells cells;
    test::enter(cells, test::samplePlan());
    cells.setTicked(cell::CheckCorrection, corrected);
    return cells;
}

void calculate(benchmark::State& state, bool corrected) {
    MemoryCells cells = sampleCells(corrected);
    test::RecordingSink sink;
    FuelPlanner planner(cells, sink);
    for ([[maybe_unused]] auto _ : state) {
        const bool planned = planner.calculate();
        benchmark::DoNotOptimize(planned);
        if (!planned) {
            state.SkipWithError("the sample plan failed");
            break;
        }
    }
    if (cells.text(cell::txtZFW) != "494088" || cells.text(cell::txtETA) != "9:07") {
        state.SkipWithError("the sample plan gave other results");
    }
}

void BM_Calculate(benchmark::State& state) {
    calculate(state, false);
}
BENCHMARK(BM_Calculate);

void BM_CalculateCorrected(benchmark::State& state) {
    calculate(state, true);
}
BENCHMARK(BM_CalculateCorrected);

// The 37 lines of the printed report of a finished plan.
void BM_ReportLines(benchmark::State& state) {
    MemoryCells cells = sampleCells(false);
    test::RecordingSink sink;
    FuelPlanner planner(cells, sink);
    if (!planner.calculate()) {
        state.SkipWithError("the sample plan failed");
        return;
    }
    for ([[maybe_unused]] auto _ : state) {
        auto lines = buildReportLines(cells);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReportLines);

}  // namespace

BENCHMARK_MAIN();
