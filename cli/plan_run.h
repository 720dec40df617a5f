#pragma once

#include <iosfwd>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "engine/fuel_check.h"
#include "engine/memory_cells.h"
#include "engine/units.h"
#include "links/xplane/xplane.h"

namespace brimwell::cli {

inline constexpr int kExitPlanned = 0;
inline constexpr int kExitCalculateFailed = 1;
inline constexpr int kExitRefused = 2;
// The plan was calculated, but its report, JSON object or PDF file could not be written in full.
inline constexpr int kExitNotWritten = 3;
// --send-to-xplane: the aircraft was not loaded; --fuel-check: X-Plane could not be read.
inline constexpr int kExitNotLoaded = 4;

// Runs brimwell-plan on its arguments (without the program name): fills the cells, presses
// Calculate and prints the report (or the JSON object) on out, messages on err; --help and
// --version print their text instead, --help first. Returns the exit status.
int runPlan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The JSON object of --json: "failure" (null or the message), "units" (the unit the weights are
// in, "lbs" or "kg"), "cells" (the input cells, txtBOW and the fifteen results, name to text),
// "ticked" (the tick box) and "red" (the cells whose background is red); with an outcome of
// --send-to-xplane, "xplane": {"loaded": true, "accepted": ["fuel", "payload"], "tanks" and
// "payload" as written, "tanks_read" and "payload_read" as read back, kg} or {"loaded": false,
// "accepted": the writes X-Plane accepted before it stopped, "refusal": the reason}; with an
// outcome of --fuel-check, "fuel_check": {"distance_flown_nm", "fuel_on_board",
// "planned_fuel_on_board", "difference", "predicted_landing_fuel", "planned_landing_fuel",
// "reserves", weights in the unit, and "status"} or {"refusal": the reason}; with a fuel factor
// applied, "fuel_factor" (cli/plan_flights.h).
std::string planJson(
    const engine::MemoryCells& cells, const std::optional<std::string>& failure, engine::Unit unit,
    const links::XPlaneOutcome* xplane = nullptr,
    const std::variant<engine::FuelCheck, engine::FuelCheckRefused>* fuelCheck = nullptr,
    const nlohmann::ordered_json* fuelFactor = nullptr);

}  // namespace brimwell::cli
