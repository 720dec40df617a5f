#include <gtest/gtest.h>

#include "engine/calculation_error.h"
#include "param_name.h"
#include "planner_fixture.h"

namespace brimwell {
namespace {

struct TripCase {
    const char* name;
    const char* distance;
    const char* level;
    const char* fuel;  // thousands of lbs
    const char* time;  // minutes
};

class TripLookup : public PlannerTest, public ::testing::WithParamInterface<TripCase> {};

TEST_P(TripLookup, FindsFuelAndTime) {
    const TripCase& c = GetParam();
    EXPECT_EQ(planner.TrovaFuel(c.distance, c.level), c.fuel);
    EXPECT_EQ(planner.TrovaTime(c.distance, c.level), c.time);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TripLookup,
    ::testing::Values(TripCase{"RowDistanceGivesTheRowValue", "8400", "FL350", "378,8", "1042"},
                      TripCase{"AboveTheLongestDistance", "8400,5", "FL350", "", ""},
                      TripCase{"OneMileAboveTheLongest", "8401", "FL350", "", ""},
                      TripCase{"ShortestRowThroughTheLineFromZero", "400", "FL350", "35,6", "65"},
                      TripCase{"JustAboveTheShortestRow", "401", "FL350", "35,6", "65,085"},
                      TripCase{"HalfTheShortestRow", "200", "FL350", "17,8", "32,5"},
                      TripCase{"ZeroDistance", "0", "FL350", "0", "0"},
                      TripCase{"LevelBetweenColumns", "8400", "FL400", "380,5", "1051"},
                      TripCase{"LevelAndDistanceBetween", "5000", "FL360", "211,1", "618"},
                      TripCase{"FL310IsLevel310Point1", "8000", "FL310", "380,9", "983,035"},
                      TripCase{"FL310Point1HandedInDirectly", "8000", "FL310,1", "380,9",
                               "983,035"},
                      TripCase{"TimeIsNotRounded", "4412", "FL350", "188,4", "547,35"},
                      TripCase{"UpperColumnOfAPair", "4000", "FL410", "169", "501"},
                      TripCase{"LevelAboveTheTable", "4000", "FL420", "", ""},
                      TripCase{"LevelBelowTheTable", "4000", "FL300", "", ""},
                      TripCase{"LowerCaseLevel", "4000", "fl350", "", ""},
                      TripCase{"NegativeDistanceIsOutsideTheTable", "-683", "FL350", "", ""},
                      TripCase{"DecimalDistance", "4000,5", "FL350", "171,8", "495,06375"}),
    ParamName());

TEST_F(PlannerTest, LookupOutsideTheLevelsDoesNotReadTheDistance) {
    EXPECT_EQ(planner.TrovaFuel("not a number", "FL300"), "");
    EXPECT_EQ(planner.TrovaTime("", "FL500"), "");
}

TEST_F(PlannerTest, LookupFailsOnADistanceThatIsNotANumber) {
    for (const char* distance : {"", "abc", " ", "1.000"}) {
        EXPECT_THROW(planner.TrovaFuel(distance, "FL350"), CalculationError) << distance;
        EXPECT_THROW(planner.TrovaTime(distance, "FL350"), CalculationError) << distance;
    }
}

TEST_F(PlannerTest, LookupFailsOnALevelTextInsideThePairsThatIsNoNumber) {
    EXPECT_THROW(planner.TrovaFuel("4000", "FL35x"), CalculationError);
}

TEST(TripLookupBeforeAnyCalculate, FindsNothingInTheEmptyTables) {
    MemoryCells cells;
    RecordingSink sink;
    FuelPlanner planner(cells, sink);
    EXPECT_EQ(planner.TrovaFuel("4000", "FL350"), "");
    EXPECT_EQ(planner.TrovaTime("4000", "FL350"), "");
}

}  // namespace
}  // namespace brimwell
