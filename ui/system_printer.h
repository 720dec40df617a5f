#pragma once

// The system's default printer as the window uses it. The page is collected as the report prints
// it; endDoc loads the printer module (ui/print_module.h) if need be and hands the page to a
// thread of its own, which finds the default printer, draws the page and hands it to the print
// spooler, while the window goes on answering. The outcome comes back on the thread of context:
// failed is called with the reason when the page was not printed, or when the printer has not
// answered within bound; a printed page calls nothing.

#include <chrono>
#include <functional>
#include <memory>

#include "report/printer.h"

class QObject;

namespace brimwell::ui {

inline constexpr std::chrono::milliseconds kPrinterAnswerBound = std::chrono::seconds(10);

using PrintFailure = std::function<void(const PrintError&)>;

// Throws PrintError from endDoc when the printer module cannot be loaded.
std::unique_ptr<Printer> openSystemPrinter(QObject& context, std::chrono::milliseconds bound,
                                           PrintFailure failed);

}  // namespace brimwell::ui
