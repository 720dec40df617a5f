// The reader through its face, each flight plan in both forms: the summary the window shows. The
// planner's process test has the rows of the other values that do not fit, of non-OFPs, and of
// flight plans in UTF-16.

#include "flightplan/flight_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"

namespace brimwell::test {
namespace {

using engine::Unit;
using flightplan::describe;
using flightplan::FlightPlanReading;
using flightplan::readFlightPlan;
namespace cell = engine::cell;
using Fields = std::vector<std::pair<std::string, std::optional<std::string>>>;

std::vector<FlightPlanReading> bothForms(OfpChanges changes) {
    const auto xml = readFlightPlan(test::ofpText(changes));
    changes.json = true;
    return {xml, readFlightPlan(test::ofpText(changes))};
}

// The sample flight plan in the form, the field (section/name) written as raw stands: markup in
// XML, a value in JSON.
std::string withRaw(bool json, const std::string& field, const std::string& raw) {
    const std::string marker = "RAW-FIELD";
    std::string text = test::ofpText({.json = json, .fields = {{field, marker}}});
    const std::string written = json ? '"' + marker + '"' : marker;
    return text.replace(text.find(written), written.size(), raw);
}

// A line a cell for the pilot: what the flight plan filled it with, or why not. A filled weight
// is told in kilograms too, as a window in kilograms tells it.
std::string summary(const FlightPlanReading& reading) {
    std::string lines;
    for (const auto& filled : reading.filled) {
        lines += describe(filled) + "\n";
        (void)describe(filled, Unit::Kilograms);
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
        {{{"general/route_distance", std::string(400, '9')}}, distance + '"' + std::string(200, '9') + R"(..." is too large a number)"},
        {{{"general/route_distance", "-1"}}, distance + R"("-1" is below 0)"},
        {{{"general/route_distance", "4000.5"}}, distance + R"("4000.5" is not a whole number)"},
        {{{"origin/icao_code", ""}}, "Origin not filled: origin/icao_code is empty"},
        // NOLINTNEXTLINE(misc-misleading-bidirectional): a direction override, shown as "?"
        {{{"destination/icao_code", "K\nJ\u202e\xc2\x9b"}}, R"(Destination not filled: destination/icao_code "K?J??" is not an airport code of 3 or 4 letters and digits)"},
        {{{"params/units", "kg"}, {"fuel/taxi", "907"}}, R"(Taxi fuel burn off not filled: fuel/taxi "907" has no unit: params/units "kg" is neither lbs nor kgs)"},
        {{{"params/units", std::nullopt}}, R"(Payload not filled: weights/payload "100000" has no unit: params/units is missing)"},
        {{{"alternate/distance", std::nullopt}}, "Alternate distance not filled: alternate/distance is missing"},  // not the second's
    };
    // clang-format on
    for (const auto& [fields, line] : rows) {
        for (const auto& reading : bothForms({.fields = fields})) {
            EXPECT_NE(summary(reading).find(line + "\n"), std::string::npos) << summary(reading);
        }
    }
}

// A field's whole text, however XML splits it, or a refusal of what is no text; every value of
// JSON but a string or a number refused as the field's value, and a number no double holds
// refused only where it is read.
TEST(FlightPlanReader, ReadsAFieldWholeOrRefusesIt) {
    const std::string payload = "Payload not filled: weights/payload ";
    // clang-format off
    const std::vector<std::tuple<bool, std::string, std::string, std::string>> rows = {
        {false, "general/route_distance", "4<!-- x -->000", "Destination distance: 4000 nm"},
        {false, "weights/payload", "1<![CDATA[00000]]>", "Payload: 100000 lbs"},
        {false, "weights/payload", "100<?pi x?>000", "Payload: 100000 lbs"},
        {false, "weights/payload", "1<!---->  <!---->0", payload + R"("1  0" is not a whole number)"},
        {false, "weights/payload", "<kg>1</kg>", payload + R"("<...>" is not a text or a number)"},
        {true, "origin/icao_code", "true", R"(Origin not filled: origin/icao_code "true" is not a text or a number)"},
        {true, "weights/payload", "null", payload + R"("null" is not a text or a number)"},
        {true, "weights/payload", "[100000]", payload + R"("[...]" is not a text or a number)"},
        {true, "weights/payload", R"({"lbs": 1})", payload + R"("{...}" is not a text or a number)"},
        {true, "weights/payload", "1e400", payload + R"("1e400" is not a whole number)"},
        {true, "weights/payload", "99999", "Payload: 99999 lbs"},
        {true, "general/gc_distance", "-1e400", "Destination distance: 4000 nm"},
        {true, "origin/icao_code", R"("\u004c\u0049R\u0046")", "Origin: LIRF"},
        {false, "origin/icao_code", "LI\xffRF", R"(Origin not filled: origin/icao_code "LI?RF" is not an airport code of 3 or 4 letters and digits)"},
    };
    // clang-format on
    for (const auto& [json, field, raw, line] : rows) {
        const auto text = summary(readFlightPlan(withRaw(json, field, raw)));
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << raw << ":\n" << text;
    }
}

// The largest doubles as every weight, in either unit of the flight plan, and an infinity: each is
// judged by the cell's limit in its own unit before it is converted, and a figure that the cells
// could not hold as a number is refused.
TEST(FlightPlanReader, JudgesAWeightInItsOwnUnitBeforeItIsConverted) {
    const std::string largest = "17976931348623157" + std::string(292, '0');
    const std::string e307 = "9" + std::string(307, '0');
    const std::string above = "weights/payload \"" + largest.substr(0, 200) + "...\" is above ";
    const std::string tooLarge = "\" is too large a number";
    const std::string notWhole = " \"inf\" is not a whole number";
    // clang-format off
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> rows = {
        {"lbs", "weights/payload", largest, above + "the window's limit of 140912 lbs"},
        {"kgs", "weights/payload", largest, above + "the window's limit of 63916 kg"},
        {"kgs", "weights/payload", "63917", "weights/payload \"63917\" is above the window's limit of 63916 kg"},
        {"lbs", "fuel/taxi", largest, "..." + tooLarge},
        {"kgs", "fuel/taxi", largest, "..." + tooLarge},
        {"lbs", "fuel/taxi", e307, "Taxi fuel burn off: 9" + std::string(199, '0') + "... lbs"},
        {"kgs", "fuel/taxi", e307, "..." + tooLarge},
        {"kgs", "fuel/taxi", "7" + std::string(307, '0'), "Taxi fuel burn off: 154323583529414"},
        {"lbs", "weights/payload", "inf", "weights/payload" + notWhole},
    };
    // clang-format on
    for (const auto& [units, field, figure, line] : rows) {
        for (const auto& reading :
             bothForms({.fields = {{"params/units", units}, {field, figure}}})) {
            EXPECT_NE(summary(reading).find(line), std::string::npos) << summary(reading);
        }
    }
}

// The route of the navigation log, or why it is left out while the cells are still filled.
TEST(FlightPlanReader, ReadsTheRouteOrSaysWhyItIsLeftOut) {
    using Fix = std::vector<std::pair<std::string, std::string>>;
    const Fix jfk = {{"ident", "KJFK"},
                     {"pos_lat", "40.64"},
                     {"pos_long", "-73.78"},
                     {"distance", "4000"},
                     {"fuel_plan_onboard", "20000"}};
    const auto but = [&jfk](const std::string& field, const std::string& text) {
        Fix fix = jfk;
        std::find_if(fix.begin(), fix.end(), [&](const auto& f) {
            return f.first == field;
        })->second = text;
        return fix;
    };
    const std::string out = "The route is left out: ";
    // clang-format off
    const std::vector<std::tuple<Fields, std::optional<std::vector<Fix>>, std::string>> rows = {
        {{}, std::nullopt, "41.8 12.25|DIVKO 47.5 -8 1000 180000|50N020W 50 -20 2000 90000|KJFK 40.64 -73.78 1000 40000|"},
        {{{"params/units", "kgs"}}, {{jfk}}, "41.8 12.25|KJFK 40.64 -73.78 4000 44092|"},
        {{{"params/units", "kg"}}, {{jfk}}, "41.8 12.25|KJFK 40.64 -73.78 4000 none|"},
        {{}, {{but("fuel_plan_onboard", "lots")}}, "41.8 12.25|KJFK 40.64 -73.78 4000 none|"},
        {{}, {{jfk, {{"ident", "X"}, {"pos_long", "1"}, {"distance", "1"}}}}, out + "fix 2's pos_lat is missing."},
        {{}, {{but("distance", "-5")}}, out + R"(fix 1's distance "-5" is not a leg's distance.)"},
        {{}, {{but("pos_long", "180.5")}}, out + R"(fix 1's pos_long "180.5" is not a longitude.)"},
        {{}, {{but("distance", "0")}}, out + "its navigation log's legs measure 0 nm."},
        {{}, std::vector<Fix>{}, out + "the flight plan has no navigation log."},
        {{{"origin/pos_lat", "nan"}}, std::nullopt, out + R"(origin/pos_lat "nan" is not a latitude.)"},
    };
    // clang-format on
    for (const auto& [fields, navlog, expected] : rows) {
        for (const auto& reading : bothForms({.fields = fields, .navlog = navlog})) {
            std::ostringstream route;
            if (reading.route) {
                route << reading.route->originLatitude << " " << reading.route->originLongitude
                      << "|";
                for (const auto& fix : reading.route->fixes) {
                    route << fix.ident << " " << fix.latitude << " " << fix.longitude << " "
                          << fix.legNm << " ";
                    (fix.plannedFuelOnBoard ? route << *fix.plannedFuelOnBoard : route << "none")
                        << "|";
                }
            }
            EXPECT_EQ(route.str() + reading.routeLeftOut, expected);
            EXPECT_TRUE(!reading.refusal && reading.filled.size() >= 8);
        }
    }
}

}  // namespace
}  // namespace brimwell::test
