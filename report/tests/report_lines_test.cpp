// The 37 report lines: literals, where each cell's text lands, and texts taken as displayed.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "report/report_lines.h"

namespace brimwell {
namespace {

// The report of a window that was never calculated: only txtBOW and the taxi fuel have values.
const ReportLines kBeforeCalculate = {
    "Boeing 747-400 - Fuel Planning Schematic",
    "----------------------------------------",
    "",
    "*************** Flight Data ****************",
    "Origin: ",
    "Destination:  distance:  nm",
    "Alternate:  distance:  nm",
    "Prevalent Wind:  -  Knots",
    "Flight Level: ",
    "Payload:  lbs",
    "Contingency Time:  minutes",
    "Wind Distance Correction:  nm",
    "",
    "********** Fuel Planning Schematic **********",
    "(+) Basic Operation Empty Weight: 394088 lbs",
    "(+) Payload:  lbs",
    "(=) Zero Fuel Weight:  lbs",
    "",
    "(+) Zero Fuel Weight:  lbs",
    "(+) Minimum Landing Fuel:  lbs",
    "(+) Alternate Fuel:  lbs",
    "(+) Contingency Fuel:  lbs",
    "(=) Planned Landing Weight:  lbs",
    "",
    "(+) Planned Landing Weight:  lbs",
    "(+) Flight Plan Fuel:  lbs",
    "(=) Planned Gross Takeoff Weight:  lbs",
    "",
    "(+) Planned Gross Takeoff Weight:  lbs",
    "(+) Taxi Fuel Burn Off: 2000 lbs",
    "(=) Planned Taxi-Out Weight:  lbs",
    "",
    "TOTAL FUEL LOAD:  lbs",
    "Extimated Time to Arrive (ETA):  hh:mm",
    "Optimal Initial Cruise Altitude:  feet",
    "",
    "*************** Good Flight! (Q.Z.) *************",
};

TEST(ReportLines, BeforeAnyCalculationEveryLineIsThereWithEmptyValues) {
    const MemoryCells cells;
    const ReportLines lines = buildReportLines(cells);
    for (std::size_t i = 0; i < kReportLineCount; ++i) {
        EXPECT_EQ(lines[i], kBeforeCalculate[i]) << "line " << i + 1;
    }
    EXPECT_EQ(lines[16], "(=) Zero Fuel Weight:  lbs");
}

TEST(ReportLines, LiteralsHaveTheirExactLengths) {
    const ReportLines lines = buildReportLines(MemoryCells());
    EXPECT_EQ(lines[1], std::string(40, '-'));
    EXPECT_EQ(lines[3], std::string(15, '*') + " Flight Data " + std::string(16, '*'));
    EXPECT_EQ(lines[13], std::string(10, '*') + " Fuel Planning Schematic " + std::string(10, '*'));
    EXPECT_EQ(lines[36], std::string(15, '*') + " Good Flight! (Q.Z.) " + std::string(13, '*'));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string()), 7);
}

// Where the text of each cell appears: the 1-based line numbers.
struct Placement {
    std::string_view cell;
    std::vector<std::size_t> lines;
};

const auto kPlacements = std::to_array<Placement>({
    {cell::txtOriginICAO, {5}},
    {cell::txtDestinationICAO, {6}},
    {cell::txtDestinationDistance, {6}},
    {cell::txtAlternateICAO, {7}},
    {cell::cmbAlternateDistance, {7}},
    {cell::cmbWindDirection, {8}},
    {cell::txtWindIntensity, {8}},
    {cell::cmbFlightLevel, {9}},
    {cell::txtPayLoad, {10}},
    {cell::txtContingencyTime, {11}},
    {cell::txtDistWinCorr, {12}},
    {cell::txtBOW, {15}},
    {cell::txtPayLoadDuplicate, {16}},
    {cell::txtZFW, {17}},
    {cell::txtZFWDuplicate, {19}},
    {cell::cmbMLF, {20}},
    {cell::txtAF, {21}},
    {cell::txtCF, {22}},
    {cell::txtPLW, {23}},
    {cell::txtPLWDuplicate, {25}},
    {cell::txtFPF, {26}},
    {cell::txtGTW, {27}},
    {cell::txtGTWDuplicate, {29}},
    {cell::txtTFB, {30}},
    {cell::txtTW, {31}},
    {cell::txtFL, {33}},
    {cell::txtETA, {34}},
    {cell::txtICA, {35}},
});

// Every cell holds its own name as text, so a line that shows the wrong cell gives it away.
TEST(ReportLines, EachCellAppearsOnItsOwnLineOnly) {
    MemoryCells cells;
    for (const auto& placement : kPlacements) {
        cells.setText(placement.cell, "<" + std::string(placement.cell) + ">");
    }
    const ReportLines lines = buildReportLines(cells);
    for (const auto& placement : kPlacements) {
        const std::string marker = "<" + std::string(placement.cell) + ">";
        std::vector<std::size_t> found;
        for (std::size_t i = 0; i < kReportLineCount; ++i) {
            if (lines[i].find(marker) != std::string::npos) {
                found.push_back(i + 1);
            }
        }
        EXPECT_EQ(found, placement.lines) << placement.cell;
    }
    EXPECT_EQ(lines[5], "Destination: <txtDestinationICAO> distance: <txtDestinationDistance> nm");
    EXPECT_EQ(lines[6], "Alternate: <txtAlternateICAO> distance: <cmbAlternateDistance> nm");
    EXPECT_EQ(lines[7], "Prevalent Wind: <cmbWindDirection> - <txtWindIntensity> Knots");
}

