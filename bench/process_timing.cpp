#include "bench/process_timing.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace brimwell::bench {

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printLoadAverage(const char* when) {
    std::array<double, 3> load{};
    if (getloadavg(load.data(), 3) == 3) {
        std::printf("load average %s: %.2f %.2f %.2f on %u processors\n", when, load[0], load[1],
                    load[2], std::thread::hardware_concurrency());
    }
}

}  // namespace

Process::Process(Command command) {
    std::vector<char*> argv;
    for (std::string& argument : command) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int spawned = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = 0;
        throw std::system_error(spawned, std::generic_category(), "cannot start " + command[0]);
    }
}

Process::~Process() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

int Process::end(int signal, rusage* usage) {
    if (signal != 0) {
        kill(m_pid, signal);
    }
    int status = 0;
    while (wait4(m_pid, &status, 0, usage) < 0) {
        if (errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "wait4");
        }
    }
    m_pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void compare(const Contender& a, const Contender& b, const std::vector<std::string>& rows,
             int runs) {
    std::printf("%s against %s, taking turns; runs of each: %d, after one not counted\n",
                a.name.c_str(), b.name.c_str(), runs);
    printLoadAverage("before");
    (void)std::fflush(stdout);
    a.run();
    b.run();
    std::vector<std::vector<double>> ofA;  // each run's figures, row by row
    std::vector<std::vector<double>> ofB;
    for (int i = 0; i < runs; ++i) {
        for (const bool isA : {i % 2 == 0, i % 2 != 0}) {  // a b, then b a
            (isA ? ofA : ofB).push_back((isA ? a : b).run());
        }
    }
    std::printf("%-22s %20s %20s   ratio (of pairs)\n", "", a.name.c_str(), b.name.c_str());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::vector<double> valuesA;
        std::vector<double> valuesB;
        std::vector<double> pairs;
        for (int i = 0; i < runs; ++i) {
            valuesA.push_back(ofA.at(i).at(row));
            valuesB.push_back(ofB.at(i).at(row));
            pairs.push_back(valuesA.back() / valuesB.back());
        }
        const double ratio = median(valuesA) / median(valuesB);
        const auto [least, greatest] = std::minmax_element(pairs.begin(), pairs.end());
        std::printf("%-22s %20.2f %20.2f   %5.2f (%4.2f to %4.2f)\n", rows[row].c_str(),
                    median(valuesA), median(valuesB), ratio, *least, *greatest);
    }
    printLoadAverage("after");
}

Options readOptions(std::span<char*> arguments, bool window) {
    Options options;
    for (const std::string_view argument : arguments.subspan(1)) {
        const auto* end = argument.data() + argument.size();
        if (argument.starts_with("--runs=")) {
            const auto read = std::from_chars(argument.data() + 7, end, options.runs);
            if (read.ec != std::errc() || read.ptr != end || options.runs < 1) {
                throw std::invalid_argument("not a count of runs: " + std::string(argument));
            }
        } else if (window && argument.starts_with("--program=")) {
            options.program = argument.substr(10);
        } else if (window && argument == "--callgrind") {
            options.callgrind = true;
        } else {
            throw std::invalid_argument("unknown option " + std::string(argument));
        }
    }
    return options;
}

}  // namespace brimwell::bench
