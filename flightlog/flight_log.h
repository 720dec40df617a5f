#pragma once

// The log of every watched flight, in one SQLite file that the window and the planner share
// ($XDG_DATA_HOME/brimwell/flights.sqlite, ~/.local/share/brimwell/ when that is unset): the
// plan each flight was watched against (every input and result cell in pounds, the unit shown,
// the route's fixes), its readings, the fixes passed, takeoff and landing, the trip burn against
// txtFPF and the burn factor. No Qt and no thread; every call ends within the busy timeout.
//
// Nothing lost, nothing mistaken: the file is in WAL mode and each reading is one transaction,
// so a program killed mid-flight leaves the log whole and the flight kept to its last reading.
// Two programs may write at once, each its own flight. A file that is no SQLite database, or a
// damaged one, is moved aside (flights.sqlite.damaged-YYYYMMDD-HHMMSS, UTC) and a new log
// started; a log of a newer schema is opened read-only and never written. Every figure read back
// is checked as it was when written (finite, in range): a row that fails is left out and
// counted, never shown. No call throws.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/cells.h"
#include "engine/units.h"
#include "flight/flight_watch.h"
#include "flightplan/route.h"

namespace brimwell::flightlog {

// The schema this Brimwell writes (PRAGMA user_version); every earlier one is migrated to it.
inline constexpr int kSchemaVersion = 2;
// How long a write waits for another program's write to end, ms.
inline constexpr int kBusyTimeoutMs = 1500;

// What a flight was planned and watched as.
struct PlannedFlight {
    // Every input and result cell (and txtBOW), by name, in pounds.
    std::map<std::string, std::string, std::less<>> cells;
    engine::Unit unit = engine::Unit::Pounds;  // the unit the pilot was shown
    std::vector<flightplan::RouteFix> fixes;   // the route's, none without one
    // The fuel factor the trip fuel was planned with (1.05 for +5 %); none when off.
    std::optional<double> fuelFactor;
};

// The plan in the cells, which hold pounds (engine/unit_cells.h), as the log keeps it.
PlannedFlight plannedFlight(const engine::CellReader& poundCells, engine::Unit unit,
                            const std::optional<flightplan::Route>& route,
                            std::optional<double> fuelFactor = std::nullopt);

// One flight as the list shows it. Times UTC seconds since 1970, weights lbs.
struct FlightEntry {
    std::int64_t id = 0;
    double takeoffTime = 0;  // the first airborne reading's
    double takeoffFuel = 0;
    std::string origin, destination, alternate;
    double plannedTripBurn = 0;     // txtFPF
    double plannedLandingFuel = 0;  // cmbMLF + txtAF + txtCF
    double lastTime = 0;            // of the last reading kept
    double lastFuel = 0;
    std::optional<double> tripBurn;    // takeoff fuel less the last reading's
    std::optional<double> burnFactor;  // against the plan as watched
    std::optional<double> fuelFactor;  // the plan's, none when off
    bool landed = false;
    // The burn against the tables' trip fuel: the burn factor times the plan's fuel factor.
    std::optional<double> tableBurnFactor() const;
};

// One flight in full: its plan, its readings kept (in order) and its fixes passed.
struct KeptFlight {
    FlightEntry entry;
    PlannedFlight plan;
    std::vector<flight::WatchedCheck> readings;
    std::vector<flight::PassedFix> fixes;
    std::size_t leftOut = 0;  // rows whose figures failed their check
};

struct FlightList {
    std::vector<FlightEntry> flights;  // newest first
    std::size_t leftOut = 0;           // flights whose figures failed their check
};

class FlightLog final {
  public:
    // Where the log is: $XDG_DATA_HOME/brimwell/flights.sqlite, or under ~/.local/share.
    static std::filesystem::path defaultPath();

    // Opens the log at path, creating it (and its folder) on first use, migrating an earlier
    // schema. Never fails: a log that cannot be opened is closed, and notice() says why.
    explicit FlightLog(std::filesystem::path path = defaultPath());
    ~FlightLog();
    FlightLog(const FlightLog&) = delete;
    FlightLog& operator=(const FlightLog&) = delete;
    FlightLog(FlightLog&&) = delete;
    FlightLog& operator=(FlightLog&&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    bool readable() const;
    bool writable() const { return readable() && !m_readOnly; }
    // What the pilot is to be told of the log as it opened (moved aside, newer, not writable),
    // in words; empty when all is well.
    const std::string& notice() const { return m_notice; }
    // Why the last call that failed did, in words.
    const std::string& problem() const { return m_problem; }

    // A new flight from its first airborne reading; its id, or none (problem() says why).
    std::optional<std::int64_t> begin(const PlannedFlight& plan, const flight::WatchedCheck& first);
    // A reading of the flight, in one transaction with the flight's last reading and burn: as a
    // new row, or in place of its last row (`replaceLast`).
    bool addReading(std::int64_t id, const flight::WatchedCheck& check, bool replaceLast);
    bool addFix(std::int64_t id, const flight::PassedFix& fix);
    bool land(std::int64_t id, const flight::FlightSummary& summary);
    bool remove(std::int64_t id);

    FlightList flights() const;
    std::optional<KeptFlight> flight(std::int64_t id) const;

  private:
    struct Database;

    void open();
    bool openFile(bool create);
    void moveAside(const std::string& why);
    bool migrate(int version);
    bool failed(const std::string& what);
    // The busy timeout as at the start: a write has gone through, after one that may have given
    // up waiting.
    void waitAgain();

    std::filesystem::path m_path;
    std::unique_ptr<Database> m_db;
    bool m_readOnly = false;
    std::string m_notice;
    mutable std::string m_problem;
};

// The flights as CSV, a header line and a line each, newest first; weights lbs.
std::string flightsCsv(const FlightList& list);

}  // namespace brimwell::flightlog
