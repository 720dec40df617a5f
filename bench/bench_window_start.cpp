// The window's start-up as the pilot sees it: from the start of the program's process to its
// first frame on the screen, on xcb under Xvfb, as the X server reports it
// (bench/first_frame_observer.h); runs of the program take turns with runs of a bare Qt Widgets
// window of the same size with one button. Also the peak memory of both, each ended at its first
// frame. The program is the one a pilot starts, unchanged.
//   bench_window_start [--runs N | --quick] [--callgrind] [--program PATH] [--display NAME]
//   [--trace]
// Without --display it starts an Xvfb server of its own (1280x1024, 24 bits), on a display
// that no other client uses, and ends it at the end. --program measures another build of the
// window (an earlier one, say) instead of this tree's. --callgrind counts instructions instead
// of time, each thread apart, running both programs under valgrind (one run of each unless
// --runs says more): a figure that a busy machine does not change.

#include <fcntl.h>
#include <poll.h>
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
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/first_frame_observer.h"

namespace {

using brimwell::bench::FirstFrameObserver;
using brimwell::bench::StartObservation;

// The window's first frame and peak memory are to stay within this many times the bare window's.
constexpr double kGoal = 1.15;
constexpr int kRuns = 20;
constexpr int kQuickRuns = 3;

struct Options {
    std::string program = BRIMWELL_PROGRAM;
    std::optional<int> runs;
    std::string display;
    bool trace = false;
    bool callgrind = false;
};

std::optional<Options> parse(std::span<char*> arguments) {
    Options options;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool valued = i + 1 < arguments.size();
        if (argument == "--quick") {
            options.runs = kQuickRuns;
        } else if (argument == "--runs" && valued) {
            const std::string_view count = arguments[++i];
            int runs = 0;
            if (std::from_chars(count.data(), count.data() + count.size(), runs).ec !=
                    std::errc() ||
                runs < 1) {
                return std::nullopt;
            }
            options.runs = runs;
        } else if (argument == "--callgrind") {
            options.callgrind = true;
        } else if (argument == "--program" && valued) {
            options.program = arguments[++i];
        } else if (argument == "--display" && valued) {
            options.display = arguments[++i];
        } else if (argument == "--trace") {
            options.trace = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// An Xvfb server of the benchmark's own; it picks a free display itself (-displayfd).
class XvfbServer final {
  public:
    XvfbServer() {
        std::array<int, 2> pipeEnds{};
        if (pipe2(pipeEnds.data(), O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        // The write end is never descriptor 3 (the read end, below it, is 3 or more), so the
        // server's descriptor 3 is the duplicate, open across exec.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 3);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::array<std::string, 8> argStore{"Xvfb", "-displayfd",   "3",         "-screen",
                                            "0",    "1280x1024x24", "-nolisten", "tcp"};
        std::array<char*, argStore.size() + 1> argv{};
        std::transform(argStore.begin(), argStore.end(), argv.begin(),
                       [](std::string& text) { return text.data(); });
        const int spawned = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (spawned != 0) {
            close(pipeEnds[0]);
            throw std::runtime_error("cannot start Xvfb (scripts/install-deps.sh checks)");
        }
        // The server writes its display number once it takes clients.
        std::string number;
        pollfd wait{pipeEnds[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, 10000) > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(pipeEnds[0]);
        if (number.empty()) {
            stop();
            throw std::runtime_error("Xvfb did not start");
        }
        m_display = ":" + number;
    }
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    XvfbServer(XvfbServer&&) = delete;
    XvfbServer& operator=(XvfbServer&&) = delete;

    const std::string& display() const { return m_display; }

  private:
    void stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = 0;
        }
    }

    pid_t m_pid = 0;
    std::string m_display;
};

struct Spread {
    double median = 0;
    double low = 0;
    double high = 0;
};

Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

struct Series {
    std::vector<double> frame;
    std::vector<double> mapped;
    std::vector<double> cpu;
    std::vector<double> peakMiB;

    void add(const StartObservation& run) {
        frame.push_back(run.firstFrameMs);
        mapped.push_back(run.mappedMs);
        cpu.push_back(run.cpuMs);
        peakMiB.push_back(static_cast<double>(run.peakRssKiB) / 1024.0);
    }
};

// One measure of both programs: median and range of each, the ratio of the medians and the range
// of the ratios of the runs that took turns; against the goal where it has one.
void printMeasure(const char* what, const std::vector<double>& window,
                  const std::vector<double>& bare, std::optional<double> goal) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < window.size(); ++i) {
        ratios.push_back(window[i] / bare[i]);
    }
    const Spread a = spread(window);
    const Spread b = spread(bare);
    const Spread pairs = spread(ratios);
    const double ratio = a.median / b.median;
    std::printf("%-22s %7.1f %7.1f %7.1f   %7.1f %7.1f %7.1f   %5.2f (%4.2f to %4.2f)", what,
                a.median, a.low, a.high, b.median, b.low, b.high, ratio, pairs.low, pairs.high);
    if (goal) {
        std::printf("  goal <= %.2f: %s", *goal, ratio <= *goal ? "met" : "MISSED");
    }
    std::printf("\n");
}

std::string loadAverage() {
    std::array<double, 3> load{};
    if (getloadavg(load.data(), 3) != 3) {
        return "unknown";
    }
    std::array<char, 64> text{};
    (void)std::snprintf(text.data(), text.size(), "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text.data();
}

// The programs' runs, taking turns: brimwell-bare, bare-brimwell, ...; the bare window at the
// size brimwell's window was mapped at.
struct Turns {
    Series window;
    Series yardstick;
    std::vector<StartObservation> windowRuns;
    std::vector<StartObservation> bareRuns;
    std::string size;
};

Turns takeTurns(FirstFrameObserver& observer, const FirstFrameObserver::Run& window,
                FirstFrameObserver::Run bare, int runs, bool warmUp) {
    Turns turns;
    const auto runWindow = [&] {
        const StartObservation run = observer.observe(window);
        bare.arguments.resize(bare.arguments.size() - 2);  // the size, given below
        bare.arguments.push_back(std::to_string(run.width));
        bare.arguments.push_back(std::to_string(run.height));
        turns.size = bare.arguments[bare.arguments.size() - 2] + "x" + bare.arguments.back();
        return run;
    };
    bare.arguments.insert(bare.arguments.end(), 2, "");
    if (warmUp) {
        // Not counted: the files the programs read come into the page cache.
        runWindow();
        observer.observe(bare);
    }
    for (int i = 0; i < runs; ++i) {
        StartObservation a;
        StartObservation b;
        if (i % 2 == 0 || turns.size.empty()) {
            a = runWindow();
            b = observer.observe(bare);
        } else {
            b = observer.observe(bare);
            a = runWindow();
        }
        turns.window.add(a);
        turns.yardstick.add(b);
        turns.windowRuns.push_back(a);
        turns.bareRuns.push_back(b);
    }
    return turns;
}

void printMachine(const std::string& display, bool ownServer) {
    std::printf("X server %s (%s), platform plugin xcb; %u processors, load average %s\n",
                display.c_str(), ownServer ? "Xvfb 1280x1024x24 of its own" : "given",
                std::thread::hardware_concurrency(), loadAverage().c_str());
    (void)std::fflush(stdout);
}

int measureTime(FirstFrameObserver& observer, const FirstFrameObserver::Run& window,
                const FirstFrameObserver::Run& bare, int runs) {
    std::printf(
        "The window's start-up as the X server sees it. Each run starts the program's process and\n"
        "times, from just before the start, the MapNotify of its top-level window and its first\n"
        "frame: the first moment the mapped window has been drawn over its whole area, told by\n"
        "the DAMAGE events of the root window. The process is ended there (SIGKILL); its\n"
        "processor time and peak resident set are what it used until then. The yardstick is a\n"
        "bare Qt Widgets window of the same size with one button. Nothing is polled, nothing is\n"
        "added to either program; both run without a session bus\n"
        "(DBUS_SESSION_BUS_ADDRESS=disabled:). One run of each comes first, not counted.\n");
    const Turns turns = takeTurns(observer, window, bare, runs, true);
    std::printf("program %s, window %s; runs of each: %d, taking turns\n\n", window.program.c_str(),
                turns.size.c_str(), runs);
    std::printf("%-22s %23s   %23s   %s\n", "", "brimwell", "bare window", "ratio (of pairs)");
    std::printf("%-22s %7s %7s %7s   %7s %7s %7s\n", "", "median", "min", "max", "median", "min",
                "max");
    printMeasure("first frame, ms", turns.window.frame, turns.yardstick.frame, kGoal);
    printMeasure("window mapped, ms", turns.window.mapped, turns.yardstick.mapped, std::nullopt);
    printMeasure("processor time, ms", turns.window.cpu, turns.yardstick.cpu, std::nullopt);
    printMeasure("peak memory, MiB", turns.window.peakMiB, turns.yardstick.peakMiB, kGoal);
    return 0;
}

// Callgrind's count of the instructions of one thread of a run: "summary: N" in the file of
// that thread (PID-01 is the main thread); none when there is no such thread.
std::optional<double> threadInstructions(const std::filesystem::path& folder, long pid,
                                         int thread) {
    std::array<char, 16> suffix{};
    (void)std::snprintf(suffix.data(), suffix.size(), "-%02d", thread);
    std::ifstream file(folder / (std::to_string(pid) + suffix.data()));
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("summary: ")) {
            return std::stod(line.substr(9));
        }
    }
    return std::nullopt;
}

