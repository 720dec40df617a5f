// The Calculate command on in-memory cells: the mandatory inputs, the sums of the schematic,
// the limit colours and what is left in the cells after a failure.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "param_name.h"

namespace brimwell {
namespace {

using Texts = std::map<std::string_view, std::string>;

// The plan of the user's guide: 4000 nm with 50 kt of head wind at FL350, 100000 lbs payload.
Texts samplePlan() {
    return {
        {cell::txtOriginICAO, "LIRF"},
        {cell::txtDestinationICAO, "KJFK"},
        {cell::txtDestinationDistance, "4000"},
        {cell::txtAlternateICAO, "KBOS"},
        {cell::cmbAlternateDistance, "200"},
        {cell::cmbWindDirection, "Head"},
        {cell::txtWindIntensity, "50"},
        {cell::cmbFlightLevel, "FL350"},
        {cell::txtPayLoad, "100000"},
        {cell::txtContingencyTime, "30"},
        {cell::cmbMLF, "19000"},
        {cell::txtTFB, "2000"},
    };
}

// What that plan gives, cell by cell.
const Texts kSampleResults = {
    {cell::txtPayLoadDuplicate, "100000"},
    {cell::txtZFW, "494088"},
    {cell::txtZFWDuplicate, "494088"},
    {cell::txtAF, "11352"},  // 200 nm at 513088 lbs
    {cell::txtCF, "9000"},
    {cell::txtPLW, "533440"},
    {cell::txtPLWDuplicate, "533440"},
    {cell::txtFPF, "188400"},
    {cell::txtGTW, "721840"},
    {cell::txtGTWDuplicate, "721840"},
    {cell::txtTW, "723840"},
    {cell::txtETA, "9:07"},
    {cell::txtFL, "229752"},
    {cell::txtICA, "33000"},
    {cell::txtDistWinCorr, "4412"},
};

class Calculate : public ::testing::Test {
  protected:
    void enter(const Texts& texts) {
        for (const auto& [name, text] : texts) {
            cells.setText(name, text);
        }
    }
    void enter(std::string_view name, std::string_view text) { cells.setText(name, text); }

    bool press() {
        sink.clear();
        return planner.cmdCalculate_Click();
    }

    void expectFailure() {
        EXPECT_FALSE(press());
        ASSERT_EQ(sink.messages().size(), 1U);
        EXPECT_EQ(sink.messages().front(), kFailureMessage);
    }

    void expectSuccess() {
        EXPECT_TRUE(press());
        EXPECT_TRUE(sink.messages().empty()) << sink.messages().front();
    }

    void expectResults(const Texts& expected) {
        for (const auto& [name, text] : expected) {
            EXPECT_EQ(cells.text(name), text) << name;
        }
    }

    bool isRed(std::string_view name) const { return cells.background(name) == kLimitRed; }

