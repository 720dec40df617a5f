#include "bench/process_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <system_error>

namespace brimwell::bench {

namespace {

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::runtime_error(what + ": " + std::generic_category().message(error));
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, bool discardStandardError) {
    std::vector<std::string> argStore;
    argStore.reserve(arguments.size() + 1);
    argStore.push_back(program);
    argStore.insert(argStore.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(argStore.size() + 1);
    for (auto& argument : argStore) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> envStore = environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        envStore.emplace_back(*entry);
    }
    std::vector<char*> envp;
    envp.reserve(envStore.size() + 1);
    for (auto& entry : envStore) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    std::array<int, 2> pipeEnds{};
    if (pipe2(pipeEnds.data(), O_CLOEXEC) != 0) {
        fail("pipe", errno);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    if (discardStandardError) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const auto started = std::chrono::steady_clock::now();
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        fail("cannot start " + program, spawned);
    }

    ProcessResult result;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = read(pipeEnds[0], buffer.data(), buffer.size());
        if (count > 0) {
            if (result.output.empty()) {
                result.firstOutputSeconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started)
                        .count();
            }
            result.output.append(buffer.data(), static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeEnds[0]);

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            fail("wait4", errno);
        }
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): glibc declares it in a union
    result.peakRssKiB = usage.ru_maxrss;
    return result;
}

}  // namespace brimwell::bench
