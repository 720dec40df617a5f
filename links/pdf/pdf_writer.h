#pragma once

// The PDF writer link's face: the report page written into a PDF file, for brimwell-plan --pdf.
// The writer, with the Qt libraries it needs, is the module brimwell-plan-pdf.so, loaded only when
// a file is asked for: Qt takes longer to load than the plan takes to calculate, so a plan printed
// on the terminal does without it.

#include <optional>
#include <string>

#include "engine/cells.h"
#include "engine/units.h"

namespace brimwell::links {

// Writes the report page of the cells, whose weights are in unit, into the PDF file at path, as
// report/qt/pdf_printer.h's openPdfPrinter writes a file. Returns nullopt once the file is
// written, else the reason it was not.
std::optional<std::string> writeReportPdf(const engine::CellReader& cells, engine::Unit unit,
                                          const std::string& path);

}  // namespace brimwell::links
