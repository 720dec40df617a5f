#include "links/pdf/pdf_writer.h"

#include "engine/cell_names.h"
#include "links/link_call.h"
#include "links/pdf/pdf_writer_module.h"

namespace brimwell::links {

Outcome<Done> writeReportPdf(const engine::CellReader& cells, engine::Unit unit,
                             const std::string& path, std::optional<double> fuelFactor) {
    // The texts of every cell the report shows, as the window's cells hold them.
    ReportPage page{unit, {}, fuelFactor};
    engine::cell::forEachPlanCell(
        [&](std::string_view name) { page.texts.emplace(std::string(name), cells.text(name)); });
    return callModule<PdfWriterModule>("brimwell-plan-pdf.so", [&](const PdfWriterModule& module) {
        return module.write(page, path);
    });
}

}  // namespace brimwell::links
