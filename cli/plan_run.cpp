#include "cli/plan_run.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/plan_flight_plan.h"
#include "cli/plan_options.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
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

}  // namespace

std::string planJson(const MemoryCells& cells, const std::optional<std::string>& failure) {
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
    plan["cells"] = std::move(texts);
    plan["ticked"] = {{"CheckCorrection", cells.isTicked(cell::CheckCorrection)}};
    plan["red"] = std::move(red);
    // A cell holds what the pilot typed: bytes that are not UTF-8 become U+FFFD.
    return plan.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

int runPlan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    PlanRequest request;
    try {
        request = parsePlanOptions(arguments);
    } catch (const OptionError& error) {
        err << "brimwell-plan: " << error.what() << '\n';
        return kExitRefused;
    }
    if (request.help) {
        out << planUsage();
        return kExitPlanned;
    }
    if (request.version) {
        out << "brimwell-plan " << BRIMWELL_VERSION << '\n';
        return kExitPlanned;
    }

    MemoryCells cells;
    if (request.ofpPath && !fillFromFlightPlan(request, cells, err)) {
        return kExitRefused;
    }
    for (const auto& [name, text] : request.cells) {
        cells.setText(name, text);
    }
    cells.setTicked(cell::CheckCorrection, request.correction);
    RecordingMessages messages;
    FuelPlanner planner(cells, messages);
    const bool planned = planner.cmdCalculate_Click();

    if (request.json) {
        out << planJson(cells, messages.last());
    } else if (planned) {
        for (const auto& line : buildReportLines(cells)) {
            out << line << '\n';
        }
    } else {
        err << "brimwell-plan: " << messages.last().value_or("") << '\n';
    }
    if (!planned) {
        return kExitCalculateFailed;
    }
    // The page is written only for a finished plan; the plan itself is on out already, so a
    // file that cannot be written loses nothing but the file.
    if (request.pdfPath) {
        try {
            writeReportPdf(cells, *request.pdfPath);
        } catch (const PrintError& error) {
            err << "brimwell-plan: the PDF file " << *request.pdfPath
                << " was not written: " << error.what() << '\n';
            return kExitPdfFailed;
        }
    }
    return kExitPlanned;
}

}  // namespace brimwell
