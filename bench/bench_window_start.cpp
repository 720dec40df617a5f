// The window's start-up as the pilot sees it, the program unchanged: from the start of its process
// to its first frame on the X server of $DISPLAY (xcb, no window manager, nothing else drawing),
// as the server reports it (bench/first_frame_observer.h), taking turns with a bare Qt window of
// the same size with one button; and the processor time and peak memory of both to then.
//   bench_window_start [--runs=N] [--program=PATH] [--callgrind]
// --program: another build of the window. --callgrind: instead, each thread's instructions under
// valgrind (one run of each unless --runs says more), which a busy machine does not change.

#include <unistd.h>

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
#include <vector>

#include "bench/first_frame_observer.h"
#include "bench/process_timing.h"

namespace {

using namespace brimwell::bench;

// Callgrind's count of the instructions of one thread of a run, in millions ("summary: N" in the
// file of that thread, PID-01 the main thread); none when there is no such thread.
std::optional<double> instructions(const std::string& folder, pid_t pid, int thread) {
    std::ifstream file(folder + "/" + std::to_string(pid) + (thread < 10 ? "-0" : "-") +
                       std::to_string(thread));
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("summary: ")) {
            return std::stod(line.substr(9)) / 1e6;
        }
    }
    return std::nullopt;
}

void measure(const Options& options) {
    Command window{options.program.empty() ? BRIMWELL_PROGRAM : options.program};
    Command bare{BRIMWELL_BARE_WINDOW_PROGRAM, "0", "0"};
    std::string folder = std::filesystem::temp_directory_path() / "brimwell-callgrind-XXXXXX";
    if (options.callgrind) {
        if (mkdtemp(folder.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder for callgrind's counts");
        }
        for (Command* command : {&window, &bare}) {
            command->insert(command->begin(),
                            {"valgrind", "--tool=callgrind", "--separate-threads=yes",
                             "--callgrind-out-file=" + folder + "/%p"});
        }
    }
    FirstFrameObserver observer;
    StartObservation last;
    const auto observe = [&](const Command& command) {
        if (!options.callgrind) {
            last = observer.observe(command);
            return std::vector{last.firstFrameMs, last.mappedMs, last.cpuMs, last.peakMiB};
        }
        // Valgrind writes its counts as the program ends by SIGTERM, which it lets it count to.
        last = observer.observe(command, SIGTERM, 600);
        double others = 0;
        for (int thread = 2; const auto count = instructions(folder, last.pid, thread); ++thread) {
            others += *count;
        }
        return std::vector{instructions(folder, last.pid, 1).value_or(0), others};
    };
    // The bare window at the size the program's window was mapped at.
    const Contender program{"brimwell", [&] {
                                auto figures = observe(window);
                                bare.end()[-2] = std::to_string(last.width);
                                bare.back() = std::to_string(last.height);
                                return figures;
                            }};
    const Contender yardstick{"bare window", [&] { return observe(bare); }};
    std::printf("%s on xcb, without a session bus, ended at its first frame; %s\n",
                window.back().c_str(),
                options.callgrind ? "instructions counted by callgrind" : "times from its start");
    if (options.callgrind) {
        compare(program, yardstick, {"main thread, M instr.", "other threads, M"},
                options.runs > 0 ? options.runs : 1);
        std::filesystem::remove_all(folder);
    } else {
        compare(program, yardstick,
                {"first frame, ms", "window mapped, ms", "processor time, ms", "peak memory, MiB"},
                options.runs > 0 ? options.runs : 20);
    }
    std::printf("window %sx%s\n", bare.end()[-2].c_str(), bare.back().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // No session bus: where there is none, as on a machine without a desktop, each program would
    // otherwise wait while libdbus tries to launch one, which takes long and varies.
    // NOLINTBEGIN(concurrency-mt-unsafe): one thread yet
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // NOLINTEND(concurrency-mt-unsafe)
    try {
        measure(readOptions(std::span(argv, static_cast<std::size_t>(argc)), true));
        return 0;
    } catch (const std::exception& error) {
        (void)std::fprintf(stderr, "bench_window_start: %s\n", error.what());
        return 1;
    }
}
