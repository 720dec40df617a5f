#include "cli/pdf_module.h"

#include <QGuiApplication>
#include <cstring>
#include <exception>
#include <memory>

#include "report/print_command.h"
#include "report/qt/default_printer.h"

namespace {

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
    try {
        // The Qt printer needs an application object; the planner has no screen, so it takes
        // the offscreen platform.
        std::unique_ptr<QGuiApplication> application;
        if (QGuiApplication::instance() == nullptr) {
            static int argc = 3;
            static char name[] = "brimwell-plan";
            static char platformOption[] = "-platform";
            static char platform[] = "offscreen";
            static char* argv[] = {name, platformOption, platform, nullptr};
            application = std::make_unique<QGuiApplication>(argc, argv);
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
