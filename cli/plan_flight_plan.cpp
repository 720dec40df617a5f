#include "cli/plan_flight_plan.h"

#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "base/shown_text.h"
#include "engine/unit_cells.h"
#include "flightplan/flight_plan.h"
#include "links/simbrief/simbrief.h"

namespace brimwell::cli {

namespace {

// The flight plan of --ofp or --simbrief-user, read; nullopt when it could not be fetched, which
// is told on err.
std::optional<flightplan::FlightPlanReading> flightPlanOf(const PlanRequest& request,
                                                          std::ostream& err) {
    if (request.simbriefUser) {
        links::LinkControl control;
        const auto fetched =
            links::fetchLatestFlightPlan(*request.simbriefUser, links::simbriefBound(), control);
        if (!fetched.done()) {
            err << "brimwell-plan: the latest flight plan of SimBrief user "
                << base::shownText(*request.simbriefUser)
                << " was not fetched: " << fetched.refused().reason << '\n';
            return std::nullopt;
        }
        return flightplan::readFlightPlan(fetched.value(), "SimBrief's answer");
    }
    const auto& path = request.ofpPath.value();
    return path == "-" ? flightplan::readFlightPlanFrom(STDIN_FILENO, "standard input")
                       : flightplan::readFlightPlanFile(path);
}

}  // namespace

bool fillFromFlightPlan(const PlanRequest& request, engine::UnitCells& cells, std::ostream& err,
                        std::optional<flightplan::Route>& route) {
    const auto read = flightPlanOf(request, err);
    if (!read) {
        return false;
    }
    const auto& reading = *read;
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
    route = reading.route;
    if (request.watch && !route) {
        err << "brimwell-plan: " << reading.routeLeftOut << '\n';
    }
    return true;
}

}  // namespace brimwell::cli
