#pragma once

// The interface of the print spooler link's module, brimwell-print.so (links/link_module.h): the
// exchange with CUPS. Its face is links/cups/print_spooler.h.

#include <string>
#include <string_view>

#include "links/cups/print_spooler.h"
#include "links/link_call.h"

namespace brimwell::links {

class PrintSpoolerModule {
  public:
    virtual ~PrintSpoolerModule() = default;
    // The default printer and its paper (findDefaultPrinter).
    virtual Outcome<DefaultPrinter> findDefaultPrinter(LinkControl& control) const noexcept = 0;
    // The page handed to the queue and released (sendPage).
    virtual Outcome<Done> sendPage(const std::string& queue, std::string_view pdf,
                                   LinkControl& control) const noexcept = 0;
};

}  // namespace brimwell::links
