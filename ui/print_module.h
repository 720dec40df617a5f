#pragma once

// The window's printer is a module of its own (brimwell-print.so), loaded when Print is first
// pressed: Qt Print Support and CUPS, with the TLS, Kerberos and DNS-SD libraries behind them,
// would otherwise be loaded every time the window opens, although most times nothing is printed.

#include <atomic>
#include <cstddef>

namespace brimwell {
class RecordedPage;
}

// The module's one entry point: plays page on the system's default printer, which hands it to
// the print spooler. One page at a time; a page waiting for its turn is dropped once abandoned
// is set, as is one whose default printer took longer to find than the caller waited. On failure
// returns false with the reason, cut to the size of the buffer, in error. May take as long as
// the print service takes to answer, so it is called from a thread of its own.
extern "C" bool brimwell_print_page(const brimwell::RecordedPage& page,
                                    const std::atomic<bool>& abandoned, char* error,
                                    std::size_t errorSize);
// The entry point's name, as the loader looks it up.
inline constexpr const char* kPrintModuleEntry = "brimwell_print_page";
using PrintModuleEntry = bool (*)(const brimwell::RecordedPage&, const std::atomic<bool>&, char*,
                                  std::size_t);
