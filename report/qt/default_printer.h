#pragma once

// The Qt printer behind the report: the system's default printer, or a PDF file.

#include <memory>
#include <string>

#include "report/printer.h"

namespace brimwell {

// The system's default printer, without any dialog. Throws PrintError when there is none.
std::unique_ptr<Printer> openDefaultPrinter();

// A printer that writes the page into a PDF file at path. The file appears only when endDoc
// succeeds; a failure throws PrintError and leaves no file behind.
std::unique_ptr<Printer> openPdfPrinter(const std::string& path);

}  // namespace brimwell
