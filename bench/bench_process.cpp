// brimwell-plan planning the sample flight as a whole process, against a program that only prints
// the same 37 lines; and the same for the planner with the links' HTTP client (libcurl, OpenSSL,
// nghttp2, Kerberos...) linked in line instead of loaded in a module when a link is used.
//   bench_process [--runs=N]

#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/process_timing.h"

namespace {

using namespace brimwell::bench;

// The whole process, from just before its start to its end, in milliseconds.
Contender timed(const std::string& name, const Command& command) {
    return {name, [command] {
                const auto started = std::chrono::steady_clock::now();
                if (Process(command).end() != 0) {
                    throw std::runtime_error(command[0] + " failed");
                }
                const std::chrono::duration<double, std::milli> took =
                    std::chrono::steady_clock::now() - started;
                return std::vector{took.count()};
            }};
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = readOptions(std::span(argv, static_cast<std::size_t>(argc)), false);
        const int runs = options.runs > 0 ? options.runs : 50;
        Command plan{BRIMWELL_PLAN_PROGRAM};
        std::ifstream sample(BRIMWELL_SAMPLE_PLAN_ARGS);
        for (std::string line; std::getline(sample, line);) {
            plan.push_back(line);
        }
        Command linked = plan;
        linked[0] = BRIMWELL_PLAN_LINKED_CURL_PROGRAM;
        const Contender lines = timed("print_lines", {BRIMWELL_PRINT_LINES_PROGRAM});
        compare(timed("brimwell-plan", plan), lines, {"whole process, ms"}, runs);
        std::printf("\n");
        compare(timed("linked with libcurl", linked), lines, {"whole process, ms"}, runs);
        return 0;
    } catch (const std::exception& error) {
        (void)std::fprintf(stderr, "bench_process: %s\n", error.what());
        return 1;
    }
}
