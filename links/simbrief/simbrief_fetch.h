#pragma once

// The fetch from SimBrief inside the module brimwell-simbrief.so: one GET of the fetcher over the
// one HTTP client, through the system's proxy where it has one, within the bound, the answer
// capped at the largest flight plan (32 MiB).

#include <chrono>
#include <string>

#include "links/simbrief/simbrief_module.h"

namespace brimwell::links {

// SimBrief's answer as the face is given it: done with the body of a 200 answer; else refused
// with its HTTP status, and SimBrief's own word (the fetch/status of the OFP it sent instead)
// where it gave one other than "Success".
Outcome<std::string> simbriefAnswer(long status, std::string body);

// Fetches the address within the bound; refused with the reason when no answer came.
Outcome<std::string> fetchFromSimbrief(const SimbriefFetch& fetch, LinkControl& control);

}  // namespace brimwell::links
