// The window from the start of its process to its first shown frame, against a bare Qt Widgets
// window with one button, on the same platform plugin in the same run; and the peak memory of
// the two processes. Both programs quit at their first frame (bench/first_frame.h).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/process_run.h"
#include "bench/summary.h"

namespace {

using namespace brimwell;

void timeStart(benchmark::State& state, const std::string& program) {
    double peakKiB = 0;
    for ([[maybe_unused]] auto _ : state) {
        // Qt's remarks about the platform would drown the table.
        const auto result = bench::runProcess(program, {}, {}, true);
        if (result.status != 0 || result.output != "first frame\n") {
            state.SkipWithError("the window did not show its first frame");
            break;
        }
        state.SetIterationTime(result.firstOutputSeconds);
        peakKiB += static_cast<double>(result.peakRssKiB);
    }
    state.counters["peak_MiB"] =
        benchmark::Counter(peakKiB / 1024.0, benchmark::Counter::kAvgIterations);
}

void BM_BrimwellWindowStart(benchmark::State& state) {
    timeStart(state, BRIMWELL_START_WINDOW_PROGRAM);
}
BENCHMARK(BM_BrimwellWindowStart)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_BareWindowStart(benchmark::State& state) {
    timeStart(state, BRIMWELL_START_BARE_PROGRAM);
}
BENCHMARK(BM_BareWindowStart)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    // Both windows run on the same platform plugin: the one asked for, else the offscreen one.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // NOLINT(concurrency-mt-unsafe): one thread yet
    bench::SummaryReporter reporter;
    if (!bench::runBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment any more
    std::printf("\nplatform plugin: %s\n", std::getenv("QT_QPA_PLATFORM"));
    const auto start = bench::reportRatio(reporter, "start to first frame",
                                          "BM_BrimwellWindowStart", "BM_BareWindowStart", "", 1.15);
    const auto memory = bench::reportRatio(reporter, "peak memory", "BM_BrimwellWindowStart",
                                           "BM_BareWindowStart", "peak_MiB", 1.15);
    return start == bench::Goal::NotMeasured || memory == bench::Goal::NotMeasured ? 1 : 0;
}
