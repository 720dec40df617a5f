#pragma once

// The eyes of the window start-up benchmark: a client of its own on the X server that sees a
// program's window come up as the server reports it, with nothing added to the program and
// nothing polled. It watches the root window's children (SubstructureNotify: a top-level window
// created, configured, mapped, destroyed) and every drawing on the screen (a DAMAGE object on the
// root window, reporting each drawing operation with its rectangle), and takes the time of each
// event as it arrives.
//
// The first frame is the moment the program's mapped top-level window has been drawn over its
// whole area since it was mapped. Qt creates its windows without a background (background-pixmap
// None), so the server paints nothing into a window when it maps it: every drawing counted is
// the program's own, and no background clear passes for a frame. The window must be the
// program's (its _NET_WM_PID), on a server without a window manager, which would reparent it.

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace brimwell::bench {

struct StartObservation {
    double mappedMs = 0;      // from just before the process started to its window's MapNotify
    double firstFrameMs = 0;  // from just before the process started to its first frame
    double cpuMs = 0;         // the process's processor time, user and system, to its end
    long peakRssKiB = 0;      // the process's peak resident set, to its end
    long pid = 0;             // the process's id
    int width = 0;            // the window's size in pixels
    int height = 0;
};

class FirstFrameObserver final {
  public:
    // Connects to the display ("" for $DISPLAY). Throws std::runtime_error when it cannot, or
    // when the server has no DAMAGE extension.
    explicit FirstFrameObserver(const std::string& display);
    ~FirstFrameObserver();
    FirstFrameObserver(const FirstFrameObserver&) = delete;
    FirstFrameObserver& operator=(const FirstFrameObserver&) = delete;
    FirstFrameObserver(FirstFrameObserver&&) = delete;
    FirstFrameObserver& operator=(FirstFrameObserver&&) = delete;

    struct Run {
        std::string program;
        std::vector<std::string> arguments;    // without the program's name
        std::vector<std::string> environment;  // "NAME=value", over this process's own
        // How the process is ended at its first frame: at once, or by SIGTERM for a program that
        // writes what it counted as it ends (valgrind).
        int endSignal = SIGKILL;
        double boundSeconds = 10;  // for the first frame
        bool trace = false;        // the events of the run on the error stream
    };

    // Starts the program, its output and error stream discarded; waits for its first frame, ends
    // it and waits until the server has destroyed its window. Throws std::runtime_error when the
    // program ends, or the bound passes, before its first frame.
    StartObservation observe(const Run& launch);

  private:
    // The process that the window's _NET_WM_PID property names; 0 when it names none.
    long windowProcess(std::uint32_t window);
    // A round trip: every event the server sent before it has been received, then dropped.
    void forgetEarlierEvents();

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_damageNotify = 0;
    std::uint32_t m_netWmPid = 0;
};

}  // namespace brimwell::bench
