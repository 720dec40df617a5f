// The fuel check on plans that Calculate made: its figures, the status on each side of its
// thresholds, its lines in both units, the plan's line for the plot and the refusals.
//
// The figures are worked out by hand from the trip table at FL350. The sample plan flies 4000 nm
// as 4412 (k = 1.103), T(4412) = 188.4 and txtFPF = 188400. 3000 km are 1619.87 nm, so 1620 nm,
// T(1786.86) = 84.9 and the burn 188400 × 84.9 ÷ 188.4 = 84900; 60000 kg are 132277 lbs, so the
// predicted landing fuel is 132277 − (188400 − 84900) = 28777 lbs, below the reserves 30352.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/cell_names.h"
#include "engine/fuel_check.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "tests/support/plan.h"

namespace brimwell::test {
namespace {

using engine::checkLines;
using engine::FuelCheck;
using engine::FuelCheckRefused;
using engine::FuelPlanLine;
using engine::FuelPlanner;
using engine::FuelReading;
using engine::FuelStatus;
using engine::kKilogramsPerPound;
using engine::MemoryCells;
using engine::Unit;
namespace c = engine::cell;

constexpr double kLb = kKilogramsPerPound;  // a reading of N lbs is N × kLb kg
constexpr double kNm = 1852;                // metres

// 475000 lbs at landing: the alternate fuel is 11000, the planned landing fuel 39000.
const CellTexts kLight = {{c::txtPayLoad, "61912"}};
const CellTexts kNowhere = {{c::txtDestinationDistance, "0"}};
const CellTexts kLongest = {{c::txtDestinationDistance, "8400"}, {c::cmbWindDirection, "NoWind"}};

// The cells of the sample plan with the changes, calculated; then the edits typed over them.
MemoryCells planned(const CellTexts& changes, bool correction = false,
                    const CellTexts& edits = {}) {
    MemoryCells cells;
    test::RecordingSink sink;
    FuelPlanner planner(cells, sink);
    test::enter(cells, test::with(test::samplePlan(), changes));
    cells.setTicked(c::CheckCorrection, correction);
    EXPECT_TRUE(planner.calculate());
    test::enter(cells, edits);
    return cells;
}

FuelPlanLine line(const CellTexts& changes, bool correction = false) {
    return std::get<FuelPlanLine>(FuelPlanLine::read(planned(changes, correction)));
}

FuelCheck checked(const CellTexts& changes, bool correction, double kg, double metres) {
    return std::get<FuelCheck>(line(changes, correction).check({kg, metres}));
}

TEST(FuelCheck, FollowsThePlanAndJudgesTheLandingFuel) {
    using S = FuelStatus;
    struct Row {
        const char* name;
        CellTexts plan;
        bool correction;
        double kg;
        double metres;
        // flown, to go, burn, on board, planned here, difference, predicted, planned, reserves,
        // margin
        std::array<double, 10> figures;
        FuelStatus status;
    };
    const std::vector<Row> rows = {
        // clang-format off
        {"takeoff", {}, false, 103000, 0, {0, 4000, 0, 227076, 227752, -676, 38676, 39352, 30352, -676}, S::ContingencyInUse},
        {"first nm", {}, false, 103000, kNm, {1, 3999, 100, 227076, 227652, -576, 38776, 39352, 30352, -576}, S::ContingencyInUse},
        {"60000 kg after 3000 km", {}, false, 60000, 3e6, {1620, 2380, 84900, 132277, 142852, -10575, 28777, 39352, 30352, -10575}, S::ReservesAtRisk},
        {"half a nm to even, down", {}, false, 60000, 1620.5 * kNm, {1620, 2380, 84900, 132277, 142852, -10575, 28777, 39352, 30352, -10575}, S::ReservesAtRisk},
        {"half a nm to even, up", {}, false, 60000, 1621.5 * kNm, {1622, 2378, 85000, 132277, 142752, -10475, 28877, 39352, 30352, -10475}, S::ReservesAtRisk},
        {"a nm before", {}, false, 20000, 3999 * kNm, {3999, 1, 188300, 44092, 39452, 4640, 43992, 39352, 30352, 4640}, S::OnPlan},
        {"at the destination", {}, false, 20000, 4000 * kNm, {4000, 0, 188400, 44092, 39352, 4740, 44092, 39352, 30352, 4740}, S::OnPlan},
        {"past it", {}, false, 20000, 8e6, {4320, 0, 188400, 44092, 39352, 4740, 44092, 39352, 30352, 4740}, S::OnPlan},
        // 5.8 × 860 lbs/hr for 495 minutes is 41151 lbs more: 229551 × 84.9 ÷ 188.4 = 103444.2
        {"corrected", {}, true, 60000, 3e6, {1620, 2380, 103444, 132277, 165459, -33182, 6170, 39352, 30352, -33182}, S::ReservesAtRisk},
        // 189110 × 141.3 ÷ 188.4 is 141832.5, a half, which the doubles make 141832.50000000003
        {"corrected half to even", {{c::txtPayLoad, "43000"}}, true, 40000, 2953 * kNm, {2953, 1047, 141832, 88185, 86278, 1907, 40907, 39000, 30000, 1907}, S::OnPlan},
        {"corrected takeoff", {}, true, 120000, 0, {0, 4000, 0, 264555, 268903, -4348, 35004, 39352, 30352, -4348}, S::ContingencyInUse},
        {"plan of 0 nm", kNowhere, false, 100000, 0, {0, 0, 0, 220462, 39352, 181110, 220462, 39352, 30352, 181110}, S::OnPlan},
        // 6612 minutes of contingency bring txtFL to 2204352 lbs, just below 1000000 kg
        {"longest contingency", {{c::txtContingencyTime, "6612"}}, false, 100000, 0, {0, 4000, 0, 220462, 2202352, -1981890, 32062, 2013952, 30352, -1981890}, S::ContingencyInUse},
        {"longest leg", kLongest, false, 150000, 4200 * kNm, {4200, 4200, 179900, 330693, 238252, 92441, 131793, 39352, 30352, 92441}, S::OnPlan},
        // 99 % of 39352 is 38958.48
        {"below 99 %", {}, false, 142458 * kLb, 3e6, {1620, 2380, 84900, 142458, 142852, -394, 38958, 39352, 30352, -394}, S::ContingencyInUse},
        {"above 99 %", {}, false, 142459 * kLb, 3e6, {1620, 2380, 84900, 142459, 142852, -393, 38959, 39352, 30352, -393}, S::OnPlan},
        {"at 99 %", kLight, false, 142110 * kLb, 3e6, {1620, 2380, 84900, 142110, 142500, -390, 38610, 39000, 30000, -390}, S::OnPlan},
        {"a lb below 99 %", kLight, false, 142109 * kLb, 3e6, {1620, 2380, 84900, 142109, 142500, -391, 38609, 39000, 30000, -391}, S::ContingencyInUse},
        {"a lb above 99 %", kLight, false, 142111 * kLb, 3e6, {1620, 2380, 84900, 142111, 142500, -389, 38611, 39000, 30000, -389}, S::OnPlan},
        {"at the reserves", {}, false, 133852 * kLb, 3e6, {1620, 2380, 84900, 133852, 142852, -9000, 30352, 39352, 30352, -9000}, S::ContingencyInUse},
        {"a lb below them", {}, false, 133851 * kLb, 3e6, {1620, 2380, 84900, 133851, 142852, -9001, 30351, 39352, 30352, -9001}, S::ReservesAtRisk},
        {"a lb above them", {}, false, 133853 * kLb, 3e6, {1620, 2380, 84900, 133853, 142852, -8999, 30353, 39352, 30352, -8999}, S::ContingencyInUse},
        {"at light reserves", kLight, false, 133500 * kLb, 3e6, {1620, 2380, 84900, 133500, 142500, -9000, 30000, 39000, 30000, -9000}, S::ContingencyInUse},
        {"a lb below light reserves", kLight, false, 133499 * kLb, 3e6, {1620, 2380, 84900, 133499, 142500, -9001, 29999, 39000, 30000, -9001}, S::ReservesAtRisk},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const FuelCheck f = checked(row.plan, row.correction, row.kg, row.metres);
        EXPECT_EQ((std::array{f.distanceFlown, f.distanceToGo, f.plannedBurn, f.fuelOnBoard,
                              f.plannedFuelOnBoard, f.difference, f.predictedLandingFuel,
                              f.plannedLandingFuel, f.reserves, f.margin}),
                  row.figures);
        EXPECT_EQ(f.status, row.status);
    }
}

TEST(FuelCheck, TellsTheCheckInTheUnit) {
    struct Row {
        double kg;
        double metres;
        Unit unit;
        std::size_t line;
        const char* text;
    };
    // The lines in pounds are the planner's test's (links/xplane/tests/xplane_planner_test.cpp).
    const std::vector<Row> rows = {
        // clang-format off
        {60000, 3e6, Unit::Kilograms, 2, "Fuel on board: 60000 kg, planned here: 64797 kg, difference: -4797 kg"},
        {60000, 3e6, Unit::Kilograms, 3, "Landing fuel predicted: 13053 kg, planned: 17850 kg, margin: -4797 kg"},
        {60000, 3e6, Unit::Kilograms, 4, "Reserves: 13767 kg"},
        {20000, 3999 * kNm, Unit::Kilograms, 1, "Distance flown: 3999 nm, to go: 1 nm"},
        {20000, 3999 * kNm, Unit::Kilograms, 2, "Fuel on board: 20000 kg, planned here: 17895 kg, difference: +2105 kg"},
        {20000, 3999 * kNm, Unit::Kilograms, 3, "Landing fuel predicted: 19954 kg, planned: 17850 kg, margin: +2105 kg"},
        {20000, 3999 * kNm, Unit::Kilograms, 5, "Status: on plan"},
        {227752 * kLb, 0, Unit::Pounds, 2, "Fuel on board: 227752 lbs, planned here: 227752 lbs, difference: 0 lbs"},
        {227753 * kLb, 0, Unit::Pounds, 2, "Fuel on board: 227753 lbs, planned here: 227752 lbs, difference: +1 lbs"},
        {103000, 0, Unit::Kilograms, 5, "Status: contingency in use"},
        // clang-format on
    };
    const FuelPlanLine plan = line({});
    for (const auto& row : rows) {
        const auto lines =
            checkLines(std::get<FuelCheck>(plan.check({row.kg, row.metres})), row.unit);
        ASSERT_EQ(lines.size(), 6U);
        EXPECT_EQ(lines[row.line], row.text);
    }
}

TEST(FuelCheck, DrawsThePlansLineFromTakeoffToLanding) {
    const FuelPlanLine plan = line({});
    EXPECT_EQ(plan.destinationDistance(), 4000);
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<double, std::optional<double>>> rows = {
        {0, 227752},   {0.5, 227752}, {1000.25, 160452},  {1620, 142852},      {2000, 129552},
        {4000, 39352}, {9000, 39352}, {-1, std::nullopt}, {nan, std::nullopt}, {inf, std::nullopt},
    };
    for (const auto& [distance, fuel] : rows) {
        EXPECT_EQ(plan.plannedFuelOnBoard(distance), fuel) << distance;
    }
}

TEST(FuelCheck, RefusesReadingsThatAreNoFlights) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double most = std::numeric_limits<double>::max();
    const std::vector<std::pair<FuelReading, bool>> rows = {
        {{nan, 0}, true},         {{-0.001, 0}, true},   {{inf, 0}, true},     {{1e6, 0}, false},
        {{1e6 + 0.001, 0}, true}, {{-0.0, -0.0}, false}, {{0, -1}, true},      {{0, nan}, true},
        {{0, -inf}, true},        {{0, 1e8}, false},     {{0, 1e8 + 1}, true}, {{most, most}, true},
    };
    const FuelPlanLine plan = line({});
    for (const auto& [reading, refused] : rows) {
        EXPECT_EQ(std::holds_alternative<FuelCheckRefused>(plan.check(reading)), refused)
            << reading.fuelOnBoardKg << " kg, " << reading.distanceTravelledMetres << " m";
    }
    EXPECT_EQ(std::get<FuelCheckRefused>(plan.check({nan, 3e6})).reason,
              "X-Plane's reading is no flight's (nan kg of fuel on board after 3e+06 m "
              "travelled): the fuel is not checked.");
}

TEST(FuelCheck, RefusesAPlanItCannotCheckAgainst) {
    const std::string none = "There is no finished plan";
    const std::string absurd = "The plan's figures are no flight's";
    const std::string tripless = "The trip table gives";
    struct Row {
        const char* name;
        CellTexts plan;
        CellTexts edits;
        std::string reason;
    };
    const std::vector<Row> rows = {
        // clang-format off
        {"flight plan fuel empty", {}, {{c::txtFPF, ""}}, none},
        {"alternate fuel no number", {}, {{c::txtAF, "x"}}, none},
        {"fuel load of another plan", {}, {{c::txtFL, "229753"}}, none},
        {"level not in the table", {}, {{c::cmbFlightLevel, "FL300"}}, none},
        {"corrected distance beyond the table", {}, {{c::txtDistWinCorr, "8401"}}, none},
        {"distance below 0", {}, {{c::txtDestinationDistance, "-1"}}, absurd},
        {"distance beyond its limit", {}, {{c::txtDestinationDistance, "8401"}}, absurd},
        {"weight below 0", {}, {{c::txtTFB, "-2000"}, {c::txtFL, "225752"}}, absurd},
        {"contingency beyond 1000000 kg", {{c::txtContingencyTime, "6613"}}, {}, absurd},
        // 369 kt of tail wind take 1 nm to 0: no trip fuel
        {"no trip fuel", {{c::txtDestinationDistance, "1"}, {c::cmbWindDirection, "Tail"}, {c::txtWindIntensity, "369"}}, {}, tripless},
        // clang-format on
    };
    for (const auto& row : rows) {
        const auto read = FuelPlanLine::read(planned(row.plan, false, row.edits));
        ASSERT_TRUE(std::holds_alternative<FuelCheckRefused>(read)) << row.name;
        EXPECT_EQ(std::get<FuelCheckRefused>(read).reason.substr(0, row.reason.size()), row.reason)
            << row.name;
    }
    EXPECT_TRUE(std::holds_alternative<FuelCheckRefused>(FuelPlanLine::read(MemoryCells())));
}

}  // namespace
}  // namespace brimwell::test
