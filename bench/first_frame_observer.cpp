#include "bench/first_frame_observer.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace brimwell::bench {

namespace {

using Clock = std::chrono::steady_clock;

// How long the server may take to destroy a window whose program has ended.
constexpr double kDestroyBoundMs = 10000;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

[[noreturn]] void failWithErrno(const std::string& what) {
    fail(what + ": " + std::generic_category().message(errno));
}

// xcb hands out its replies and events in storage of malloc().
struct FreeDeleter {
    void operator()(void* pointer) const {
        std::free(pointer);  // NOLINT(cppcoreguidelines-no-malloc): xcb's storage
    }
};
template <typename T>
using XcbPointer = std::unique_ptr<T, FreeDeleter>;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A started program: ended and reaped when its run is over, or abandoned by an exception.
class Child final {
  public:
    // Debian 12's <sys/pidfd.h> declares pidfd_open without C linkage; the system call is the same.
    explicit Child(pid_t pid)
        : m_pid(pid), m_pidFd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {
        if (m_pidFd < 0) {
            failWithErrno("pidfd_open");
        }
    }
    ~Child() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_pidFd);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&&) = delete;
    Child& operator=(Child&&) = delete;

    pid_t pid() const { return m_pid; }
    // Readable once the process has ended.
    int pidFd() const { return m_pidFd; }

    // Ends the process with the signal; what it used.
    rusage end(int signal) {
        kill(m_pid, signal);
        rusage usage{};
        while (wait4(m_pid, nullptr, 0, &usage) < 0) {
            if (errno != EINTR) {
                failWithErrno("wait4");
            }
        }
        m_pid = 0;
        return usage;
    }

  private:
    pid_t m_pid;
    int m_pidFd;
};

Child startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), arguments.begin(), arguments.end());
    // The extra entries replace the inherited ones of the same name.
    std::vector<std::string> envStore = environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view inherited(*entry);
        const auto name = inherited.substr(0, inherited.find('=') + 1);
        if (std::none_of(environment.begin(), environment.end(),
                         [&](const std::string& extra) { return extra.starts_with(name); })) {
            envStore.emplace_back(inherited);
        }
    }
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> result;
        result.reserve(strings.size() + 1);
        for (auto& text : strings) {
            result.push_back(text.data());
        }
        result.push_back(nullptr);
        return result;
    };
    auto argv = pointers(argStore);
    auto envp = pointers(envStore);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        fail("cannot start " + program + ": " + std::generic_category().message(spawned));
    }
    return Child(pid);
}

// Which pixels of a window have been drawn since it was mapped.
class Coverage final {
  public:
    Coverage(int width, int height)
        : m_width(width),
          m_height(height),
          m_drawn(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
          m_left(static_cast<long>(m_drawn.size())) {}

    // Marks a drawn rectangle, in the window's coordinates; true once every pixel is drawn.
    bool add(int x, int y, int width, int height) {
        const int left = std::max(x, 0);
        const int right = std::min(x + width, m_width);
        for (int row = std::max(y, 0); row < std::min(y + height, m_height); ++row) {
            for (int column = left; column < right; ++column) {
                auto& drawn = m_drawn[static_cast<std::size_t>(row) * m_width + column];
                m_left -= drawn == 0 ? 1 : 0;
                drawn = 1;
            }
        }
        return m_left == 0;
    }

  private:
    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_drawn;
    long m_left;
};

// An event as the type its response type names; xcb's events are 32 bytes long.
template <typename Event>
Event as(const xcb_generic_event_t& event) {
    static_assert(sizeof(Event) <= 32);
    Event typed{};
    std::memcpy(&typed, &event, sizeof typed);
    return typed;
}

// What one run has seen: the top-level windows and their places, the program's window once it
// is mapped, and how much of it has been drawn since.
class StartRun final {
  public:
    StartRun(std::uint32_t root, std::uint8_t damageNotify, bool trace)
        : m_root(root), m_damageNotify(damageNotify), m_trace(trace) {}

