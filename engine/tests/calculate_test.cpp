// The Calculate command on in-memory cells: the sums of the schematic, the limit colours, the
// mandatory inputs and what stays written after a failure. Each row changes the sample plan.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "engine/program_texts.h"
#include "tests/support/plan.h"

namespace brimwell::test {
namespace {

using engine::FuelPlanner;
using engine::kFailureMessage;
using engine::kInputBlue;
using engine::kLimitRed;
using engine::MemoryCells;
namespace c = engine::cell;

struct Press {
    MemoryCells cells;
    test::RecordingSink sink;
    FuelPlanner planner{cells, sink};

    // Enters the texts, presses Calculate and checks that it ends in a plan or in the failure.
    void run(const CellTexts& texts, bool correction, bool completes) {
        test::enter(cells, texts);
        if (correction) {  // a new window's tick box is not ticked
            cells.setTicked(c::CheckCorrection, true);
        }
        sink.messages.clear();
        EXPECT_EQ(planner.calculate(), completes);
        EXPECT_EQ(sink.messages, completes
                                     ? std::vector<std::string>{}
                                     : std::vector<std::string>{std::string(kFailureMessage)});
    }
    std::vector<std::string_view> red() const {
        std::vector<std::string_view> names;
        std::copy_if(c::kColoured.begin(), c::kColoured.end(), std::back_inserter(names),
                     [this](auto name) { return cells.background(name) == kLimitRed; });
        return names;
    }
};

// Alternate "100" at 607500 lbs is 7800 lbs; 49 minutes of contingency make a landing weight of
// 630000. Alternate "100" at 540000 lbs is 7200 lbs; 520 minutes of contingency and the 171800
// lbs of 4000 nm without wind make a takeoff weight of 875000 and a fuel load of 356000.
const CellTexts kLandingAtLimit = {
    {c::cmbAlternateDistance, "100"}, {c::txtPayLoad, "194412"}, {c::txtContingencyTime, "49"}};
const CellTexts kTakeoffAtLimit = {{c::cmbAlternateDistance, "100"},
                                   {c::cmbWindDirection, "NoWind"},
                                   {c::txtPayLoad, "126912"},
                                   {c::txtContingencyTime, "520"}};
// Alternate "100" at 475000 lbs is 6600 lbs; the landing weight is 481600 + 300 lbs a minute.
const CellTexts kLight = {
    {c::cmbAlternateDistance, "100"}, {c::cmbWindDirection, "NoWind"}, {c::txtPayLoad, "61912"}};

TEST(Calculate, ComputesTheSchematicAndColoursWhatIsOverItsLimit) {
    const std::vector<std::string_view> none;
    struct Row {
        const char* name;
        CellTexts changes;
        bool correction;
        bool completes;
        CellTexts expected;
        std::vector<std::string_view> red;
    };
    const std::vector<Row> rows = {
        // clang-format off
        {"sample", {}, false, true, test::sampleResults(), none},
        {"no airport codes", {{c::txtOriginICAO, ""}, {c::txtDestinationICAO, ""}, {c::txtAlternateICAO, ""}}, false, true, test::sampleResults(), none},
        {"zero fuel weight at limit", {{c::txtPayLoad, "140912"}}, false, true, {{c::txtZFW, "535000"}}, none},
        {"zero fuel weight over", {{c::txtPayLoad, "140913"}}, false, true, {{c::txtZFW, "535001"}, {c::txtICA, "32000"}}, {c::txtZFW}},
        {"landing weight at limit", kLandingAtLimit, false, true, {{c::txtPLW, "630000"}}, {c::txtZFW}},
        {"landing weight over", with(kLandingAtLimit, {{c::txtPayLoad, "194413"}}), false, true, {{c::txtPLW, "630001"}}, {c::txtZFW, c::txtPLW}},
        {"takeoff weight at limit", kTakeoffAtLimit, false, true, {{c::txtGTW, "875000"}, {c::txtTW, "877000"}, {c::txtFL, "356000"}}, {c::txtPLW}},
        {"takeoff weight over", with(kTakeoffAtLimit, {{c::txtPayLoad, "126913"}}), false, true, {{c::txtGTW, "875001"}}, {c::txtPLW, c::txtGTW, c::txtTW}},
        {"taxi weight over", with(kTakeoffAtLimit, {{c::txtTFB, "2001"}}), false, true, {{c::txtTW, "877001"}}, {c::txtPLW, c::txtTW}},
        {"fuel load at limit", with(kTakeoffAtLimit, {{c::txtTFB, "28336"}}), false, true, {{c::txtFL, "382336"}}, {c::txtPLW, c::txtTW}},
        {"fuel load over", with(kTakeoffAtLimit, {{c::txtTFB, "28337"}}), false, true, {{c::txtFL, "382337"}}, {c::txtPLW, c::txtTW, c::txtFL}},
        {"contingency with zeros", {{c::txtContingencyTime, "007"}}, false, true, {{c::txtCF, "2100"}}, none},
        {"longest contingency", {{c::txtContingencyTime, "32767"}}, false, true, {{c::txtGTW, "10542940"}, {c::txtICA, "30000"}}, {c::txtPLW, c::txtGTW, c::txtTW, c::txtFL}},
        {"contingency beyond 16 bits", {{c::txtContingencyTime, "32768"}}, false, false, {{c::txtZFWDuplicate, "494088"}, {c::txtAF, "11352"}, {c::txtCF, ""}, {c::txtPLW, ""}, {c::txtICA, ""}}, none},
        // 860 lbs/hr for a deviation of 2.5 over 495 minutes is 17737.5 lbs, rounded to 17738.
        {"corrected", with(kLight, {{c::txtContingencyTime, "60"}}), true, true, {{c::txtPLW, "499600"}, {c::txtFPF, "189538"}}, none},
        {"correction tie to even", with(kLight, {{c::txtContingencyTime, "0"}}), true, true, {{c::txtFPF, "176766"}}, none},
        {"trip fuel below a half", {{c::txtDestinationDistance, "1614"}, {c::cmbAlternateDistance, "500"}, {c::cmbWindDirection, "NoWind"}, {c::cmbFlightLevel, "FL390"}, {c::txtPayLoad, "140911"}, {c::txtContingencyTime, "354"}, {c::txtTFB, "1958"}}, false, true, {{c::txtZFW, "534999"}, {c::txtAF, "22951"}, {c::txtFPF, "77900"}, {c::txtFL, "228009"}}, {c::txtPLW}},
        {"tail wind below zero", {{c::txtDestinationDistance, "400"}, {c::cmbWindDirection, "Tail"}, {c::txtWindIntensity, "1000"}}, false, false, {{c::txtDistWinCorr, "-683"}, {c::txtPLW, "533440"}, {c::txtFPF, ""}, {c::txtETA, ""}}, {c::txtDistWinCorr}},
        {"longest leg", {{c::txtDestinationDistance, "8400"}, {c::cmbWindDirection, "NoWind"}}, false, true, {{c::txtDistWinCorr, "8400"}, {c::txtFPF, "378800"}}, {c::txtGTW, c::txtTW, c::txtFL}},
        {"head wind beyond the table", {{c::txtDestinationDistance, "8400"}}, false, false, {{c::txtFPF, ""}}, {c::txtDistWinCorr}},
        {"decimal payload", {{c::txtPayLoad, "100000,4"}}, false, true, {{c::txtZFW, "494088,4"}}, none},
        {"payload beyond doubles", {{c::txtPayLoad, std::string(400, '9')}}, false, false, {{c::txtPayLoadDuplicate, std::string(400, '9')}, {c::txtZFW, ""}}, none},
        {"huge payload", {{c::txtPayLoad, std::string(300, '9')}}, false, false, {{c::txtAF, ""}}, {c::txtZFW}},
        {"distance with a dot", {{c::txtDestinationDistance, "4000.5"}}, false, false, {}, none},
        {"level not in the table", {{c::cmbFlightLevel, "FL300"}}, false, false, {}, none},
        {"alternate not in the table", {{c::cmbAlternateDistance, "250"}}, false, false, {{c::txtAF, ""}, {c::txtPLW, ""}}, none},
        {"landing fuel no number", {{c::cmbMLF, "lots"}}, false, false, {{c::txtZFW, "494088"}}, none},
        {"taxi fuel beyond doubles", {{c::txtTFB, std::string(400, '9')}}, false, false, {{c::txtGTW, "721840"}, {c::txtTW, ""}}, none},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Press press;
        press.run(with(test::samplePlan(), row.changes), row.correction, row.completes);
        for (const auto& [name, text] : row.expected) {
            EXPECT_EQ(press.cells.text(name), text) << name;
        }
        EXPECT_EQ(press.red(), row.red);
    }
}

TEST(Calculate, EachMandatoryInputLeftEmptyFailsBeforeAnyResult) {
    for (const auto name : {c::txtDestinationDistance, c::cmbAlternateDistance, c::cmbWindDirection,
                            c::txtWindIntensity, c::cmbFlightLevel, c::txtPayLoad,
                            c::txtContingencyTime, c::cmbMLF, c::txtTFB}) {
        Press press;
        press.run(with(test::samplePlan(), {{name, ""}}), false, false);
        for (const auto result : c::kResults) {
            EXPECT_EQ(press.cells.text(result), "") << name << ": " << result;
        }
    }
}

TEST(Calculate, ANewPressRewritesTheSchematicAndItsColours) {
    Press press;
    press.run(
        with(test::samplePlan(), {{c::txtPayLoad, "140913"}, {c::txtContingencyTime, "32768"}}),
        false, false);
    press.run(with(test::samplePlan(), {{c::txtContingencyTime, "30"}}), false, true);
    for (const auto& [name, text] : test::sampleResults()) {
        EXPECT_EQ(press.cells.text(name), text) << name;
    }
    EXPECT_EQ(press.red(), std::vector<std::string_view>{});
    for (const auto& [name, text] : test::samplePlan()) {
        EXPECT_EQ(press.cells.text(name), text) << name;
        EXPECT_EQ(press.cells.background(name), kInputBlue) << name;
    }
}

}  // namespace
}  // namespace brimwell::test
