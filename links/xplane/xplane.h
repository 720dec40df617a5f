#pragma once

// The X-Plane link's face, which the window and brimwell-plan call: loading a plan into the
// Boeing 747-400 of X-Plane 12, and reading its fuel on board and distance flown in flight,
// through X-Plane's own web API (12.1.1 and later).
//
// The exchange itself lives in the module brimwell-xplane.so (links/xplane/xplane_module.h, over
// the one HTTP client, links/http/http_client.h), loaded at the first call; this face holds the
// plan's side: what to load (xplane_request.cpp), the address (xplane_address.h), the calls
// (xplane.cpp), the outcome and its words for the pilot (xplane_words.cpp).
//
// From the window: on the user-interface thread, take the request from the cells with
// xplaneRequestFor() (it reads the cells, so never from another thread); then call
// loadIntoXPlane() on a worker thread. A call shares nothing with other calls, never throws, and
// returns within the request's bound (5 s, name lookup included) whatever X-Plane does, or
// within a second of its control being stopped. The cells are those the engine reads, in pounds
// (engine/unit_cells.h), and the unit the pilot reads them in names every weight of a refusal;
// pass the same unit to describe().

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fuel_check.h"
#include "engine/units.h"
#include "links/link_call.h"
#include "links/xplane/xplane_address.h"

namespace brimwell::engine {
class UnitCells;
}

namespace brimwell::links {

// X-Plane's fuel tanks, as many as sim/flightmodel/weight/m_fuel holds.
inline constexpr std::size_t kXPlaneTanks = 9;
using TankMasses = std::array<double, kXPlaneTanks>;  // kg, by X-Plane's tank slot

// The 747-400's tanks in X-Plane, by slot: the name for the pilot and the share of the total
// capacity (sim/aircraft/overflow/acf_tank_rat) that tells the aircraft apart. Slot 8 is unused.
struct Tank747 {
    std::string_view name;
    double share;
};
inline constexpr std::array<Tank747, kXPlaneTanks> kTanks747 = {{
    {"centre wing tank", 0.300},
    {"main tank 1", 0.078},
    {"main tank 2", 0.220},
    {"main tank 3", 0.220},
    {"main tank 4", 0.078},
    {"reserve tank 2", 0.023},
    {"reserve tank 3", 0.023},
    {"stabiliser tank", 0.058},
    {"", 0.0},
}};
// How long an exchange with X-Plane may take in all.
inline constexpr std::chrono::milliseconds kXPlaneBound{5000};
// What X-Plane gives back may differ from what was written by the rounding of its floats.
inline constexpr double kReadBackToleranceKg = 0.5;

struct XPlaneRequest {
    XPlaneAddress address;
    double fuelLbs = 0;     // the total fuel load, txtFL
    double payloadLbs = 0;  // txtPayLoad
    // The bound on the whole exchange: kXPlaneBound, unless BRIMWELL_TEST_XPLANE_BOUND_MS says
    // otherwise (tests).
    std::chrono::milliseconds bound = kXPlaneBound;
    engine::Unit unit = engine::Unit::Pounds;  // the unit that a refusal names its weights in
};

// The aircraft was loaded: what was written and what X-Plane gave back when read afterwards.
struct XPlaneLoaded {
    TankMasses tanksWritten{};
    TankMasses tanksRead{};
    double payloadWritten = 0;  // kg
    double payloadRead = 0;     // kg
    // Whether what was read back differs from what was written (by more than the tolerance in a
    // tank or the payload): the aircraft's own fuel system moved or limited it.
    bool changedByAircraft() const;
};

// Nothing was loaded, or only part of it: what happened and what to do (the reason says what was
// written), and which writes X-Plane accepted.
struct XPlaneRefused : Refused {
    bool fuelAccepted = false;
    bool payloadAccepted = false;
};

using XPlaneOutcome = Outcome<XPlaneLoaded, XPlaneRefused>;

// The request for the plan in the cells, or the refusal when there is no finished plan (an empty
// or unreadable result) or a result cell is over its aircraft limit (each named, with its figure
// and limit, in the cells' unit).
Outcome<XPlaneRequest> xplaneRequestFor(const engine::UnitCells& cells,
                                        const XPlaneAddress& address);

// Loads the request into the aircraft of the X-Plane at its address: reads the tank layout and
// capacity, checks that they are the 747-400's, spreads the fuel by the loading order, writes the
// tanks and the payload, and reads both back. Every check comes before the first write, so a
// refusal that does not say otherwise has written nothing.
XPlaneOutcome loadIntoXPlane(const XPlaneRequest& request, LinkControl& control);

// One reading of the flight for its watch (flight/flight_watch.h), as X-Plane tells it.
struct XPlaneFlightReading {
    double time = 0;           // UTC, seconds since 1970: the computer's clock at the reading
    double latitude = 0;       // sim/flightmodel/position/latitude, degrees
    double longitude = 0;      // sim/flightmodel/position/longitude, degrees
    double fuelOnBoardKg = 0;  // sim/flightmodel/weight/m_fuel_total
    // sim/cockpit2/engine/indicators/fuel_flow_kg_sec, each engine's (at most eight)
    std::vector<double> fuelFlowKgPerSecond;
    double groundSpeedMetresPerSecond = 0;  // sim/flightmodel/position/groundspeed
    bool onGround = false;                  // sim/flightmodel/failures/onground_any
    bool paused = false;                    // sim/time/paused
    bool inReplay = false;                  // sim/time/is_in_replay
    double distanceTravelledMetres = 0;     // sim/flightmodel/controls/dist
};

// No reading: why, and whether it is because the aircraft is not the 747-400.
struct XPlaneFlightRefused : Refused {
    bool otherAircraft = false;
};

using XPlaneFlightOutcome = Outcome<XPlaneFlightReading, XPlaneFlightRefused>;

// Reads the flight within the bound. With checkAircraft, the tank layout is read first and an
// aircraft that is not the 747-400 refused in the load's words: the caller asks so at its first
// reading.
XPlaneFlightOutcome readXPlaneFlight(const XPlaneAddress& address, std::chrono::milliseconds bound,
                                     bool checkAircraft, LinkControl& control);

// The outcome in words for the pilot, weights in `unit`: on success the fuel of each tank and the
// payload (and, when the aircraft changed them, what it holds now), else the reason.
std::string describe(const XPlaneOutcome& outcome, engine::Unit unit);

// A mass in kilograms as the pilot reads it in `unit`, whole: "229752 lbs", "104213 kg".
std::string weightText(double kg, engine::Unit unit);

// How long an exchange with X-Plane may take: kXPlaneBound, or BRIMWELL_TEST_XPLANE_BOUND_MS.
std::chrono::milliseconds xplaneBound();

}  // namespace brimwell::links
