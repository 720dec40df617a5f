// The flight-plan reader fed with arbitrary bytes. Whatever they are, it refuses them with one
// message and nothing else, or it gives each of the ten cells it reads exactly once, filled with
// a text the window's own rules take or unfilled with a reason; each line for the pilot is one
// line. The sanitizers catch the rest.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "flightplan/flight_plan.h"

namespace {

using namespace brimwell;

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& items, std::string_view text) {
    return std::find(items.begin(), items.end(), text) != items.end();
}

// Whether the window would take the text in the cell.
bool takes(std::string_view cell, std::string_view text) {
    if (cell == cell::cmbAlternateDistance) {
        return listed(kAlternateDistances, text);
    }
    if (cell == cell::cmbWindDirection) {
        return listed(kWindDirections, text);
    }
    if (cell == cell::cmbFlightLevel) {
        return listed(kFlightLevels, text);
    }
    if (listed(kDigitCells, cell)) {
        const auto limit = fieldLimit(cell);
        return !text.empty() && isDigitsOnly(text) && !(limit && isRefused(*limit, text));
    }
    return !text.empty();
}

bool oneLine(const std::string& line) {
    return !line.empty() && line.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto reading = flightplan::readFlightPlan(input, "fuzz");
    if (reading.refusal) {
        if (!oneLine(*reading.refusal) || !reading.filled.empty() || !reading.unmapped.empty()) {
            std::abort();
        }
        return 0;
    }
    std::size_t cells = 0;
    for (const auto name : cell::kInputs) {
        const auto filled = std::count_if(reading.filled.begin(), reading.filled.end(),
                                          [name](const auto& f) { return f.cell == name; });
        const auto unmapped = std::count_if(reading.unmapped.begin(), reading.unmapped.end(),
                                            [name](const auto& u) { return u.cell == name; });
        if (filled + unmapped > 1) {
            std::abort();
        }
        cells += static_cast<std::size_t>(filled + unmapped);
    }
    for (const auto& filled : reading.filled) {
        if (!takes(filled.cell, filled.text) || !oneLine(flightplan::describe(filled))) {
            std::abort();
        }
    }
    for (const auto& unmapped : reading.unmapped) {
        if (unmapped.reason.empty() || !oneLine(flightplan::describe(unmapped))) {
            std::abort();
        }
    }
    if (cells != 10) {
        std::abort();
    }
    return 0;
}
