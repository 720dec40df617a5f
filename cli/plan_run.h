#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "engine/memory_cells.h"
#include "engine/units.h"

namespace brimwell {

inline constexpr int kExitPlanned = 0;
inline constexpr int kExitCalculateFailed = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitPdfFailed = 3;

// Runs brimwell-plan on its arguments (without the program name): fills the cells, presses
// Calculate and prints the report (or the JSON object) on out, messages on err; --help and
// --version print their text instead, --help first. Returns the exit status.
int runPlan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The JSON object of --json: "failure" (null or the message), "units" (the unit the weights are
// in, "lbs" or "kg"), "cells" (the input cells, txtBOW and the fifteen results, name to text),
// "ticked" (the tick box) and "red" (the cells whose background is red).
std::string planJson(const MemoryCells& cells, const std::optional<std::string>& failure,
                     Unit unit);

// Writes the report page of the cells, whose weights are in `unit`, into a PDF file; throws
// PrintError.
void writeReportPdf(const CellReader& cells, const std::string& path, Unit unit);

}  // namespace brimwell
