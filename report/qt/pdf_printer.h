#pragma once

// The Qt printer behind the report: the page drawn as PDF, in memory for the print spooler or
// into a file.

#include <QByteArray>
#include <QPageLayout>
#include <memory>
#include <string>

#include "report/printer.h"
#include "report/recorded_page.h"

namespace brimwell::report {

// The page as a PDF document of one page, drawn on the paper and within the printable area of
// layout. Throws PrintError.
QByteArray drawPdfPage(const RecordedPage& page, const QPageLayout& layout);

// The paper of the pilot's country (Letter or A4), half an inch from every edge: a file has no
// unprintable border of its own, and this one prints in full on any printer it is later sent to.
QPageLayout localPaper();

// A printer that writes the page into the PDF file at path when the page ends. The file is
// replaced at once or not at all (a reader sees the old file or the whole new one); an existing
// file keeps its owner, group and mode (root's writes too), or is not written where its owner
// cannot be kept; a symbolic link keeps its target, which is written; a new file gets 0666 less
// the umask; a device or a pipe is written as it is. A failure throws PrintError and leaves an
// existing file as it was.
std::unique_ptr<Printer> openPdfPrinter(const std::string& path);

}  // namespace brimwell::report
