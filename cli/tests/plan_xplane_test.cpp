// brimwell-plan --send-to-xplane as a process against the X-Plane stand-in: its exit status, its
// output and error stream, and what the stand-in's aircraft holds afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/xplane_standin.h"

namespace brimwell {
namespace {

using test::XPlaneStandIn;

// The sample plan's 229752 lbs of fuel by the loading order, in a 747-400 of 174000 kg.
const std::vector<double> kSampleTanks = {0, 13572, 38280, 38280, 13572, 254.877, 254.877, 0, 0};
constexpr double kSamplePayloadKg = 45359.237;

std::string fileText(const char* path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> samplePlan() {
    std::istringstream lines(fileText(BRIMWELL_SAMPLE_PLAN_ARGS));
    std::vector<std::string> options;
    for (std::string line; std::getline(lines, line);) {
        options.push_back(line);
    }
    return options;
}

struct Row {
    const char* name = "";
    std::vector<std::string> options;  // after the sample plan; "URL" is the stand-in's address
    int status;
    const char* err;  // the start of the error stream
    // A part of the output; nullptr: exactly the sample's report; with --json, the start of the
    // refusal in the object's "xplane" ("" when loaded).
    const char* out = nullptr;
    XPlaneStandIn::Aircraft aircraft = XPlaneStandIn::boeing747();
    XPlaneStandIn::Mode mode = XPlaneStandIn::Mode::Serving;
};

constexpr const char* kSend = "--send-to-xplane";
constexpr const char* kUrl = "--xplane-url";

// clang-format off
const std::vector<Row> kRows = {
    {"loaded after the report", {kSend, kUrl, "URL"}, 0, "brimwell-plan: X-Plane's 747-400 is loaded with 229752 lbs of fuel and 100000 lbs of payload:\n  centre wing tank: 0 lbs\n  main tank 1: 29921 lbs\n"},
    {"loaded, the address ending in /", {kUrl, "URL/", kSend}, 0, "brimwell-plan: X-Plane's 747-400 is loaded"},
    {"loaded, told in the JSON object", {kSend, "--json", kUrl, "URL"}, 0, "", ""},
    {"incoming traffic disabled", {kSend, kUrl, "URL"}, 4, "brimwell-plan: X-Plane refuses incoming traffic. In X-Plane's Settings", nullptr, XPlaneStandIn::boeing747(), XPlaneStandIn::Mode::IncomingTrafficDisabled},
    {"refusal in the JSON object", {kSend, "--json", kUrl, "URL"}, 4, "brimwell-plan: X-Plane refuses incoming traffic.", "X-Plane refuses incoming traffic.", XPlaneStandIn::boeing747(), XPlaneStandIn::Mode::IncomingTrafficDisabled},
    {"no web API", {kSend, kUrl, "URL"}, 4, "brimwell-plan: http://127.0.0.1:", nullptr, XPlaneStandIn::boeing747(), XPlaneStandIn::Mode::NoWebApi},
    {"another aircraft", {kSend, kUrl, "URL"}, 4, "brimwell-plan: The aircraft loaded in X-Plane is not a 747-400: its tanks take 0.500,", nullptr, XPlaneStandIn::twinJet()},
    {"fuel over the tanks", {kSend, kUrl, "URL"}, 4, "brimwell-plan: The total fuel load of 229752 lbs does not fit the tanks of X-Plane's 747-400, which hold 220462 lbs.", nullptr, XPlaneStandIn::boeing747(100000)},
    {"nothing listens", {kSend, kUrl, "http://127.0.0.1:9"}, 4, "brimwell-plan: X-Plane does not answer at http://127.0.0.1:9. Start X-Plane 12.1.1 or later"},
    {"over the limits", {"--distance", "7000", "--payload", "140912", kSend, kUrl, "URL"}, 4, "brimwell-plan: The plan is over the aircraft's limits: Planned Gross Takeoff Weight 917249 lbs (limit 875000 lbs), Planned Taxi-Out Weight 919249 lbs (limit 877000 lbs), TOTAL FUEL LOAD 384249 lbs (limit 382336 lbs). Change the flight data", "TOTAL FUEL LOAD: 384249 lbs"},
    {"no plan", {"--distance", "400", "--wind-direction", "Tail", "--wind", "1000", kSend, kUrl, "URL"}, 4, "brimwell-plan: Please enter all Flight Data or check limits\nbrimwell-plan: There is no finished plan to load into X-Plane.", ""},
    {"https", {kSend, kUrl, "https://localhost:8086"}, 2, "brimwell-plan: --xplane-url takes an address http://host[:port], not \"https://localhost:8086\"\n", ""},
    {"a path", {kSend, kUrl, "http://localhost:8086/api/v1"}, 2, "brimwell-plan: --xplane-url takes an address", ""},
    {"port 0", {kSend, kUrl, "http://localhost:0"}, 2, "brimwell-plan: --xplane-url takes an address", ""},
    {"port above 65535", {kSend, kUrl, "http://localhost:65536"}, 2, "brimwell-plan: --xplane-url takes an address", ""},
    {"no host", {kSend, kUrl, "http://:8086"}, 2, "brimwell-plan: --xplane-url takes an address", ""},
    {"a user", {kSend, kUrl, "http://pilot@localhost"}, 2, "brimwell-plan: --xplane-url takes an address", ""},
};
// clang-format on

TEST(PlanXPlane, LoadsThePlanOrSaysWhyNot) {
    const std::string sampleReport = fileText(BRIMWELL_SAMPLE_REPORT);
    for (const auto& row : kRows) {
        XPlaneStandIn standIn(row.aircraft, row.mode);
        const auto before = standIn.values();
        std::vector<std::string> arguments = samplePlan();
        for (std::string option : row.options) {
            if (option.starts_with("URL")) {
                option.replace(0, 3, standIn.url());
            }
            arguments.push_back(option);
        }
        const auto run = test::runProgram(BRIMWELL_PLAN_PROGRAM, arguments);

        EXPECT_EQ(run.status, row.status) << row.name << ": " << run.err;
        EXPECT_TRUE(run.err.starts_with(row.err)) << row.name << ": " << run.err;
        const bool json =
            std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
        std::optional<nlohmann::json> xplane;
        if (json) {
            xplane = nlohmann::json::parse(run.out).at("xplane");
            EXPECT_EQ(xplane->at("loaded"), row.status == 0) << row.name;
            EXPECT_TRUE(xplane->value("refusal", "").starts_with(row.out)) << row.name << *xplane;
        } else if (row.out == nullptr) {
            EXPECT_EQ(run.out, sampleReport) << row.name;
        } else if (*row.out == '\0') {
            EXPECT_EQ(run.out, "") << row.name;
        } else {
            EXPECT_NE(run.out.find(row.out), std::string::npos) << row.name << ": " << run.out;
        }

        const auto after = standIn.values();
        if (row.status != 0) {
            EXPECT_EQ(after, before) << row.name;
            continue;
        }
        const auto tanks = after.at("sim/flightmodel/weight/m_fuel");
        for (std::size_t slot = 0; slot < kSampleTanks.size(); ++slot) {
            EXPECT_NEAR(tanks[slot].get<double>(), kSampleTanks[slot], 0.01) << row.name << slot;
        }
        EXPECT_NEAR(after.at("sim/flightmodel/weight/m_fixed").get<double>(), kSamplePayloadKg,
                    0.01);
        if (xplane) {  // the JSON object gives what was written, as X-Plane holds it
            EXPECT_EQ(xplane->at("tanks").size(), kSampleTanks.size());
            for (std::size_t slot = 0; slot < kSampleTanks.size(); ++slot) {
                EXPECT_NEAR(xplane->at("tanks")[slot].get<double>(), kSampleTanks[slot], 0.01);
                EXPECT_NEAR(xplane->at("tanks_read")[slot].get<double>(), tanks[slot].get<double>(),
                            0.01);
            }
            EXPECT_NEAR(xplane->at("payload").get<double>(), kSamplePayloadKg, 0.001);
            EXPECT_NEAR(xplane->at("payload_read").get<double>(), kSamplePayloadKg, 0.01);
        }
    }
}

}  // namespace
}  // namespace brimwell
