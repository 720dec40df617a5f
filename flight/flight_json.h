#pragma once

// The watched flight as JSON objects, one for each thing the watch tells: the planner's --watch
// --json writes them a line each, the tablet's page receives them. Weights are whole, in the
// pilot's unit; times UTC seconds since 1970, to the millisecond; a figure the watch does not have
// yet is null.

#include <nlohmann/json.hpp>
#include <string>

#include "engine/units.h"
#include "flight/flight_watch.h"

namespace brimwell::flight {

// A reading: "time", "phase"; checked, also "progress_from", "distance_flown_nm",
// "distance_to_go_nm", "off_route_nm", "fuel_on_board", "planned_fuel_on_board", "difference",
// "predicted_landing_fuel", "predicted_landing_fuel_at_current_burn", "burn_factor",
// "planned_landing_fuel", "reserves", "status" (in words) and "fuel_flow_per_hour"; refused,
// "time" and "refusal" only.
nlohmann::ordered_json readingJson(const WatchedReading& reading, engine::Unit unit);
// A reading X-Plane did not give: "time" and "refusal", the reason in words.
nlohmann::ordered_json refusalJson(double time, const std::string& reason);
// A fix passed: "ident", "distance_nm", "time", "fuel_on_board", "planned_fuel_on_board",
// "ofp_planned_fuel_on_board", "difference".
nlohmann::ordered_json fixJson(const PassedFix& fix, engine::Unit unit);
// The flight at the landing, or as the watch ended at `time`: "time", "fuel_on_board",
// "trip_burn", "planned_trip_burn", "burn_factor", "fixes_passed".
nlohmann::ordered_json summaryJson(double time, const FlightSummary& summary, engine::Unit unit);

}  // namespace brimwell::flight
