#pragma once

// The SimBrief link's face: the latest flight plan (OFP) of a SimBrief user, fetched from
// SimBrief's fetcher, https://www.simbrief.com/api/xml.fetcher.php?username=NAME (userid=ID for
// a pilot ID, which is all digits). The window and brimwell-plan --simbrief-user call it; the
// fetch itself, over the one HTTP client, lives in the module brimwell-simbrief.so.
//
// BRIMWELL_SIMBRIEF_URL, when set, replaces https://www.simbrief.com (the tests point it at a
// stand-in on 127.0.0.1); a fetch from a site that is not a web address is refused before
// anything is sent.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "links/link_call.h"

namespace brimwell::links {

// How long a fetch may take in all, name lookup included.
inline constexpr std::chrono::milliseconds kSimbriefBound{10000};

// How long a fetch may take: kSimbriefBound, or BRIMWELL_TEST_SIMBRIEF_BOUND_MS (tests).
std::chrono::milliseconds simbriefBound();

// Why SimBrief cannot be fetched from the site, in words for the pilot that never show a user
// name or password it holds; nullopt when it is a web address a fetch may use: http:// or
// https://, a host name or IPv4 address, an optional port and an optional final "/" (so nothing
// but ASCII, and no user name or password).
std::optional<std::string> simbriefSiteRefusal(std::string_view site);

// The fetcher's address on the site for the latest flight plan of user: a pilot ID (all digits)
// or a user name, every character but the unreserved ones percent-encoded.
std::string latestFlightPlanAddress(std::string_view site, std::string_view user);

// Fetches the latest flight plan of user. Done: the value is SimBrief's answer, to be read by
// the flight-plan reader (flightplan/flight_plan.h). Refused: why there is none, in words for
// the pilot ("SimBrief answered with HTTP status 400: "Error: Unknown UserID"", "SimBrief did not
// answer within 10 seconds"). Returns within the bound, or within a second of the control being
// stopped; never throws.
Outcome<std::string> fetchLatestFlightPlan(std::string_view user, std::chrono::milliseconds bound,
                                           LinkControl& control);

}  // namespace brimwell::links
