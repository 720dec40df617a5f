#pragma once

// The interface of the PDF writer link's module, brimwell-plan-pdf.so (links/link_module.h): the
// report page drawn by Qt into a file. Its face is links/pdf/pdf_writer.h.

#include <string>

#include "links/outcome.h"
#include "links/pdf/pdf_writer.h"

namespace brimwell::links {

class PdfWriterModule {
  public:
    virtual ~PdfWriterModule() = default;
    // The page written into the file at path (writeReportPdf).
    virtual Outcome<Done> write(const ReportPage& page, const std::string& path) const noexcept = 0;
};

}  // namespace brimwell::links
