#pragma once

// Starting a program as its own process for the benchmarks: fork and exec through posix_spawn,
// its standard output read to the end through a pipe, then wait for it.

#include <sys/resource.h>

#include <string>
#include <vector>

namespace brimwell::bench {

struct ProcessResult {
    int status = -1;      // exit status, or -1 when it did not exit normally
    std::string output;   // all of its standard output
    long peakRssKiB = 0;  // its peak resident set size, KiB
    // Seconds from just before the start to the first byte of its output; 0 when it wrote none.
    double firstOutputSeconds = 0;
};

// Runs program with the arguments (without the program name) and the extra environment
// entries ("NAME=value") on top of this process's environment; its standard error goes where
// this process's goes, or nowhere when discarded. Throws std::runtime_error when the program
// cannot be started.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {},
                         bool discardStandardError = false);

}  // namespace brimwell::bench
