// The reader through its face: what the window's summary shows of a flight plan. The planner's
// process test (cli/tests/plan_process_test.sh) has the rows of the other cases that do not fit,
// and of the data that is no flight plan.

#include "flightplan/flight_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"

namespace brimwell::flightplan {
namespace {

using test::OfpSpec;
using test::ofpText;

TEST(FlightPlanReader, FillsTheSampleFlightInTheWindowsFocusOrder) {
    const std::vector<FilledCell> sample = {
        {cell::txtOriginICAO, "LIRF", {}, ""},          {cell::txtDestinationICAO, "KJFK", {}, ""},
        {cell::txtDestinationDistance, "4000", {}, ""}, {cell::txtAlternateICAO, "KBOS", {}, ""},
        {cell::cmbAlternateDistance, "200", {}, ""},    {cell::cmbWindDirection, "Head", {}, ""},
        {cell::txtWindIntensity, "50", {}, ""},         {cell::cmbFlightLevel, "FL350", {}, ""},
        {cell::txtPayLoad, "100000", {}, ""},           {cell::txtTFB, "2000", {}, ""}};
    const auto reading = readFlightPlan(ofpText());
    EXPECT_EQ(reading.filled, sample);
    EXPECT_TRUE(reading.unmapped.empty());
    EXPECT_FALSE(reading.refusal || reading.kilograms);
}

// XML and JSON of the same flight read alike, whatever fits and whatever does not.
TEST(FlightPlanReader, ReadsBothFormsAlike) {
    const std::vector<OfpSpec> specs = {
        {.fields = {}},
        {.fields = {{"params/units", "kgs"}, {"weights/payload", "45359"}}},
        {.fields = {{"alternate/distance", "187"}}, .alternates = 3},
        {.fields = {{"general/initial_altitude", ""}, {"origin/icao_code", std::nullopt}}},
        {.fields = {{"general/avg_wind_comp", "+1001"}, {"fuel/taxi", "-1"}}},
    };
    for (auto spec : specs) {
        const auto xml = readFlightPlan(ofpText(spec));
        spec.json = true;
        const auto json = readFlightPlan(ofpText(spec));
        EXPECT_EQ(xml.filled, json.filled) << ofpText(spec);
        EXPECT_EQ(xml.unmapped, json.unmapped) << ofpText(spec);
        EXPECT_EQ(xml.kilograms, json.kilograms) << ofpText(spec);
    }
}

// The summary's line of the cell: what the flight plan filled it with, or why not.
std::string lineOf(const FlightPlanReading& reading, std::string_view cell) {
    const auto filled = std::find_if(reading.filled.begin(), reading.filled.end(),
                                     [cell](const auto& f) { return f.cell == cell; });
    if (filled != reading.filled.end()) {
        return describe(*filled);
    }
    const auto unmapped = std::find_if(reading.unmapped.begin(), reading.unmapped.end(),
                                       [cell](const auto& u) { return u.cell == cell; });
    return unmapped != reading.unmapped.end() ? describe(*unmapped) : "(nothing)";
}

struct CellRow {
    OfpSpec spec;
    std::string_view cell;
    std::string line;
};

TEST(FlightPlanReader, FillsACellOrSaysWhyNot) {
    using F = std::vector<std::pair<std::string, std::optional<std::string>>>;
    const std::string distance = "Destination distance not filled: general/route_distance ";
    // clang-format off
    const std::vector<CellRow> rows = {
        {{.fields = F{{"params/units", "kgs"}, {"weights/payload", "63916"}}}, cell::txtPayLoad, "Payload: 140911 lbs (63916 kg in the flight plan)"},
        {{.json = true, .fields = F{{"alternate/distance", "0"}}, .alternates = 3}, cell::cmbAlternateDistance, "Alternate distance: 100 nm (rounded up from 0 nm to the list's 100 nm)"},
        {{.json = true, .alternates = 3}, cell::txtAlternateICAO, "Alternate: KBOS"},
        {{.fields = F{{"alternate/distance", "500"}}, .alternates = 2}, cell::cmbAlternateDistance, "Alternate distance: 500 nm"},
        {{.json = true, .fields = F{{"general/avg_wind_comp", "+30"}}}, cell::cmbWindDirection, "Wind direction: Tail"},
        {{.fields = F{{"general/avg_wind_comp", "0"}}}, cell::cmbWindDirection, "Wind direction: NoWind"},
        {{.fields = F{{"general/avg_wind_comp", "-1000"}}}, cell::txtWindIntensity, "Wind: 1000 knots"},
        {{.fields = F{{"general/avg_wind_comp", "1001"}}}, cell::cmbWindDirection, "Wind direction: Tail"},
        {{.fields = F{{"general/initial_altitude", "31000"}}}, cell::cmbFlightLevel, "Flight level: FL310"},
        {{.json = true, .fields = F{{"general/initial_altitude", "41000"}}}, cell::cmbFlightLevel, "Flight level: FL410"},
        {{.fields = F{{"general/initial_altitude", "41100"}}}, cell::cmbFlightLevel, R"(Flight level not filled: general/initial_altitude "41100" is outside the list's flight levels FL310 to FL410)"},
        {{.fields = F{{"general/initial_altitude", "35010"}}}, cell::cmbFlightLevel, R"(Flight level not filled: general/initial_altitude "35010" is not one of the list's flight levels (FL310 to FL410, every 1000 feet))"},
        {{.fields = F{{"general/route_distance", "8400"}}}, cell::txtDestinationDistance, "Destination distance: 8400 nm"},
        {{.fields = F{{"general/route_distance", "99999999999999999999"}}}, cell::txtDestinationDistance, distance + R"("99999999999999999999" is above the window's limit of 8400 nm)"},
        {{.fields = F{{"general/route_distance", std::string(400, '9')}}}, cell::txtDestinationDistance, distance + "\"" + std::string(40, '9') + "...\" is too large a number"},
        {{.fields = F{{"general/route_distance", "-1"}}}, cell::txtDestinationDistance, distance + R"("-1" is below 0)"},
        {{.json = true, .fields = F{{"general/route_distance", "4000.5"}}}, cell::txtDestinationDistance, distance + R"("4000.5" is not a whole number)"},
        {{.json = true, .fields = F{{"origin/icao_code", ""}}}, cell::txtOriginICAO, "Origin not filled: origin/icao_code is empty"},
        {{.fields = F{{"destination/icao_code", "K\nJFK"}}}, cell::txtDestinationICAO, R"(Destination not filled: destination/icao_code "K?JFK" is not an airport code of 3 or 4 letters and digits)"},
        {{.fields = F{{"params/units", "kg"}, {"fuel/taxi", "907"}}}, cell::txtTFB, R"(Taxi fuel burn off not filled: fuel/taxi "907" has no unit: params/units "kg" is neither lbs nor kgs)"},
        {{.fields = F{{"params/units", std::nullopt}}}, cell::txtPayLoad, R"(Payload not filled: weights/payload "100000" has no unit: params/units is missing)"},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(lineOf(readFlightPlan(ofpText(row.spec)), row.cell), row.line) << row.line;
    }
}

// Standard input is read up to the bound and no further.
TEST(FlightPlanReader, ReadsAStreamUpToTheBound) {
    const auto plan = ofpText();
    std::istringstream atBound(plan + std::string(kLargestFlightPlan - plan.size(), ' '));
    EXPECT_EQ(readFlightPlan(atBound, "standard input").filled.size(), 10U);
    std::istringstream above(plan + std::string(kLargestFlightPlan - plan.size() + 1, ' '));
    EXPECT_EQ(readFlightPlan(above, "standard input").refusal,
              "standard input is not a SimBrief flight plan (OFP): it is larger than 32 MiB, more "
              "than any flight plan");
}

// Weights in kg become whole pounds; the OFP's own kilograms are kept beside them.
TEST(FlightPlanReader, KeepsTheKilogramsOfAKgsFlightPlan) {
    const auto reading = readFlightPlan(ofpText(
        {.fields = {{"params/units", "kgs"}, {"weights/payload", "45359"}, {"fuel/taxi", "907"}}}));
    ASSERT_EQ(reading.filled.size(), 10U);
    EXPECT_TRUE(reading.kilograms);
    EXPECT_EQ(reading.filled[2], (FilledCell{cell::txtDestinationDistance, "4000", {}, ""}));
    EXPECT_EQ(reading.filled[8], (FilledCell{cell::txtPayLoad, "99999", "45359", ""}));
    EXPECT_EQ(reading.filled[9], (FilledCell{cell::txtTFB, "2000", "907", ""}));
    EXPECT_EQ(describe(reading.filled[8]), "Payload: 99999 lbs (45359 kg in the flight plan)");
}

}  // namespace
}  // namespace brimwell::flightplan