    void handle(const xcb_generic_event_t& event, double at) {
        const int type = event.response_type & 0x7f;
        if (type == 0) {
            fail("the X server refused a request of the observer");
        }
        if (type == m_damageNotify) {
            drawn(as<xcb_damage_notify_event_t>(event), at);
            return;
        }
        switch (type) {
            case XCB_CREATE_NOTIFY:
                created(as<xcb_create_notify_event_t>(event), at);
                break;
            case XCB_CONFIGURE_NOTIFY:
                configured(as<xcb_configure_notify_event_t>(event), at);
                break;
            case XCB_MAP_NOTIFY:
                mapped(as<xcb_map_notify_event_t>(event), at);
                break;
            case XCB_DESTROY_NOTIFY:
                destroyed(as<xcb_destroy_notify_event_t>(event), at);
                break;
            default:
                break;
        }
    }

    std::uint32_t window() const { return m_window; }
    bool framed() const { return m_framed; }
    bool gone() const { return m_gone; }
    // The times of the map and the first frame, and the window's size.
    const StartObservation& observation() const { return m_observation; }

  private:
    struct Place {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    void note(double at, const char* what, std::uint32_t id, const Place& place) const {
        if (m_trace) {
            (void)std::fprintf(stderr, "%9.3f ms  %-10s 0x%08x  %4d,%4d %4dx%d\n", at, what, id,
                               place.x, place.y, place.width, place.height);
        }
    }

    void created(const xcb_create_notify_event_t& event, double at) {
        if (event.parent == m_root) {
            const Place place{event.x, event.y, event.width, event.height};
            m_topLevels[event.window] = place;
            note(at, "create", event.window, place);
        }
    }

    void configured(const xcb_configure_notify_event_t& event, double at) {
        const auto found = m_topLevels.find(event.window);
        if (event.event != m_root || found == m_topLevels.end()) {
            return;
        }
        found->second = {event.x, event.y, event.width, event.height};
        note(at, "configure", event.window, found->second);
        if (event.window == m_window && !m_framed) {
            start(found->second);  // drawn anew at its new size
        }
    }

    void mapped(const xcb_map_notify_event_t& event, double at) {
        const auto found = m_topLevels.find(event.window);
        if (event.event != m_root || event.override_redirect != 0 || m_window != 0 ||
            found == m_topLevels.end()) {
            return;
        }
        m_window = event.window;
        m_observation.mappedMs = at;
        start(found->second);
        note(at, "map", event.window, found->second);
    }

    void drawn(const xcb_damage_notify_event_t& event, double at) {
        const xcb_rectangle_t& area = event.area;
        note(at, "damage", event.drawable, {area.x, area.y, area.width, area.height});
        if (m_coverage && !m_framed) {
            const Place& place = m_topLevels[m_window];
            m_framed = m_coverage->add(area.x - place.x, area.y - place.y, area.width, area.height);
            m_observation.firstFrameMs = at;
        }
    }

    void destroyed(const xcb_destroy_notify_event_t& event, double at) {
        if (event.event == m_root && event.window == m_window) {
            m_gone = true;
            note(at, "destroy", event.window, {});
        }
    }

    void start(const Place& place) {
        m_coverage.emplace(place.width, place.height);
        m_observation.width = place.width;
        m_observation.height = place.height;
    }

