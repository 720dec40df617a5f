#pragma once

// SimBrief flight plans (OFPs) for the tests, in either form SimBrief serves: the sample flight
// (plan.h) with fields replaced or left out, as the tests of the reader, the planner and the
// window need them. write_ofp.cpp makes the same texts for the tests that run programs.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brimwell::test {

struct OfpSpec {
    bool json = false;  // the JSON of json=v2; else XML
    // "section/name" and its text, in place of the sample's ("params/units", "kgs"); nullopt
    // leaves the field out. A field of the alternate is one of the first alternate's.
    std::vector<std::pair<std::string, std::optional<std::string>>> fields;
    int alternates = 1;           // each further alternate is a different airport
    std::size_t navlogFixes = 0;  // waypoints of the navigation log
};

// LIRF to KJFK, 4000 nm along the route against 50 knots, FL350, the alternate KBOS 200 nm away,
// 100000 lbs of payload and 2000 lbs of taxi fuel, among fields the reader does not read.
std::string ofpText(const OfpSpec& spec = {});

}  // namespace brimwell::test
