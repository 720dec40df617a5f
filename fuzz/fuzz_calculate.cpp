// Calculate fed with arbitrary cell texts. The first byte of the input ticks CheckCorrection
// (bit 0) and asks for a second press on the same cells (bit 1); the rest holds the texts of
// the twelve input cells in focus-chain order, separated by newlines. A cell without a text in
// the input keeps its start value. The text boxes take any text, as pasting can put any text
// into them; a drop-down list holds nothing but one of its items or the empty text, so a text
// that is neither picks an item by its bytes. Every press must end either in a complete plan
// with well-formed result texts or in the one failure message, and the report must print either
// way.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <span>
#include <string>
#include <string_view>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "engine/number_text.h"
#include "report/report_lines.h"

namespace {

using namespace brimwell;

[[noreturn]] void fail(std::string_view what, std::string_view detail) {
    (void)std::fprintf(stderr, "fuzz_calculate: %.*s: \"%.*s\"\n", static_cast<int>(what.size()),
                       what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// A result text of a finished plan: a number as the number-text rule writes it, or "h:mm".
void checkWellFormed(std::string_view name, const std::string& text) {
    if (text.empty()) {
        fail("empty result", name);
    }
    if (name == cell::txtETA) {
        const auto colon = text.find(':');
        if (colon == std::string::npos || text.size() - colon != 3) {
            fail("trip time not h:mm", text);
        }
        return;
    }
    try {
        if (toText(toNumber(text)) != text) {
            fail("result not in number-text form", text);
        }
    } catch (const CalculationError&) {
        fail("result not a number", text);
    }
}

// What a drop-down list can hold for a text of the input.
std::string_view listText(std::span<const std::string_view> items, std::string_view text) {
    if (text.empty() || std::find(items.begin(), items.end(), text) != items.end()) {
        return text;
    }
    const unsigned sum = std::accumulate(text.begin(), text.end(), 0U, [](unsigned s, char c) {
        return s + static_cast<unsigned char>(c);
    });
    return items[sum % items.size()];
}

std::string_view cellText(std::string_view name, std::string_view text) {
    if (name == cell::cmbAlternateDistance) {
        return listText(kAlternateDistances, text);
    }
    if (name == cell::cmbWindDirection) {
        return listText(kWindDirections, text);
    }
    if (name == cell::cmbFlightLevel) {
        return listText(kFlightLevels, text);
    }
    if (name == cell::cmbMLF) {
        return listText(kMinimumLandingFuels, text);
    }
    return text;
}

void press(FuelPlanner& planner, const MemoryCells& cells, RecordingSink& sink) {
    sink.clear();
    if (planner.cmdCalculate_Click()) {
        if (!sink.messages().empty()) {
            fail("a completed plan showed a message", sink.messages().front());
        }
        if (cells.text(cell::txtPayLoadDuplicate) != cells.text(cell::txtPayLoad)) {
            fail("payload copy differs", cells.text(cell::txtPayLoadDuplicate));
        }
        for (const auto name : cell::kResults) {
            if (name != cell::txtPayLoadDuplicate) {
                checkWellFormed(name, cells.text(name));
            }
        }
    } else if (sink.messages().size() != 1 || sink.messages().front() != kFailureMessage) {
        fail("a failed plan did not show the one failure message",
             sink.messages().empty() ? std::string_view() : sink.messages().front());
    }
    // The report prints the cells exactly as they are, whatever they hold.
    const ReportLines lines = buildReportLines(cells);
    if (lines[4] != "Origin: " + cells.text(cell::txtOriginICAO)) {
        fail("report line of the origin", lines[4]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

    MemoryCells cells;
    std::size_t start = 0;
    for (std::size_t i = 0; i < cell::kInputs.size() && start <= rest.size(); ++i) {
        const auto end = std::min(rest.find('\n', start), rest.size());
        cells.setText(cell::kInputs[i],
                      cellText(cell::kInputs[i], rest.substr(start, end - start)));
        start = end + 1;
    }
    cells.setTicked(cell::CheckCorrection, (flags & 1U) != 0);

    RecordingSink sink;
    FuelPlanner planner(cells, sink);
    press(planner, cells, sink);
    if ((flags & 2U) != 0) {
        press(planner, cells, sink);
    }
    return 0;
}
