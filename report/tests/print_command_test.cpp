// The Print command against a printer that records what it is asked to do: the order of the
// font, position and bold operations, one document per press, and a failing printer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/memory_cells.h"
#include "report/print_command.h"
#include "report/report_lines.h"

namespace brimwell {
namespace {

// Records every operation as one text, e.g. "size 16" or "line Origin: LIRF". It can be told to
// fail at the nth operation, counting from 1.
class RecordingPrinter final : public Printer {
  public:
    std::vector<std::string> operations;
    std::size_t failAt = 0;

    void setFontName(std::string_view name) override { record("font " + std::string(name)); }
    void setFontSize(double points) override { record("size " + number(points)); }
    void setCurrentX(int twips) override { record("x " + std::to_string(twips)); }
    void setCurrentY(int twips) override { record("y " + std::to_string(twips)); }
    void setBold(bool bold) override { record(bold ? "bold on" : "bold off"); }
    void printLine(std::string_view text) override { record("line " + std::string(text)); }
    void endDoc() override { record("end"); }

  private:
    static std::string number(double value) {
        std::string text = std::to_string(value);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
        return text;
    }
    void record(std::string operation) {
        if (failAt != 0 && operations.size() + 1 == failAt) {
            throw PrintError("the printer ran out of paper");
        }
        operations.push_back(std::move(operation));
    }
};

std::vector<std::string> expectedDocument(const CellReader& cells) {
    const ReportLines lines = buildReportLines(cells);
    std::vector<std::string> ops = {"font Arial", "size 16",          "x 100",    "y 200",
                                    "bold on",    "line " + lines[0], "bold off", "size 10"};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        ops.push_back("line " + lines[i]);
    }
    ops.emplace_back("end");
    return ops;
}

MemoryCells typedPlan() {
    MemoryCells cells;
    cells.setText(cell::txtOriginICAO, "lirf");
    cells.setText(cell::txtDestinationICAO, "KjFk");
    cells.setText(cell::txtDestinationDistance, "4000");
    cells.setText(cell::txtZFW, "494088");
    return cells;
}

TEST(PrintCommand, SetsFontSizePositionAndBoldBeforeTheTitleThenPrintsEveryLineAndEnds) {
    const MemoryCells cells = typedPlan();
    RecordingPrinter printer;
    cmbPrint_Click(cells, printer);
    EXPECT_EQ(printer.operations, expectedDocument(cells));
    ASSERT_EQ(printer.operations.size(), 8U + 36U + 1U);
    EXPECT_EQ(printer.operations[5], "line Boeing 747-400 - Fuel Planning Schematic");
    EXPECT_EQ(printer.operations.back(), "end");
}

TEST(PrintCommand, BeforeAnyCalculationPrintsAllLinesWithEmptyValues) {
    const MemoryCells cells;
    RecordingPrinter printer;
    cmbPrint_Click(cells, printer);
    ASSERT_EQ(printer.operations.size(), 45U);
    EXPECT_EQ(printer.operations[8 + 15], "line (=) Zero Fuel Weight:  lbs");
    EXPECT_EQ(printer.operations[8 + 13], "line (+) Basic Operation Empty Weight: 394088 lbs");
    EXPECT_EQ(printer.operations[8 + 28], "line (+) Taxi Fuel Burn Off: 2000 lbs");
}

TEST(PrintCommand, PrintsAirportCodesAsTypedAndAnEmptyWindDirection) {
    const MemoryCells cells = typedPlan();
    RecordingPrinter printer;
    cmbPrint_Click(cells, printer);
    EXPECT_EQ(printer.operations[8 + 3], "line Origin: lirf");
    EXPECT_EQ(printer.operations[8 + 4], "line Destination: KjFk distance: 4000 nm");
    EXPECT_EQ(printer.operations[8 + 6].rfind("line Prevalent Wind:  - ", 0), 0U)
        << printer.operations[8 + 6];
}

TEST(PrintCommand, TwoPressesGiveTwoIdenticalDocuments) {
    const MemoryCells cells = typedPlan();
    RecordingPrinter printer;
    cmbPrint_Click(cells, printer);
    const std::vector<std::string> first = printer.operations;
    cmbPrint_Click(cells, printer);
    ASSERT_EQ(printer.operations.size(), 2 * first.size());
    EXPECT_EQ(std::vector<std::string>(printer.operations.begin() + first.size(),
                                       printer.operations.end()),
              first);
}

TEST(PrintCommand, ChangesNoCell) {
    MemoryCells cells = typedPlan();
    cells.setBackground(cell::txtZFW, kLimitRed);
    const ReportLines before = buildReportLines(cells);
    RecordingPrinter printer;
    cmbPrint_Click(cells, printer);
    EXPECT_EQ(buildReportLines(cells), before);
    EXPECT_EQ(cells.background(cell::txtZFW), kLimitRed);
}

// A printer that fails at any one operation: the error reaches the caller, nothing after it is
// attempted and the document is not ended.
class FailingPrinter : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FailingPrinter, ItsErrorPropagatesAndTheDocumentIsNotEnded) {
    const MemoryCells cells = typedPlan();
    RecordingPrinter printer;
    printer.failAt = GetParam();
    try {
        cmbPrint_Click(cells, printer);
        FAIL() << "no PrintError";
    } catch (const PrintError& error) {
        EXPECT_STREQ(error.what(), "the printer ran out of paper");
    }
    const std::vector<std::string> expected = expectedDocument(cells);
    EXPECT_EQ(printer.operations,
              std::vector<std::string>(expected.begin(), expected.begin() + (GetParam() - 1)));
}

INSTANTIATE_TEST_SUITE_P(AtOperation, FailingPrinter,
                         ::testing::Values(1U, 2U, 6U, 9U, 30U, 44U, 45U));

TEST(PrintFailureMessage, SaysTheReportWasNotPrintedAndWhy) {
    EXPECT_EQ(printFailureMessage(PrintError("no printer is installed")),
              "The report was not printed: no printer is installed");
}

}  // namespace
}  // namespace brimwell
