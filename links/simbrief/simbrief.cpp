#include "links/simbrief/simbrief.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "base/shown_text.h"
#include "links/percent_encoded.h"
#include "links/simbrief/simbrief_module.h"
#include "links/test_setting.h"
#include "links/web_address.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-simbrief.so";

// Where SimBrief is reached: BRIMWELL_SIMBRIEF_URL, or SimBrief's own site.
std::string simbriefSite() {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    const char* site = std::getenv("BRIMWELL_SIMBRIEF_URL");
    return site != nullptr && *site != '\0' ? site : "https://www.simbrief.com";
}

}  // namespace

std::optional<std::string> simbriefSiteRefusal(std::string_view site) {
    if (readWebAddress(site, {"http", "https"})) {
        return std::nullopt;
    }
    const std::string named = "BRIMWELL_SIMBRIEF_URL \"" + base::shownAddress(site) + "\"";
    return site.find('@') != std::string_view::npos
               ? named +
                     " is not a web address Brimwell uses: it holds a user name or "
                     "password, which Brimwell never sends"
               : named + " is not a web address: give http://host[:port] or https://host[:port]";
}

std::chrono::milliseconds simbriefBound() {
    return testSetting("BRIMWELL_TEST_SIMBRIEF_BOUND_MS", kSimbriefBound);
}

std::string latestFlightPlanAddress(std::string_view site, std::string_view user) {
    if (site.ends_with('/')) {
        site.remove_suffix(1);
    }
    const bool pilotId = !user.empty() && std::all_of(user.begin(), user.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
    return std::string(site) + "/api/xml.fetcher.php?" + (pilotId ? "userid=" : "username=") +
           percentEncoded(user);
}

Outcome<std::string> fetchLatestFlightPlan(std::string_view user, std::chrono::milliseconds bound,
                                           LinkControl& control) {
    const std::string site = simbriefSite();
    if (auto refusal = simbriefSiteRefusal(site)) {
        return Refused{std::move(*refusal)};
    }
    const SimbriefFetch fetch{latestFlightPlanAddress(site, user), bound};
    return callModule<SimbriefModule>(
        kModuleFile, [&](const SimbriefModule& module) { return module.fetch(fetch, control); });
}

}  // namespace brimwell::links
