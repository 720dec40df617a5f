#include "cli/plan_run.h"

#include <cerrno>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>
#include <system_error>

#include "base/shown_text.h"
#include "cli/plan_flight_plan.h"
#include "cli/plan_flights.h"
#include "cli/plan_options.h"
#include "cli/plan_watch.h"
#include "engine/cell_names.h"
#include "engine/fuel_check.h"
#include "engine/fuel_planner.h"
#include "engine/unit_cells.h"
#include "links/pdf/pdf_writer.h"
#include "report/report_lines.h"

namespace brimwell::cli {

namespace {

using links::XPlaneLoaded;
using links::XPlaneOutcome;
using FuelCheckOutcome = std::variant<engine::FuelCheck, engine::FuelCheckRefused>;

class RecordingMessages final : public engine::MessageSink {
  public:
    void showMessage(std::string_view text) override { m_last = std::string(text); }
    const std::optional<std::string>& last() const { return m_last; }

  private:
    std::optional<std::string> m_last;
};

// --send-to-xplane: the plan in the cells loaded into X-Plane, or why not.
XPlaneOutcome loadPlan(const engine::UnitCells& cells, const links::XPlaneAddress& address) {
    const auto request = links::xplaneRequestFor(cells, address);
    if (!request.done()) {
        return request.refused();
    }
    links::LinkControl control;
    return links::loadIntoXPlane(request.value(), control);
}

// The status once the output (`what` it holds) is flushed: output lost on its way (a full disk,
// a closed output) is told like any other failure.
int flushed(std::ostream& out, std::ostream& err, std::string_view what, int status) {
    if (out.flush()) {
        return status;
    }
    const int error = errno;
    err << "brimwell-plan: the " << what << " could not be written in full"
        << (error != 0 ? ": " + std::generic_category().message(error) : "") << '\n';
    return status == kExitPlanned ? kExitNotWritten : status;
}

// --fuel-check: X-Plane read once, and the plan in the cells checked against its fuel.
FuelCheckOutcome checkFuel(const engine::UnitCells& cells, bool planned,
                           const links::XPlaneAddress& address) {
    if (!planned) {
        return engine::FuelCheckRefused{
            "There is no finished plan to check X-Plane's fuel against. Calculate the plan with "
            "all its flight data first."};
    }
    auto line = engine::FuelPlanLine::read(cells);
    if (const auto* refused = std::get_if<engine::FuelCheckRefused>(&line)) {
        return *refused;
    }
    links::LinkControl control;
    // The aircraft is checked as the watch checks it: another one's fuel is no 747-400's plan.
    const auto reading = links::readXPlaneFlight(address, links::xplaneBound(), true, control);
    if (!reading.done()) {
        return engine::FuelCheckRefused{reading.refused().reason};
    }
    return std::get<engine::FuelPlanLine>(line).check(
        {reading.value().fuelOnBoardKg, reading.value().distanceTravelledMetres});
}

// --watch, once the plan is told: the flight followed against the plan in the cells.
int watched(const engine::UnitCells& cells, bool planned,
            const std::optional<flightplan::Route>& route, const PlanRequest& request,
            std::optional<double> fuelFactor, int status, std::ostream& out, std::ostream& err,
            const Serving& serving) {
    if (planned && status != kExitPlanned) {
        return status;  // the page or the load failed: nothing to watch with
    }
    using Line = std::variant<engine::FuelPlanLine, engine::FuelCheckRefused>;
    auto line = planned ? engine::FuelPlanLine::read(cells)
                        : Line{engine::FuelCheckRefused{
                              "There is no finished plan to watch the flight against. Calculate "
                              "the plan with all its flight data first."}};
    if (const auto* refused = std::get_if<engine::FuelCheckRefused>(&line)) {
        err << "brimwell-plan: " << refused->reason << '\n';
        return kExitNotLoaded;
    }
    return watchFlight(request, std::get<engine::FuelPlanLine>(std::move(line)), route, out, err,
                       flightlog::plannedFlight(cells, request.unit, route, fuelFactor), serving);
}

// Tells the outcome of --fuel-check: its lines after the report (with --json the object holds
// them), a refusal on the error stream; returns the exit status.
int toldCheck(const FuelCheckOutcome& outcome, const PlanRequest& request, int status,
              std::ostream& out, std::ostream& err) {
    if (const auto* refused = std::get_if<engine::FuelCheckRefused>(&outcome)) {
        err << "brimwell-plan: " << refused->reason << '\n';
        return kExitNotLoaded;
    }
    if (!request.json) {
        for (const auto& line :
             engine::checkLines(std::get<engine::FuelCheck>(outcome), request.unit)) {
            out << line << '\n';
        }
        return flushed(out, err, "report", kExitPlanned) == kExitPlanned ? status : kExitNotWritten;
    }
    return status;
}

// The "fuel_check" member of the JSON object, weights in the unit.
nlohmann::ordered_json fuelCheckJson(const FuelCheckOutcome& outcome, engine::Unit unit) {
    nlohmann::ordered_json object;
    if (const auto* refused = std::get_if<engine::FuelCheckRefused>(&outcome)) {
        object["refusal"] = refused->reason;
        return object;
    }
    const auto& check = std::get<engine::FuelCheck>(outcome);
    // Every figure of the check is whole.
    const auto whole = [unit](double pounds) {
        return std::llround(engine::weightIn(pounds, unit));
    };
    object["distance_flown_nm"] = std::llround(check.distanceFlown);
    object["fuel_on_board"] = whole(check.fuelOnBoard);
    object["planned_fuel_on_board"] = whole(check.plannedFuelOnBoard);
    object["difference"] = whole(check.difference);
    object["predicted_landing_fuel"] = whole(check.predictedLandingFuel);
    object["planned_landing_fuel"] = whole(check.plannedLandingFuel);
    object["reserves"] = whole(check.reserves);
    object["status"] = engine::statusWords(check.status);
    return object;
}

// Tells the outcome of --send-to-xplane on the error stream, so that the report on the output
// stays as it always is (with --json only a refusal: the object holds the rest); returns the
// exit status.
int toldLoad(const XPlaneOutcome& outcome, const PlanRequest& request, int status,
             std::ostream& err) {
    if (!outcome.done()) {
        err << "brimwell-plan: " << links::describe(outcome, request.unit) << '\n';
        return kExitNotLoaded;
    }
    if (!request.json) {
        err << "brimwell-plan: " << links::describe(outcome, request.unit);
    }
    return status;
}

// The "xplane" member of the JSON object.
nlohmann::ordered_json xplaneJson(const XPlaneOutcome& outcome) {
    nlohmann::ordered_json object;
    // The writes that X-Plane accepted, whether the load went through or not.
    const auto accepted = [](bool fuel, bool payload) {
        auto list = nlohmann::ordered_json::array();
        if (fuel) {
            list.push_back("fuel");
        }
        if (payload) {
            list.push_back("payload");
        }
        return list;
    };
    if (const XPlaneLoaded* loaded = outcome.valueIf()) {
        object["loaded"] = true;
        object["accepted"] = accepted(true, true);
        object["tanks"] = loaded->tanksWritten;
        object["payload"] = loaded->payloadWritten;
        object["tanks_read"] = loaded->tanksRead;
        object["payload_read"] = loaded->payloadRead;
    } else {
        const auto& refused = outcome.refused();
        object["loaded"] = false;
        object["accepted"] = accepted(refused.fuelAccepted, refused.payloadAccepted);
        object["refusal"] = refused.reason;
    }
    return object;
}

// --pdf: the page of a finished plan written; the plan itself is on out already, so a file that
// cannot be written loses nothing but the file. Returns the exit status.
int withPage(const PlanRequest& request, const engine::MemoryCells& cells,
             std::optional<double> fuelFactor, int status, std::ostream& err) {
    if (status == kExitPlanned && request.pdfPath) {
        if (const auto written =
                links::writeReportPdf(cells, request.unit, *request.pdfPath, fuelFactor);
            !written.done()) {
            err << "brimwell-plan: the PDF file " << base::shownText(*request.pdfPath)
                << " was not written: " << written.refused().reason << '\n';
            status = kExitNotWritten;
        }
    }
    return status;
}

// Tells the plan (the report or the JSON object), writes its page, loads X-Plane and checks its
// fuel, as the request asks; failure is Calculate's message when the plan failed. Returns the
// exit status.
int told(const PlanRequest& request, const engine::MemoryCells& cells,
         const engine::UnitCells& units, const std::optional<std::string>& failure,
         const std::optional<flightplan::Route>& route, std::optional<double> fuelFactor,
         const nlohmann::ordered_json* factorJson, std::ostream& out, std::ostream& err,
         const Serving& serving) {
    const bool planned = !failure;
    // The aircraft is loaded, and its fuel checked, after the report and the page are written, so
    // that the pilot has the plan even while X-Plane takes its time; the JSON object tells the
    // outcomes, so it waits.
    std::optional<XPlaneOutcome> loaded;
    std::optional<FuelCheckOutcome> checked;
    if (request.json) {
        if (request.sendToXPlane) {
            loaded = loadPlan(units, request.xplane);
        }
        if (request.fuelCheck) {
            checked = checkFuel(units, planned, request.xplane);
        }
        out << planJson(cells, failure, request.unit, loaded ? &*loaded : nullptr,
                        checked ? &*checked : nullptr, factorJson);
    } else if (planned) {
        for (const auto& line : report::buildReportLines(cells, request.unit, fuelFactor)) {
            out << line << '\n';
        }
    } else {
        err << "brimwell-plan: " << *failure << '\n';
    }
    int status = flushed(out, err, request.json ? "JSON object" : "report",
                         planned ? kExitPlanned : kExitCalculateFailed);
    status = withPage(request, cells, fuelFactor, status, err);
    if (request.sendToXPlane && !request.json) {
        loaded = loadPlan(units, request.xplane);
    }
    if (loaded) {
        status = toldLoad(*loaded, request, status, err);
    }
    if (request.watch) {
        return watched(units, planned, route, request, fuelFactor, status, out, err, serving);
    }
    if (request.fuelCheck && !request.json) {
        checked = checkFuel(units, planned, request.xplane);
    }
    return checked ? toldCheck(*checked, request, status, out, err) : status;
}

}  // namespace

std::string planJson(const engine::MemoryCells& cells, const std::optional<std::string>& failure,
                     engine::Unit unit, const XPlaneOutcome* xplane,
                     const FuelCheckOutcome* fuelCheck, const nlohmann::ordered_json* fuelFactor) {
    auto texts = nlohmann::ordered_json::object();
    auto red = nlohmann::ordered_json::array();
    const auto addCell = [&](std::string_view name) {
        texts[std::string(name)] = cells.text(name);
        if (cells.background(name) == engine::kLimitRed) {
            red.push_back(name);
        }
    };
    for (const auto name : engine::cell::kInputs) {
        addCell(name);
    }
    addCell(engine::cell::txtBOW);
    for (const auto name : engine::cell::kResults) {
        addCell(name);
    }
    nlohmann::ordered_json plan;
    plan["failure"] = failure ? nlohmann::ordered_json(*failure) : nullptr;
    plan["units"] = engine::unitName(unit);
    plan["cells"] = std::move(texts);
    plan["ticked"] = {{"CheckCorrection", cells.isTicked(engine::cell::CheckCorrection)}};
    plan["red"] = std::move(red);
    if (xplane != nullptr) {
        plan["xplane"] = xplaneJson(*xplane);
    }
    if (fuelCheck != nullptr) {
        plan["fuel_check"] = fuelCheckJson(*fuelCheck, unit);
    }
    if (fuelFactor != nullptr) {
        plan["fuel_factor"] = *fuelFactor;
    }
    // A cell holds what the pilot typed: bytes that are not UTF-8 become U+FFFD.
    return plan.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

namespace {

int plan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    PlanRequest request;
    try {
        request = parsePlanOptions(arguments);
    } catch (const OptionError& error) {
        err << "brimwell-plan: " << error.what() << '\n';
        return kExitRefused;
    }
    if (request.help) {
        out << planUsage();
        return flushed(out, err, "help", kExitPlanned);
    }
    if (request.version) {
        out << "brimwell-plan " << BRIMWELL_VERSION << '\n';
        return flushed(out, err, "version", kExitPlanned);
    }
    if (asksForTheLog(request)) {
        return flushed(out, err, "list", answerFromTheLog(request, out, err));
    }

    // The cells as the report shows them, in the unit; the engine plans in pounds through units.
    engine::MemoryCells cells;
    const Serving serving{request.serve ? startServing(*request.serve, err) : nullptr, &cells};
    if (request.serve && !serving.server) {
        return kExitNotLoaded;
    }
    engine::UnitCells units(cells);
    units.setUnit(request.unit);
    std::optional<flightplan::Route> route;
    if ((request.ofpPath || request.simbriefUser) &&
        !fillFromFlightPlan(request, units, err, route)) {
        return kExitRefused;
    }
    for (const auto& [name, text] : request.cells) {
        cells.setText(name, text);
    }
    cells.setTicked(engine::cell::CheckCorrection, request.correction);
    RecordingMessages messages;
    engine::FuelPlanner planner(units, messages);
    const auto applied = appliedFuelFactor(request, err);
    const auto fuelFactor = applied ? std::optional(applied->factor) : std::nullopt;
    const auto factorJson = applied ? appliedFactorJson(*applied) : nlohmann::ordered_json();
    planner.setFuelFactor(fuelFactor);
    const bool planned = planner.calculate();
    return told(request, cells, units,
                planned ? std::nullopt : std::optional(messages.last().value_or("")), route,
                fuelFactor, applied ? &factorJson : nullptr, out, err, serving);
}

}  // namespace

int runPlan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    // Whatever the planner is given, it ends with one of its statuses, never on an exception.
    try {
        return plan(arguments, out, err);
    } catch (const std::exception& error) {
        err << "brimwell-plan: the plan could not be calculated: " << error.what() << '\n';
        return kExitCalculateFailed;
    }
}

}  // namespace brimwell::cli
