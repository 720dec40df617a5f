#pragma once

#include <iosfwd>
#include <optional>

#include "cli/plan_options.h"
#include "engine/unit_cells.h"
#include "flightplan/route.h"

namespace brimwell::cli {

// Fills the cells from the flight plan of --ofp (request.ofpPath) or the one fetched for
// --simbrief-user, before the options fill theirs: in kilograms a kgs flight plan's own figures, an
// lbs one's converted. Says on err why the flight plan is refused or could not be fetched, or each
// of its values that no cell takes and no option gives, and then returns false: nothing is to be
// planned. The notes of the values it changed to fit go to err as well. The route of its
// navigation log goes into route; with --watch, a log that cannot be read is named on err.
bool fillFromFlightPlan(const PlanRequest& request, engine::UnitCells& cells, std::ostream& err,
                        std::optional<flightplan::Route>& route);

}  // namespace brimwell::cli
