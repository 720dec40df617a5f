#pragma once

// SimBrief flight plans (OFPs) for the tests, in either form SimBrief serves: the sample flight
// (plan.h) with fields replaced or left out; write_ofp makes them for the tests that run programs.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brimwell::test {

struct OfpChanges {
    bool json = false;  // the JSON of json=v2; else XML
    // "section/name" and its text, in place of the sample's ("params/units", "kgs"); nullopt
    // leaves the field out. A field of the alternate is one of the first alternate's.
    std::vector<std::pair<std::string, std::optional<std::string>>> fields{};
    // The navigation log's fixes in place of the sample's, each its fields and their texts
    // ("ident", "pos_lat", "pos_long", "distance", "fuel_plan_onboard"); no fix leaves the log
    // out. One fix is an object in JSON, as SimBrief writes a lone element.
    std::optional<std::vector<std::vector<std::pair<std::string, std::string>>>> navlog{};
};

// LIRF to KJFK, 4000 nm along the route against 50 knots, FL350, the first of two alternates KBOS
// 200 nm away, 100000 lbs of payload and 2000 lbs of taxi fuel, among fields no cell takes; its
// navigation log: LIRF at 41.8 N 12.25 E, DIVKO 1000 nm, 50N020W 2000 nm, KJFK 1000 nm.
std::string ofpText(const OfpChanges& changes = {});

}  // namespace brimwell::test
