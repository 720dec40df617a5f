#pragma once

// The start-up benchmarks' helper: a program started and ended, and two run in turns, with the
// median of each and their ratio.

#include <sys/resource.h>
#include <sys/types.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace brimwell::bench {

// A program (a path, or a name looked up in PATH) and its arguments.
using Command = std::vector<std::string>;

// A started program, in this process's environment, its output and error stream discarded;
// killed and reaped if it is dropped running. Throws std::system_error if it cannot start.
class Process final {
  public:
    explicit Process(Command command);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&&) = delete;
    Process& operator=(Process&&) = delete;

    pid_t pid() const { return m_pid; }
    // Sends the signal (0: none) and reaps the process: its exit status, -1 when it did not exit.
    int end(int signal = 0, rusage* usage = nullptr);

  private:
    pid_t m_pid = 0;
};

// A contender of a comparison: its name, and a run of it that gives a figure for each row.
struct Contender {
    std::string name;
    std::function<std::vector<double>()> run;
};

// Runs a and b `runs` times each, taking turns (a b, b a, a b, ...) so that a busy moment of the
// machine falls on both alike, after one run of each that is not counted. Prints the load average
// before and after and, row by row, the median of each, the ratio of the medians and the range of
// the ratios of the pairs.
void compare(const Contender& a, const Contender& b, const std::vector<std::string>& rows,
             int runs);

// The comparison programs' options: --runs=N (0 when not given), and the window start-up's
// --program=PATH and --callgrind; std::invalid_argument on anything else.
struct Options {
    int runs = 0;
    std::string program;
    bool callgrind = false;
};
Options readOptions(std::span<char*> arguments, bool window);

}  // namespace brimwell::bench
