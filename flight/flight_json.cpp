#include "flight/flight_json.h"

#include <cmath>
#include <optional>

#include "engine/fuel_check.h"

namespace brimwell::flight {

namespace {

using Json = nlohmann::ordered_json;

double jsonTime(double time) {
    return std::round(time * 1000) / 1000;
}

Json whole(double pounds, engine::Unit unit) {
    return std::llround(engine::weightIn(pounds, unit));
}

Json wholeOrNull(const std::optional<double>& pounds, engine::Unit unit) {
    return pounds ? whole(*pounds, unit) : Json();
}

Json orNull(const std::optional<double>& value) {
    return value ? Json(*value) : Json();
}

}  // namespace

Json readingJson(const WatchedReading& reading, engine::Unit unit) {
    if (!reading.refusal.empty()) {
        return refusalJson(reading.time, reading.refusal);
    }
    Json object;
    object["time"] = jsonTime(reading.time);
    object["phase"] = phaseWords(reading.phase);
    if (!reading.checked) {
        return object;
    }
    const auto& watched = *reading.checked;
    const auto& check = watched.check;
    object["progress_from"] = progressWords(watched.progressFrom);
    object["distance_flown_nm"] = std::llround(check.distanceFlown);
    object["distance_to_go_nm"] = std::llround(check.distanceToGo);
    object["off_route_nm"] = orNull(watched.offRouteNm);
    object["fuel_on_board"] = whole(check.fuelOnBoard, unit);
    object["planned_fuel_on_board"] = whole(check.plannedFuelOnBoard, unit);
    object["difference"] = whole(check.difference, unit);
    object["predicted_landing_fuel"] = whole(check.predictedLandingFuel, unit);
    object["predicted_landing_fuel_at_current_burn"] =
        wholeOrNull(watched.predictedLandingFuelAtCurrentBurn, unit);
    object["burn_factor"] = orNull(watched.burnFactor);
    object["planned_landing_fuel"] = whole(check.plannedLandingFuel, unit);
    object["reserves"] = whole(check.reserves, unit);
    object["status"] = engine::statusWords(check.status);
    object["fuel_flow_per_hour"] = whole(watched.fuelFlowPerHour, unit);
    return object;
}

Json refusalJson(double time, const std::string& reason) {
    return {{"time", jsonTime(time)}, {"refusal", reason}};
}

Json fixJson(const PassedFix& fix, engine::Unit unit) {
    Json object;
    object["ident"] = fix.ident;
    object["distance_nm"] = fix.distanceNm;
    object["time"] = jsonTime(fix.time);
    object["fuel_on_board"] = whole(fix.fuelOnBoard, unit);
    object["planned_fuel_on_board"] = whole(fix.plannedFuelOnBoard, unit);
    object["ofp_planned_fuel_on_board"] = wholeOrNull(fix.ofpPlannedFuelOnBoard, unit);
    object["difference"] = whole(fix.difference, unit);
    return object;
}

Json summaryJson(double time, const FlightSummary& summary, engine::Unit unit) {
    const bool checked = summary.time != 0;
    Json object;
    object["time"] = jsonTime(time);
    object["fuel_on_board"] = checked ? whole(summary.fuelOnBoard, unit) : Json();
    object["trip_burn"] = wholeOrNull(summary.tripBurn, unit);
    object["planned_trip_burn"] = whole(summary.plannedTripBurn, unit);
    object["burn_factor"] = orNull(summary.burnFactor);
    object["fixes_passed"] = summary.fixesPassed;
    return object;
}

}  // namespace brimwell::flight