    std::uint32_t m_root;
    std::uint8_t m_damageNotify;
    bool m_trace;
    std::map<std::uint32_t, Place> m_topLevels;
    std::uint32_t m_window = 0;
    std::optional<Coverage> m_coverage;
    StartObservation m_observation;
    bool m_framed = false;
    bool m_gone = false;
};

// Takes the events as they arrive and hands each to handle with its time since start, until
// done() or the deadline; false when the deadline passed, or the process behind pidFd (-1 for
// none) ended first.
bool waitFor(xcb_connection_t* connection, Clock::time_point start,
             const std::function<void(const xcb_generic_event_t&, double)>& handle,
             const std::function<bool()>& done, double deadlineMs, int pidFd) {
    for (;;) {
        while (auto* received = xcb_poll_for_event(connection)) {
            const XcbPointer<xcb_generic_event_t> event(received);
            handle(*event, millisecondsSince(start));
        }
        if (done()) {
            return true;
        }
        if (xcb_connection_has_error(connection) != 0) {
            fail("the connection to the X server broke");
        }
        const double left = deadlineMs - millisecondsSince(start);
        if (left <= 0) {
            return false;
        }
        std::array<pollfd, 2> waits{
            {{xcb_get_file_descriptor(connection), POLLIN, 0}, {pidFd, POLLIN, 0}}};
        if (poll(waits.data(), pidFd < 0 ? 1 : 2, static_cast<int>(left) + 1) < 0 &&
            errno != EINTR) {
            failWithErrno("poll");
        }
        if (pidFd >= 0 && (waits[1].revents & POLLIN) != 0) {
            return false;
        }
    }
}

}  // namespace

FirstFrameObserver::FirstFrameObserver(const std::string& display) {
    int screenNumber = 0;
    m_connection = xcb_connect(display.empty() ? nullptr : display.c_str(), &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0) {
        xcb_disconnect(m_connection);
        fail("cannot connect to the X server " + display);
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    m_root = screens.data->root;

    const xcb_query_extension_reply_t* damage =
        xcb_get_extension_data(m_connection, &xcb_damage_id);
    if (damage == nullptr || damage->present == 0) {
        xcb_disconnect(m_connection);
        fail("the X server has no DAMAGE extension");
    }
    m_damageNotify = static_cast<std::uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
    // A client says which version it speaks before its first DAMAGE request.
    const XcbPointer<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
    const std::uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
    xcb_damage_create(m_connection, xcb_generate_id(m_connection), m_root,
                      XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    static constexpr std::string_view kNetWmPid = "_NET_WM_PID";
    const XcbPointer<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(kNetWmPid.size()),
                        kNetWmPid.data()),
        nullptr));
    if (version == nullptr || atom == nullptr) {
        xcb_disconnect(m_connection);
        fail("the X server refused the observer's set-up");
    }
    m_netWmPid = atom->atom;
}

FirstFrameObserver::~FirstFrameObserver() {
    xcb_disconnect(m_connection);
}

void FirstFrameObserver::forgetEarlierEvents() {
    const XcbPointer<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    while (auto* event = xcb_poll_for_event(m_connection)) {
        const XcbPointer<xcb_generic_event_t> dropped(event);
        if (event->response_type == 0) {
            fail("the X server refused a request of the observer");
        }
    }
}

long FirstFrameObserver::windowProcess(std::uint32_t window) {
    const XcbPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, window, m_netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (reply == nullptr || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) != 4) {
        return 0;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

StartObservation FirstFrameObserver::observe(const Run& launch) {
    forgetEarlierEvents();
    StartRun run(m_root, m_damageNotify, launch.trace);
    const auto handle = [&run](const xcb_generic_event_t& event, double at) {
        run.handle(event, at);
    };
    const auto started = Clock::now();
    const std::string& program = launch.program;
    Child child = startProgram(program, launch.arguments, launch.environment);
    const double boundMs = launch.boundSeconds * 1e3;
    if (!waitFor(
            m_connection, started, handle, [&run] { return run.framed(); }, boundMs,
            child.pidFd())) {
        fail(program + (run.window() == 0 ? " showed no window" : " drew no whole frame") +
             (millisecondsSince(started) < boundMs ? " before it ended" : " within the bound"));
    }
    if (windowProcess(run.window()) != child.pid()) {
        fail("the window mapped was not " + program + "'s (or a window manager framed it)");
    }
    StartObservation result = run.observation();
    result.pid = child.pid();
    const rusage usage = child.end(launch.endSignal);
    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
    };
    result.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): glibc declares it in a union
    result.peakRssKiB = usage.ru_maxrss;
    if (!waitFor(
            m_connection, started, handle, [&run] { return run.gone(); },
            millisecondsSince(started) + kDestroyBoundMs, -1)) {
        fail("the X server kept the window of " + program + " after it ended");
    }
    return result;
}

}  // namespace brimwell::bench
