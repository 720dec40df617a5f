// The SimBrief link's module, brimwell-simbrief.so: the fetch over libcurl (with TLS), loaded at
// the first fetch (links/simbrief/simbrief.h is its face).
//
//   request: {"url", "bound_ms"}; answer: SimBrief's answer as it came, or the reason.

#include <nlohmann/json.hpp>
#include <string>

#include "engine/shown_text.h"
#include "flightplan/flight_plan.h"
#include "links/http/http_client.h"
#include "links/link_call.h"

namespace {

using brimwell::links::HttpFailure;
using brimwell::links::LinkAnswer;
using brimwell::links::LinkControl;

// The host and port of an address: "www.simbrief.com", "127.0.0.1:8080".
std::string authority(const std::string& url) {
    const auto start = url.find("://");
    const auto from = start == std::string::npos ? 0 : start + 3;
    return brimwell::shownText(url.substr(from, url.find('/', from) - from));
}

// Why no flight plan came, in words for the pilot.
std::string failed(const brimwell::links::HttpError& error, const std::string& url,
                   std::chrono::milliseconds bound) {
    const std::string detail = brimwell::shownText(error.what());
    switch (error.failure()) {
        case HttpFailure::TimedOut:
            return "SimBrief did not answer " + brimwell::links::withinSeconds(bound);
        case HttpFailure::NameUnknown:
            return "SimBrief could not be reached: " + authority(url) + " cannot be found";
        case HttpFailure::NotReached:
            return "SimBrief could not be reached: nothing answers at " + authority(url);
        case HttpFailure::TooLarge:
            return "SimBrief's answer is larger than any flight plan";
        case HttpFailure::Encoded:
            return "SimBrief's answer came encoded, which Brimwell never asks for";
        case HttpFailure::NotTrusted:
            return "SimBrief's connection is not trusted: " + detail;
        case HttpFailure::Stopped:
            return "the fetch was stopped";
        case HttpFailure::BrokenOff:
            break;
    }
    return "SimBrief's answer broke off: " + detail;
}

LinkAnswer work(std::string_view request, std::string_view /*payload*/, LinkControl& control) {
    const auto asked = nlohmann::json::parse(request);
    const std::chrono::milliseconds bound(asked.at("bound_ms").get<long>());
    const auto url = asked.at("url").get<std::string>();
    brimwell::links::HttpAnswer answer;
    try {
        brimwell::links::HttpClient client(control, {.throughProxy = true, .headers = {}});
        answer = client.get(url, {std::chrono::steady_clock::now() + bound,
                                  brimwell::flightplan::kLargestFlightPlan});
    } catch (const brimwell::links::HttpError& error) {
        return {false, failed(error, url, bound)};
    }
    if (answer.status >= 200 && answer.status < 300) {
        return {true, std::move(answer.body)};
    }
    // SimBrief tells why it has no plan to give in the status of an otherwise empty plan.
    if (const auto status = brimwell::flightplan::simbriefStatus(answer.body)) {
        return {false, "SimBrief answered \"" + brimwell::shownText(*status) + "\""};
    }
    return {false, "SimBrief answered with HTTP status " + std::to_string(answer.status)};
}

}  // namespace

BRIMWELL_LINK_ENTRY(const brimwell_link_call* call) {
    return brimwell::links::answerCall(call, "SimBrief", work);
}
