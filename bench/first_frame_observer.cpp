#include "bench/first_frame_observer.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace brimwell::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kDestroyBoundMs = 10000;  // for the server to destroy an ended program's window

// xcb hands out its replies and events in storage of malloc().
struct FreeDeleter {
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc): xcb's storage
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using XcbPointer = std::unique_ptr<T, FreeDeleter>;

// An event as the type its response type names; xcb's events are 32 bytes long.
template <typename Event>
Event as(const xcb_generic_event_t& event) {
    static_assert(sizeof(Event) <= 32);
    Event typed{};
    std::memcpy(&typed, &event, sizeof typed);
    return typed;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What one run has seen: the top-level windows and their places, the program's window once it
// is mapped, and which of its pixels have been drawn since. Events left from an earlier run come
// before this run's window exists, and change nothing.
struct Run {
    std::uint32_t root = 0;
    std::uint8_t damageNotify = 0;
    std::map<std::uint32_t, xcb_rectangle_t> topLevels{};
    std::uint32_t window = 0;
    std::vector<std::uint8_t> drawn{};
    std::size_t left = 0;  // pixels not drawn yet
    StartObservation seen{};
    bool framed = false;
    bool gone = false;

    void handle(const xcb_generic_event_t& event, double at) {
        const int type = event.response_type & 0x7f;
        if (type == 0) {
            throw std::runtime_error("the X server refused a request of the observer");
        }
        if (type == damageNotify && window != 0 && !framed) {
            draw(as<xcb_damage_notify_event_t>(event).area);
            seen.firstFrameMs = at;
        } else if (type == XCB_CREATE_NOTIFY) {
            const auto created = as<xcb_create_notify_event_t>(event);
            if (created.parent == root) {
                topLevels[created.window] = {created.x, created.y, created.width, created.height};
            }
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            const auto placed = as<xcb_configure_notify_event_t>(event);
            const auto found = topLevels.find(placed.window);
            if (placed.event == root && found != topLevels.end()) {
                found->second = {placed.x, placed.y, placed.width, placed.height};
                if (placed.window == window && !framed) {
                    start(found->second);  // drawn anew at its new size
                }
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto mapped = as<xcb_map_notify_event_t>(event);
            const auto found = topLevels.find(mapped.window);
            if (mapped.event == root && mapped.override_redirect == 0 && window == 0 &&
                found != topLevels.end()) {
                window = mapped.window;
                seen.mappedMs = at;
                start(found->second);
            }
        } else if (type == XCB_DESTROY_NOTIFY) {
            const auto destroyed = as<xcb_destroy_notify_event_t>(event);
            gone = gone || (destroyed.event == root && window != 0 && destroyed.window == window);
        }
    }

    void start(const xcb_rectangle_t& place) {
        seen.width = place.width;
        seen.height = place.height;
        left = std::size_t{place.width} * place.height;
        drawn.assign(left, 0);
    }

    // A drawing on the screen, over the window's pixels that it covers.
    void draw(const xcb_rectangle_t& area) {
        const int x = area.x - topLevels[window].x;
        const int y = area.y - topLevels[window].y;
        for (int row = std::max(y, 0); row < std::min(y + area.height, seen.height); ++row) {
            for (int column = std::max(x, 0); column < std::min(x + area.width, seen.width);
                 ++column) {
                auto& pixel = drawn[static_cast<std::size_t>(row) * seen.width + column];
                left -= pixel == 0 ? 1 : 0;
                pixel = 1;
            }
        }
        framed = left == 0;
    }
};

// Hands the run the events as they arrive until the flag is set; false when the deadline passes.
bool waitFor(xcb_connection_t* connection, Run& run, const bool& flag, Clock::time_point start,
             double deadlineMs) {
    for (;;) {
        while (auto* received = xcb_poll_for_event(connection)) {
            const XcbPointer<xcb_generic_event_t> event(received);
            run.handle(*event, millisecondsSince(start));
        }
        const double remaining = deadlineMs - millisecondsSince(start);
        if (flag || remaining <= 0 || xcb_connection_has_error(connection) != 0) {
            return flag;
        }
        pollfd wait{xcb_get_file_descriptor(connection), POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(remaining) + 1) < 0 && errno != EINTR) {
            throw std::runtime_error("poll failed");
        }
    }
}

}  // namespace

FirstFrameObserver::FirstFrameObserver() : m_connection(xcb_connect(nullptr, nullptr)) {
    const xcb_query_extension_reply_t* damage =
        xcb_connection_has_error(m_connection) != 0
            ? nullptr
            : xcb_get_extension_data(m_connection, &xcb_damage_id);
    if (damage == nullptr || damage->present == 0) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("no X server on $DISPLAY, or one without the DAMAGE extension");
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
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
        m_connection, xcb_intern_atom(m_connection, 0, kNetWmPid.size(), kNetWmPid.data()),
        nullptr));
    if (version == nullptr || atom == nullptr) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("the X server refused the observer's set-up");
    }
    m_netWmPid = atom->atom;
}

FirstFrameObserver::~FirstFrameObserver() {
    xcb_disconnect(m_connection);
}

StartObservation FirstFrameObserver::observe(const Command& command, int endSignal,
                                             double boundSeconds) {
    Run run{m_root, m_damageNotify};
    const auto started = Clock::now();
    Process process(command);
    if (!waitFor(m_connection, run, run.framed, started, boundSeconds * 1e3)) {
        throw std::runtime_error(command[0] +
                                 (run.window == 0 ? " showed no window" : " drew no whole frame") +
                                 " within the bound");
    }
    const XcbPointer<xcb_get_property_reply_t> owner(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, run.window, m_netWmPid, XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (owner == nullptr || owner->format != 32 ||
        xcb_get_property_value_length(owner.get()) != 4 ||
        *static_cast<const std::uint32_t*>(xcb_get_property_value(owner.get())) !=
            static_cast<std::uint32_t>(process.pid())) {
        throw std::runtime_error("the window mapped was not " + command[0] +
                                 "'s (or a window manager framed it)");
    }
    run.seen.pid = process.pid();
    rusage usage{};
    process.end(endSignal, &usage);
    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
    };
    run.seen.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): glibc declares it in a union
    run.seen.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
    if (!waitFor(m_connection, run, run.gone, started,
                 millisecondsSince(started) + kDestroyBoundMs)) {
        throw std::runtime_error("the X server kept the window of " + command[0] +
                                 " after it ended");
    }
    return run.seen;
}

}  // namespace brimwell::bench
