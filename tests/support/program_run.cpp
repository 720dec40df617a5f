#include "tests/support/program_run.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace brimwell::test {

namespace {

// Reads both pipes to their ends, whichever has something.
void drain(int outFd, int errFd, ProgramRun& run) {
    std::array<pollfd, 2> fds = {{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    std::array<std::string*, 2> into = {&run.out, &run.err};
    std::array<char, 65536> buffer{};
    int open = 2;
    while (open > 0) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            const ssize_t got = read(fds[i].fd, buffer.data(), buffer.size());
            if (got > 0) {
                into[i]->append(buffer.data(), static_cast<std::size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment,
                      const std::function<bool()>& inChild) {
    // Everything the child needs is made before the fork: the child allocates nothing.
    std::vector<std::string> argvText = {program};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(argvText.size() + 1);
    for (auto& text : argvText) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envText = environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        envText.emplace_back(*variable);
    }
    std::vector<char*> envp;
    envp.reserve(envText.size() + 1);
    for (auto& text : envText) {
        envp.push_back(text.data());
    }
    envp.push_back(nullptr);

    std::array<int, 2> outPipe{};
    std::array<int, 2> errPipe{};
    if (pipe2(outPipe.data(), O_CLOEXEC) != 0 || pipe2(errPipe.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for the program's output");
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("the program cannot be started");
    }
    if (child == 0) {
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        if (inChild && !inChild()) {
            _exit(125);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    ProgramRun run;
    drain(outPipe[0], errPipe[0], run);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
    }
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakKilobytes = usage.ru_maxrss;  // NOLINT(cppcoreguidelines-pro-type-union-access)
    return run;
}

std::string planProgram() {
    return BRIMWELL_PLAN_PROGRAM;
}

std::vector<std::string> samplePlanOptions() {
    std::vector<std::string> options;
    std::ifstream lines(BRIMWELL_SAMPLE_PLAN_ARGS);
    for (std::string line; std::getline(lines, line);) {
        options.push_back(line);
    }
    return options;
}

ProgramRun runPlan(const std::vector<std::string>& options,
                   const std::vector<std::string>& environment) {
    std::vector<std::string> arguments = samplePlanOptions();
    arguments.insert(arguments.end(), options.begin(), options.end());
    return runProgram(planProgram(), arguments, environment);
}

bool withSilentNameServer(const char* resolvConf) {
    if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount(resolvConf, "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
        return false;
    }
    const int server = socket(AF_INET, SOCK_DGRAM, 0);  // stays open into the program
    ifreq loopback{};
    std::strncpy(loopback.ifr_name, "lo", IFNAMSIZ - 1);
    if (server < 0 || ioctl(server, SIOCGIFFLAGS, &loopback) != 0) {
        return false;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): the kernel's request is a union
    loopback.ifr_flags = static_cast<short>(loopback.ifr_flags | IFF_UP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own cast
    const auto* any = reinterpret_cast<const sockaddr*>(&address);
    return ioctl(server, SIOCSIFFLAGS, &loopback) == 0 && bind(server, any, sizeof address) == 0;
}

}  // namespace brimwell::test
