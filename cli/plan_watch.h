#pragma once

// brimwell-plan --watch: the flight followed in X-Plane through the watch of one flight
// (flight/flight_watch.h), a reading every --every seconds, each told on the output the moment it
// comes: a line a reading, a line a fix passed, the summary last; with --json one JSON object a
// line. The watch ends when the flight has landed, or at SIGINT or SIGTERM, with the summary
// (exit 0); X-Plane flying another aircraft ends it at once (exit 4). X-Plane's silence or a bad
// answer is told as that reading's and the watch goes on.

#include <iosfwd>
#include <optional>

#include "cli/plan_options.h"
#include "cli/plan_serve.h"
#include "engine/fuel_check.h"
#include "flightlog/flight_log.h"
#include "flightplan/route.h"

namespace brimwell::cli {

// Watches the flight of the completed plan along the route, where there is one, as the request
// asks (--xplane-url, --every, --json, --units), keeping it in the flight log as `kept`, shown by
// the serving's server where there is one; returns the exit status.
int watchFlight(const PlanRequest& request, engine::FuelPlanLine plan,
                const std::optional<flightplan::Route>& route, std::ostream& out, std::ostream& err,
                flightlog::PlannedFlight kept, const Serving& serving = {});

// A flight of the log told as its watch told it (--flight): its readings and fixes passed in
// order, and its landing or the end of its watch.
void tellKeptFlight(const flightlog::KeptFlight& flight, engine::Unit unit, bool json,
                    std::ostream& out);

}  // namespace brimwell::cli
