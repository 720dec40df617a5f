#pragma once

// The printed report: 37 lines built from the current texts of the window's cells, exactly as
// displayed. It computes and checks nothing; an empty cell prints as an empty value.

#include <array>
#include <optional>
#include <string>

#include "engine/cells.h"
#include "engine/units.h"

namespace brimwell::report {

inline constexpr std::size_t kReportLineCount = 37;
using ReportLines = std::array<std::string, kReportLineCount>;

// The cells show their weights in `unit`, which the report names after each of them. A plan
// made with the pilot's fuel factor (engine::FuelPlanner::setFuelFactor) says so after its flight
// plan fuel: "(+) Flight Plan Fuel: 197820 lbs (fuel factor +5.0 %)".
ReportLines buildReportLines(const engine::CellReader& cells,
                             engine::Unit unit = engine::Unit::Pounds,
                             std::optional<double> fuelFactor = std::nullopt);

}  // namespace brimwell::report
