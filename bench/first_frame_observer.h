#pragma once

// The eyes of the window start-up benchmark: a client of its own on the X server, which times
// each event as it arrives, with nothing added to the program and nothing polled: top-level
// windows created, configured, mapped, destroyed (SubstructureNotify on the root window), and
// every drawing on the screen (DAMAGE on the root window). The first frame is the moment the
// program's mapped window has been drawn over its whole area; Qt's windows have no background,
// so the server draws nothing into them itself. The window must be the program's (_NET_WM_PID),
// on a server without a window manager, which would reparent it.

#include <csignal>
#include <cstdint>

#include "bench/process_timing.h"

struct xcb_connection_t;

namespace brimwell::bench {

struct StartObservation {
    double mappedMs = 0;      // from just before the process started to its window's MapNotify
    double firstFrameMs = 0;  // from just before the process started to its first frame
    double cpuMs = 0;         // the process's processor time, user and system, to its end
    double peakMiB = 0;       // the process's peak resident set, to its end
    pid_t pid = 0;
    int width = 0;  // the window's size in pixels
    int height = 0;
};

class FirstFrameObserver final {
  public:
    // Connects to the X server of $DISPLAY, which must have DAMAGE, or throws std::runtime_error.
    // One connection for all runs: a server left without clients resets itself.
    FirstFrameObserver();
    ~FirstFrameObserver();
    FirstFrameObserver(const FirstFrameObserver&) = delete;
    FirstFrameObserver& operator=(const FirstFrameObserver&) = delete;
    FirstFrameObserver(FirstFrameObserver&&) = delete;
    FirstFrameObserver& operator=(FirstFrameObserver&&) = delete;

    // Starts the program and waits for its first frame; ends it there by the signal (SIGTERM
    // lets valgrind write what it counted) and waits until the server has destroyed its window.
    // Throws std::runtime_error when the program ends, or the bound passes, before its frame.
    StartObservation observe(const Command& command, int endSignal = SIGKILL,
                             double boundSeconds = 10);

  private:
    xcb_connection_t* m_connection;
    std::uint32_t m_root = 0;
    std::uint8_t m_damageNotify = 0;
    std::uint32_t m_netWmPid = 0;
};

}  // namespace brimwell::bench
