#include "flightlog/flight_keeper.h"

#include <utility>

namespace brimwell::flightlog {

FlightKeeper::FlightKeeper(FlightLog& log, PlannedFlight plan,
                           std::function<void(const std::string&)> tell)
    : m_log(log), m_plan(std::move(plan)), m_tell(std::move(tell)) {}

void FlightKeeper::kept(bool written) {
    if (!written && !m_told) {
        m_told = true;
        m_tell("Your flight is not being kept in the flight log: " + m_log.problem() +
               ". The watch goes on.");
    }
}

void FlightKeeper::reading(const flight::WatchedReading& reading) {
    if (!reading.checked || !m_log.writable()) {
        return;
    }
    const auto& check = *reading.checked;
    if (!m_id) {
        if (check.phase != flight::Phase::Airborne) {
            return;
        }
        m_id = m_log.begin(m_plan, check);
        kept(m_id.has_value());
        m_takeoffTime = m_lastRowTime = m_rowBeforeTime = check.time;
        return;
    }
    const bool cruise = check.phase == flight::Phase::Airborne &&
                        check.time - m_takeoffTime >= kNearTakeoffSeconds &&
                        check.check.distanceToGo > kNearLandingNm;
    const bool replace =
        cruise && m_lastInCruise && m_lastRowTime - m_rowBeforeTime < kCruiseEverySeconds;
    const bool written = m_log.addReading(*m_id, check, replace);
    kept(written);
    if (written) {
        m_rowBeforeTime = replace ? m_rowBeforeTime : m_lastRowTime;
        m_lastRowTime = check.time;
        m_lastInCruise = cruise;
    }
}

void FlightKeeper::fixPassed(const flight::PassedFix& fix) {
    if (m_id) {
        kept(m_log.addFix(*m_id, fix));
    }
}

void FlightKeeper::landed(const flight::FlightSummary& summary) {
    if (m_id) {
        kept(m_log.land(*m_id, summary));
    }
}

bool retell(const KeptFlight& flight, flight::FlightListener& listener) {
    auto fix = flight.fixes.begin();
    for (const auto& reading : flight.readings) {
        for (; fix != flight.fixes.end() && fix->time <= reading.time; ++fix) {
            listener.fixPassed(*fix);
        }
        listener.reading({reading.time, reading.phase, reading, ""});
    }
    for (; fix != flight.fixes.end(); ++fix) {
        listener.fixPassed(*fix);
    }
    const auto& entry = flight.entry;
    if (entry.landed) {
        listener.landed({entry.lastTime, entry.lastFuel, entry.tripBurn, entry.plannedTripBurn,
                         entry.burnFactor, flight.fixes.size()});
    }
    return entry.landed;
}

}  // namespace brimwell::flightlog
