#pragma once

// The PDF writer link's face: the report page written into a PDF file, for brimwell-plan --pdf.
// The writer, with the Qt libraries it needs, is the module brimwell-plan-pdf.so
// (links/pdf/pdf_writer_module.h), loaded only when a file is asked for: Qt takes longer to load
// than the plan takes to calculate, so a plan printed on the terminal does without it.

#include <map>
#include <optional>
#include <string>

#include "engine/cells.h"
#include "engine/units.h"
#include "links/outcome.h"

namespace brimwell::links {

// What the page shows: the texts of the cells the report reads, by name, as the cells hold them
// (weights in unit).
struct ReportPage {
    engine::Unit unit = engine::Unit::Pounds;
    std::map<std::string, std::string, std::less<>> texts;
    std::optional<double> fuelFactor;  // the plan's, which the page says; none when off
};

// Writes the report page of the cells, whose weights are in unit, into the PDF file at path, as
// report/qt/pdf_printer.h's openPdfPrinter writes a file (the path byte for byte: a file name
// need not be UTF-8). Done once the file is written, else refused with the reason it was not.
Outcome<Done> writeReportPdf(const engine::CellReader& cells, engine::Unit unit,
                             const std::string& path,
                             std::optional<double> fuelFactor = std::nullopt);

}  // namespace brimwell::links
