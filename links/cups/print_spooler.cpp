#include "links/cups/print_spooler.h"

#include "links/cups/print_spooler_module.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-print.so";

}  // namespace

Outcome<DefaultPrinter> findDefaultPrinter(LinkControl& control) {
    return callModule<PrintSpoolerModule>(kModuleFile, [&](const PrintSpoolerModule& module) {
        return module.findDefaultPrinter(control);
    });
}

Outcome<Done> sendPage(const std::string& queue, std::string_view pdf, LinkControl& control) {
    return callModule<PrintSpoolerModule>(kModuleFile, [&](const PrintSpoolerModule& module) {
        return module.sendPage(queue, pdf, control);
    });
}

PrintStage printStage(const LinkControl& control) {
    return static_cast<PrintStage>(control.stage());
}

}  // namespace brimwell::links