    MemoryCells cells;
    RecordingSink sink;
    FuelPlanner planner{cells, sink};
};

TEST_F(Calculate, SamplePlanFillsTheSchematic) {
    enter(samplePlan());
    expectSuccess();
    expectResults(kSampleResults);
    for (const auto name : cell::kColoured) {
        EXPECT_EQ(cells.background(name), Background::windowBackground()) << name;
    }
}

TEST_F(Calculate, InputsAndFixedCellsAreOnlyRead) {
    enter(samplePlan());
    expectSuccess();
    for (const auto& [name, text] : samplePlan()) {
        EXPECT_EQ(cells.text(name), text) << name;
        EXPECT_EQ(cells.background(name), kInputBlue) << name;
    }
    EXPECT_EQ(cells.text(cell::txtBOW), kBasicOperationEmptyWeight);
    EXPECT_EQ(cells.background(cell::txtBOW), kFixedYellow);
}

class MissingInput : public Calculate, public ::testing::WithParamInterface<std::string_view> {};

TEST_P(MissingInput, FailsWithoutTouchingAResult) {
    enter(samplePlan());
    enter(GetParam(), "");
    expectFailure();
    for (const auto name : cell::kResults) {
        EXPECT_EQ(cells.text(name), "") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(EachMandatoryInput, MissingInput,
                         ::testing::Values(cell::txtDestinationDistance, cell::cmbAlternateDistance,
                                           cell::cmbWindDirection, cell::txtWindIntensity,
                                           cell::cmbFlightLevel, cell::txtPayLoad,
                                           cell::txtContingencyTime, cell::cmbMLF, cell::txtTFB),
                         [](const auto& row) { return std::string(row.param); });

TEST_F(Calculate, EverythingEmptyFails) {
    enter(cell::txtTFB, "");
    expectFailure();
}

TEST_F(Calculate, AirportCodesAreNotNeeded) {
    enter(samplePlan());
    for (const auto name :
         {cell::txtOriginICAO, cell::txtDestinationICAO, cell::txtAlternateICAO}) {
        enter(name, "");
    }
    expectSuccess();
    expectResults(kSampleResults);
}

struct LimitCase {
    const char* name;
    Texts changes;  // over the sample plan
    std::string_view cell;
    const char* text;
    bool red;
};

class Limit : public Calculate, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(Limit, RedOnlyAboveTheLimitAndTheCalculationGoesOn) {
    const LimitCase& c = GetParam();
    enter(samplePlan());
    enter(c.changes);
    expectSuccess();
    EXPECT_EQ(cells.text(c.cell), c.text);
    EXPECT_EQ(isRed(c.cell), c.red);
    EXPECT_NE(cells.text(cell::txtICA), "");
}

// The weights at the limits come from chosen inputs:
// - alternate "100" at a landing weight of 607500 lbs is 7800 lbs (7200 + 67500 * 800 / 90000),
//   and with 49 minutes of contingency (14700 lbs) the landing weight is 630000;
// - alternate "100" at 540000 lbs is 7200 lbs; 520 minutes of contingency (156000 lbs) and the
//   171800 lbs of 4000 nm without wind make a takeoff weight of 875000, 877000 with the taxi fuel,
//   and a fuel load of 356000, which 26336 lbs more of taxi fuel bring to 382336.
const Texts kLandingAtLimit = {{cell::cmbAlternateDistance, "100"},
                               {cell::txtPayLoad, "194412"},
                               {cell::txtContingencyTime, "49"}};
const Texts kTakeoffAtLimit = {{cell::cmbAlternateDistance, "100"},
                               {cell::cmbWindDirection, "NoWind"},
                               {cell::txtPayLoad, "126912"},
                               {cell::txtContingencyTime, "520"}};

Texts with(Texts texts, std::string_view name, std::string text) {
    texts[name] = std::move(text);
    return texts;
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Limit,
    ::testing::Values(
        LimitCase{
            "ZeroFuelWeightAtLimit", {{cell::txtPayLoad, "140912"}}, cell::txtZFW, "535000", false},
        LimitCase{
            "ZeroFuelWeightAbove", {{cell::txtPayLoad, "140913"}}, cell::txtZFW, "535001", true},
        LimitCase{"LandingWeightAtLimit", kLandingAtLimit, cell::txtPLW, "630000", false},
        LimitCase{"LandingWeightAbove", with(kLandingAtLimit, cell::txtPayLoad, "194413"),
                  cell::txtPLW, "630001", true},
        LimitCase{"TakeoffWeightAtLimit", kTakeoffAtLimit, cell::txtGTW, "875000", false},
        LimitCase{"TakeoffWeightAbove", with(kTakeoffAtLimit, cell::txtPayLoad, "126913"),
                  cell::txtGTW, "875001", true},
        LimitCase{"TaxiWeightAtLimit", kTakeoffAtLimit, cell::txtTW, "877000", false},
        LimitCase{"TaxiWeightAbove", with(kTakeoffAtLimit, cell::txtTFB, "2001"), cell::txtTW,
                  "877001", true},
        LimitCase{"FuelLoadAtLimit", with(kTakeoffAtLimit, cell::txtTFB, "28336"), cell::txtFL,
                  "382336", false},
        LimitCase{"FuelLoadAbove", with(kTakeoffAtLimit, cell::txtTFB, "28337"), cell::txtFL,
                  "382337", true}),
    ParamName());

TEST_F(Calculate, RedTurnsBackOnTheNextPlanWithinTheLimit) {
    enter(samplePlan());
    enter(cell::txtPayLoad, "140913");
    expectSuccess();
    ASSERT_TRUE(isRed(cell::txtZFW));
    enter(cell::txtPayLoad, "100000");
    expectSuccess();
    EXPECT_FALSE(isRed(cell::txtZFW));
}

struct ContingencyCase {
    const char* minutes;
    const char* fuel;
};

class Contingency : public Calculate, public ::testing::WithParamInterface<ContingencyCase> {};

TEST_P(Contingency, EighteenThousandPoundsAnHour) {
    enter(samplePlan());
    enter(cell::txtContingencyTime, GetParam().minutes);
    expectSuccess();
    EXPECT_EQ(cells.text(cell::txtCF), GetParam().fuel);
}

INSTANTIATE_TEST_SUITE_P(Minutes, Contingency,
                         ::testing::Values(ContingencyCase{"30", "9000"}, ContingencyCase{"0", "0"},
                                           ContingencyCase{"1", "300"},
                                           ContingencyCase{"007", "2100"}));

TEST_F(Calculate, ContingencyBeyondSixteenBitsFailsAfterTheAlternateFuel) {
    enter(samplePlan());
    enter(cell::txtContingencyTime, "32768");
    expectFailure();
    expectResults({{cell::txtPayLoadDuplicate, "100000"},
                   {cell::txtZFW, "494088"},
                   {cell::txtZFWDuplicate, "494088"},
                   {cell::txtAF, "11352"}});
    for (const auto name : {cell::txtCF, cell::txtPLW, cell::txtFPF, cell::txtGTW, cell::txtTW,
                            cell::txtFL, cell::txtETA, cell::txtICA, cell::txtDistWinCorr}) {
        EXPECT_EQ(cells.text(name), "") << name;
    }
}

TEST_F(Calculate, LongContingencyGivesASevenDigitWeightAndTheLowestLevel) {
    enter(samplePlan());
    enter(cell::txtContingencyTime, "32767");  // 9830100 lbs of contingency fuel
    expectSuccess();
    EXPECT_EQ(cells.text(cell::txtGTW), "10542940");
    EXPECT_EQ(cells.text(cell::txtICA), "30000");
}

TEST_F(Calculate, CorrectionAndTripFuelAreRoundedBeforeTheyAreAdded) {
    // Alternate "100" at 475000 lbs is 6600 lbs; with 60 minutes of contingency the landing
    // weight is 499600, a deviation of 2.5: 860 lbs/hr * 2.5 over 495 minutes is 17737.5 lbs.
    enter(samplePlan());
    enter({{cell::cmbAlternateDistance, "100"},
           {cell::cmbWindDirection, "NoWind"},
           {cell::txtPayLoad, "61912"},
           {cell::txtContingencyTime, "60"}});
    cells.setTicked(cell::CheckCorrection, true);
    expectSuccess();
    EXPECT_EQ(cells.text(cell::txtPLW), "499600");
    EXPECT_EQ(cells.text(cell::txtFPF), "189538");  // 171800 + 17738

    cells.setTicked(cell::CheckCorrection, false);
    expectSuccess();
    EXPECT_EQ(cells.text(cell::txtFPF), "171800");
}

TEST_F(Calculate, CorrectionTieGoesToTheEvenPound) {
    enter(samplePlan());
    enter({{cell::cmbAlternateDistance, "100"},
           {cell::cmbWindDirection, "NoWind"},
           {cell::txtPayLoad, "61912"},
           {cell::txtContingencyTime, "0"}});
    cells.setTicked(cell::CheckCorrection, true);
    expectSuccess();
    EXPECT_EQ(cells.text(cell::txtPLW), "481600");
    // 481600 is a deviation of 0.7 (0.66 rounded): 860 * 0.7 * 495 / 60 = 4966.5 -> 4966.
    EXPECT_EQ(cells.text(cell::txtFPF), "176766");
}

TEST_F(Calculate, SecondPressAfterAFailureOverwritesTheWholeSchematic) {
    enter(samplePlan());
    enter(cell::txtContingencyTime, "32768");
    expectFailure();
    enter(cell::txtContingencyTime, "30");
    expectSuccess();
    expectResults(kSampleResults);
}

TEST_F(Calculate, NegativeCorrectedDistanceEndsInTheFailure) {
    enter(samplePlan());
    enter({{cell::txtDestinationDistance, "400"},
           {cell::cmbWindDirection, "Tail"},
           {cell::txtWindIntensity, "1000"}});
    expectFailure();
    EXPECT_EQ(cells.text(cell::txtDistWinCorr), "-683");
    EXPECT_TRUE(isRed(cell::txtDistWinCorr));
    EXPECT_EQ(cells.text(cell::txtFPF), "");
    EXPECT_EQ(cells.text(cell::txtETA), "");
}

TEST_F(Calculate, CorrectedDistanceBeyondTheTableEndsInTheFailure) {
    enter(samplePlan());
    enter(cell::txtDestinationDistance, "8400");
    expectFailure();
    EXPECT_TRUE(isRed(cell::txtDistWinCorr));
    EXPECT_EQ(cells.text(cell::txtFPF), "");
}

struct BadInputCase {
    const char* name;
    std::string_view cell;
    std::string text;
};

class BadInput : public Calculate, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, EndsInTheFailureMessage) {
    enter(samplePlan());
    enter(GetParam().cell, GetParam().text);
    expectFailure();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInput,
    ::testing::Values(
        BadInputCase{"PayloadWithLetters", cell::txtPayLoad, "1e5"},
        BadInputCase{"PayloadBeyondTheDoubleRange", cell::txtPayLoad, std::string(400, '9')},
        BadInputCase{"HugePayloadLeavesTheAlternateTable", cell::txtPayLoad, std::string(300, '9')},
        BadInputCase{"DistanceWithADot", cell::txtDestinationDistance, "4000.5"},
        BadInputCase{"DistanceBeyondTheTable", cell::txtDestinationDistance, "8401"},
        BadInputCase{"WindBeyondSixteenBits", cell::txtWindIntensity, "40000"},
        BadInputCase{"LevelNotInTheTable", cell::cmbFlightLevel, "FL300"},
        BadInputCase{"AlternateNotInTheTable", cell::cmbAlternateDistance, "250"},
        BadInputCase{"MinimumFuelThatIsNoNumber", cell::cmbMLF, "lots"},
        BadInputCase{"TaxiFuelBeyondTheDoubleRange", cell::txtTFB, std::string(400, '9')}),
    ParamName());

TEST_F(Calculate, DecimalCommaInputsAreReadAsNumbers) {
    enter(samplePlan());
    enter(cell::txtPayLoad, "100000,4");
    expectSuccess();
    EXPECT_EQ(cells.text(cell::txtZFW), "494088,4");
}

}  // namespace
}  // namespace brimwell
