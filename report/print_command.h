#pragma once

#include <optional>
#include <string>

#include "engine/cells.h"
#include "engine/units.h"
#include "report/printer.h"

namespace brimwell::report {

// The "Print" button: prints the 37 report lines of the current cell texts on one page, Arial,
// the title 16 point bold at 100 twips across and 200 down, every other line 10 point.
// The weights are named in `unit`, the unit the cells show them in; a fuel factor the plan was
// made with is said as the report lines say it. Throws PrintError when the printer fails; the
// cells are never changed.
void printReport(const engine::CellReader& cells, Printer& printer,
                 engine::Unit unit = engine::Unit::Pounds,
                 std::optional<double> fuelFactor = std::nullopt);

// The message shown when a report could not be printed.
std::string printFailureMessage(const PrintError& error);

}  // namespace brimwell::report