// The same runs under callgrind, which counts the instructions of each thread of the program to
// its first frame; the program is ended by SIGTERM there, which valgrind lets it count to.
int countInstructions(FirstFrameObserver& observer, FirstFrameObserver::Run window,
                      FirstFrameObserver::Run bare, int runs) {
    std::string folderName = (std::filesystem::temp_directory_path() / "brimwell-callgrind-XXXXXX");
    if (mkdtemp(folderName.data()) == nullptr) {
        throw std::runtime_error("cannot make a folder for callgrind's counts");
    }
    const std::filesystem::path folder = folderName;
    for (FirstFrameObserver::Run* run : {&window, &bare}) {
        std::vector<std::string> arguments{"--tool=callgrind", "--separate-threads=yes",
                                           "--callgrind-out-file=" + (folder / "%p").string(),
                                           run->program};
        arguments.insert(arguments.end(), run->arguments.begin(), run->arguments.end());
        run->arguments = arguments;
        run->program = "valgrind";
        run->endSignal = SIGTERM;
        run->boundSeconds = 600;
    }
    std::printf(
        "The instructions that the window's start-up executes, counted by callgrind thread by\n"
        "thread, from the start of the process to its first frame as the X server sees it (the\n"
        "first moment its mapped window has been drawn over its whole area); the process is\n"
        "ended there by SIGTERM. The yardstick is a bare Qt Widgets window of the same size\n"
        "with one button; both run without a session bus (DBUS_SESSION_BUS_ADDRESS=disabled:).\n");
    const Turns turns = takeTurns(observer, window, bare, runs, false);
    std::printf("window %s; runs of each: %d\n\n", turns.size.c_str(), runs);
    std::array<std::vector<double>, 2> main;
    std::array<std::vector<double>, 2> others;
    const std::array<const std::vector<StartObservation>*, 2> observed{&turns.windowRuns,
                                                                       &turns.bareRuns};
    for (std::size_t program = 0; program < 2; ++program) {
        for (const StartObservation& run : *observed.at(program)) {
            main.at(program).push_back(threadInstructions(folder, run.pid, 1).value_or(0) / 1e6);
            double rest = 0;
            for (int thread = 2; const auto count = threadInstructions(folder, run.pid, thread);
                 ++thread) {
                rest += *count / 1e6;
            }
            others.at(program).push_back(rest);
        }
    }
    std::filesystem::remove_all(folder);
    std::printf("%-22s %23s   %23s   %s\n", "", "brimwell", "bare window", "ratio (of pairs)");
    std::printf("%-22s %7s %7s %7s   %7s %7s %7s\n", "", "median", "min", "max", "median", "min",
                "max");
    printMeasure("main thread, M instr.", main[0], main[1], std::nullopt);
    printMeasure("other threads, M", others[0], others[1], std::nullopt);
    return 0;
}

