#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli/pdf_module.h"
#include "cli/plan_run.h"
#include "report/printer.h"

namespace brimwell {

namespace {

// Where the module is: beside the program in the build tree, else in the program's library
// directory of the installation.
std::filesystem::path modulePath() {
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) {
        return BRIMWELL_PDF_MODULE_NAME;
    }
    std::filesystem::path beside = program.parent_path() / BRIMWELL_PDF_MODULE_NAME;
    if (std::filesystem::exists(beside, failed)) {
        return beside;
    }
    return (program.parent_path() / BRIMWELL_PDF_MODULE_INSTALLED).lexically_normal();
}

PdfModuleEntry loadModule() {
    // Loaded once and kept: Qt does not take to being unloaded.
    static PdfModuleEntry entry = nullptr;
    if (entry != nullptr) {
        return entry;
    }
    const std::string path = modulePath().string();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        // NOLINTNEXTLINE(concurrency-mt-unsafe): brimwell-plan loads the module on its one thread
        const char* reason = dlerror();
        throw PrintError("the PDF writer " + path + " cannot be loaded" +
                         (reason != nullptr ? std::string(": ") + reason : std::string()));
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym gives the entry as void*
    entry = reinterpret_cast<PdfModuleEntry>(dlsym(module, kPdfModuleEntry));
    if (entry == nullptr) {
        throw PrintError("the PDF writer " + path + " has no entry point");
    }
    return entry;
}

}  // namespace

void writeReportPdf(const CellReader& cells, const std::string& path, Unit unit) {
    const PdfModuleEntry write = loadModule();
    std::array<char, 1024> error{};
    if (!write(cells, unit, path.c_str(), error.data(), error.size())) {
        throw PrintError(error.data());
    }
}

}  // namespace brimwell
