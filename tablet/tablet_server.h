#pragma once

// The flight on a tablet: the plan and the watched flight served to the browsers of the home
// network, read-only, to the pilot's own devices only. The window and the planner each make one,
// give it the plan and add it to the flight watch as a listener (flight/flight_watch.h).
//
// Pairing: serving starts with a pairing key of 128 bits from the system's random source, new each
// time. The address that the pilot opens (url(), the QR code of the window) carries it once; the
// server answers it with a cookie of the key (HttpOnly, SameSite=Strict) and a page that sends the
// browser on to the address without it. Without the key or the cookie every path answers 403.
//
// What is let in: GET and HEAD (others 405), with a Host that is an address the server listens
// on, the computer's name or localhost, at the server's port (else 421); the page's own files,
// compiled into the program, and its WebSocket (/live, with an Origin of the Host's), and nothing
// else (404). At most Bounds::mostDevices pages at a time (the next is told 503); a request's line
// and headers at most 16 KiB; a request not whole within Bounds::requestTimeout is closed; a page
// that does not read what it is sent is dropped once Bounds::mostQueuedBytes wait for it.
//
// The listener's calls only queue what each page is sent, so the watch never waits on a browser;
// each page has a thread of its own that sends it. Every text reaches the page as JSON, which
// its script puts into the page as text, never as markup.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/cells.h"
#include "engine/fuel_check.h"
#include "engine/units.h"
#include "flight/flight_watch.h"

namespace brimwell::tablet {

struct Bounds {
    std::size_t mostDevices = 8;
    std::chrono::milliseconds requestTimeout{10'000};
    // A page silent this long is sent a ping; after five pings unanswered it is closed.
    std::chrono::milliseconds pingAfter{2'000};
    std::size_t mostQueuedBytes = 1024 * 1024;
    // A page sent nothing this long is sent a beat; it takes four beats missed as the connection
    // lost.
    std::chrono::milliseconds beatEvery{1'000};
};

// The schematic as the page shows it: every cell's text by its name, the cells that are red, and
// the unit of its weights.
struct ShownPlan {
    engine::Unit unit = engine::Unit::Pounds;
    std::vector<std::pair<std::string, std::string>> cells;
    std::vector<std::string> red;
    // The plan's fuel on board along the way, for the plot: (nm, weight in the unit).
    std::vector<std::pair<double, double>> plannedLine;
};

// The plan in the cells (pounds or kilograms as shown), with the cells the predicate calls red,
// and the plan's line where the plan is complete.
ShownPlan shownPlan(const engine::CellReader& cells, engine::Unit unit,
                    const std::vector<std::string>& red, const engine::FuelPlanLine* line);

class TabletServer final : public flight::FlightListener {
  public:
    explicit TabletServer(Bounds bounds = {});
    ~TabletServer() override;
    TabletServer(const TabletServer&) = delete;
    TabletServer& operator=(const TabletServer&) = delete;
    TabletServer(TabletServer&&) = delete;
    TabletServer& operator=(TabletServer&&) = delete;

    // Starts serving on the IPv4 address (0.0.0.0: every interface) and port (0: a free one) with
    // a new pairing key; the reason in words when it cannot. Serving already, it stops first.
    std::optional<std::string> start(const std::string& address, std::uint16_t port);
    // Stops serving: every page is closed; returns once they are.
    void stop();
    bool serving() const;
    std::uint16_t port() const;
    // The address a device opens, with the pairing key: http://ADDRESS:PORT/?key=KEY, at the
    // address served on, or at `address` (one of the computer's, when serving on every one).
    std::string url() const;
    std::string url(const std::string& address) const;
    // The pages connected now, those dropped but not yet closed left out.
    std::size_t devices() const;

    // The plan the pages show, from now on.
    void showPlan(ShownPlan plan);
    // A flight of its own from now on: the readings, fixes and landing so far are let go.
    void newFlight();

    void reading(const flight::WatchedReading& reading) override;
    void fixPassed(const flight::PassedFix& fix) override;
    void landed(const flight::FlightSummary& summary) override;

    struct State;

  private:
    std::unique_ptr<State> m_state;
};

// The IPv4 addresses of the computer's networks, the private ones first (10/8, 172.16/12,
// 192.168/16), loopback last.
std::vector<std::string> networkAddresses();

}  // namespace brimwell::tablet
