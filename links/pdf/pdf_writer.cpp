#include "links/pdf/pdf_writer.h"

#include <nlohmann/json.hpp>

#include "engine/cell_names.h"
#include "links/link_call.h"

namespace brimwell::links {

std::optional<std::string> writeReportPdf(const engine::CellReader& cells, engine::Unit unit,
                                          const std::string& path) {
    // The texts of every cell the report shows, as the window's cells hold them.
    auto texts = nlohmann::json::object();
    for (const auto name : engine::cell::kInputs) {
        texts[std::string(name)] = cells.text(name);
    }
    texts[std::string(engine::cell::txtBOW)] = cells.text(engine::cell::txtBOW);
    for (const auto name : engine::cell::kResults) {
        texts[std::string(name)] = cells.text(name);
    }
    const nlohmann::json request = {{"unit", engine::unitName(unit)}, {"cells", texts}};
    LinkControl control;
    // The path goes as the payload, byte for byte: a file name need not be UTF-8. A text of a
    // cell that is not is shown with U+FFFD, as the window shows it.
    const LinkAnswer answer = callLink(
        "brimwell-plan-pdf.so",
        request.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), control, path);
    return answer.done ? std::nullopt : std::optional(answer.text);
}

}  // namespace brimwell::links
