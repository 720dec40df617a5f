// The options of brimwell-plan: the input is split at NUL bytes into the arguments. Whatever
// they are, the planner ends with one of its exit statuses and says on its error stream why a
// plan was refused, failed or was not written; a PDF file it is asked for is there exactly when
// the plan was printed in full. PDF files go into a folder of the fuzzer's own (every "/" of a
// file name made "_"). The sanitizers catch the rest.

#include <algorithm>
#include <cstdint>
#include <cstdlib>  // mkdtemp too
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/plan_options.h"
#include "cli/plan_run.h"

namespace {

// Made once, emptied after every input, removed at exit.
const std::filesystem::path& pdfFolder() {
    static const std::filesystem::path folder = [] {
        std::string name = (std::filesystem::temp_directory_path() / "brimwell-fuzz-XXXXXX");
        if (::mkdtemp(name.data()) == nullptr) {
            std::abort();
        }
        return std::filesystem::path(name);
    }();
    static const bool removedAtExit =
        std::atexit([] { std::filesystem::remove_all(pdfFolder()); }) == 0;
    (void)removedAtExit;
    return folder;
}

// The arguments with every file name that the planner may take for --pdf put into the folder.
std::vector<std::string> pdfInFolder(std::vector<std::string> arguments) {
    const auto inside = [](std::string name) {
        std::ranges::replace(name, '/', '_');
        return name.empty() ? name : (pdfFolder() / name).string();
    };
    const std::vector<std::string> given = arguments;
    constexpr std::string_view kInline = "--pdf=";
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] == "--pdf" && i + 1 < given.size()) {
            arguments[i + 1] = inside(given[i + 1]);
        } else if (given[i].starts_with(kInline)) {
            arguments[i] = std::string(kInline) + inside(given[i].substr(kInline.size()));
        }
    }
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < input.size();) {
        const auto end = std::min(input.find('\0', start), input.size());
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    if (std::ranges::any_of(arguments, [](const auto& a) { return a.starts_with("--ofp"); })) {
        return 0;  // it would read a file or standard input; the reader has a target of its own
    }
    arguments = pdfInFolder(std::move(arguments));
    std::optional<brimwell::cli::PlanRequest> request;
    try {
        request = brimwell::cli::parsePlanOptions(arguments);
    } catch (const brimwell::cli::OptionError&) {
    }
    // An option that reaches another program would reach whatever address the input names.
    if (std::ranges::any_of(arguments, [](const auto& a) {
            return a.starts_with("--send-to-xplane") || a.starts_with("--fuel-check") ||
                   a.starts_with("--simbrief-user");
        })) {
        return 0;
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = brimwell::cli::runPlan(arguments, out, err);
    const bool json = std::ranges::find(arguments, "--json") != arguments.end();
    if (status < brimwell::cli::kExitPlanned || status > brimwell::cli::kExitNotWritten ||
        (status != brimwell::cli::kExitPlanned && !json &&
         !err.str().starts_with("brimwell-plan: "))) {
        std::abort();
    }
    if (request && request->pdfPath) {
        const bool printed =
            status == brimwell::cli::kExitPlanned && !request->help && !request->version;
        std::error_code unreadable;  // a name too long, say
        if (std::filesystem::is_regular_file(*request->pdfPath, unreadable) != printed) {
            std::abort();
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(pdfFolder())) {
        std::filesystem::remove_all(entry.path());
    }
    return 0;
}
