#pragma once

// The route of an OFP: the origin's position and the fixes of its navigation log (navlog/fix), as
// the watch of a flight measures progress along them (flight/flight_watch.h). Read apart from the
// cells: a log that cannot be read leaves the route out and says why, and never refuses the plan.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brimwell::flightplan {

// A navigation log longer than any flight's is not read: fixes.
inline constexpr std::size_t kMostRouteFixes = 2000;

struct RouteFix {
    std::string ident;     // as the OFP wrote it, cleaned for showing and cut to 16 characters
    double latitude = 0;   // degrees, north positive, -90 to 90
    double longitude = 0;  // degrees, east positive, -180 to 180
    double legNm = 0;      // SimBrief's distance from the fix before (the origin for the first)
    // SimBrief's planned fuel on board at the fix, in whole lbs (a kgs OFP's figure converted,
    // half to even); none where the OFP gives none, or no unit for it.
    std::optional<double> plannedFuelOnBoard;
    friend bool operator==(const RouteFix&, const RouteFix&) = default;
};

struct Route {
    double originLatitude = 0;    // origin/pos_lat, degrees
    double originLongitude = 0;   // origin/pos_long, degrees
    std::vector<RouteFix> fixes;  // at least one; their legs add up to more than 0 nm
    friend bool operator==(const Route&, const Route&) = default;
};

// The route of an OFP in XML or JSON (UTF-8, or UTF-16 with its byte order mark), or why it is
// left out, in words for the pilot ("The route is left out: fix 3's pos_lat is missing."). The
// flight-plan reader reads it in the same pass as the cells (FlightPlanReading::route); this is the
// route alone. Nothing here throws.
std::variant<Route, std::string> readRoute(std::string_view data);

}  // namespace brimwell::flightplan
