// The flight-plan reader fed with arbitrary bytes. Whatever they are, it refuses them with one
// line and nothing else, or it gives each of the ten cells it reads once: filled with a text the
// window's own rules take and the engine reads as a number where the cell holds one, told on one
// line in either unit and put into cells showing kilograms without a throw; or unfilled with a
// reason. The sanitizers catch the rest.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "engine/calculation_error.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/cell_values.h"
#include "engine/digit_keys.h"
#include "engine/memory_cells.h"
#include "engine/number_text.h"
#include "engine/unit_cells.h"
#include "flightplan/flight_plan.h"

namespace {

using namespace brimwell;
using namespace brimwell::engine;

bool isNumber(std::string_view text) {
    try {
        return std::isfinite(toNumber(text));
    } catch (const CalculationError&) {
        return false;
    }
}

bool listed(std::span<const std::string_view> items, std::string_view text) {
    return std::find(items.begin(), items.end(), text) != items.end();
}

// Whether the window would take the text in the cell.
bool takes(std::string_view cell, std::string_view text) {
    const auto limit = fieldLimit(cell);
    return cell == cell::cmbAlternateDistance ? listed(kAlternateDistances, text)
           : cell == cell::cmbWindDirection   ? listed(kWindDirections, text)
           : cell == cell::cmbFlightLevel     ? listed(kFlightLevels, text)
           : listed(kDigitCells, cell)
               ? isDigitsOnly(text) && isNumber(text) && !(limit && isRefused(*limit, text))
               : !text.empty();
}

bool oneLine(std::string_view line) {
    return !line.empty() && line.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto reading = flightplan::readFlightPlan(input, "fuzz");
    bool sound = !reading.refusal || (oneLine(*reading.refusal) && reading.filled.empty() &&
                                      reading.unmapped.empty() && !reading.kilograms);
    std::vector<std::string_view> cells;
    MemoryCells shown;
    UnitCells inKilograms(shown);
    inKilograms.setUnit(Unit::Kilograms);
    for (const auto& filled : reading.filled) {
        sound = sound && takes(filled.cell, filled.text) && oneLine(describe(filled)) &&
                oneLine(describe(filled, Unit::Kilograms));
        fill(inKilograms, filled);
        cells.push_back(filled.cell);
    }
    for (const auto& unmapped : reading.unmapped) {
        sound = sound && !unmapped.reason.empty() && oneLine(describe(unmapped));
        cells.push_back(unmapped.cell);
    }
    std::sort(cells.begin(), cells.end());
    if (!sound || std::adjacent_find(cells.begin(), cells.end()) != cells.end() ||
        (!reading.refusal && cells.size() != 10)) {
        std::abort();
    }
    return 0;
}
