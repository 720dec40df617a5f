// The SimBrief link's module, brimwell-simbrief.so: the fetch over libcurl (with TLS), loaded at
// the first fetch (links/simbrief/simbrief.h is its face).
//
//   request: {"url", "bound_ms"}; answer: SimBrief's answer as it came, or the reason.

#include <nlohmann/json.hpp>
#include <string>

#include "links/link_call.h"
#include "links/simbrief/simbrief_fetch.h"

namespace {

brimwell::links::LinkAnswer work(std::string_view request, std::string_view /*payload*/,
                                 brimwell::links::LinkControl& control) {
    const auto asked = nlohmann::json::parse(request);
    return brimwell::links::fetchFromSimbrief(asked.at("url").get<std::string>(),
                                              std::chrono::milliseconds(asked.at("bound_ms")),
                                              control);
}

}  // namespace

BRIMWELL_LINK_ENTRY(const brimwell_link_call* call) {
    return brimwell::links::answerCall(call, "SimBrief", work);
}
