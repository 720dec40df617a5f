#include "cli/plan_run.h"

#include <ostream>

#include "cli/plan_options.h"
#include "engine/cell_names.h"
#include "engine/fuel_planner.h"
#include "engine/unit_cells.h"
#include "report/printer.h"
#include "report/report_lines.h"

namespace brimwell {

namespace {

// The length of the well-formed UTF-8 sequence that starts at text[i] with a byte of 0x80 or
// above, or 0 when none does.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (byte >= 0xc2 && byte <= 0xdf) {
        length = 2;
    } else if (byte >= 0xe0 && byte <= 0xef) {
        length = 3;
    } else if (byte >= 0xf0 && byte <= 0xf4) {
        length = 4;
    }
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) {
            return 0;
        }
    }
    if (length >= 3) {
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if ((byte == 0xe0 && second < 0xa0) || (byte == 0xed && second > 0x9f) ||
            (byte == 0xf0 && second < 0x90) || (byte == 0xf4 && second > 0x8f)) {
            return 0;
        }
    }
    return length;
}

// A JSON string literal; bytes that are not valid UTF-8 become U+FFFD.
void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '"' || byte == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(byte));
            ++i;
        } else if (byte < 0x20) {
            static constexpr std::string_view kHex = "0123456789abcdef";
            out += "\\u00";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0f]);
            ++i;
        } else if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            ++i;
        } else {
            const std::size_t length = utf8SequenceLength(text, i);
            if (length > 0) {
                out.append(text.substr(i, length));
                i += length;
            } else {
                out += "\\ufffd";
                ++i;
            }
        }
    }
    out.push_back('"');
}

class RecordingMessages final : public MessageSink {
  public:
    void showMessage(std::string_view text) override { m_last = std::string(text); }
    const std::optional<std::string>& last() const { return m_last; }

  private:
    std::optional<std::string> m_last;
};

}  // namespace

std::string planJson(const MemoryCells& cells, const std::optional<std::string>& failure,
                     Unit unit) {
    std::string out = "{\"failure\": ";
    if (failure) {
        appendJsonString(out, *failure);
    } else {
        out += "null";
    }
    out += ", \"units\": ";
    appendJsonString(out, unitName(unit));
    out += ", \"cells\": {";
    bool first = true;
    std::vector<std::string_view> red;
    const auto addCell = [&](std::string_view name) {
        out += first ? "" : ", ";
        first = false;
        appendJsonString(out, name);
        out += ": ";
        appendJsonString(out, cells.text(name));
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
    out += R"(}, "ticked": {"CheckCorrection": )";
    out += cells.isTicked(cell::CheckCorrection) ? "true" : "false";
    out += "}, \"red\": [";
    for (std::size_t i = 0; i < red.size(); ++i) {
        out += i == 0 ? "" : ", ";
        appendJsonString(out, red[i]);
    }
    out += "]}\n";
    return out;
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

    // The cells as the report shows them, in the unit; the engine plans in pounds through units.
    MemoryCells cells;
    UnitCells units(cells);
    units.setUnit(request.unit);
    for (const auto& [name, text] : request.cells) {
        cells.setText(name, text);
    }
    cells.setTicked(cell::CheckCorrection, request.correction);
    RecordingMessages messages;
    FuelPlanner planner(units, messages);
    const bool planned = planner.cmdCalculate_Click();

    if (request.json) {
        out << planJson(cells, messages.last(), request.unit);
    } else if (planned) {
        for (const auto& line : buildReportLines(cells, request.unit)) {
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
            writeReportPdf(cells, *request.pdfPath, request.unit);
        } catch (const PrintError& error) {
            err << "brimwell-plan: the PDF file " << *request.pdfPath
                << " was not written: " << error.what() << '\n';
            return kExitPdfFailed;
        }
    }
    return kExitPlanned;
}

}  // namespace brimwell
