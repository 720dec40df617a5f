#include <array>
#include <string>

#include "cli/pdf_module.h"
#include "cli/plan_run.h"
#include "modules/module_loader.h"
#include "report/printer.h"

namespace brimwell {

void writeReportPdf(const CellReader& cells, const std::string& path, Unit unit) {
    PdfModuleEntry write = nullptr;
    try {
        write = moduleFunction<PdfModuleEntry>("brimwell-plan-pdf.so", kPdfModuleEntry);
    } catch (const ModuleError& error) {
        throw PrintError(error.what());
    }
    std::array<char, 1024> error{};
    if (!write(cells, unit, path.c_str(), error.data(), error.size())) {
        throw PrintError(error.data());
    }
}

}  // namespace brimwell
