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

namespace brimwell {
namespace {

class Planner : public ::testing::Test {
  protected:
    void SetUp() override { planner.cmdCalculate_Click(); }  // fills the tables, then fails

    std::string call(std::string_view function, const std::vector<std::string>& a) {
        const std::map<std::string_view, std::function<std::string()>> functions = {
            {"TrovaFuel", [&] { return planner.TrovaFuel(a[0], a[1]); }},
            {"TrovaTime", [&] { return planner.TrovaTime(a[0], a[1]); }},
            {"PlanFuel", [&] { return planner.PlanFuel(a[0], a[1], a[2], a[3]); }},
            {"ETA", [&] { return planner.ETA(a[0], a[1], a[2], a[3]); }},
            {"FuelCorrection", [&] { return planner.FuelCorrection(a[0], a[1], a[2]); }},
            {"AlternateFuel", [&] { return planner.AlternateFuel(a[0], a[1]); }},
            {"InitialClimbAltitude", [&] { return planner.InitialClimbAltitude(a[0]); }}};
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
        {"TrovaFuel", {"8400", "FL350"}, "378,8"},
        {"TrovaTime", {"8400", "FL350"}, "1042"},
        {"TrovaFuel", {"8400,5", "FL350"}, ""},
        {"TrovaTime", {"400", "FL350"}, "65"},
        {"TrovaTime", {"401", "FL350"}, "65,085"},
        {"TrovaFuel", {"200", "FL350"}, "17,8"},  // on the line from zero to 400 nm
        {"TrovaTime", {"0", "FL350"}, "0"},
        {"TrovaFuel", {"8400", "FL400"}, "380,5"},
        {"TrovaTime", {"8400", "FL400"}, "1051"},
        {"TrovaFuel", {"5000", "FL360"}, "211,1"},
        {"TrovaTime", {"8000", "FL310"}, "983,035"},  // FL310 is read as level 310.1
        {"TrovaFuel", {"8000", "FL310,1"}, "380,9"},
        {"TrovaFuel", {"4000", "FL410"}, "169"},
        {"TrovaFuel", {"4000", "FL420"}, ""},
        {"TrovaTime", {"4000", "FL300"}, ""},
        {"TrovaFuel", {"not a number", "FL300"}, ""},
        {"TrovaTime", {"-683", "FL350"}, ""},
        {"TrovaFuel", {"1614", "FL390"}, "77,9"},  // 77.949999999999989 is below the half
        {"TrovaFuel", {"", "FL350"}, "!"},
        {"TrovaFuel", {"4000", "FL35x"}, "!"},
        {"PlanFuel", {"4000", "50", "Head", "FL350"}, "188400"},
        {"ETA", {"4000", "50", "Head", "FL350"}, "9:07"},  // 412.5 nm more go to the even 412
        {"PlanFuel", {"4000", "50", "Tail", "FL350"}, "154500"},
        {"ETA", {"4000", "50", "Tail", "FL350"}, "7:24"},
        {"ETA", {"4000", "", "NoWind", "FL350"}, "8:15"},
        {"PlanFuel", {"4000", "x", "head", "FL350"}, "171800"},
        {"ETA", {"4000", "50,5", "Head", "FL350"}, "9:07"},
        {"ETA", {"0", "", "NoWind", "FL350"}, "0:00"},
        {"ETA", {"369,2307692", "", "NoWind", "FL350"}, "1:00"},
        {"ETA", {"8400", "", "NoWind", "FL400"}, "17:31"},
        {"PlanFuel", {"8383", "1", "Head", "FL350"}, "378800"},
        {"PlanFuel", {"8400", "1", "Head", "FL350"}, "!"},
        {"ETA", {"400", "1000", "Tail", "FL350"}, "!"},
        {"PlanFuel", {"4000", "32768", "Head", "FL350"}, "!"},
        {"ETA", {"4000", "32768", "Tail", "FL350"}, "!"},
        {"ETA", {"4000", "32767", "NoWind", "FL350"}, "8:15"},
        {"FuelCorrection", {"475000", "FL350", "4000"}, "0"},
        {"FuelCorrection", {"500000", "FL350", "4000"}, "17737,5"},
        {"FuelCorrection", {"450000", "FL400", "4000"}, "-16491,25"},
        {"FuelCorrection", {"512345", "FL350", "4000"}, "26251,5"},  // a deviation of 3.7
        {"FuelCorrection",
         {"485000", "FL310", "8000"},
         "5272,34438333334"},  // 983.035 min at 321.8
        {"FuelCorrection", {"500000", "FL300", "4000"}, "!"},
        {"FuelCorrection", {"500000", "FL350", "8401"}, "!"},
        {"AlternateFuel", {"200", "512345"}, "11345"},
        {"AlternateFuel", {"200", "470000"}, "11000"},
        {"AlternateFuel", {"200", "540000"}, "11600"},
        {"AlternateFuel", {"500", "600000"}, "24433"},
        {"AlternateFuel", {"200", "630000"}, "13200"},
        {"AlternateFuel", {"200", "630001"}, ""},
        {"AlternateFuel", {"250", "512345"}, ""},
        {"AlternateFuel", {"200,0", "512345"}, ""},
        {"InitialClimbAltitude", {"485000"}, "42000"},
        {"InitialClimbAltitude", {"485001"}, "41000"},
        {"InitialClimbAltitude", {"612345"}, "37000"},
        {"InitialClimbAltitude", {"825000"}, "31000"},
        {"InitialClimbAltitude", {"825001"}, "30000"},
        {"InitialClimbAltitude", {"1000000"}, "30000"},
        {"InitialClimbAltitude", {""}, "!"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(call(row.function, row.arguments), row.result)
            << row.function << ' ' << ::testing::PrintToString(row.arguments);
    }
}

}  // namespace
}  // namespace brimwell
