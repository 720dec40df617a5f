#include "cli/pdf_module.h"

#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "report/print_command.h"
#include "report/qt/pdf_printer.h"

namespace {

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

void copyError(const char* text, char* error, std::size_t errorSize) {
    if (error == nullptr || errorSize == 0) {
        return;
    }
    std::strncpy(error, text, errorSize - 1);
    error[errorSize - 1] = '\0';
}

}  // namespace

// No exception leaves the module: the planner and the module each have their own copy of the
// report's types.
extern "C" __attribute__((visibility("default"))) bool brimwell_write_report_pdf(
    const brimwell::CellReader& cells, brimwell::Unit unit, const char* path, char* error,
    std::size_t errorSize) {
    const QuietQt quiet;
    try {
        // The Qt printer needs an application object; the planner has no screen, so it takes
        // the offscreen platform.
        // The application takes its options out of argc and argv, so each call gives it
        // fresh ones, which outlive it.
        int argc = 3;
        std::string name = "brimwell-plan";
        std::string platformOption = "-platform";
        std::string platform = "offscreen";
        std::array<char*, 4> argv = {name.data(), platformOption.data(), platform.data(), nullptr};
        std::unique_ptr<QGuiApplication> application;
        if (QGuiApplication::instance() == nullptr) {
            application = std::make_unique<QGuiApplication>(argc, argv.data());
        }
        const auto printer = brimwell::openPdfPrinter(path);
        brimwell::cmbPrint_Click(cells, *printer, unit);
        return true;
    } catch (const std::exception& failure) {
        copyError(failure.what(), error, errorSize);
    } catch (...) {
        copyError("the PDF writer failed", error, errorSize);
    }
    return false;
}
