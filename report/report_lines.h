#pragma once

// The printed report: 37 lines built from the current texts of the window's cells, exactly as
// displayed. It computes and checks nothing; an empty cell prints as an empty value.

#include <array>
#include <string>

#include "engine/cells.h"
#include "engine/units.h"

namespace brimwell::report {

inline constexpr std::size_t kReportLineCount = 37;
using ReportLines = std::array<std::string, kReportLineCount>;

// The cells show their weights in `unit`, which the report names after each of them.
ReportLines buildReportLines(const engine::CellReader& cells,
                             engine::Unit unit = engine::Unit::Pounds);

}  // namespace brimwell::report
