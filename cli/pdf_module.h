#pragma once

// The PDF writer of brimwell-plan is a module of its own, loaded only when --pdf asks for a
// file: the Qt libraries it needs take longer to load than the plan takes to calculate, so a
// plan printed on the terminal does without them.

#include <cstddef>

#include "engine/units.h"

namespace brimwell {
class CellReader;
}

// The module's one entry point. Writes the report page of the cells, whose weights are in unit,
// into the PDF file at path; on failure returns false with the reason, cut to the size of the
// buffer, in error.
extern "C" bool brimwell_write_report_pdf(const brimwell::CellReader& cells, brimwell::Unit unit,
                                          const char* path, char* error, std::size_t errorSize);
// The entry point's name, as the loader looks it up.
inline constexpr const char* kPdfModuleEntry = "brimwell_write_report_pdf";
using PdfModuleEntry = bool (*)(const brimwell::CellReader&, brimwell::Unit, const char*, char*,
                                std::size_t);