int measure(const Options& options) {
    std::optional<XvfbServer> server;
    std::string display = options.display;
    if (display.empty()) {
        server.emplace();
        display = server->display();
    }
    FirstFrameObserver observer(display);
    // No session bus: where there is none, as on a machine without a desktop, each program would
    // otherwise wait while libdbus tries to launch one, which takes long and varies.
    const std::vector<std::string> environment{"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display,
                                               "DBUS_SESSION_BUS_ADDRESS=disabled:"};
    FirstFrameObserver::Run window;
    window.program = options.program;
    window.environment = environment;
    window.trace = options.trace;
    FirstFrameObserver::Run bare = window;
    bare.program = BRIMWELL_BARE_WINDOW_PROGRAM;
    printMachine(display, server.has_value());
    const int result = options.callgrind
                           ? countInstructions(observer, window, bare, options.runs.value_or(1))
                           : measureTime(observer, window, bare, options.runs.value_or(kRuns));
    std::printf("load average after: %s\n", loadAverage().c_str());
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parse(std::span(argv, static_cast<std::size_t>(argc)));
    if (!options) {
        (void)std::fprintf(stderr,
                           "usage: %s [--runs N | --quick] [--callgrind] [--program PATH] "
                           "[--display NAME] [--trace]\n",
                           argv[0]);
        return 2;
    }
    try {
        return measure(*options);
    } catch (const std::exception& error) {
        (void)std::fprintf(stderr, "bench_window_start: %s\n", error.what());
        return 1;
    }
}
