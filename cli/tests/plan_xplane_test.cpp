// brimwell-plan --send-to-xplane as a pilot runs it, against the X-Plane stand-in on 127.0.0.1:
// the exit status, the output and error stream, and what the stand-in's aircraft holds after.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/xplane_standin.h"

namespace brimwell {
namespace {

using test::kSamplePayloadKg;
using test::kSampleTanksKg;
using test::XPlaneStandIn;
using Mode = XPlaneStandIn::Mode;

std::string fileText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

struct Run {
    int status = -1;
    std::string out;
    std::string err;
};

// brimwell-plan through the shell, as a pilot runs it (no argument holds a single quote); its
// streams go to a folder of the run's own, as the tests run side by side.
Run runPlan(const std::string& environment, const std::vector<std::string>& arguments) {
    std::string folder = ::testing::TempDir() + "plan_xplane_test_XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        return {};
    }
    std::string command = environment + " '" + BRIMWELL_PLAN_PROGRAM + "'";
    for (const auto& argument : arguments) {
        command += " '" + argument + "'";
    }
    const std::string file = folder + "/plan";
    // NOLINTNEXTLINE(cert-env33-c,concurrency-mt-unsafe): the test's own command, one at a time
    const int status = std::system((command + " >" + file + ".out 2>" + file + ".err").c_str());
    Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileText(file + ".out"),
            fileText(file + ".err")};
    std::filesystem::remove_all(folder);
    return run;
}

// A 747-400 whose fuel system moves 1000 kg from main tank 2 to the centre tank after a write.
XPlaneStandIn::Aircraft movingFuel() {
    auto aircraft = XPlaneStandIn::boeing747();
    aircraft.fuelSystem = [](std::vector<float>& tanks) {
        tanks[2] -= 1000;
        tanks[0] += 1000;
    };
    return aircraft;
}

struct Row {
    const char* name = "";
    std::vector<std::string> options;  // after the sample plan; "URL" is the stand-in's address
    int status = 0;
    const char* err = "";  // a part of the error stream
    // A part of the output; nullptr: exactly the sample's report; with --json, the start of the
    // refusal in the object's "xplane" ("" when loaded).
    const char* out = nullptr;
    XPlaneStandIn::Aircraft aircraft = XPlaneStandIn::boeing747();
    Mode mode = Mode::Serving;
};

const std::string kSend = "--send-to-xplane";
const std::string kUrl = "--xplane-url";
const char* const kLoaded =
    "brimwell-plan: X-Plane's 747-400 is loaded with 229752 lbs of fuel and 100000 lbs of payload";
const char* const kUrlRefused =
    "brimwell-plan: --xplane-url takes an address http://host[:port], not \"";

