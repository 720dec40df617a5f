#include "flightplan/route.h"

#include <array>
#include <charconv>
#include <cmath>

#include "base/shown_text.h"
#include "engine/fuel_check.h"
#include "engine/number_text.h"
#include "engine/units.h"
#include "flightplan/navigation_log.h"

namespace brimwell::flightplan {

namespace {

constexpr std::size_t kLongestIdent = 16;
// Longer than half the way round the earth, which no leg of a route is; nm.
constexpr double kLongestLeg = 12'000;

constexpr std::array<std::string_view, 5> kFixFields = {"ident", "pos_lat", "pos_long", "distance",
                                                        "fuel_plan_onboard"};

// The field's text as the OFP wrote it, or none; a value that is no text is its stand-in ("{...}").
std::optional<std::string> textOf(const OfpFields& fields, std::string_view name) {
    const auto found = fields.find(name);
    return found == fields.end() ? std::nullopt : std::optional(found->second.text);
}

// A decimal number ("41.800278", "-73.7789") within the bounds, or none.
std::optional<double> number(const std::optional<std::string>& text, double lowest,
                             double highest) {
    if (!text) {
        return std::nullopt;
    }
    std::string_view digits = *text;
    const auto first = digits.find_first_not_of(" \t\r\n");
    digits = first == std::string_view::npos
                 ? std::string_view()
                 : digits.substr(first, digits.find_last_not_of(" \t\r\n") - first + 1);
    double value = 0;
    const auto* const end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, value);
    if (digits.empty() || result.ec != std::errc() || result.ptr != end ||
        !(value >= lowest && value <= highest)) {
        return std::nullopt;
    }
    return value;
}

// The field's reason for leaving the route out: missing, or not a number within its bounds.
std::string unread(std::string_view field, const std::optional<std::string>& text,
                   std::string_view what) {
    if (!text) {
        return std::string(field) + " is missing";
    }
    return std::string(field) + " \"" + base::shownText(*text, 40) + "\" is not " +
           std::string(what);
}

// The fix at `place` in the log, from 1, its fuel in the OFP's unit; or why it is not read.
std::variant<RouteFix, std::string> fixOf(const OfpFields& fields, std::size_t place,
                                          const std::optional<std::string>& units) {
    struct {
        std::optional<std::string> ident, latitude, longitude, distance, fuel;
    } const fix = {textOf(fields, "ident"), textOf(fields, "pos_lat"), textOf(fields, "pos_long"),
                   textOf(fields, "distance"), textOf(fields, "fuel_plan_onboard")};
    const auto at = [place](std::string_view field) {
        return "fix " + std::to_string(place) + "'s " + std::string(field);
    };
    RouteFix read;
    read.ident = base::shownText(fix.ident.value_or(""), kLongestIdent);
    const auto latitude = number(fix.latitude, -90, 90);
    const auto longitude = number(fix.longitude, -180, 180);
    const auto leg = number(fix.distance, 0, kLongestLeg);
    if (!latitude || !longitude || !leg) {
        return !latitude    ? unread(at("pos_lat"), fix.latitude, "a latitude")
               : !longitude ? unread(at("pos_long"), fix.longitude, "a longitude")
                            : unread(at("distance"), fix.distance, "a leg's distance");
    }
    read.latitude = *latitude;
    read.longitude = *longitude;
    read.legNm = *leg;
    const bool kilograms = units == "kgs";
    const double most = engine::kMostFuelOnBoardKg / (kilograms ? 1 : engine::kKilogramsPerPound);
    if (const auto fuel = number(fix.fuel, 0, most); fuel && (kilograms || units == "lbs")) {
        read.plannedFuelOnBoard =
            engine::roundHalfEven(kilograms ? *fuel / engine::kKilogramsPerPound : *fuel);
    }
    return read;
}

std::variant<Route, std::string> routeRead(const OfpFields& fields, const OfpNavlog& navlog) {
    Route route;
    const auto originLatitude = textOf(fields, "origin/pos_lat");
    const auto originLongitude = textOf(fields, "origin/pos_long");
    const auto latitude = number(originLatitude, -90, 90);
    const auto longitude = number(originLongitude, -180, 180);
    if (!latitude || !longitude) {
        return latitude ? unread("origin/pos_long", originLongitude, "a longitude")
                        : unread("origin/pos_lat", originLatitude, "a latitude");
    }
    route.originLatitude = *latitude;
    route.originLongitude = *longitude;
    if (!navlog.present || navlog.fixes.empty()) {
        return std::string(navlog.present ? "its navigation log holds no fix"
                                          : "the flight plan has no navigation log");
    }
    if (navlog.more) {
        return "its navigation log holds more than " + std::to_string(kMostRouteFixes) +
               " fixes, more than any flight's";
    }
    const auto units = textOf(fields, "params/units");
    double length = 0;
    for (const auto& fix : navlog.fixes) {
        auto read = fixOf(fix, route.fixes.size() + 1, units);
        if (auto* const why = std::get_if<std::string>(&read)) {
            return std::move(*why);
        }
        route.fixes.push_back(std::move(std::get<RouteFix>(read)));
        length += route.fixes.back().legNm;
    }
    if (length == 0) {
        return std::string("its navigation log's legs measure 0 nm");
    }
    return route;
}

}  // namespace

OfpNavlog navlogToRead() {
    return {kFixFields, kMostRouteFixes, false, false, {}};
}

std::variant<Route, std::string> routeOf(const OfpFields& fields, const OfpNavlog& navlog) {
    std::variant<Route, std::string> route = routeRead(fields, navlog);
    if (auto* const why = std::get_if<std::string>(&route)) {
        *why = "The route is left out: " + *why + ".";
    }
    return route;
}

std::variant<Route, std::string> readRoute(std::string_view data) {
    std::string owned(data);
    auto navlog = navlogToRead();
    const auto read = readOfpFields(owned, kRoutePaths, &navlog);
    if (const auto* const why = std::get_if<std::string>(&read)) {
        return "The route is left out: it is no flight plan: " + *why + ".";
    }
    return routeOf(std::get<OfpFields>(read), navlog);
}

}  // namespace brimwell::flightplan
