// The lookups and corrections of the engine, each through its public function, on the tables
// as the first Calculate fills them. A result "!" stands for the failure of the plan.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "tests/support/plan.h"

namespace brimwell::test {
namespace {

using engine::CalculationError;
using engine::FuelPlanner;
using engine::MemoryCells;

class Planner : public ::testing::Test {
  protected:
    void SetUp() override { planner.calculate(); }  // fills the tables, then fails

    std::string call(std::string_view function, const std::vector<std::string>& a) {
        const std::map<std::string_view, std::function<std::string()>> functions = {
            {"tripFuel", [&] { return planner.tripFuel(a[0], a[1]); }},
            {"tripMinutes", [&] { return planner.tripMinutes(a[0], a[1]); }},
            {"windCorrectedTripFuel",
             [&] { return planner.windCorrectedTripFuel(a[0], a[1], a[2], a[3]); }},
            {"windCorrectedTripTime",
             [&] { return planner.windCorrectedTripTime(a[0], a[1], a[2], a[3]); }},
            {"tripFuelCorrection", [&] { return planner.tripFuelCorrection(a[0], a[1], a[2]); }},
            {"alternateFuel", [&] { return planner.alternateFuel(a[0], a[1]); }},
            {"initialCruiseAltitudeFeet", [&] { return planner.initialCruiseAltitudeFeet(a[0]); }}};
        try {
            return functions.at(function)();
        } catch (const CalculationError&) {
            return "!";
        }
    }

    MemoryCells cells;
    test::RecordingSink sink;
    FuelPlanner planner{cells, sink};
};

TEST_F(Planner, ATableIsNeverReadOutsideItsCells) {
    for (const auto& [row, column] : std::vector<std::pair<int, int>>{{0, 13}, {24, 0}, {-1, 0}}) {
        EXPECT_THROW((void)planner.tables().tripTable.at(row, column), CalculationError) << row;
    }
}

TEST_F(Planner, LooksUpInterpolatesAndCorrects) {
    struct Row {
        const char* function;
        std::vector<std::string> arguments;
        const char* result;
    };
    const std::vector<Row> rows = {
        {"tripFuel", {"8400", "FL350"}, "378,8"},
        {"tripMinutes", {"8400", "FL350"}, "1042"},
        {"tripFuel", {"8400,5", "FL350"}, ""},
        {"tripMinutes", {"400", "FL350"}, "65"},
        {"tripMinutes", {"401", "FL350"}, "65,085"},
        {"tripFuel", {"200", "FL350"}, "17,8"},  // on the line from zero to 400 nm
        {"tripMinutes", {"0", "FL350"}, "0"},
        {"tripFuel", {"8400", "FL400"}, "380,5"},
        {"tripMinutes", {"8400", "FL400"}, "1051"},
        {"tripFuel", {"5000", "FL360"}, "211,1"},
        {"tripMinutes", {"8000", "FL310"}, "983,035"},  // FL310 is read as level 310.1
        {"tripFuel", {"8000", "FL310,1"}, "380,9"},
        {"tripFuel", {"4000", "FL410"}, "169"},
        {"tripFuel", {"4000", "FL420"}, ""},
        {"tripMinutes", {"4000", "FL300"}, ""},
        {"tripFuel", {"not a number", "FL300"}, ""},
        {"tripMinutes", {"-683", "FL350"}, ""},
        {"tripFuel", {"1614", "FL390"}, "77,9"},  // 77.949999999999989 is below the half
        {"tripFuel", {"", "FL350"}, "!"},
        {"tripFuel", {"4000", "FL35x"}, "!"},
        {"windCorrectedTripFuel", {"4000", "50", "Head", "FL350"}, "188400"},
        // 412.5 nm more go to the even 412
        {"windCorrectedTripTime", {"4000", "50", "Head", "FL350"}, "9:07"},
        {"windCorrectedTripFuel", {"4000", "50", "Tail", "FL350"}, "154500"},
        {"windCorrectedTripTime", {"4000", "50", "Tail", "FL350"}, "7:24"},
        {"windCorrectedTripTime", {"4000", "", "NoWind", "FL350"}, "8:15"},
        {"windCorrectedTripFuel", {"4000", "x", "head", "FL350"}, "171800"},
        {"windCorrectedTripTime", {"4000", "50,5", "Head", "FL350"}, "9:07"},
        {"windCorrectedTripTime", {"0", "", "NoWind", "FL350"}, "0:00"},
        {"windCorrectedTripTime", {"369,2307692", "", "NoWind", "FL350"}, "1:00"},
        {"windCorrectedTripTime", {"8400", "", "NoWind", "FL400"}, "17:31"},
        {"windCorrectedTripFuel", {"8383", "1", "Head", "FL350"}, "378800"},
        {"windCorrectedTripFuel", {"8400", "1", "Head", "FL350"}, "!"},
        {"windCorrectedTripTime", {"400", "1000", "Tail", "FL350"}, "!"},
        {"windCorrectedTripFuel", {"4000", "32768", "Head", "FL350"}, "!"},
        {"windCorrectedTripTime", {"4000", "32768", "Tail", "FL350"}, "!"},
        {"windCorrectedTripTime", {"4000", "32767", "NoWind", "FL350"}, "8:15"},
        {"tripFuelCorrection", {"475000", "FL350", "4000"}, "0"},
        {"tripFuelCorrection", {"500000", "FL350", "4000"}, "17737,5"},
        {"tripFuelCorrection", {"450000", "FL400", "4000"}, "-16491,25"},
        {"tripFuelCorrection", {"512345", "FL350", "4000"}, "26251,5"},  // a deviation of 3.7
        {"tripFuelCorrection",
         {"485000", "FL310", "8000"},
         "5272,34438333334"},  // 983.035 min at 321.8
        {"tripFuelCorrection", {"500000", "FL300", "4000"}, "!"},
        {"tripFuelCorrection", {"500000", "FL350", "8401"}, "!"},
        {"alternateFuel", {"200", "512345"}, "11345"},
        {"alternateFuel", {"200", "470000"}, "11000"},
        {"alternateFuel", {"200", "540000"}, "11600"},
        {"alternateFuel", {"500", "600000"}, "24433"},
        {"alternateFuel", {"200", "630000"}, "13200"},
        {"alternateFuel", {"200", "630001"}, ""},
        {"alternateFuel", {"250", "512345"}, ""},
        {"alternateFuel", {"200,0", "512345"}, ""},
        {"initialCruiseAltitudeFeet", {"485000"}, "42000"},
        {"initialCruiseAltitudeFeet", {"485001"}, "41000"},
        {"initialCruiseAltitudeFeet", {"612345"}, "37000"},
        {"initialCruiseAltitudeFeet", {"825000"}, "31000"},
        {"initialCruiseAltitudeFeet", {"825001"}, "30000"},
        {"initialCruiseAltitudeFeet", {"1000000"}, "30000"},
        {"initialCruiseAltitudeFeet", {""}, "!"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(call(row.function, row.arguments), row.result)
            << row.function << ' ' << ::testing::PrintToString(row.arguments);
    }
}

}  // namespace
}  // namespace brimwell::test
