// The Print command against a printer that writes down what it is asked to do. Every cell holds
// its own name, so the page in marked_report.txt shows where each cell's text lands, the lines
// around them and the font, position and bold operations in their order.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/memory_cells.h"
#include "report/print_command.h"
#include "report/recorded_page.h"
#include "tests/support/plan.h"

namespace brimwell::test {
namespace {

using engine::kLimitRed;
using engine::MemoryCells;
using report::PrintError;
using report::printFailureMessage;
using report::printReport;
using report::RecordedPage;
namespace cell = engine::cell;

MemoryCells markedCells() {
    MemoryCells cells;
    const auto mark = [&cells](std::string_view name) {
        cells.setText(name, "<" + std::string(name) + ">");
    };
    std::for_each(cell::kInputs.begin(), cell::kInputs.end(), mark);
    std::for_each(cell::kResults.begin(), cell::kResults.end(), mark);
    mark(cell::txtBOW);
    return cells;
}

std::vector<std::string> markedReport() {
    std::ifstream file(BRIMWELL_MARKED_REPORT);
    std::vector<std::string> operations;
    for (std::string line; std::getline(file, line);) {
        operations.push_back(line);
    }
    return operations;
}

TEST(Print, PrintsEveryCellOnItsLineInOneDocumentAndChangesNoCell) {
    MemoryCells cells = markedCells();
    cells.setBackground(cell::txtZFW, kLimitRed);
    test::RecordingPrinter printer;
    printReport(cells, printer);
    EXPECT_EQ(*printer.operations, markedReport());
    EXPECT_EQ(cells.text(cell::txtZFW), "<txtZFW>");
    EXPECT_EQ(cells.background(cell::txtZFW), kLimitRed);
}

TEST(Print, ARecordedPagePlaysTheSameOperations) {
    RecordedPage page;
    printReport(markedCells(), page);
    test::RecordingPrinter printer;
    page.playOn(printer);
    EXPECT_EQ(*printer.operations, markedReport());
}

TEST(Print, AFailingPrinterStopsThePageWithoutEndingIt) {
    const std::vector<std::string> whole = markedReport();
    ASSERT_EQ(whole.size(), 45U);
    for (const std::size_t failAt : {1U, 6U, 9U, 45U}) {
        test::RecordingPrinter printer(failAt);
        EXPECT_THROW(printReport(markedCells(), printer), PrintError) << failAt;
        EXPECT_EQ(*printer.operations, std::vector(whole.begin(), whole.begin() + (failAt - 1)));
    }
    EXPECT_EQ(printFailureMessage(PrintError("no printer is installed")),
              "The report was not printed: no printer is installed");
}

}  // namespace
}  // namespace brimwell::test
