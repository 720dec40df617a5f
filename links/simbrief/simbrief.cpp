#include "links/simbrief/simbrief.h"

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "links/test_setting.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-simbrief.so";

std::string percentEncoded(std::string_view text) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
                                c == '~';
        if (unreserved) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4U]);
            out.push_back(kHex[byte & 0x0fU]);
        }
    }
    return out;
}

}  // namespace

std::chrono::milliseconds simbriefBound() {
    return testSetting("BRIMWELL_TEST_SIMBRIEF_BOUND_MS", kSimbriefBound);
}

std::string latestFlightPlanAddress(std::string_view user) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    const char* base = std::getenv("BRIMWELL_SIMBRIEF_URL");
    const bool pilotId = !user.empty() && std::all_of(user.begin(), user.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
    return std::string(base != nullptr && *base != '\0' ? base : "https://www.simbrief.com") +
           "/api/xml.fetcher.php?" + (pilotId ? "userid=" : "username=") + percentEncoded(user);
}

LinkAnswer fetchLatestFlightPlan(std::string_view user, std::chrono::milliseconds bound,
                                 LinkControl& control) {
    const nlohmann::json request = {{"url", latestFlightPlanAddress(user)},
                                    {"bound_ms", bound.count()}};
    return callLink(kModuleFile, request.dump(), control);
}

}  // namespace brimwell::links
