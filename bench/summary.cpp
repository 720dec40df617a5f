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
    m_figures.clear();
}

const Figure* SummaryReporter::figure(const std::string& name) const {
    const auto samples = m_samples.find(name);
    if (samples == m_samples.end() || (samples->second.times.empty() && !samples->second.median)) {
        return nullptr;
    }
    auto [entry, added] = m_figures.try_emplace(name);
    if (added) {
        const Samples& s = samples->second;
        if (s.median) {
            entry->second = s.medianFigure;
        } else {
            entry->second.time = mean(s.times);
            for (const auto& [counter, values] : s.counters) {
                entry->second.counters[counter] = mean(values);
            }
        }
        entry->second.unit = s.unit;
    }
    return &entry->second;
}

Goal reportRatio(const SummaryReporter& reporter, const std::string& what,
                 const std::string& numerator, const std::string& denominator,
                 const std::string& counter, double goal) {
    const Figure* top = reporter.figure(numerator);
    const Figure* bottom = reporter.figure(denominator);
    double a = 0;
    double b = 0;
    std::string unit;
    if (top != nullptr && bottom != nullptr) {
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
    const Figure* figure = reporter.figure(name);
    if (figure == nullptr || figure->time <= 0) {
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
