#pragma once

// The system's default printer as the window uses it. The page is collected as the report
// prints it; its endDoc hands it over and returns at once, while the window goes on answering.
// Work off the window's thread (ui/background_work.h) finds the default printer and its paper
// through the print spooler link (links/cups/print_spooler.h), the window draws the page on that
// paper, and more work off its thread hands it to the spooler. The pilot hears of
// a page that was not printed, and of one that the printer has not answered for within the
// bound; a printed page says nothing. One page at a time: Print pressed while a page is still
// waiting for the spooler's answer is refused with a message.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "report/printer.h"

namespace brimwell::ui {

inline constexpr std::chrono::milliseconds kPrinterAnswerBound = std::chrono::seconds(10);

class PrintJob;

class SystemPrinter final {
  public:
    // tell shows a message to the pilot; it is called on the window's thread.
    explicit SystemPrinter(std::function<void(const std::string&)> tell);
    // A page still on its way is abandoned: its work ends within a quarter of a second and is
    // waited for here. A job the spooler holds for it is left held, so it never prints.
    ~SystemPrinter();
    SystemPrinter(const SystemPrinter&) = delete;
    SystemPrinter(SystemPrinter&&) = delete;
    SystemPrinter& operator=(const SystemPrinter&) = delete;
    SystemPrinter& operator=(SystemPrinter&&) = delete;

    void setAnswerBound(std::chrono::milliseconds bound);

    // A printer for one report. Throws PrintError when the last page still waits for the
    // spooler's answer.
    std::unique_ptr<report::Printer> open();

  private:
    std::function<void(const std::string&)> m_tell;
    std::chrono::milliseconds m_bound = kPrinterAnswerBound;
    std::unique_ptr<PrintJob> m_job;
};

}  // namespace brimwell::ui
