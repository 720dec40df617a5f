#include "cli/plan_run.h"

#include <cerrno>
#include <nlohmann/json.hpp>
#include <ostream>
#include <system_error>

#include "cli/plan_flight_plan.h"
#include "cli/plan_options.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/shown_text.h"
#include "engine/unit_cells.h"
#include "report/printer.h"
#include "report/report_lines.h"

namespace brimwell {

namespace {

class RecordingMessages final : public MessageSink {
  public:
    void showMessage(std::string_view text) override { m_last = std::string(text); }
    const std::optional<std::string>& last() const { return m_last; }

  private:
    std::optional<std::string> m_last;
};

// --send-to-xplane: the plan in the cells loaded into X-Plane, or why not.
XPlaneOutcome loadPlan(const UnitCells& cells, const XPlaneAddress& address) {
    const auto request = xplaneRequestFor(cells, address);
    if (const auto* refused = std::get_if<XPlaneRefused>(&request)) {
        return *refused;
    }
    return loadIntoXPlane(std::get<XPlaneRequest>(request));
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

// Tells the outcome of --send-to-xplane on the error stream, so that the report on the output
// stays as it always is (with --json only a refusal: the object holds the rest); returns the
// exit status.
int toldLoad(const XPlaneOutcome& outcome, const PlanRequest& request, int status,
             std::ostream& err) {
    if (std::holds_alternative<XPlaneRefused>(outcome)) {
        err << "brimwell-plan: " << describe(outcome, request.unit) << '\n';
        return kExitNotLoaded;
    }
    if (!request.json) {
        err << "brimwell-plan: " << describe(outcome, request.unit);
    }
    return status;
}

// The "xplane" member of the JSON object.
nlohmann::ordered_json xplaneJson(const XPlaneOutcome& outcome) {
    nlohmann::ordered_json object;
    if (const auto* loaded = std::get_if<XPlaneLoaded>(&outcome)) {
        object["loaded"] = true;
        object["tanks"] = loaded->tanksWritten;
        object["payload"] = loaded->payloadWritten;
        object["tanks_read"] = loaded->tanksRead;
        object["payload_read"] = loaded->payloadRead;
    } else {
        object["loaded"] = false;
        object["refusal"] = std::get<XPlaneRefused>(outcome).reason;
    }
    return object;
}

}  // namespace

std::string planJson(const MemoryCells& cells, const std::optional<std::string>& failure, Unit unit,
                     const XPlaneOutcome* xplane) {
    auto texts = nlohmann::ordered_json::object();
    auto red = nlohmann::ordered_json::array();
    const auto addCell = [&](std::string_view name) {
        texts[std::string(name)] = cells.text(name);
        if (cells.background(name) == kLimitRed) {
            red.push_back(name);
        }
    };
    for (const auto name : cell::kInputs) {
        addCell(name);
    }
    addCell(cell::txtBOW);
    for (const auto name : cell::kResults) {
        addCell(name);
    }
    nlohmann::ordered_json plan;
    plan["failure"] = failure ? nlohmann::ordered_json(*failure) : nullptr;
    plan["units"] = unitName(unit);
    plan["cells"] = std::move(texts);
    plan["ticked"] = {{"CheckCorrection", cells.isTicked(cell::CheckCorrection)}};
    plan["red"] = std::move(red);
    if (xplane != nullptr) {
        plan["xplane"] = xplaneJson(*xplane);
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

    // The cells as the report shows them, in the unit; the engine plans in pounds through units.
    MemoryCells cells;
    UnitCells units(cells);
    units.setUnit(request.unit);
    if (request.ofpPath && !fillFromFlightPlan(request, units, err)) {
        return kExitRefused;
    }
    for (const auto& [name, text] : request.cells) {
        cells.setText(name, text);
    }
    cells.setTicked(cell::CheckCorrection, request.correction);
    RecordingMessages messages;
    FuelPlanner planner(units, messages);
    const bool planned = planner.cmdCalculate_Click();

    // The aircraft is loaded after the report and the page are written, so that the pilot has the
    // plan even while X-Plane takes its time; the JSON object tells the outcome, so it waits.
    std::optional<XPlaneOutcome> loaded;
    if (request.json && request.sendToXPlane) {
        loaded = loadPlan(units, request.xplane);
    }
    if (request.json) {
        out << planJson(cells, messages.last(), request.unit, loaded ? &*loaded : nullptr);
    } else if (planned) {
        for (const auto& line : buildReportLines(cells, request.unit)) {
            out << line << '\n';
        }
    } else {
        err << "brimwell-plan: " << messages.last().value_or("") << '\n';
    }
    int status = flushed(out, err, request.json ? "JSON object" : "report",
                         planned ? kExitPlanned : kExitCalculateFailed);
    // The page is written only for a finished plan; the plan itself is on out already, so a
    // file that cannot be written loses nothing but the file.
    if (status == kExitPlanned && request.pdfPath) {
        try {
            writeReportPdf(cells, *request.pdfPath, request.unit);
        } catch (const PrintError& error) {
            err << "brimwell-plan: the PDF file " << shownText(*request.pdfPath)
                << " was not written: " << error.what() << '\n';
            status = kExitNotWritten;
        }
    }
    if (request.sendToXPlane && !request.json) {
        loaded = loadPlan(units, request.xplane);
    }
    return loaded ? toldLoad(*loaded, request, status, err) : status;
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

}  // namespace brimwell
