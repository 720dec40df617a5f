#include "bench/summary.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace brimwell::bench {

namespace {

const char* unitName(benchmark::TimeUnit unit) {
    switch (unit) {
        case benchmark::kNanosecond:
            return "ns";
        case benchmark::kMicrosecond:
            return "us";
        case benchmark::kMillisecond:
            return "ms";
        case benchmark::kSecond:
            return "s";
    }
    return "";
}

double mean(const std::vector<double>& values) {
    if (values.empty()) {
        return 0;
    }
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& reports) {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.error_occurred) {
            continue;
        }
        Samples& samples = m_samples[run.run_name.function_name];
        samples.unit = unitName(run.time_unit);
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median") {
                samples.median = true;
                samples.medianFigure.time = run.GetAdjustedRealTime();
                for (const auto& [name, counter] : run.counters) {
                    samples.medianFigure.counters[name] = counter.value;
                }
            }
            continue;
        }
        samples.times.push_back(run.GetAdjustedRealTime());
        for (const auto& [name, counter] : run.counters) {
            samples.counters[name].push_back(counter.value);
        }
    }
}

std::optional<Figure> SummaryReporter::figure(const std::string& name) const {
    const auto found = m_samples.find(name);
    if (found == m_samples.end() || (found->second.times.empty() && !found->second.median)) {
        return std::nullopt;
    }
    const Samples& samples = found->second;
    Figure figure = samples.medianFigure;
    if (!samples.median) {
        figure.time = mean(samples.times);
        for (const auto& [counter, values] : samples.counters) {
            figure.counters[counter] = mean(values);
        }
    }
    figure.unit = samples.unit;
    return figure;
}

Goal reportRatio(const SummaryReporter& reporter, const std::string& what,
                 const std::string& numerator, const std::string& denominator,
                 const std::string& counter, double goal) {
    const auto top = reporter.figure(numerator);
    const auto bottom = reporter.figure(denominator);
    double a = 0;
    double b = 0;
    std::string unit;
    if (top && bottom) {
        if (counter.empty()) {
            a = top->time;
            b = bottom->time;
            unit = top->unit;
        } else if (top->counters.contains(counter) && bottom->counters.contains(counter)) {
            a = top->counters.at(counter);
            b = bottom->counters.at(counter);
            unit = counter;
        }
    }
    if (a <= 0 || b <= 0) {
        std::printf("%-24s not measured\n", what.c_str());
        return Goal::NotMeasured;
    }
    const double ratio = a / b;
    const bool met = ratio <= goal;
    std::printf("%-24s %9.3f / %9.3f %-8s = %5.2f  (goal <= %.2f: %s)\n", what.c_str(), a, b,
                unit.c_str(), ratio, goal, met ? "met" : "MISSED");
    return met ? Goal::Met : Goal::Missed;
}

Goal reportFigure(const SummaryReporter& reporter, const std::string& what, const std::string& name,
                  double goal) {
    const auto figure = reporter.figure(name);
    if (!figure || figure->time <= 0) {
        std::printf("%-24s not measured\n", what.c_str());
        return Goal::NotMeasured;
    }
    const bool met = figure->time <= goal;
    std::printf("%-24s %9.3f %-8s  (goal <= %g %s: %s)\n", what.c_str(), figure->time,
                figure->unit.c_str(), goal, figure->unit.c_str(), met ? "met" : "MISSED");
    return met ? Goal::Met : Goal::Missed;
}

bool runBenchmarks(int& argc, char** argv, SummaryReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

}  // namespace brimwell::bench
