// The reader through its face, each flight plan in both forms: the summary the window shows. The
// planner's process test has the rows of the other values that do not fit, and of non-OFPs.

#include "flightplan/flight_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"

namespace brimwell::flightplan {
namespace {

using test::OfpChanges;
using Fields = std::vector<std::pair<std::string, std::optional<std::string>>>;

std::vector<FlightPlanReading> bothForms(OfpChanges changes) {
    const auto xml = readFlightPlan(test::ofpText(changes));
    changes.json = true;
    return {xml, readFlightPlan(test::ofpText(changes))};
}

// A line a cell for the pilot: what the flight plan filled it with, or why not.
std::string summary(const FlightPlanReading& reading) {
    std::string lines;
    for (const auto& filled : reading.filled) {
        lines += describe(filled) + "\n";
    }
    for (const auto& unmapped : reading.unmapped) {
        lines += describe(unmapped) + "\n";
    }
    return lines;
}

TEST(FlightPlanReader, FillsEveryCellOfAKgsFlightPlanInFocusOrder) {
    const std::vector<std::string_view> focusOrder = {cell::txtOriginICAO,
                                                      cell::txtDestinationICAO,
                                                      cell::txtDestinationDistance,
                                                      cell::txtAlternateICAO,
                                                      cell::cmbAlternateDistance,
                                                      cell::cmbWindDirection,
                                                      cell::txtWindIntensity,
                                                      cell::cmbFlightLevel,
                                                      cell::txtPayLoad,
                                                      cell::txtTFB};
    for (const auto& reading :
         bothForms({.fields = {{"params/units", "kgs"}, {"weights/payload", "45359"}}})) {
        std::vector<std::string_view> cells;
        for (const auto& filled : reading.filled) {
            cells.push_back(filled.cell);
        }
        EXPECT_EQ(cells, focusOrder);
        EXPECT_TRUE(reading.kilograms && reading.unmapped.empty());
    }
}

TEST(FlightPlanReader, FillsACellOrSaysWhyNot) {
    const std::string distance = "Destination distance not filled: general/route_distance ";
    // clang-format off
    const std::vector<std::pair<Fields, std::string>> rows = {
        {{{"params/units", "kgs"}, {"weights/payload", "63916"}}, "Payload: 140911 lbs (63916 kg in the flight plan)"},
        {{{"alternate/distance", "0"}}, "Alternate distance: 100 nm (rounded up from 0 nm to the list's 100 nm)"},
        {{{"alternate/distance", "500"}}, "Alternate distance: 500 nm"},
        {{{"general/avg_wind_comp", "+30"}}, "Wind direction: Tail"},
        {{{"general/avg_wind_comp", "0"}}, "Wind direction: NoWind"},
        {{{"general/avg_wind_comp", "-1000"}}, "Wind: 1000 knots"},
        {{{"general/initial_altitude", "31000"}}, "Flight level: FL310"},
        {{{"general/initial_altitude", "41000"}}, "Flight level: FL410"},
        {{{"general/initial_altitude", "41100"}}, R"(Flight level not filled: general/initial_altitude "41100" is outside the list's flight levels FL310 to FL410)"},
        {{{"general/initial_altitude", "35010"}}, R"(Flight level not filled: general/initial_altitude "35010" is not one of the list's flight levels (FL310 to FL410, every 1000 feet))"},
        {{{"general/route_distance", "8400"}}, "Destination distance: 8400 nm"},
        {{{"general/route_distance", std::string(400, '9')}}, distance + '"' + std::string(40, '9') + R"(..." is too large a number)"},
        {{{"general/route_distance", "-1"}}, distance + R"("-1" is below 0)"},
        {{{"general/route_distance", "4000.5"}}, distance + R"("4000.5" is not a whole number)"},
        {{{"origin/icao_code", ""}}, "Origin not filled: origin/icao_code is empty"},
        {{{"destination/icao_code", "K\nJFK"}}, R"(Destination not filled: destination/icao_code "K?JFK" is not an airport code of 3 or 4 letters and digits)"},
        {{{"params/units", "kg"}, {"fuel/taxi", "907"}}, R"(Taxi fuel burn off not filled: fuel/taxi "907" has no unit: params/units "kg" is neither lbs nor kgs)"},
        {{{"params/units", std::nullopt}}, R"(Payload not filled: weights/payload "100000" has no unit: params/units is missing)"},
    };
    // clang-format on
    for (const auto& [fields, line] : rows) {
        for (const auto& reading : bothForms({.fields = fields})) {
            EXPECT_NE(summary(reading).find(line + "\n"), std::string::npos) << summary(reading);
        }
    }
}

}  // namespace
}  // namespace brimwell::flightplan
