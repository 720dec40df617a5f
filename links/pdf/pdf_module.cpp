// The PDF writer link's module, brimwell-plan-pdf.so: the report page drawn by Qt into a file,
// loaded when brimwell-plan --pdf asks for one (links/pdf/pdf_writer_module.h is its interface,
// pdf_writer.h its face).

#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/memory_cells.h"
#include "links/link_call.h"
#include "links/pdf/pdf_writer_module.h"
#include "report/print_command.h"
#include "report/qt/pdf_printer.h"

namespace {

using brimwell::links::Done;
using brimwell::links::Outcome;
using brimwell::links::ReportPage;

// Qt's remarks on the way (no XDG_RUNTIME_DIR, the offscreen platform's notes) are not the
// planner's to show: it says in one line what went wrong, if anything. Failures still show.
void onlyFailures(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        (void)std::fputs(qPrintable(qFormatLogMessage(type, context, text) + u'\n'), stderr);
    }
}

// Qt's messages go to onlyFailures while it lives.
class QuietQt final {
  public:
    QuietQt() : m_previous(qInstallMessageHandler(onlyFailures)) {}
    ~QuietQt() { qInstallMessageHandler(m_previous); }
    QuietQt(const QuietQt&) = delete;
    QuietQt(QuietQt&&) = delete;
    QuietQt& operator=(const QuietQt&) = delete;
    QuietQt& operator=(QuietQt&&) = delete;

  private:
    QtMessageHandler m_previous;
};

Outcome<Done> writePage(const ReportPage& page, const std::string& path) {
    const QuietQt quiet;
    brimwell::engine::MemoryCells cells;
    for (const auto& [name, text] : page.texts) {
        cells.setText(name, text);
    }
    // The Qt printer needs an application object; the planner has no screen, so it takes the
    // offscreen platform. The application takes its options out of argc and argv, so each call
    // gives it fresh ones, which outlive it.
    int argc = 3;
    std::string name = "brimwell-plan";
    std::string platformOption = "-platform";
    std::string platform = "offscreen";
    std::array<char*, 4> argv = {name.data(), platformOption.data(), platform.data(), nullptr};
    std::unique_ptr<QGuiApplication> application;
    if (QGuiApplication::instance() == nullptr) {
        application = std::make_unique<QGuiApplication>(argc, argv.data());
    }
    try {
        const auto printer = brimwell::report::openPdfPrinter(path);
        brimwell::report::printReport(cells, *printer, page.unit, page.fuelFactor);
    } catch (const brimwell::report::PrintError& error) {
        return brimwell::links::Refused{error.what()};
    }
    return Done{};
}

class PdfWriterOverQt final : public brimwell::links::PdfWriterModule {
  public:
    Outcome<Done> write(const ReportPage& page, const std::string& path) const noexcept override {
        return brimwell::links::refusedOnThrow("PDF writer", [&] { return writePage(page, path); });
    }
};

}  // namespace

BRIMWELL_LINK_MODULE(int* version) {
    static const PdfWriterOverQt module;
    return brimwell::links::offeredModule<brimwell::links::PdfWriterModule>(module, version);
}
