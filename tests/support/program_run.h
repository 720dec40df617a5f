#pragma once

// A program run as a pilot's script runs it, for the tests that try brimwell-plan as a whole: no
// shell between, its output and error stream taken through pipes of their own (so tests that run
// beside each other never share a file), its exit status, how long it took and the most memory it
// held.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace brimwell::test {

struct ProgramRun {
    int status = -1;  // the exit status; 128 + the signal's number when a signal ended it
    std::string out;
    std::string err;
    std::chrono::milliseconds took{0};
    long peakKilobytes = 0;  // the largest resident set
};

// The most memory a program may hold whatever the other side sends: 150 MiB; twice that under
// AddressSanitizer, whose shadow memory and quarantine of freed blocks hold more of their own.
// g++ tells AddressSanitizer by __SANITIZE_ADDRESS__, clang by __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRIMWELL_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(BRIMWELL_UNDER_ASAN)
inline constexpr long kMostKilobytes = 2L * 150 * 1024;
#else
inline constexpr long kMostKilobytes = 150L * 1024;
#endif

// Runs the program with the arguments, its environment the test's with `environment`
// ("NAME=value") added, standard input empty, and waits for it. inChild, if given, runs in the
// child before the program starts (it may call only async-signal-safe functions); returning
// false ends the child with status 125.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {},
                      const std::function<bool()>& inChild = {});

// brimwell-plan of this build, and the sample flight (plan.h) as its options.
std::string planProgram();
std::vector<std::string> samplePlanOptions();

// Runs brimwell-plan on the sample flight's options and then the given ones.
ProgramRun runPlan(const std::vector<std::string>& options,
                   const std::vector<std::string>& environment = {});

// For inChild: puts the child into a network and mount namespace of its own, its loopback up,
// whose one name server (resolvConf, a resolv.conf naming 127.0.0.1) receives every query and
// answers none. False where no namespace can be made (not root).
bool withSilentNameServer(const char* resolvConf);

}  // namespace brimwell::test
