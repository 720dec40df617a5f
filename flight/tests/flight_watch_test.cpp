// The watch of a flight through its face: scripted flights fed as readings, and what its listener
// is told of each. The engine's tests hold the check's own figures; here the distance it is made
// at, the phases, the fixes, the burn so far and the landing.

#include "flight/flight_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "tests/support/plan.h"

namespace brimwell::test {
namespace {

using flight::FlightWatch;
using flight::Reading;
using flightplan::Route;

constexpr double kLb = engine::kKilogramsPerPound;
constexpr double kKnot = 1852.0 / 3600;  // m/s
constexpr double kTakeoffFuel = 227752;  // the sample plan's txtFL − txtTFB, lbs
constexpr double kTripFuel = 188400;     // its txtFPF

// The sample plan: 4000 nm.
engine::FuelPlanLine samplePlan() {
    engine::MemoryCells cells;
    RecordingSink sink;
    engine::FuelPlanner planner(cells, sink);
    enter(cells, test::samplePlan());
    EXPECT_TRUE(planner.calculate());
    return std::get<engine::FuelPlanLine>(engine::FuelPlanLine::read(cells));
}

// Everything told, one reading's worth at a time: "fix A@600 airborne 600 x1.1".
class Told final : public flight::FlightListener {
  public:
    void reading(const flight::WatchedReading& r) override {
        out << flight::phaseWords(r.phase);
        if (!r.refusal.empty()) {
            out << ": " << r.refusal;
        }
        if (const auto& c = r.checked) {
            out << " " << c->check.distanceFlown;
            if (c->progressFrom == flight::ProgressFrom::DistanceTravelled) {
                out << " " << flight::progressWords(c->progressFrom);
            }
            if (c->offRouteNm) {
                out << " off " << *c->offRouteNm;
            }
            if (c->burnFactor) {
                out << " x" << *c->burnFactor;
            }
        }
    }
    void fixPassed(const flight::PassedFix& fix) override {
        out << "fix " << fix.ident << "@" << fix.distanceNm << " ";
        fixes.push_back(fix);
    }
    void landed(const flight::FlightSummary& s) override {
        out << " landed " << s.fuelOnBoard << " burn " << *s.tripBurn << "/" << s.plannedTripBurn
            << " x" << *s.burnFactor << " fixes " << s.fixesPassed;
    }
    std::string take() { return std::exchange(out, {}).str(); }

