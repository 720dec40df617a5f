#pragma once

// brimwell-plan --watch --serve ADDRESS:PORT: the flight shown on the tablets of the home network
// while it is watched (tablet/tablet_server.h). Serving starts before anything else is told, so
// that the address with its pairing key is the first line of the error stream.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "engine/memory_cells.h"
#include "engine/units.h"
#include "flight/flight_watch.h"
#include "tablet/tablet_server.h"

namespace brimwell::cli {

struct ServeAddress {
    std::string address;  // IPv4, 0.0.0.0 for every network
    std::uint16_t port = 0;
};

// --serve's value, ADDRESS:PORT; throws OptionError for anything else.
ServeAddress serveOption(const std::string& value);

// Serving at the address, its URL told on err; nullptr, told why on err, when it cannot.
std::unique_ptr<tablet::TabletServer> startServing(const ServeAddress& at, std::ostream& err);

// The server of --serve, where there is one, and the cells of the plan it shows.
struct Serving {
    std::unique_ptr<tablet::TabletServer> server;
    const engine::MemoryCells* cells = nullptr;
};

// While it lives, the served pages show the watch's plan and its flight.
class ServedWatch final {
  public:
    ServedWatch(const Serving& serving, flight::FlightWatch& watch, engine::Unit unit);
    ServedWatch(const ServedWatch&) = delete;
    ServedWatch& operator=(const ServedWatch&) = delete;
    ServedWatch(ServedWatch&&) = delete;
    ServedWatch& operator=(ServedWatch&&) = delete;
    ~ServedWatch();

  private:
    tablet::TabletServer* m_server;
    flight::FlightWatch& m_watch;
};

}  // namespace brimwell::cli