// clang-format off
const std::vector<Row> kRows = {
    {"loaded after the report", {kSend, kUrl, "URL"}, 0, "brimwell-plan: X-Plane's 747-400 is loaded with 229752 lbs of fuel and 100000 lbs of payload:\n  centre wing tank: 0 lbs\n  main tank 1: 29921 lbs\n  main tank 2: 84393 lbs\n  main tank 3: 84393 lbs\n  main tank 4: 29921 lbs\n  reserve tank 2: 562 lbs\n  reserve tank 3: 562 lbs\n  stabiliser tank: 0 lbs\n  payload: 100000 lbs\n"},
    {"loaded, the address ending in /", {kUrl, "URL/", kSend}, 0, kLoaded},
    {"loaded, told in the JSON object", {kSend, "--json", kUrl, "URL"}, 0, "", ""},
    {"fuel moved by the aircraft", {kSend, kUrl, "URL"}, 0, "brimwell-plan: X-Plane's 747-400 is loaded with 229752 lbs of fuel and 100000 lbs of payload; the aircraft has changed some of it since it was written:\n  centre wing tank: 0 lbs written, 2205 lbs now\n  main tank 1: 29921 lbs\n  main tank 2: 84393 lbs written, 82188 lbs now\n", nullptr, movingFuel()},
    {"incoming traffic disabled", {kSend, kUrl, "URL"}, 4, "brimwell-plan: X-Plane refuses incoming traffic. In X-Plane's Settings, on the Network tab, set the security policy to one that accepts incoming traffic instead of \"Disable Incoming Traffic\", then try again.\n", nullptr, {}, Mode::IncomingTrafficDisabled},
    {"refused, told in the JSON object", {kSend, "--json", kUrl, "URL"}, 4, "brimwell-plan: X-Plane refuses incoming traffic.", "X-Plane refuses incoming traffic.", {}, Mode::IncomingTrafficDisabled},
    {"no web API", {kSend, kUrl, "URL"}, 4, " answers, but not as X-Plane's web API. X-Plane 12.1.1 or later is needed: update X-Plane, or correct the X-Plane address.\n", nullptr, {}, Mode::NoWebApi},
    {"stalled past the bound", {kSend, kUrl, "URL"}, 4, " within 0.3 seconds. Check that X-Plane is running and not busy loading, then try again.\n", nullptr, {}, Mode::Stalled},
    {"nothing listens on port 1", {kSend, kUrl, "http://127.0.0.1:1"}, 4, "brimwell-plan: X-Plane does not answer at http://127.0.0.1:1. Start X-Plane 12.1.1 or later"},
    {"another aircraft", {kSend, kUrl, "URL"}, 4, "brimwell-plan: The aircraft loaded in X-Plane is not a 747-400: its tanks take 0.500, 0.250, 0.250, 0.000, 0.000, 0.000, 0.000, 0.000, 0.000 of the fuel capacity, the 747-400's take 0.300, 0.078, 0.220, 0.220, 0.078, 0.023, 0.023, 0.058, 0.000. Load the 747-400", nullptr, XPlaneStandIn::twinJet()},
    {"fuel over the tanks", {kSend, kUrl, "URL"}, 4, "brimwell-plan: The total fuel load of 229752 lbs does not fit the tanks of X-Plane's 747-400, which hold 220462 lbs.", nullptr, XPlaneStandIn::boeing747(100000)},
    {"over the limits", {"--distance", "7000", "--payload", "140912", kSend, kUrl, "URL"}, 4, "brimwell-plan: The plan is over the aircraft's limits: Planned Gross Takeoff Weight 917249 lbs (limit 875000 lbs), Planned Taxi-Out Weight 919249 lbs (limit 877000 lbs), TOTAL FUEL LOAD 384249 lbs (limit 382336 lbs). Change the flight data", "TOTAL FUEL LOAD: 384249 lbs"},
    {"no plan", {"--distance", "400", "--wind-direction", "Tail", "--wind", "1000", kSend, kUrl, "URL"}, 4, "brimwell-plan: Please enter all Flight Data or check limits\nbrimwell-plan: There is no finished plan to load into X-Plane.", ""},
    {"https", {kSend, kUrl, "https://localhost:8086"}, 2, kUrlRefused, ""},
    {"a path", {kSend, kUrl, "http://localhost:8086/api/v1"}, 2, kUrlRefused, ""},
    {"port 0", {kSend, kUrl, "http://localhost:0"}, 2, kUrlRefused, ""},
    {"port above 65535", {kSend, kUrl, "http://localhost:65536"}, 2, kUrlRefused, ""},
    {"no host", {kSend, kUrl, "http://:8086"}, 2, kUrlRefused, ""},
    {"a user", {kSend, kUrl, "http://pilot@localhost"}, 2, kUrlRefused, ""},
};
// clang-format on

