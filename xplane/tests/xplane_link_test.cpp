// The X-Plane link through its face, loadIntoXPlane (and so through its module), against the
// X-Plane stand-in on 127.0.0.1: what it writes into a 747-400, and every refusal writing nothing.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/xplane_standin.h"
#include "xplane/xplane_load.h"

namespace brimwell {
namespace {

using test::XPlaneStandIn;

// The sample plan's total fuel load, 229752 lbs (104213.75 kg), in a 747-400 of 174000 kg.
const TankMasses kSampleTanks = {0, 13572, 38280, 38280, 13572, 254.877, 254.877, 0, 0};
constexpr double kSampleFuelLbs = 229752;
constexpr double kSamplePayloadLbs = 100000;

enum class Address { StandIn, NothingListens, NeverAnswers };

struct Row {
    const char* name = "";
    XPlaneStandIn::Aircraft aircraft = XPlaneStandIn::boeing747();
    XPlaneStandIn::Mode mode = XPlaneStandIn::Mode::Serving;
    Address address = Address::StandIn;
    bool aircraftMovesFuel = false;
    const char* said = "";  // a part of describe()'s text
};

// clang-format off
const std::vector<Row> kLoads = {
    {.name = "747-400", .said = "X-Plane's 747-400 is loaded with 229752 lbs of fuel and 100000 lbs of payload:\n  centre wing tank: 0 lbs\n  main tank 1: 29921 lbs\n  main tank 2: 84393 lbs\n  main tank 3: 84393 lbs\n  main tank 4: 29921 lbs\n  reserve tank 2: 562 lbs\n  reserve tank 3: 562 lbs\n  stabiliser tank: 0 lbs\n  payload: 100000 lbs\n"},
    {.name = "fuel moved by the aircraft", .aircraftMovesFuel = true, .said = "the aircraft has changed some of it since it was written:\n  centre wing tank: 0 lbs written, 2205 lbs now\n  main tank 1: 29921 lbs\n  main tank 2: 84393 lbs written, 82188 lbs now\n"},
};
const std::vector<Row> kRefusals = {
    {.name = "nothing listens", .address = Address::NothingListens, .said = "X-Plane does not answer at http://127.0.0.1:"},
    {.name = "never answers", .address = Address::NeverAnswers, .said = "X-Plane did not answer at http://127.0.0.1:"},
    {.name = "no web API", .mode = XPlaneStandIn::Mode::NoWebApi, .said = " answers, but not as X-Plane's web API. X-Plane 12.1.1 or later is needed"},
    {.name = "incoming traffic disabled", .mode = XPlaneStandIn::Mode::IncomingTrafficDisabled, .said = "X-Plane refuses incoming traffic. In X-Plane's Settings, on the Network tab, set the security policy to one that accepts incoming traffic instead of \"Disable Incoming Traffic\""},
    {.name = "another aircraft", .aircraft = XPlaneStandIn::twinJet(), .said = "not a 747-400: its tanks take 0.500, 0.250, 0.250, 0.000, 0.000, 0.000, 0.000, 0.000, 0.000 of the fuel capacity, the 747-400's take 0.300, 0.078, 0.220, 0.220, 0.078, 0.023, 0.023, 0.058, 0.000. Load the 747-400"},
    {.name = "fuel over the tanks", .aircraft = XPlaneStandIn::boeing747(100000), .said = "The total fuel load of 229752 lbs does not fit the tanks of X-Plane's 747-400, which hold 220462 lbs."},
};
// clang-format on

XPlaneOutcome load(const Row& row, XPlaneStandIn& standIn, std::chrono::milliseconds bound) {
    std::string url = standIn.url();
    std::optional<test::SilentPort> silent;
    if (row.address == Address::NeverAnswers) {
        url = silent.emplace().url();
    } else if (row.address == Address::NothingListens) {
        url = test::SilentPort().url();  // closed again: nothing listens there
    }
    const auto address = parseXPlaneUrl(url);
    EXPECT_TRUE(address) << url;
    return loadIntoXPlane({*address, kSampleFuelLbs, kSamplePayloadLbs, bound});
}

TEST(XPlaneLink, LoadsThe747InSevenRequests) {
    for (const auto& row : kLoads) {
        XPlaneStandIn standIn(row.aircraft, row.mode);
        if (row.aircraftMovesFuel) {  // 1000 kg from main tank 2 to the centre wing tank
            standIn.setFuelSystem([](std::vector<double>& tanks) {
                tanks[2] -= 1000;
                tanks[0] += 1000;
            });
        }
        const XPlaneOutcome outcome = load(row, standIn, std::chrono::seconds(5));
        const auto* loaded = std::get_if<XPlaneLoaded>(&outcome);
        ASSERT_NE(loaded, nullptr) << row.name << ": " << describe(outcome);
        EXPECT_NE(describe(outcome).find(row.said), std::string::npos)
            << row.name << ": " << describe(outcome);
        EXPECT_EQ(loaded->changedByAircraft(), row.aircraftMovesFuel) << row.name;

        const auto values = standIn.values();
        const auto& tanks = values.at("sim/flightmodel/weight/m_fuel");
        for (std::size_t slot = 0; slot < kXPlaneTanks; ++slot) {
            EXPECT_NEAR(loaded->tanksWritten[slot], kSampleTanks[slot], 0.01) << row.name << slot;
            EXPECT_NEAR(loaded->tanksRead[slot], tanks[slot].get<double>(), 0.01) << row.name;
        }
        EXPECT_NEAR(values.at("sim/flightmodel/weight/m_fixed").get<double>(), 45359.237, 0.01);
        EXPECT_NEAR(loaded->payloadRead, 45359.237, 0.01) << row.name;

        std::string methods;
        for (const auto& request : standIn.requests()) {
            methods += request.method + " ";
            EXPECT_EQ(request.status, 200) << row.name << ": " << request.target;
        }
        EXPECT_EQ(methods, "GET GET GET PATCH PATCH GET GET ") << row.name;
    }
}

TEST(XPlaneLink, RefusesWritingNothing) {
    for (const auto& row : kRefusals) {
        XPlaneStandIn standIn(row.aircraft, row.mode);
        const auto before = standIn.values();
        const auto started = std::chrono::steady_clock::now();
        const XPlaneOutcome outcome = load(row, standIn, std::chrono::milliseconds(300));
        const auto* refused = std::get_if<XPlaneRefused>(&outcome);
        ASSERT_NE(refused, nullptr) << row.name;
        EXPECT_NE(refused->reason.find(row.said), std::string::npos)
            << row.name << ": " << refused->reason;
        // The bound holds: far less than the HTTP library's own five-second timeouts.
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << row.name;
        EXPECT_EQ(standIn.values(), before) << row.name;
        for (const auto& request : standIn.requests()) {
            EXPECT_EQ(request.method, "GET") << row.name;
        }
    }
}

}  // namespace
}  // namespace brimwell
