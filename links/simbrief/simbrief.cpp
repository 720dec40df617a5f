#include "links/simbrief/simbrief.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "engine/shown_text.h"
#include "links/percent_encoded.h"
#include "links/simbrief/simbrief_module.h"
#include "links/test_setting.h"

namespace brimwell::links {

namespace {

constexpr const char* kModuleFile = "brimwell-simbrief.so";

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

// Whether the site is a web address that a fetch may use: http:// or https://, a host name or
// IPv4 address, an optional port of 1 to 65535 and an optional final "/". Nothing else gets by:
// no user or password, no path or query, no byte outside ASCII (so the address is valid UTF-8).
bool isWebAddress(std::string_view site) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (!site.starts_with(scheme)) {
            continue;
        }
        std::string_view rest = site.substr(scheme.size());
        if (rest.ends_with('/')) {
            rest.remove_suffix(1);
        }
        const auto colon = rest.find(':');
        const std::string_view host = rest.substr(0, colon);
        if (host.empty() || host.front() == '-' || host.front() == '.' ||
            !std::all_of(host.begin(), host.end(), isHostCharacter)) {
            return false;
        }
        if (colon == std::string_view::npos) {
            return true;
        }
        const std::string_view port = rest.substr(colon + 1);
        return !port.empty() && port.size() <= 5 && port.front() != '0' &&
               std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
               std::stoi(std::string(port)) <= 65535;
    }
    return false;
}

// Where SimBrief is reached: BRIMWELL_SIMBRIEF_URL, or SimBrief's own site.
std::string simbriefSite() {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    const char* site = std::getenv("BRIMWELL_SIMBRIEF_URL");
    return site != nullptr && *site != '\0' ? site : "https://www.simbrief.com";
}

}  // namespace

std::optional<std::string> simbriefSiteRefusal(std::string_view site) {
    if (isWebAddress(site)) {
        return std::nullopt;
    }
    const std::string named = "BRIMWELL_SIMBRIEF_URL \"" + engine::shownAddress(site) + "\"";
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
