#include <QGuiApplication>
#include <memory>

#include "cli/plan_run.h"
#include "report/print_command.h"
#include "report/qt/default_printer.h"

namespace brimwell {

void writeReportPdf(const CellReader& cells, const std::string& path) {
    // The Qt printer needs an application object; the planner has no screen, so it takes the
    // offscreen platform.
    std::unique_ptr<QGuiApplication> application;
    if (QGuiApplication::instance() == nullptr) {
        static int argc = 3;
        static char name[] = "brimwell-plan";
        static char platformOption[] = "-platform";
        static char platform[] = "offscreen";
        static char* argv[] = {name, platformOption, platform, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    const auto printer = openPdfPrinter(path);
    cmbPrint_Click(cells, *printer);
}

}  // namespace brimwell
