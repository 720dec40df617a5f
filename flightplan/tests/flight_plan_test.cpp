// The reader through its face: what the window's summary shows. The cases of a flight plan that
// does not fit are rows of the planner's process test (cli/tests/plan_process_test.sh).

#include "flightplan/flight_plan.h"

#include <gtest/gtest.h>

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
