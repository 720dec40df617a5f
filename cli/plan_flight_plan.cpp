#include "cli/plan_flight_plan.h"

#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "engine/unit_cells.h"
#include "flightplan/flight_plan.h"

namespace brimwell {

bool fillFromFlightPlan(const PlanRequest& request, UnitCells& cells, std::ostream& err) {
    const auto& path = request.ofpPath.value();
    const auto reading = path == "-"
                             ? flightplan::readFlightPlanFrom(STDIN_FILENO, "standard input")
                             : flightplan::readFlightPlanFile(path);
    if (reading.refusal) {
        err << "brimwell-plan: " << *reading.refusal << '\n';
        return false;
    }
    const auto given = [&request](std::string_view cell) {
        return std::any_of(request.cells.begin(), request.cells.end(),
                           [cell](const auto& option) { return option.first == cell; });
    };
    bool complete = true;
    for (const auto& unmapped : reading.unmapped) {
        if (!given(unmapped.cell)) {
            err << "brimwell-plan: " << flightplan::describe(unmapped) << '\n';
            complete = false;
        }
    }
    if (!complete) {
        return false;
    }
    for (const auto& filled : reading.filled) {
        flightplan::fill(cells, filled);
        if (!filled.note.empty() && !given(filled.cell)) {
            err << "brimwell-plan: " << flightplan::describe(filled, request.unit) << '\n';
        }
    }
    return true;
}

}  // namespace brimwell
