#pragma once

// Inside the layer only: the route read in the pass that reads an OFP's fields (ofp_fields.h),
// so that the flight-plan reader parses the data once.

#include <array>
#include <string>
#include <string_view>
#include <variant>

#include "flightplan/ofp_fields.h"
#include "flightplan/route.h"

namespace brimwell::flightplan {

// The fields the route needs beside the navigation log; the reader asks for them as well.
inline constexpr std::array<std::string_view, 3> kRoutePaths = {"params/units", "origin/pos_lat",
                                                                "origin/pos_long"};

// What to ask readOfpFields for of the navigation log.
OfpNavlog navlogToRead();

// The route of what readOfpFields read, or why it is left out (readRoute's words).
std::variant<Route, std::string> routeOf(const OfpFields& fields, const OfpNavlog& navlog);

}  // namespace brimwell::flightplan
