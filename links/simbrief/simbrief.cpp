#include "links/simbrief/simbrief.h"

#include <algorithm>
#include <cstdlib>

#include "links/percent_encoded.h"
#include "links/simbrief/simbrief_module.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-simbrief.so";

}  // namespace

std::chrono::milliseconds simbriefBound() {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    if (const char* text = std::getenv("BRIMWELL_TEST_SIMBRIEF_BOUND_MS"); text != nullptr) {
        const long milliseconds = std::strtol(text, nullptr, 10);
        if (milliseconds > 0 && milliseconds <= kSimbriefBound.count()) {
            return std::chrono::milliseconds(milliseconds);
        }
    }
    return kSimbriefBound;
}

std::string latestFlightPlanAddress(std::string_view user) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    const char* base = std::getenv("BRIMWELL_SIMBRIEF_URL");
    const bool pilotId = !user.empty() && std::all_of(user.begin(), user.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
    return std::string(base != nullptr && *base != '\0' ? base : "https://www.simbrief.com") +
           "/api/xml.fetcher.php?" + (pilotId ? "userid=" : "username=") + percentEncoded(user);
}

Outcome<std::string> fetchLatestFlightPlan(std::string_view user, std::chrono::milliseconds bound,
                                           LinkControl& control) {
    const SimbriefFetch fetch{latestFlightPlanAddress(user), bound};
    return callModule<SimbriefModule>(
        kModuleFile, [&](const SimbriefModule& module) { return module.fetch(fetch, control); });
}

}  // namespace brimwell::links
