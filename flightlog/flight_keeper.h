#pragma once

// The log's listener of a watched flight (flight/flight_watch.h): from the first airborne reading
// the flight is kept in the log (flightlog/flight_log.h), a reading at a time, each in its own
// transaction; fixes passed and the landing as they come. The readings are thinned as they are
// kept: every one near takeoff (its first kNearTakeoffSeconds) and near landing (within
// kNearLandingNm to go, and on the ground), one a minute in cruise; the last reading is always
// kept, so a watch that ends however it ends leaves its flight as far as it went.
//
// A write that fails (a full disk, a read-only folder, the log in use for longer than its busy
// timeout) loses that reading only, and the watch goes on; the pilot is told once, through the
// function given, that the flight is not being kept.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "flight/flight_watch.h"
#include "flightlog/flight_log.h"

namespace brimwell::flightlog {

inline constexpr double kNearTakeoffSeconds = 600;
inline constexpr double kNearLandingNm = 100;
inline constexpr double kCruiseEverySeconds = 60;

class FlightKeeper final : public flight::FlightListener {
  public:
    // The log must outlive the keeper; tell is called at most once.
    FlightKeeper(FlightLog& log, PlannedFlight plan, std::function<void(const std::string&)> tell);

    void reading(const flight::WatchedReading& reading) override;
    void fixPassed(const flight::PassedFix& fix) override;
    void landed(const flight::FlightSummary& summary) override;

    // The flight's id in the log, once its first airborne reading is kept.
    std::optional<std::int64_t> id() const { return m_id; }

  private:
    void kept(bool written);

    FlightLog& m_log;
    PlannedFlight m_plan;
    std::function<void(const std::string&)> m_tell;
    std::optional<std::int64_t> m_id;
    bool m_told = false;
    double m_takeoffTime = 0;
    // The last two rows kept, and whether the last is one of cruise that the next may replace.
    double m_lastRowTime = 0;
    double m_rowBeforeTime = 0;
    bool m_lastInCruise = false;
};

// Tells a flight of the log to the listener as its watch told it: its readings in order, each
// after the fixes passed by then, and its landing; true when it landed.
bool retell(const KeptFlight& flight, flight::FlightListener& listener);

}  // namespace brimwell::flightlog
