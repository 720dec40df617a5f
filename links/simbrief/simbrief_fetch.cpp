#include "links/simbrief/simbrief_fetch.h"

#include "base/shown_text.h"
#include "flightplan/flight_plan.h"
#include "links/http/http_client.h"

namespace brimwell::links {

namespace {

// The host and port of an address: "www.simbrief.com", "127.0.0.1:8080".
std::string authority(const std::string& url) {
    const auto start = url.find("://");
    const auto from = start == std::string::npos ? 0 : start + 3;
    return base::shownText(url.substr(from, url.find('/', from) - from));
}

// Why no flight plan came, in words for the pilot.
std::string failed(const HttpError& error, const std::string& url,
                   std::chrono::milliseconds bound) {
    const std::string detail = base::shownText(error.what());
    switch (error.failure()) {
        case HttpFailure::TimedOut:
            return "SimBrief did not answer " + withinSeconds(bound);
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

}  // namespace

Outcome<std::string> simbriefAnswer(long status, std::string body) {
    if (status == 200) {
        return body;
    }
    // SimBrief tells why it has no plan to give in the status of an otherwise empty plan; a
    // "Success" there is no reason, whatever came with it.
    std::string reason = "SimBrief answered with HTTP status " + std::to_string(status);
    if (const auto said = flightplan::simbriefStatus(body); said && *said != "Success") {
        reason += ": \"" + base::shownText(*said) + "\"";
    }
    return Refused{std::move(reason)};
}

Outcome<std::string> fetchFromSimbrief(const SimbriefFetch& fetch, LinkControl& control) {
    const auto& [url, bound] = fetch;
    HttpAnswer answer;
    try {
        HttpClient client(control, {.throughProxy = true, .headers = {}});
        answer = client.get(
            url, {std::chrono::steady_clock::now() + bound, flightplan::kLargestFlightPlan});
    } catch (const HttpError& error) {
        return Refused{failed(error, url, bound)};
    }
    return simbriefAnswer(answer.status, std::move(answer.body));
}

}  // namespace brimwell::links
