// The options of brimwell-plan: the input is split at NUL bytes into the arguments. Parsing
// either gives a request or refuses with OptionError, and runPlan agrees with it: exit status
// 2 with a message exactly when parsing refuses; otherwise the report (37 lines and the line
// breaks of the airport codes), a JSON object (with the failure in it when Calculate fails), the
// usage text, or the failure message on the error stream, and never any other exception.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/plan_options.h"
#include "cli/plan_run.h"
#include "report/report_lines.h"

namespace {

using namespace brimwell;

void check(bool condition, const char* what, const std::string& detail) {
    if (!condition) {
        (void)std::fprintf(stderr, "fuzz_plan_options: %s: \"%s\"\n", what, detail.c_str());
        std::abort();
    }
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
    PlanRequest request;
    bool refused = false;
    try {
        request = parsePlanOptions(arguments);
    } catch (const OptionError& error) {
        refused = true;
        check(!std::string_view(error.what()).empty(), "refused without a message", "");
    }
    if (!refused && request.pdfPath) {
        return 0;  // it would write into the working directory
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = runPlan(arguments, out, err);
    const std::string output = out.str();
    check(refused == (status == kExitRefused), "runPlan and parsePlanOptions disagree", output);
    if (status == kExitPlanned && !request.help && !request.json) {
        auto lines = kReportLineCount;
        for (const auto& [name, text] : request.cells) {
            lines += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        }
        const auto printed = std::count(output.begin(), output.end(), '\n');
        check(static_cast<std::size_t>(printed) == lines && err.str().empty(),
              "a plan printed another number of lines", output);
    }
    if (request.json && !request.help && !refused) {
        const char* start = status == kExitPlanned ? R"({"failure": null)" : R"({"failure": ")";
        check(output.starts_with(start), "--json printed no object with the failure", output);
    } else if (status != kExitPlanned) {
        check(status <= kExitRefused && err.str().starts_with("brimwell-plan: "),
              "failure without a message", err.str());
    }
    check(status == kExitPlanned || !request.help, "--help failed", err.str());
    return 0;
}
