#pragma once

// The benchmarks' own summary: a console reporter that also keeps, for every benchmark, its
// typical time per iteration (the median when the run had repetitions, else the mean of the
// runs) and its counters, so that the program can print the ratios against their goals after
// the run.

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brimwell::bench {

struct Figure {
    double time = 0;  // per iteration, in the benchmark's unit
    std::string unit;
    std::map<std::string, double> counters;
};

class SummaryReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& reports) override;
    // The figure of the benchmark named (function name, without arguments); none when it did not
    // run or failed.
    std::optional<Figure> figure(const std::string& name) const;

  private:
    struct Samples {
        std::vector<double> times;
        std::map<std::string, std::vector<double>> counters;
        bool median = false;
        Figure medianFigure;
        std::string unit;
    };
    std::map<std::string, Samples> m_samples;
};

enum class Goal { Met, Missed, NotMeasured };

// One line of the closing table: "what  numerator / denominator unit = ratio  (goal <= g: met)",
// of the times of the two benchmarks, or of their counter when one is named.
Goal reportRatio(const SummaryReporter& reporter, const std::string& what,
                 const std::string& numerator, const std::string& denominator,
                 const std::string& counter, double goal);

// Runs the benchmarks named on the command line with the summary reporter; the usual
// Initialize / RunSpecifiedBenchmarks / Shutdown sequence. Returns false on unknown arguments.
// Prints "what  figure unit  (goal <= goal: met)" for one benchmark's time.
Goal reportFigure(const SummaryReporter& reporter, const std::string& what, const std::string& name,
                  double goal);

bool runBenchmarks(int& argc, char** argv, SummaryReporter& reporter);

}  // namespace brimwell::bench
