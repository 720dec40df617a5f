// The wind-corrected trip figures, the landing-weight correction, the alternate fuel and the
// initial cruise altitude, each through its public function.

#include <gtest/gtest.h>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/number_text.h"
#include "param_name.h"
#include "planner_fixture.h"

namespace brimwell {
namespace {

struct WindCase {
    const char* name;
    const char* distance;
    const char* wind;
    const char* direction;
    const char* level;
    const char* corrected;  // txtDistWinCorr
    const char* fuel;       // PlanFuel, lbs
    const char* eta;        // ETA, h:mm
};

class WindCorrection : public PlannerTest, public ::testing::WithParamInterface<WindCase> {};

TEST_P(WindCorrection, CorrectsTheDistanceAndLooksUpFuelAndTime) {
    const WindCase& c = GetParam();
    EXPECT_EQ(planner.PlanFuel(c.distance, c.wind, c.direction, c.level), c.fuel);
    EXPECT_EQ(cells.text(cell::txtDistWinCorr), c.corrected);
    EXPECT_EQ(cells.background(cell::txtDistWinCorr), Background::windowBackground());
    EXPECT_EQ(planner.ETA(c.distance, c.wind, c.direction, c.level), c.eta);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindCorrection,
    ::testing::Values(
        // 50 kt over 495 minutes is 412.5 nm, which goes to the even 412.
        WindCase{"HeadWindTieGoesToEven", "4000", "50", "Head", "FL350", "4412", "188400", "9:07"},
        WindCase{"TailWindShortens", "4000", "50", "Tail", "FL350", "3588", "154500", "7:24"},
        WindCase{"NoWindReadsNoWindText", "4000", "", "NoWind", "FL350", "4000", "171800", "8:15"},
        WindCase{"DirectionIsCaseSensitive", "4000", "x", "head", "FL350", "4000", "171800",
                 "8:15"},
        WindCase{"WindSpeedIsRoundedToEven", "4000", "50,5", "Head", "FL350", "4412", "188400",
                 "9:07"},
        WindCase{"ZeroMinutes", "0", "", "NoWind", "FL350", "0", "0", "0:00"},
        WindCase{"SixtyMinutesIsOneHour", "369,2307692", "", "NoWind", "FL350", "369,2307692",
                 "32900", "1:00"},
        WindCase{"LongestTime", "8400", "", "NoWind", "FL400", "8400", "380500", "17:31"},
        WindCase{"CorrectedToTheLongestDistance", "8383", "1", "Head", "FL350", "8400", "378800",
                 "17:22"}),
    ParamName());

TEST_F(PlannerTest, CorrectedDistanceBeyondTheTableIsShownInRedBeforeTheFailure) {
    // 1042 minutes at one knot is 17 nm more than the longest distance of the table.
    EXPECT_THROW(planner.PlanFuel("8400", "1", "Head", "FL350"), CalculationError);
    EXPECT_EQ(cells.text(cell::txtDistWinCorr), "8417");
    EXPECT_EQ(cells.background(cell::txtDistWinCorr), kLimitRed);
    EXPECT_THROW(planner.ETA("8400", "1", "Head", "FL350"), CalculationError);
}

TEST_F(PlannerTest, TailWindThatTurnsTheDistanceNegativeIsOutsideTheTable) {
    // 65 minutes at 1000 kt takes 1083 nm off a 400 nm leg.
    EXPECT_THROW(planner.PlanFuel("400", "1000", "Tail", "FL350"), CalculationError);
    EXPECT_EQ(cells.text(cell::txtDistWinCorr), "-683");
    EXPECT_EQ(cells.background(cell::txtDistWinCorr), kLimitRed);
    EXPECT_THROW(planner.ETA("400", "1000", "Tail", "FL350"), CalculationError);
}

TEST_F(PlannerTest, RedCorrectedDistanceTurnsBackWhenTheNextOneFits) {
    EXPECT_THROW(planner.PlanFuel("8400", "1", "Head", "FL350"), CalculationError);
    EXPECT_EQ(planner.PlanFuel("4000", "50", "Head", "FL350"), "188400");
    EXPECT_EQ(cells.background(cell::txtDistWinCorr), Background::windowBackground());
}

TEST_F(PlannerTest, UncorrectedDistanceOutsideTheTableFailsBeforeTouchingTheCell) {
    for (const char* distance : {"8401", "abc", ""}) {
        EXPECT_THROW(planner.PlanFuel(distance, "0", "NoWind", "FL350"), CalculationError)
            << distance;
        EXPECT_EQ(cells.text(cell::txtDistWinCorr), "") << distance;
    }
    EXPECT_THROW(planner.PlanFuel("4000", "0", "NoWind", "FL420"), CalculationError);
    EXPECT_EQ(cells.text(cell::txtDistWinCorr), "");
}

TEST_F(PlannerTest, WindThatIsNoNumberOrDoesNotFitSixteenBitsFails) {
    for (const char* wind : {"", "fast", "32768", "-32769"}) {
        EXPECT_THROW(planner.PlanFuel("4000", wind, "Head", "FL350"), CalculationError) << wind;
    }
    // -32768 fits when negated from 32768 for a tail wind; the shortened leg then lies outside.
    EXPECT_THROW(planner.ETA("4000", "32768", "Tail", "FL350"), CalculationError);
    EXPECT_EQ(planner.ETA("4000", "32767", "NoWind", "FL350"), "8:15");
}

struct CorrectionCase {
    const char* name;
    const char* landingWeight;
    const char* level;
    const char* distance;
    const char* correction;
};

class LandingWeightCorrection : public PlannerTest,
                                public ::testing::WithParamInterface<CorrectionCase> {};

TEST_P(LandingWeightCorrection, GivesTheUnroundedCorrection) {
    const CorrectionCase& c = GetParam();
    EXPECT_EQ(planner.FuelCorrection(c.landingWeight, c.level, c.distance), c.correction);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LandingWeightCorrection,
    ::testing::Values(
        CorrectionCase{"ReferenceWeightGivesZero", "475000", "FL350", "4000", "0"},
        CorrectionCase{"HeavierAtALevelOfTheTable", "500000", "FL350", "4000", "17737,5"},
        CorrectionCase{"LighterBetweenTwoLevels", "450000", "FL400", "4000", "-16491,25"},
        // S is rounded to one decimal first: 3.7345 and 3.704 both give 3.7.
        CorrectionCase{"DeviationRoundedToOneDecimal", "512345", "FL350", "4000", "26251,5"},
        CorrectionCase{"DeviationRoundedDownTheSame", "512040", "FL350", "4000", "26251,5"}),
    ParamName());

TEST_F(PlannerTest, FL310IsCorrectedAtLevel310Point1) {
    // One unit of deviation at the rate 321.8 (not the FL310 column's 320) over the 983.035
    // minutes of 8000 nm at level 310.1.
    const double correction = toNumber(planner.FuelCorrection("485000", "FL310", "8000"));
    EXPECT_NEAR(correction, 983.035 * 321.8 / 60.0, 1e-9);
}

TEST_F(PlannerTest, CorrectionOutsideTheLevelsOrOnTextsThatAreNoNumbersFails) {
    EXPECT_THROW(planner.FuelCorrection("500000", "FL300", "4000"), std::exception);
    EXPECT_THROW(planner.FuelCorrection("500000", "FL420", "4000"), std::exception);
    EXPECT_THROW(planner.FuelCorrection("heavy", "FL350", "4000"), CalculationError);
    EXPECT_THROW(planner.FuelCorrection("500000", "FL350", "8401"), CalculationError);
    EXPECT_THROW(planner.FuelCorrection("500000", "FL350", "far"), CalculationError);
}

struct AlternateCase {
    const char* name;
    const char* distance;
    const char* landingWeight;
    const char* fuel;
};

class Alternate : public PlannerTest, public ::testing::WithParamInterface<AlternateCase> {};

TEST_P(Alternate, ReadsAndInterpolatesTheAlternateTable) {
    const AlternateCase& c = GetParam();
    EXPECT_EQ(planner.AlternateFuel(c.distance, c.landingWeight), c.fuel);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Alternate,
    ::testing::Values(AlternateCase{"Interpolated", "200", "512345", "11345"},
                      AlternateCase{"BelowTheFirstColumn", "200", "470000", "11000"},
                      AlternateCase{"AtTheFirstColumn", "200", "475000", "11000"},
                      AlternateCase{"EndOfTheFirstInterval", "200", "540000", "11600"},
                      AlternateCase{"AtTheLastColumn", "200", "630000", "13200"},
                      AlternateCase{"AboveTheLastColumn", "200", "630001", ""},
                      AlternateCase{"SevenDigitWeightIsAboveTheTable", "200", "1000000", ""},
                      AlternateCase{"DistanceNotInTheTable", "250", "512345", ""},
                      AlternateCase{"DistanceMustMatchAsText", "200,0", "512345", ""},
                      AlternateCase{"EmptyDistance", "", "512345", ""}),
    ParamName());

TEST_F(PlannerTest, AlternateWeightThatIsNoNumberFails) {
    EXPECT_THROW(planner.AlternateFuel("200", "heavy"), CalculationError);
}

struct AltitudeCase {
    const char* name;
    const char* takeoffWeight;
    const char* altitude;
};

class CruiseAltitude : public PlannerTest, public ::testing::WithParamInterface<AltitudeCase> {};

TEST_P(CruiseAltitude, FollowsTheWeightThresholds) {
    const AltitudeCase& c = GetParam();
    EXPECT_EQ(planner.InitialClimbAltitude(c.takeoffWeight), c.altitude);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CruiseAltitude,
    ::testing::Values(AltitudeCase{"LightWeight", "400000", "42000"},
                      AltitudeCase{"AtTheFirstThreshold", "485000", "42000"},
                      AltitudeCase{"AboveTheFirstThreshold", "485001", "41000"},
                      AltitudeCase{"MidTable", "612345", "37000"},
                      AltitudeCase{"AtTheLastThreshold", "825000", "31000"},
                      AltitudeCase{"AboveTheLastThreshold", "825001", "30000"},
                      AltitudeCase{"Heavy", "900000", "30000"},
                      // Compared as numbers: a seven-digit weight is the heaviest of all.
                      AltitudeCase{"SevenDigitWeight", "1000000", "30000"},
                      AltitudeCase{"FiveDigitWeight", "99999", "42000"}),
    ParamName());

TEST_F(PlannerTest, CruiseAltitudeOfAWeightThatIsNoNumberFails) {
    EXPECT_THROW(planner.InitialClimbAltitude(""), CalculationError);
}

}  // namespace
}  // namespace brimwell