struct TypedText {
    const char* name;
    std::string_view cell;
    std::string text;
    std::size_t line;  // 1-based
    std::string expected;
};

class TakenAsDisplayed : public ::testing::TestWithParam<TypedText> {};

TEST_P(TakenAsDisplayed, WithoutConversionTrimmingOrCaseChange) {
    MemoryCells cells;
    cells.setText(GetParam().cell, GetParam().text);
    EXPECT_EQ(buildReportLines(cells)[GetParam().line - 1], GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TakenAsDisplayed,
    ::testing::Values(
        TypedText{"OriginLowerCase", cell::txtOriginICAO, "lirf", 5, "Origin: lirf"},
        TypedText{"OriginMixedCaseWithBlanks", cell::txtOriginICAO, " LiRf ", 5, "Origin:  LiRf "},
        TypedText{"DestinationAsTyped", cell::txtDestinationICAO, "kJFK", 6,
                  "Destination: kJFK distance:  nm"},
        TypedText{"AlternateAsTyped", cell::txtAlternateICAO, "kbos", 7,
                  "Alternate: kbos distance:  nm"},
        TypedText{"LeadingZeroKept", cell::txtDestinationDistance, "04000", 6,
                  "Destination:  distance: 04000 nm"},
        TypedText{"DecimalCommaKept", cell::txtFPF, "17737,5", 26,
                  "(+) Flight Plan Fuel: 17737,5 lbs"},
        TypedText{"EmptyWindDirection", cell::txtWindIntensity, "50", 8,
                  "Prevalent Wind:  - 50 Knots"},
        TypedText{"TailWind", cell::cmbWindDirection, "Tail", 8, "Prevalent Wind: Tail -  Knots"},
        TypedText{"NonAsciiKept", cell::txtOriginICAO, "\xc3\x96MIR", 5, "Origin: \xc3\x96MIR"},
        TypedText{"ClearedTaxiFuel", cell::txtTFB, "", 30, "(+) Taxi Fuel Burn Off:  lbs"}),
    [](const ::testing::TestParamInfo<TypedText>& row) { return std::string(row.param.name); });

TEST(ReportLines, ACalculatedPlanPrintsTheSchematicAsCalculated) {
    MemoryCells cells;
    cells.setText(cell::txtOriginICAO, "LIRF");
    cells.setText(cell::txtDestinationICAO, "KJFK");
    cells.setText(cell::txtDestinationDistance, "4000");
    cells.setText(cell::txtAlternateICAO, "KBOS");
    cells.setText(cell::cmbAlternateDistance, "200");
    cells.setText(cell::cmbWindDirection, "Head");
    cells.setText(cell::txtWindIntensity, "50");
    cells.setText(cell::cmbFlightLevel, "FL350");
    cells.setText(cell::txtPayLoad, "100000");
    cells.setText(cell::txtContingencyTime, "30");
    cells.setText(cell::cmbMLF, "19000");
    RecordingSink messages;
    ASSERT_TRUE(FuelPlanner(cells, messages).cmdCalculate_Click());

    const ReportLines lines = buildReportLines(cells);
    const std::vector<std::pair<std::size_t, std::string>> expected = {
        {5, "Origin: LIRF"},
        {6, "Destination: KJFK distance: 4000 nm"},
        {7, "Alternate: KBOS distance: 200 nm"},
        {8, "Prevalent Wind: Head - 50 Knots"},
        {9, "Flight Level: FL350"},
        {10, "Payload: 100000 lbs"},
        {11, "Contingency Time: 30 minutes"},
        {12, "Wind Distance Correction: 4412 nm"},
        {15, "(+) Basic Operation Empty Weight: 394088 lbs"},
        {16, "(+) Payload: 100000 lbs"},
        {17, "(=) Zero Fuel Weight: 494088 lbs"},
        {19, "(+) Zero Fuel Weight: 494088 lbs"},
        {20, "(+) Minimum Landing Fuel: 19000 lbs"},
        {21, "(+) Alternate Fuel: 11352 lbs"},
        {22, "(+) Contingency Fuel: 9000 lbs"},
        {23, "(=) Planned Landing Weight: 533440 lbs"},
        {25, "(+) Planned Landing Weight: 533440 lbs"},
        {26, "(+) Flight Plan Fuel: 188400 lbs"},
        {27, "(=) Planned Gross Takeoff Weight: 721840 lbs"},
        {29, "(+) Planned Gross Takeoff Weight: 721840 lbs"},
        {30, "(+) Taxi Fuel Burn Off: 2000 lbs"},
        {31, "(=) Planned Taxi-Out Weight: 723840 lbs"},
        {33, "TOTAL FUEL LOAD: 229752 lbs"},
        {34, "Extimated Time to Arrive (ETA): 9:07 hh:mm"},
        {35, "Optimal Initial Cruise Altitude: 33000 feet"},
    };
    for (const auto& [line, text] : expected) {
        EXPECT_EQ(lines[line - 1], text) << "line " << line;
    }
}

}  // namespace
}  // namespace brimwell
