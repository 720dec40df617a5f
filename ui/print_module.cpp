#include "ui/print_module.h"

#include <cstring>
#include <exception>
#include <mutex>

#include "report/qt/default_printer.h"
#include "report/recorded_page.h"

namespace {

void copyError(const char* text, char* error, std::size_t errorSize) {
    if (error == nullptr || errorSize == 0) {
        return;
    }
    std::strncpy(error, text, errorSize - 1);
    error[errorSize - 1] = '\0';
}

}  // namespace

// No exception leaves the module: the window and the module each have their own copy of the
// report's types.
extern "C" __attribute__((visibility("default"))) bool brimwell_print_page(
    const brimwell::RecordedPage& page, const std::atomic<bool>& abandoned, char* error,
    std::size_t errorSize) {
    try {
        // Qt's print support is not made for several threads at once.
        static std::mutex oneAtATime;
        const std::lock_guard lock(oneAtATime);
        // A page whose wait has ended before its turn came, or while its printer was being
        // found, is not printed: the pilot has already been told that it was not.
        if (!abandoned) {
            const auto printer = brimwell::openDefaultPrinter();
            if (!abandoned) {
                page.playOn(*printer);
                return true;
            }
        }
        copyError("the window no longer waits for this page", error, errorSize);
        return false;
    } catch (const std::exception& failure) {
        copyError(failure.what(), error, errorSize);
    } catch (...) {
        copyError("the printer failed", error, errorSize);
    }
    return false;
}
