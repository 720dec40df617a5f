// Calculate fed with arbitrary cell texts: the first byte ticks CheckCorrection (bit 0) and asks
// for a second press (bit 1); then the twelve input cells' texts in focus-chain order, one a line.
// Every press ends in a plan with well-formed results or in the one failure message.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/cell_values.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "engine/number_text.h"
#include "engine/program_texts.h"
#include "report/report_lines.h"
#include "tests/support/plan.h"

namespace {

using namespace brimwell;
using namespace brimwell::engine;
using brimwell::report::buildReportLines;
using brimwell::report::ReportLines;

void check(bool condition, std::string_view what, std::string_view detail) {
    if (!condition) {
        (void)std::fprintf(stderr, "fuzz_calculate: %.*s: \"%.*s\"\n",
                           static_cast<int>(what.size()), what.data(),
                           static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

// A result of a finished plan: "h:mm" for the trip time, else a number as toText writes it.
bool wellFormed(std::string_view name, const std::string& text) {
    if (name == cell::txtETA) {
        return text.size() >= 4 && text[text.size() - 3] == ':';
    }
    try {
        return toText(toNumber(text)) == text;
    } catch (const CalculationError&) {
        return false;
    }
}

// A drop-down list holds one of its items or nothing; any other text picks an item.
std::string_view cellText(std::string_view name, std::string_view text) {
    const std::vector<std::pair<std::string_view, std::span<const std::string_view>>> lists = {
        {cell::cmbAlternateDistance, kAlternateDistances},
        {cell::cmbWindDirection, kWindDirections},
        {cell::cmbFlightLevel, kFlightLevels},
        {cell::cmbMLF, kMinimumLandingFuels}};
    for (const auto& [list, items] : lists) {
        if (list == name && !text.empty() && std::ranges::find(items, text) == items.end()) {
            return items[text.size() % items.size()];
        }
    }
    return text;
}

void press(FuelPlanner& planner, const MemoryCells& cells, test::RecordingSink& sink) {
    sink.messages.clear();
    if (planner.calculate()) {
        check(sink.messages.empty(), "a completed plan showed a message", "");
        for (const auto name : cell::kResults) {  // the payload is copied as it was typed
            const std::string text = cells.text(name);
            check(name == cell::txtPayLoadDuplicate ? text == cells.text(cell::txtPayLoad)
                                                    : wellFormed(name, text),
                  name, text);
        }
    } else {
        check(sink.messages.size() == 1 && sink.messages[0] == kFailureMessage,
              "a failed plan did not show the one failure message", "");
    }
    const ReportLines lines = buildReportLines(cells);
    check(lines[4] == "Origin: " + cells.text(cell::txtOriginICAO), "origin line", lines[4]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    MemoryCells cells;
    std::size_t start = 0;
    for (std::size_t i = 0; i < cell::kInputs.size() && start <= rest.size(); ++i) {
        const auto end = std::min(rest.find('\n', start), rest.size());
        const auto name = cell::kInputs[i];
        cells.setText(name, cellText(name, rest.substr(start, end - start)));
        start = end + 1;
    }
    cells.setTicked(cell::CheckCorrection, (data[0] & 1U) != 0);
    test::RecordingSink sink;
    FuelPlanner planner(cells, sink);
    press(planner, cells, sink);
    if ((data[0] & 2U) != 0) {
        press(planner, cells, sink);
    }
    return 0;
}
