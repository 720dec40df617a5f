#pragma once

// The limits of the cells: the upper limits of three input cells, which refuse a value above
// them, and the aircraft's limits of five result cells, which Calculate turns red above them.

#include <array>
#include <optional>
#include <string_view>

#include "engine/cell_names.h"

namespace brimwell::engine {

// An upper limit of a numeric cell, inclusive, with the warning shown for a value above it.
struct FieldLimit {
    std::string_view cell;
    double limit;
    std::string_view warning;
};

inline constexpr std::array<FieldLimit, 3> kFieldLimits = {{
    {cell::txtDestinationDistance, 8400.0, "Distance: please enter a value lower then 8400"},
    {cell::txtWindIntensity, 1000.0, "Wind: hey, don't you think it's too strong?"},
    {cell::txtPayLoad, 140912.0, "Payload: please enter a value lower then 140.912"},
}};

// The limit of a cell, if it has one.
std::optional<FieldLimit> fieldLimit(std::string_view cell);

// The validation of a limited cell: the empty text passes; digits up to the limit pass; a value
// above it is refused. So is any text that is not a run of digits, which can only arrive by
// pasting. Returns true when the value is refused.
bool isRefused(const FieldLimit& rule, std::string_view text);

// An aircraft limit of a result cell, lbs: Calculate turns the cell red above it (equal is not
// red), with the caption of the cell's row in the schematic.
struct ResultLimit {
    std::string_view cell;
    double limit;
    std::string_view caption;
};

inline constexpr std::array<ResultLimit, 5> kResultLimits = {{
    {cell::txtZFW, 535000.0, "Zero Fuel Weight"},
    {cell::txtPLW, 630000.0, "Planned Landing Weight"},
    {cell::txtGTW, 875000.0, "Planned Gross Takeoff Weight"},
    {cell::txtTW, 877000.0, "Planned Taxi-Out Weight"},
    {cell::txtFL, 382336.0, "TOTAL FUEL LOAD"},
}};

}  // namespace brimwell::engine