    std::ostringstream out;
    std::vector<flight::PassedFix> fixes;
};

struct Row {
    std::string name;
    double latitude, longitude;
    bool onGround = false;
    double knots = 250;
    double burnFactor = 0;  // the fuel on board: the takeoff fuel less this × the plan's burn
    std::string told;       // its distance flown is the second word
    bool paused = false, replay = false;
    double fuelKg = 0;                          // a figure of no flight, where not 0
    std::optional<double> time = std::nullopt;  // the reading's time, where not its turn's
};

Reading readingOf(const Row& row, const engine::FuelPlanLine& plan, double time) {
    double flown = 0;  // after the first phase but a fix's
    const auto phase = std::min(row.told.find("airborne "), row.told.find("landed "));
    if (phase != std::string::npos) {
        std::istringstream(row.told.substr(row.told.find(' ', phase))) >> flown;
    }
    const double pounds = kTakeoffFuel - row.burnFactor * plan.plannedBurn(flown).value_or(0);
    return {.time = time,
            .latitude = row.latitude,
            .longitude = row.longitude,
            .fuelOnBoardKg = row.fuelKg != 0 ? row.fuelKg : pounds * kLb,
            .fuelFlowKgPerSecond = {1, 1, 1, 1},
            .groundSpeedMetresPerSecond = row.knots * kKnot,
            .onGround = row.onGround,
            .paused = row.paused,
            .inReplay = row.replay,
            .distanceTravelledMetres = 0};
}

flightplan::RouteFix fix(std::string ident, double latitude, double longitude, double leg) {
    return {std::move(ident), latitude, longitude, leg, std::nullopt};
}

// Along the equator from 0 E, with a dogleg 30 nm north to C: A, B, C, D 600 nm apart, E 1600.
const Route kEquator = {0,
                        0,
                        {fix("A", 0, 10, 600), fix("B", 0, 20, 600), fix("C", 0.5, 30, 600),
                         fix("D", 0, 40, 600), fix("E", 0, 60, 1600)}};

TEST(FlightWatch, FollowsAFlightAlongItsRoute) {
    const std::string lie =
        ": X-Plane's reading is no flight's (nan kg of fuel on board): the "
        "fuel is not checked.";
    // clang-format off
    const std::vector<Row> rows = {
        {"at the gate", 0, 0, true, 0, 0, "before takeoff 0"},
        {"takeoff", 0, 1, false, 160, 0, "airborne 60"},
        {"paused", 0, 2, false, 250, 0, "paused", true},
        {"100 nm since takeoff", 0, 2.6667, false, 250, 1.1, "airborne 160 x1.1"},
        {"burning the plan", 0, 5, false, 250, 1, "airborne 300 x1"},
        {"a hold before A", 0.1, 9.9, false, 250, 1.1, "airborne 594 x1.1"},
        {"its outbound leg adds nothing", 0.1, 9.6, false, 250, 1.1, "airborne 594 x1.1"},
        {"at A", 0, 10, false, 250, 1.1, "fix A@600 airborne 600 x1.1"},
        {"vectors 30 nm south", -0.5, 12, false, 250, 1.1, "airborne 720 x1.1"},
        {"60 nm north: progress held", 1, 14, false, 250, 1.1, "airborne 720 off 60 x1.1"},
        {"back on the route", 0, 15, false, 250, 1.1, "airborne 900 x1.1"},
        {"a replay of the climb", 0, 5, false, 250, 1.1, "replay", false, true},
        {"a reading of no flight", 0, 16, false, 250, 1.1, "airborne" + lie, false, false, std::nan("")},
        {"no ground speed", 0, 16, false, std::nan(""), 1.1, "airborne: X-Plane's reading is no flight's (ground speed nan m/s): the fuel is not checked."},
        {"no time", 0, 16, false, 250, 1.1, "airborne: X-Plane's reading is no flight's (time nan): the fuel is not checked.", false, false, 0, std::nan("")},
        {"a time past any clock", 0, 16, false, 250, 1.1, "airborne: X-Plane's reading is no flight's (time inf): the fuel is not checked.", false, false, 0, HUGE_VAL},
        {"direct to D", 0, 40, false, 250, 1.1, "fix B@1200 fix C@1800 fix D@2400 airborne 2400 x1.1"},
        {"an orbit back behind D", 0, 39, false, 250, 1.1, "airborne 2400 x1.1"},
        {"half way to E", 0, 50, false, 250, 1.1, "airborne 3200 x1.1"},
        {"rolling out at E", 0, 60, true, 60, 1.1, "fix E@4000 airborne 4000 x1.1"},
        {"landed", 0, 60, true, 20, 1.1, "landed 4000 x1.1 landed 20512 burn 207240/188400 x1.1 fixes 5"},
        {"taxiing", 0, 60.01, true, 15, 1.1, "landed 4000 x1.1"},
    };
    // clang-format on
    const auto plan = samplePlan();
    FlightWatch watch(samplePlan(), kEquator);
    Told told;
    watch.addListener(told);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        watch.read(
            readingOf(rows[i], plan, rows[i].time.value_or(1000 + 5 * static_cast<double>(i))));
        EXPECT_EQ(told.take(), rows[i].told) << rows[i].name;
    }
    // Times are the readings'; at E, the plan's landing fuel, and 1.1 times its trip fuel burnt.
    ASSERT_EQ(told.fixes.size(), 5U);
    EXPECT_EQ(told.fixes[0].time, 1035);
    EXPECT_EQ(told.fixes[3].time, 1080);
    EXPECT_EQ(told.fixes[4].plannedFuelOnBoard, kTakeoffFuel - kTripFuel);
    EXPECT_NEAR(told.fixes[4].difference, -0.1 * kTripFuel, 1);
    // The landing fuel at 1.1 times the plan's burn, wherever it is judged: the takeoff fuel
    // less 1.1 times the trip fuel.
    for (const auto& check : watch.checks()) {
        if (check.burnFactor == 1.1) {
            EXPECT_NEAR(*check.predictedLandingFuelAtCurrentBurn, kTakeoffFuel - 1.1 * kTripFuel,
                        1);
        }
    }
    EXPECT_EQ(watch.checks().size(), 16U);  // neither paused, nor replay, nor no flight's
    EXPECT_EQ(watch.checks().back().fuelFlowPerHour, 31747);  // 4 kg/s
}

// Projected on the great circles, whatever the longitudes and near a pole; and without a route,
// the distance travelled since the first reading.
TEST(FlightWatch, MeasuresProgressOnAnyRoute) {
    const Route antimeridian = {0, 170, {fix("X", 0, -170, 2000), fix("Y", 0, -150, 2000)}};
    const Route overThePole = {80, 0, {fix("P", 80, 180, 2000), fix("Q", 60, 180, 2000)}};
    const Route twiceOverX = {
        0, 0, {fix("X", 0, 10, 2000), fix("X", 0, 10, 0), fix("Y", 0, 30, 2000)}};
    // clang-format off
    const std::vector<std::tuple<std::optional<Route>, double, double, double, std::string>> rows = {
        {antimeridian, 0, 180, 0, "airborne 1000"},
        {antimeridian, 0.5, -175, 0, "airborne 1500"},
        {antimeridian, 0, 175, 0, "airborne 500"},
        {antimeridian, 0, -160, 0, "fix X@2000 airborne 3000"},
        {antimeridian, 0.84, 180, 0, "airborne 0 off 50.4"},
        {antimeridian, 91, 180, 0, "before takeoff: X-Plane's reading is no flight's (position 91, 180): the fuel is not checked."},
        {twiceOverX, 0, 20, 0, "fix X@2000 fix X@2000 airborne 3000"},
        {overThePole, 90, 0, 0, "airborne 1000"},
        {overThePole, 85, 0, 0, "airborne 500"},
        {overThePole, 85, 180, 0, "airborne 1500"},
        {overThePole, 70, -180, 0, "fix P@2000 airborne 3000"},
        {overThePole, 89, 90, 0, "airborne 0 off 60"},
        {std::nullopt, 10, 10, 185200, "airborne 100 distance travelled x0"},
        {std::nullopt, 10, 10, -4000, "airborne 0 distance travelled"},
    };
    // clang-format on
    for (const auto& [route, latitude, longitude, metres, expected] : rows) {
        FlightWatch watch(samplePlan(), route);
        Told told;
        watch.addListener(told);
        Reading reading;
        reading.latitude = latitude;
        reading.longitude = longitude;
        reading.fuelOnBoardKg = kTakeoffFuel * kLb;
        reading.distanceTravelledMetres = 5000;
        if (!route) {
            watch.read(reading);
            (void)told.take();
        }
        reading.distanceTravelledMetres += metres;
        watch.read(reading);
        EXPECT_EQ(told.take(), expected) << latitude << " " << longitude;
    }
}

// However long the flight, every other reading held is let go when the held ones are full.
TEST(FlightWatch, HoldsABoundedShareOfALongFlight) {
    FlightWatch watch(samplePlan(), std::nullopt);
    Reading reading;
    for (std::size_t i = 0; i <= flight::kMostHeldChecks; ++i) {
        reading.time = static_cast<double>(i);
        watch.read(reading);
    }
    const auto& held = watch.checks();
    ASSERT_EQ(held.size(), flight::kMostHeldChecks / 2 + 1);
    EXPECT_EQ(held[1].time - held[0].time, 2);
    EXPECT_EQ(held.back().time, flight::kMostHeldChecks);
}

}  // namespace
}  // namespace brimwell::test
