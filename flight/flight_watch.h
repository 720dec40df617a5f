#pragma once

// The watch of one flight: a completed plan (engine::FuelPlanLine), the route of its flight plan
// when it has one (flightplan/route.h), and X-Plane's readings as the caller feeds them. Each
// reading becomes a fuel check at the distance flown along the route, with the burn so far; the
// fixes passed and the landing are told as they come, to every listener. No Qt and no thread: the
// caller reads X-Plane and calls read(); the listeners are called from inside it.
//
// Progress along the route: the position projected on the great circles of its legs (a spherical
// earth), searched from the leg into the last fix passed onward and never going backwards, so that
// a hold or an orbit adds nothing and a direct-to advances. SimBrief's leg distances measure the
// way, scaled so that the whole route measures the plan's txtDestinationDistance. Farther than
// kOffRouteNm from every leg searched, progress is held and the distance off is told. Without a
// route, progress is the distance travelled since the watch's first reading.
//
// Weights are whole lbs, as the engine's check gives them; engine::weightIn gives them in the
// pilot's unit. Times are the caller's, UTC seconds since 1970.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fuel_check.h"
#include "flightplan/route.h"
#include "links/xplane/xplane.h"

namespace brimwell::flight {

inline constexpr double kOffRouteNm = 50;
// The distance flown since takeoff from which the burn factor is told, nm.
inline constexpr double kBurnFactorFromNm = 100;
// Below this ground speed on the ground after being airborne, the aircraft has landed; knots.
inline constexpr double kLandedBelowKnots = 30;
// The checked readings held for the plot at most; beyond, every other one held is let go.
inline constexpr std::size_t kMostHeldChecks = 16'384;
// The most engines a reading tells the fuel flow of.
inline constexpr std::size_t kMostEngines = 8;

// One reading of X-Plane, as the X-Plane link gives it.
using Reading = links::XPlaneFlightReading;

enum class Phase { BeforeTakeoff, Airborne, Landed, Paused, Replay };
// "before takeoff", "airborne", "landed", "paused", "replay".
std::string_view phaseWords(Phase phase);

enum class ProgressFrom { Route, DistanceTravelled };
// "route", "distance travelled".
std::string_view progressWords(ProgressFrom from);

// A reading checked: the engine's check at the distance flown along the route (or travelled),
// and what the watch adds to it.
struct WatchedCheck {
    double time = 0;
    Phase phase = Phase::BeforeTakeoff;  // before takeoff, airborne or landed
    ProgressFrom progressFrom = ProgressFrom::Route;
    // Off the route by more than kOffRouteNm: how far from the nearest leg searched, nm (one
    // decimal); progress is held where it was. None on the route, and without one.
    std::optional<double> offRouteNm;
    engine::FuelCheck check;  // distanceFlown and distanceToGo are along the route
    // Fuel burnt since takeoff ÷ the plan's burn to here, three decimals; and the landing fuel
    // at that burn: fuelOnBoard − (txtFPF − plannedBurn) × burnFactor, whole lbs. None until
    // kBurnFactorFromNm are flown since takeoff.
    std::optional<double> burnFactor;
    std::optional<double> predictedLandingFuelAtCurrentBurn;
    double fuelFlowPerHour = 0;  // the engines' sum, whole lbs per hour
};

// What the watch tells of each reading: checked, or only its phase (paused, replay), or refused
// as no flight's (the refusal in words, and the check none).
struct WatchedReading {
    double time = 0;
    Phase phase = Phase::BeforeTakeoff;
    std::optional<WatchedCheck> checked;
    std::string refusal;
};

// A fix of the route, at the first checked reading at or past its distance along the route.
struct PassedFix {
    std::string ident;
    double distanceNm = 0;                        // along the route, scaled; one decimal
    double time = 0;                              // the reading's
    double fuelOnBoard = 0;                       // the reading's
    double plannedFuelOnBoard = 0;                // the plan's at the fix's distance
    std::optional<double> ofpPlannedFuelOnBoard;  // SimBrief's fuel_plan_onboard there
    double difference = 0;                        // fuelOnBoard − plannedFuelOnBoard
};

// The flight as far as it is watched: on landing, or whenever the caller ends the watch.
struct FlightSummary {
    double time = 0;         // of the last checked reading
    double fuelOnBoard = 0;  // at the last checked reading
    // Fuel on board at the first airborne reading less now; none before takeoff.
    std::optional<double> tripBurn;
    double plannedTripBurn = 0;  // txtFPF
    std::optional<double> burnFactor;
    std::size_t fixesPassed = 0;
};

// Whoever shows or keeps the flight: the window, the planner, the tablet, the log.
class FlightListener {
  public:
    FlightListener() = default;
    FlightListener(const FlightListener&) = delete;
    FlightListener& operator=(const FlightListener&) = delete;
    FlightListener(FlightListener&&) = delete;
    FlightListener& operator=(FlightListener&&) = delete;
    virtual ~FlightListener() = default;

    // Every reading, after the fixes it passed.
    virtual void reading(const WatchedReading& reading) = 0;
    virtual void fixPassed(const PassedFix& fix) = 0;
    // The first landed reading after being airborne, after its reading.
    virtual void landed(const FlightSummary& summary) = 0;
};

class FlightWatch final {
  public:
    // The route, where there is one, as the flight plan gave it.
    FlightWatch(engine::FuelPlanLine plan, std::optional<flightplan::Route> route);

    // The listener is told from the next reading on; it must outlive the watch or be removed.
    void addListener(FlightListener& listener);
    void removeListener(FlightListener& listener);

    // Takes the next reading: checks it, unless paused, in replay or no flight's, and tells it.
    void read(const Reading& reading);

    const engine::FuelPlanLine& plan() const { return m_plan; }
    bool hasRoute() const { return !m_legs.empty(); }
    // The checked readings in order, for the plot (thinned beyond kMostHeldChecks), and the
    // fixes passed.
    const std::vector<WatchedCheck>& checks() const { return m_checks; }
    const std::vector<PassedFix>& fixesPassed() const { return m_passed; }
    FlightSummary summary() const;

  private:
    // A leg from the point before to the fix: unit vectors of both ends, and where it starts and
    // ends along the route, nm.
    struct Leg {
        std::array<double, 3> from{}, to{};
        double startNm = 0, endNm = 0;
        std::string ident;
        std::optional<double> ofpFuel;
    };
    struct Progress {
        double nm = 0;
        std::optional<double> offRouteNm;
    };

    Progress progress(const Reading& reading);
    // The phase of a reading on the ground or in the air, noting the takeoff and the landing.
    Phase phaseOf(const Reading& reading, double fuelOnBoard, double progressNm);
    Phase phaseSoFar() const;
    WatchedCheck checked(const Reading& reading, const engine::FuelCheck& check, Phase phase,
                         const Progress& progress) const;
    void passFixes(const WatchedCheck& checked, double progressNm);
    void hold(const WatchedCheck& checked);
    void tell(const WatchedReading& told);

    engine::FuelPlanLine m_plan;
    std::vector<Leg> m_legs;
    std::vector<FlightListener*> m_listeners;
    std::vector<WatchedCheck> m_checks;
    std::vector<PassedFix> m_passed;
    std::optional<WatchedCheck> m_last;
    std::optional<double> m_firstDistanceMetres;
    double m_furthestNm = 0;
    std::optional<double> m_takeoffFuel;
    double m_takeoffNm = 0;
    bool m_airborne = false;
    bool m_landed = false;
};

}  // namespace brimwell::flight
