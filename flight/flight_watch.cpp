#include "flight/flight_watch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/number_text.h"
#include "engine/units.h"

namespace brimwell::flight {

namespace {

using Vector = std::array<double, 3>;

constexpr double kEarthRadiusNm = 3440.065;
constexpr double kMetresPerNm = 1852;
constexpr double kMetresPerSecondPerKnot = kMetresPerNm / 3600;
// Beyond any engine's flow, and any aircraft's speed over the ground.
constexpr double kMostFlowKgPerSecond = 100;
constexpr double kFastestMetresPerSecond = 3000;
// A fix is reached this close to it along the route, nm: a position at the fix itself may project
// a hair short of it.
constexpr double kReachedNm = 0.001;

Vector unitVector(double latitude, double longitude) {
    const double phi = latitude * std::numbers::pi / 180;
    const double lambda = longitude * std::numbers::pi / 180;
    return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}

Vector cross(const Vector& a, const Vector& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Vector& a, const Vector& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double length(const Vector& a) {
    return std::sqrt(dot(a, a));
}

// The angle between two unit vectors, radians: accurate near 0 and near pi alike.
double angle(const Vector& a, const Vector& b) {
    return std::atan2(length(cross(a, b)), dot(a, b));
}

struct OnLeg {
    double distanceNm = 0;  // from the leg, its ends included
    double fraction = 0;    // of the leg flown, 0 to 1
};

// The position against the great circle from `from` to `to`: abeam the leg, its cross-track
// distance; before or past it, the distance to the nearer end.
OnLeg onLeg(const Vector& from, const Vector& to, const Vector& at) {
    const Vector normal = cross(from, to);
    const double sine = length(normal);
    const double toFrom = angle(at, from);
    const double toTo = angle(at, to);
    const OnLeg nearerEnd =
        toFrom < toTo ? OnLeg{toFrom * kEarthRadiusNm, 0} : OnLeg{toTo * kEarthRadiusNm, 1};
    if (sine < 1e-12) {  // the ends at one place (or antipodes): a point
        return {toFrom * kEarthRadiusNm, 1};
    }
    const Vector pole = {normal[0] / sine, normal[1] / sine, normal[2] / sine};
    const double legAngle = std::atan2(sine, dot(from, to));
    const double along = std::atan2(dot(cross(from, at), pole), dot(from, at));
    if (along < 0 || along > legAngle) {
        return nearerEnd;
    }
    const double across = std::abs(std::asin(std::clamp(dot(at, pole), -1.0, 1.0)));
    return {across * kEarthRadiusNm, along / legAngle};
}

std::string noFlight(const std::string& what) {
    return "X-Plane's reading is no flight's (" + what + "): the fuel is not checked.";
}

std::string figure(double value) {
    return std::isfinite(value) ? engine::toText(engine::roundHalfEven(value, 6))
                                : (std::isnan(value) ? "nan" : "inf");
}

bool within(double value, double lowest, double highest) {
    return value >= lowest && value <= highest;
}

// Why the reading is no flight's; empty when it may be one.
std::string refusalOf(const Reading& r) {
    if (!std::isfinite(r.time)) {
        return noFlight("time " + figure(r.time));
    }
    if (!within(r.latitude, -90, 90) || !within(r.longitude, -180, 180)) {
        return noFlight("position " + figure(r.latitude) + ", " + figure(r.longitude));
    }
    if (!within(r.fuelOnBoardKg, 0, engine::kMostFuelOnBoardKg)) {
        return noFlight(figure(r.fuelOnBoardKg) + " kg of fuel on board");
    }
    if (!within(r.distanceTravelledMetres, 0, engine::kLongestTravelMetres)) {
        return noFlight(figure(r.distanceTravelledMetres) + " m travelled");
    }
    if (!within(r.groundSpeedMetresPerSecond, 0, kFastestMetresPerSecond)) {
        return noFlight("ground speed " + figure(r.groundSpeedMetresPerSecond) + " m/s");
    }
    for (const double flow : r.fuelFlowKgPerSecond) {
        if (!within(flow, 0, kMostFlowKgPerSecond)) {
            return noFlight("fuel flow " + figure(flow) + " kg/s");
        }
    }
    return r.fuelFlowKgPerSecond.size() > kMostEngines ? noFlight("more than 8 engines") : "";
}

}  // namespace

std::string_view phaseWords(Phase phase) {
    switch (phase) {
        case Phase::BeforeTakeoff:
            return "before takeoff";
        case Phase::Airborne:
            return "airborne";
        case Phase::Landed:
            return "landed";
        case Phase::Paused:
            return "paused";
        case Phase::Replay:
            break;
    }
    return "replay";
}

std::string_view progressWords(ProgressFrom from) {
    return from == ProgressFrom::Route ? "route" : "distance travelled";
}

FlightWatch::FlightWatch(engine::FuelPlanLine plan, std::optional<flightplan::Route> route)
    : m_plan(std::move(plan)) {
    if (!route || route->fixes.empty()) {
        return;
    }
    double total = 0;
    for (const auto& fix : route->fixes) {
        total += fix.legNm;
    }
    if (!(total > 0)) {
        return;
    }
    const double scale = m_plan.destinationDistance() / total;
    Vector from = unitVector(route->originLatitude, route->originLongitude);
    double along = 0;
    for (auto& fix : route->fixes) {
        Leg leg;
        leg.from = from;
        leg.to = unitVector(fix.latitude, fix.longitude);
        leg.startNm = along * scale;
        along += fix.legNm;
        leg.endNm = std::min(along * scale, m_plan.destinationDistance());
        leg.ident = std::move(fix.ident);
        leg.ofpFuel = fix.plannedFuelOnBoard;
        from = leg.to;
        m_legs.push_back(std::move(leg));
    }
    m_legs.back().endNm = m_plan.destinationDistance();
}

void FlightWatch::addListener(FlightListener& listener) {
    m_listeners.push_back(&listener);
}

void FlightWatch::removeListener(FlightListener& listener) {
    std::erase(m_listeners, &listener);
}

FlightWatch::Progress FlightWatch::progress(const Reading& reading) {
    if (m_legs.empty()) {
        return {std::max(reading.distanceTravelledMetres - m_firstDistanceMetres.value_or(0), 0.0) /
                    kMetresPerNm,
                std::nullopt};
    }
    const Vector at = unitVector(reading.latitude, reading.longitude);
    // From the leg into the last fix passed on; the first to come nearest wins.
    std::size_t nearestLeg = m_passed.empty() ? 0 : m_passed.size() - 1;
    OnLeg nearest = onLeg(m_legs[nearestLeg].from, m_legs[nearestLeg].to, at);
    for (std::size_t i = nearestLeg + 1; i < m_legs.size(); ++i) {
        const auto on = onLeg(m_legs[i].from, m_legs[i].to, at);
        if (on.distanceNm < nearest.distanceNm) {
            nearest = on;
            nearestLeg = i;
        }
    }
    if (nearest.distanceNm > kOffRouteNm) {
        return {m_furthestNm, engine::roundHalfEven(nearest.distanceNm, 1)};
    }
    const Leg& leg = m_legs[nearestLeg];
    m_furthestNm =
        std::max(m_furthestNm, leg.startNm + nearest.fraction * (leg.endNm - leg.startNm));
    return {m_furthestNm, std::nullopt};
}

Phase FlightWatch::phaseSoFar() const {
    return m_landed ? Phase::Landed : (m_airborne ? Phase::Airborne : Phase::BeforeTakeoff);
}

Phase FlightWatch::phaseOf(const Reading& reading, double fuelOnBoard, double progressNm) {
    if (!reading.onGround) {
        if (!m_airborne) {
            m_takeoffFuel = fuelOnBoard;
            m_takeoffNm = progressNm;
        }
        m_airborne = true;
        m_landed = false;
        return Phase::Airborne;
    }
    if (m_airborne &&
        reading.groundSpeedMetresPerSecond < kLandedBelowKnots * kMetresPerSecondPerKnot) {
        return Phase::Landed;
    }
    return phaseSoFar();
}

WatchedCheck FlightWatch::checked(const Reading& reading, const engine::FuelCheck& check,
                                  Phase phase, const Progress& progress) const {
    WatchedCheck watched;
    watched.time = reading.time;
    watched.phase = phase;
    watched.progressFrom = m_legs.empty() ? ProgressFrom::DistanceTravelled : ProgressFrom::Route;
    watched.offRouteNm = progress.offRouteNm;
    watched.check = check;
    if (m_takeoffFuel && progress.nm - m_takeoffNm >= kBurnFactorFromNm && check.plannedBurn > 0) {
        const double factor =
            engine::roundHalfEven((*m_takeoffFuel - check.fuelOnBoard) / check.plannedBurn, 3);
        const double toCome = *m_plan.plannedBurn(m_plan.destinationDistance()) - check.plannedBurn;
        watched.burnFactor = factor;
        watched.predictedLandingFuelAtCurrentBurn =
            engine::roundHalfEven(check.fuelOnBoard - toCome * factor);
    }
    double flow = 0;
    for (const double engine : reading.fuelFlowKgPerSecond) {
        flow += engine;
    }
    watched.fuelFlowPerHour = engine::roundHalfEven(flow * 3600 / engine::kKilogramsPerPound);
    return watched;
}

void FlightWatch::read(const Reading& reading) {
    if (reading.inReplay || reading.paused) {
        tell({reading.time, reading.inReplay ? Phase::Replay : Phase::Paused, std::nullopt, {}});
        return;
    }
    if (auto refusal = refusalOf(reading); !refusal.empty()) {
        tell({reading.time, phaseSoFar(), std::nullopt, std::move(refusal)});
        return;
    }
    if (!m_firstDistanceMetres) {
        m_firstDistanceMetres = reading.distanceTravelledMetres;
    }
    const auto progress = this->progress(reading);
    const auto result =
        m_plan.check({reading.fuelOnBoardKg,
                      std::min(progress.nm * kMetresPerNm, engine::kLongestTravelMetres)});
    if (const auto* const refused = std::get_if<engine::FuelCheckRefused>(&result)) {
        tell({reading.time, phaseSoFar(), std::nullopt, refused->reason});
        return;
    }
    const auto& check = std::get<engine::FuelCheck>(result);
    const bool wasLanded = m_landed;
    const Phase phase = phaseOf(reading, check.fuelOnBoard, progress.nm);
    const auto watched = checked(reading, check, phase, progress);
    passFixes(watched, progress.nm);
    hold(watched);
    tell({reading.time, phase, watched, {}});
    if (phase == Phase::Landed && !wasLanded) {
        m_landed = true;
        const auto landing = summary();
        for (auto* const listener : m_listeners) {
            listener->landed(landing);
        }
    }
}

void FlightWatch::passFixes(const WatchedCheck& checked, double progressNm) {
    while (m_passed.size() < m_legs.size() &&
           progressNm + kReachedNm >= m_legs[m_passed.size()].endNm) {
        const auto& leg = m_legs[m_passed.size()];
        PassedFix fix;
        fix.ident = leg.ident;
        fix.distanceNm = engine::roundHalfEven(leg.endNm, 1);
        fix.time = checked.time;
        fix.fuelOnBoard = checked.check.fuelOnBoard;
        fix.plannedFuelOnBoard = m_plan.plannedFuelOnBoard(leg.endNm).value_or(0);
        fix.ofpPlannedFuelOnBoard = leg.ofpFuel;
        fix.difference = fix.fuelOnBoard - fix.plannedFuelOnBoard;
        m_passed.push_back(fix);
        for (auto* const listener : m_listeners) {
            listener->fixPassed(fix);
        }
    }
}

void FlightWatch::hold(const WatchedCheck& checked) {
    if (m_checks.size() == kMostHeldChecks) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_checks.size(); i += 2) {
            m_checks[kept++] = m_checks[i];
        }
        m_checks.resize(kept);
    }
    m_checks.push_back(checked);
    m_last = checked;
}

void FlightWatch::tell(const WatchedReading& told) {
    for (auto* const listener : m_listeners) {
        listener->reading(told);
    }
}

FlightSummary FlightWatch::summary() const {
    FlightSummary summary;
    summary.plannedTripBurn = m_plan.plannedBurn(m_plan.destinationDistance()).value_or(0);
    summary.fixesPassed = m_passed.size();
    if (m_last) {
        summary.time = m_last->time;
        summary.fuelOnBoard = m_last->check.fuelOnBoard;
        summary.burnFactor = m_last->burnFactor;
        if (m_takeoffFuel) {
            summary.tripBurn = *m_takeoffFuel - m_last->check.fuelOnBoard;
        }
    }
    return summary;
}

}  // namespace brimwell::flight
