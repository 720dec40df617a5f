// The options of brimwell-plan: the input is split at NUL bytes into the arguments. Parsing
// either gives a request or refuses with OptionError, and runPlan agrees with it: exit status
// 2 with a message exactly when parsing refuses, otherwise a report of 37 lines, a JSON object
// (with the failure in it when Calculate fails), the usage text (--help wins over --json) or the
// failure message on the error stream, and never any other exception.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/plan_options.h"
#include "cli/plan_run.h"
#include "report/report_lines.h"

namespace {

using namespace brimwell;

[[noreturn]] void fail(std::string_view what, const std::string& detail) {
    (void)std::fprintf(stderr, "fuzz_plan_options: %.*s: \"%s\"\n", static_cast<int>(what.size()),
                       what.data(), detail.c_str());
    std::abort();
}

std::size_t countLines(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += c == '\n' ? 1 : 0;
    }
    return count;
}

// A completed plan: the report's lines on the output, nothing on the error stream.
void checkPlanned(const PlanRequest& request, const std::string& out, const std::string& err) {
    // An airport code is printed as given, line breaks included.
    std::map<std::string_view, std::size_t> breaks;
    for (const auto& [name, text] : request.cells) {
        breaks[name] = countLines(text);
    }
    std::size_t expected = kReportLineCount;
    for (const auto& [name, count] : breaks) {
        expected += count;
    }
    if (!request.help && !request.json && countLines(out) != expected) {
        fail("a plan printed another number of lines", out);
    }
    if (!err.empty()) {
        fail("a plan wrote to the error stream", err);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start < input.size()) {
        const auto end = std::min(input.find('\0', start), input.size());
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    bool refused = false;
    PlanRequest request;
    try {
        request = parsePlanOptions(arguments);
    } catch (const OptionError& error) {
        refused = true;
        if (std::string_view(error.what()).empty()) {
            fail("refused without a message", input.data() == nullptr ? "" : std::string(input));
        }
    }
    // A plan that asks for a PDF file would write into the working directory.
    if (!refused && request.pdfPath) {
        return 0;
    }

    std::ostringstream out;
    std::ostringstream err;
    const int status = runPlan(arguments, out, err);
    if (refused != (status == kExitRefused)) {
        fail("runPlan and parsePlanOptions disagree", std::to_string(status));
    }
    if (status == kExitCalculateFailed && request.json) {
        // The failure message travels in the JSON object.
        if (out.str().find(R"({"failure": ")") != 0) {
            fail("a failed --json plan without its failure", out.str());
        }
    } else if (status == kExitRefused || status == kExitCalculateFailed) {
        if (err.str().rfind("brimwell-plan: ", 0) != 0) {
            fail("failure without a message", err.str());
        }
    } else if (status == kExitPlanned) {
        checkPlanned(request, out.str(), err.str());
    } else {
        fail("unknown exit status", std::to_string(status));
    }
    // --help wins over everything else and prints only the usage text.
    if (request.json && !request.help && !refused &&
        (out.str().empty() || out.str().front() != '{')) {
        fail("--json printed no object", out.str());
    }
    return 0;
}
