#pragma once

// The unit of weight the pilot plans in: pounds, or kilograms.
//
// The engine plans in pounds only. A weight shown in kilograms reaches it as pounds, and each of
// its results is shown in kilograms (UnitCells, engine/unit_cells.h), so a plan in kilograms is
// the plan in pounds of the same weights, with the same cells over their limits. A kilogram text
// becomes pounds at 0.45359237 kg a pound, rounded half to even to whole pounds; a pound text
// becomes whole kilograms the same way. The minimum landing fuel list maps its items one to one
// instead (8618 kg is 19000 lbs, 10886 kg is 24000 lbs). A text that is no number (the empty
// text, pasted letters) stays as it is in either unit.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/cell_values.h"

namespace brimwell::engine {

enum class Unit { Pounds, Kilograms };

inline constexpr double kKilogramsPerPound = 0.45359237;

// "lbs" or "kg", as the planner's --units takes it and the report writes it after a weight.
std::string_view unitName(Unit unit);
std::optional<Unit> unitNamed(std::string_view name);

// The text boxes that show a weight: the payload and the taxi fuel that the pilot types, txtBOW
// and every result of the schematic but the trip time and the cruise altitude. The list cmbMLF
// shows a weight too; its items are those of minimumLandingFuels.
inline constexpr std::array kWeightTextBoxes = {
    cell::txtPayLoad,      cell::txtTFB,          cell::txtBOW, cell::txtPayLoadDuplicate,
    cell::txtZFW,          cell::txtZFWDuplicate, cell::txtAF,  cell::txtCF,
    cell::txtPLW,          cell::txtPLWDuplicate, cell::txtFPF, cell::txtGTW,
    cell::txtGTWDuplicate, cell::txtTW,           cell::txtFL,
};

// Whether the cell shows a weight: one of kWeightTextBoxes, or cmbMLF.
bool isWeight(std::string_view cell);

// The items of the minimum landing fuel list in the unit, in the order of kMinimumLandingFuels.
std::span<const std::string_view> minimumLandingFuels(Unit unit);

// A weight text in the other unit. The pound items of the minimum landing fuel list become its
// kilogram items by the arithmetic too; the other way they need the cell's name.
std::string toKilograms(std::string_view pounds);
std::string toPounds(std::string_view cell, std::string_view kilograms);

// The entry limit of a cell as it is typed in the unit (see fieldLimit in engine/cell_limits.h).
std::optional<FieldLimit> fieldLimit(std::string_view cell, Unit unit);

}  // namespace brimwell::engine
