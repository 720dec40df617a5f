#pragma once

// Runs a program as a pilot's shell would, for the tests that try brimwell-plan as a process.

#include <string>
#include <vector>

namespace brimwell::test {

struct ProgramRun {
    int status = -1;  // the exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs program with the arguments (without its own name) and the extra environment entries
// ("NAME=value") on top of this process's environment, and waits for it to end.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {});

}  // namespace brimwell::test