TEST(PlanXPlane, LoadsThePlanOrSaysWhyNotWritingNothing) {
    const std::string sampleReport = fileText(BRIMWELL_SAMPLE_REPORT);
    std::vector<std::string> sample;
    std::istringstream lines(fileText(BRIMWELL_SAMPLE_PLAN_ARGS));
    for (std::string line; std::getline(lines, line);) {
        sample.push_back(line);
    }
    for (const auto& row : kRows) {
        XPlaneStandIn standIn(row.aircraft, row.mode);
        const auto before = standIn.values();
        std::vector<std::string> arguments = sample;
        for (std::string option : row.options) {
            arguments.push_back(option.starts_with("URL") ? option.replace(0, 3, standIn.url())
                                                          : option);
        }
        // The bound is shortened for the stand-in that does not answer, and holds: the planner
        // ends long before the HTTP library's own timeouts of five seconds.
        const auto started = std::chrono::steady_clock::now();
        const auto run = runPlan(
            row.mode == Mode::Stalled ? "BRIMWELL_TEST_XPLANE_BOUND_MS=300" : "", arguments);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << row.name;

        EXPECT_EQ(run.status, row.status) << row.name << ": " << run.err;
        EXPECT_NE(run.err.find(row.err), std::string::npos) << row.name << ": " << run.err;
        const bool json = std::count(row.options.begin(), row.options.end(), "--json") > 0;
        const auto xplane = json ? nlohmann::json::parse(run.out).at("xplane") : nlohmann::json();
        if (json) {
            EXPECT_EQ(xplane.at("loaded"), row.status == 0) << row.name;
            EXPECT_TRUE(xplane.value("refusal", "").starts_with(row.out)) << row.name << xplane;
        } else {
            EXPECT_TRUE(row.out == nullptr ? run.out == sampleReport
                                           : run.out.find(row.out) != std::string::npos &&
                                                 (*row.out != '\0' || run.out.empty()))
                << row.name << ": " << run.out;
        }

        const auto after = standIn.values();
        if (row.status != 0) {
            EXPECT_EQ(after, before) << row.name;
            continue;
        }
        std::string requests;  // the fewest that do the job, each answered 200
        for (const auto& request : standIn.requests()) {
            requests += request.method + " " + std::to_string(request.status) + ", ";
        }
        EXPECT_EQ(requests, "GET 200, GET 200, GET 200, PATCH 200, PATCH 200, GET 200, GET 200, ");
        const auto& tanks = after.at("sim/flightmodel/weight/m_fuel");
        const auto& payload = after.at("sim/flightmodel/weight/m_fixed");
        EXPECT_NEAR(payload.get<double>(), kSamplePayloadKg, 0.01) << row.name;
        for (std::size_t slot = 0; slot < kSampleTanksKg.size(); ++slot) {
            EXPECT_TRUE(row.aircraft.fuelSystem ||
                        std::abs(tanks[slot].get<double>() - kSampleTanksKg[slot]) < 0.01)
                << row.name << ", slot " << slot << ": " << tanks;
            if (json) {  // what was written, and what was read back, as X-Plane holds them (kg)
                EXPECT_NEAR(xplane.at("tanks")[slot].get<double>(), kSampleTanksKg[slot], 0.01);
                EXPECT_EQ(xplane.at("tanks_read")[slot], tanks[slot]);
            }
        }
        EXPECT_TRUE(!json ||
                    (std::abs(xplane.at("payload").get<double>() - kSamplePayloadKg) < 0.001 &&
                     xplane.at("payload_read") == payload))
            << xplane;
    }
}

// With --units kg the outcome names kilograms, a refusal's figures too; the JSON object is in kg
// either way. The sample flight, its weights in kilograms: 45359 kg is 99999 lbs of payload.
TEST(PlanXPlane, TellsTheOutcomeInKilograms) {
    struct KgRow {
        std::vector<std::string> options;
        int status;
        const char* err;
        XPlaneStandIn::Aircraft aircraft = XPlaneStandIn::boeing747();
    };
    // clang-format off
    const std::vector<KgRow> rows = {
        {{}, 0, "brimwell-plan: X-Plane's 747-400 is loaded with 104214 kg of fuel and 45359 kg of payload:\n  centre wing tank: 0 kg\n  main tank 1: 13572 kg\n  main tank 2: 38280 kg\n  main tank 3: 38280 kg\n  main tank 4: 13572 kg\n  reserve tank 2: 255 kg\n  reserve tank 3: 255 kg\n  stabiliser tank: 0 kg\n  payload: 45359 kg\n"},
        {{}, 4, "brimwell-plan: The total fuel load of 104214 kg does not fit the tanks of X-Plane's 747-400, which hold 100000 kg. Plan with less fuel, then load again.\n", XPlaneStandIn::boeing747(100000)},
        {{"--distance", "7000", "--payload", "63916"}, 4, "brimwell-plan: The plan is over the aircraft's limits: Planned Gross Takeoff Weight 416057 kg (limit 396893 kg), Planned Taxi-Out Weight 416964 kg (limit 397801 kg), TOTAL FUEL LOAD 174292 kg (limit 173425 kg). Change the flight data"},
    };
    // clang-format on
    std::vector<std::string> flight;  // the sample's options but its weights
    std::istringstream lines(fileText(BRIMWELL_SAMPLE_PLAN_ARGS));
    for (std::string option, value; std::getline(lines, option) && std::getline(lines, value);) {
        if (option != "--payload" && option != "--min-landing-fuel" && option != "--taxi-fuel") {
            flight.insert(flight.end(), {option, value});
        }
    }
    for (const auto& row : rows) {
        XPlaneStandIn standIn(row.aircraft);
        std::vector<std::string> arguments = flight;
        arguments.insert(arguments.end(),
                         {"--units", "kg", "--min-landing-fuel", "8618", "--taxi-fuel", "907",
                          "--send-to-xplane", "--xplane-url", standIn.url()});
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        if (row.options.empty()) {
            arguments.insert(arguments.end(), {"--payload", "45359"});
        }
        const auto run = runPlan("", arguments);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(run.err.starts_with(row.err)) << run.err;
    }
}

}  // namespace
}  // namespace brimwell
