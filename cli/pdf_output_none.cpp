#include "cli/plan_run.h"
#include "report/printer.h"

namespace brimwell {

void writeReportPdf(const CellReader& /*cells*/, const std::string& /*path*/, Unit /*unit*/) {
    throw PrintError("this build of brimwell-plan was made without the Qt printer");
}

}  // namespace brimwell
