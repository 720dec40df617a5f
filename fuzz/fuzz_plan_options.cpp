// The options of brimwell-plan: the input is split at NUL bytes into the arguments. Whatever
// they are, the planner ends with one of its exit statuses and says on its error stream why a
// plan was refused or failed; the sanitizers catch the rest.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/plan_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < input.size();) {
        const auto end = std::min(input.find('\0', start), input.size());
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    if (std::ranges::any_of(arguments, [](const auto& a) { return a.starts_with("--pdf"); })) {
        return 0;  // it would write into the working directory
    }
    if (std::ranges::any_of(arguments,
                            [](const auto& a) { return a.starts_with("--send-to-xplane"); })) {
        return 0;  // it would send to whatever address the input names
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = brimwell::runPlan(arguments, out, err);
    const bool json = std::ranges::find(arguments, "--json") != arguments.end();
    if (status < brimwell::kExitPlanned || status > brimwell::kExitRefused ||
        (status != brimwell::kExitPlanned && !json && !err.str().starts_with("brimwell-plan: "))) {
        std::abort();
    }
    return 0;
}
