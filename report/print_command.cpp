#include "report/print_command.h"

#include "report/report_lines.h"

namespace brimwell::report {

void printReport(const engine::CellReader& cells, Printer& printer, engine::Unit unit,
                 std::optional<double> fuelFactor) {
    const ReportLines lines = buildReportLines(cells, unit, fuelFactor);
    printer.setFontName("Arial");
    printer.setFontSize(16);
    printer.setCurrentX(100);
    printer.setCurrentY(200);
    printer.setBold(true);
    printer.printLine(lines[0]);
    printer.setBold(false);
    printer.setFontSize(10);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        printer.printLine(lines[i]);
    }
    printer.endDoc();
}

std::string printFailureMessage(const PrintError& error) {
    return std::string("The report was not printed: ") + error.what();
}

}  // namespace brimwell::report
