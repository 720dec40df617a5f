// brimwell-plan and the flight log as a pilot runs it: flights watched against the X-Plane
// stand-in kept, listed and shown; the fuel factor learnt and planned with; every figure today's
// without it; a watch killed, two at once, a full disk and a folder that cannot be made.

#include <sqlite3.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <future>
#include <iterator>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/flight_script.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xplane_standin.h"

namespace brimwell::test {
namespace {

constexpr double kLb = 0.45359237;
constexpr double kTripFuel = 188400;  // the sample plan's txtFPF, lbs

// Takeoff at 0°N 0°E, then 4020 nm east along the equator, past the sample plan's 4000 nm, burning
// `factor` times its trip fuel, and the landing; a reading each.
FlightScript flightBurning(double factor) {
    return FlightScript(0, 0, 120000)
        .wait(1)
        .flyTo(0, 0.01, 1, 0)
        .flyTo(0, 67, 3, kTripFuel * factor * kLb)
        .land(2);
}

// The sample plan watched against the stand-in, every 0.2 s, keeping its flight in the log of
// `data`; `limits` runs in the child first.
ProgramRun watch(const XPlaneStandIn& standIn, const TempFolder& data,
                 std::vector<std::string> program = {}, const std::function<bool()>& limits = {}) {
    auto options = samplePlanOptions();
    options.insert(options.end(), {"--watch", "--every", "0.2", "--xplane-url", standIn.url()});
    program.push_back(planProgram());
    program.insert(program.end(), options.begin(), options.end());
    return runProgram(program.front(), {program.begin() + 1, program.end()},
                      {"XDG_DATA_HOME=" + data.path().string()}, limits);
}

ProgramRun plan(const TempFolder& data, const std::vector<std::string>& options) {
    return runPlan(options, {"XDG_DATA_HOME=" + data.path().string()});
}

ProgramRun logged(const TempFolder& data, const std::vector<std::string>& options) {
    return runProgram(planProgram(), options, {"XDG_DATA_HOME=" + data.path().string()});
}

std::string sampleReport() {
    std::ifstream in(BRIMWELL_SAMPLE_REPORT);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

// Three flights flown at once, each its own: burning 4, 6 and 5 % more than planned.
TEST(FlightLogPlanner, LearnsTheFuelFactorOfThreeFlightsFlownAtOnce) {
    const TempFolder data;
    std::vector<std::unique_ptr<XPlaneStandIn>> standIns;
    std::vector<std::future<ProgramRun>> runs;
    for (const double factor : {1.04, 1.06, 1.05}) {
        standIns.push_back(std::make_unique<XPlaneStandIn>());
        standIns.back()->fly(flightBurning(factor).moments());
        runs.push_back(std::async(std::launch::async, [&, at = standIns.size() - 1] {
            return watch(*standIns[at], data);
        }));
    }
    for (auto& run : runs) {
        const auto done = run.get();
        EXPECT_EQ(done.status, 0) << done.err;
        EXPECT_EQ(done.err, "");
        EXPECT_NE(done.out.find("\nLanded at "), std::string::npos) << done.out;
    }
    const auto listed = logged(data, {"--flights", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto json = nlohmann::json::parse(listed.out);
    ASSERT_EQ(json["flights"].size(), 3U) << listed.out;
    std::multiset<double> factors;
    for (const auto& flight : json["flights"]) {
        EXPECT_EQ(flight["planned_trip_burn"], 188400);
        EXPECT_NEAR(flight["trip_burn"].get<double>(), 188400 * flight["burn_factor"].get<double>(),
                    1);
        EXPECT_EQ(flight["landed"], true);
        factors.insert(flight["burn_factor"].get<double>());
        // Each flight's own readings only: its fuel never rises.
        const auto shown =
            logged(data, {"--flight", std::to_string(flight["id"].get<int>()), "--json"});
        double fuel = 1e9;
        std::istringstream lines(shown.out);
        for (std::string line; std::getline(lines, line);) {
            const auto reading = nlohmann::json::parse(line).value("reading", nlohmann::json());
            if (reading.contains("fuel_on_board")) {
                EXPECT_LE(reading["fuel_on_board"].get<double>(), fuel);
                fuel = reading["fuel_on_board"];
            }
        }
        EXPECT_EQ(count(shown.out, "\"reading\""), 6U) << shown.out;  // from the first airborne one
        EXPECT_NE(shown.out.find("{\"landed\":"), std::string::npos);
    }
    EXPECT_EQ(factors, (std::multiset<double>{1.04, 1.05, 1.06}));
    EXPECT_EQ(json["fuel_factor"]["percent"], "+5.0 %");
    EXPECT_EQ(json["fuel_factor"]["sentence"],
              "your last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.0 %");
    const auto text = logged(data, {"--flights"});
    EXPECT_NE(
        text.out.find("  LIRF \u2192 KJFK  trip burn 197820 lbs of 188400 lbs planned (+5.0 %), "
                      "landing fuel 66735 lbs of 39352 lbs planned, landed\n"),
        std::string::npos)
        << text.out;
    EXPECT_TRUE(text.out.ends_with(
        "\nYour last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.0 %.\n"));

    // Planned with it, and said so; without it, every figure today's.
    const auto withFactor = plan(data, {"--fuel-factor", "auto"});
    EXPECT_EQ(withFactor.status, 0) << withFactor.err;
    EXPECT_NE(withFactor.out.find("\n(+) Flight Plan Fuel: 197820 lbs (fuel factor +5.0 %)\n"
                                  "(=) Planned Gross Takeoff Weight: 731260 lbs\n"),
              std::string::npos)
        << withFactor.out;
    EXPECT_NE(withFactor.out.find("\nTOTAL FUEL LOAD: 239172 lbs\n"), std::string::npos);
    const auto inJson = nlohmann::json::parse(plan(data, {"--fuel-factor=auto", "--json"}).out);
    EXPECT_EQ(inJson["cells"]["txtFPF"], "197820");
    EXPECT_EQ(inJson["fuel_factor"]["percent"], "+5.0 %");
    EXPECT_EQ(inJson["fuel_factor"]["from"], "flight log");
    EXPECT_EQ(plan(data, {}).out, sampleReport());
}

// Without --fuel-factor the log changes nothing; with +0.0 % only the report's words.
TEST(FlightLogPlanner, ChangesNoFigureWhenTheFactorIsOff) {
    const TempFolder empty;
    const TempFolder data;
    ASSERT_EQ(logged(data, {"--flights"}).status, 0);
    // clang-format off
    const std::vector<std::vector<std::string>> rows = {
        {}, {"--json"}, {"--units", "kg"}, {"--units", "kg", "--json"}, {"--correction"},
        {"--correction", "--json"}, {"--distance", "8400", "--payload", "140000", "--json"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto off = plan(empty, row);
        auto zero = row;
        zero.insert(zero.end(), {"--fuel-factor", "0"});
        const auto atZero = plan(data, zero);
        EXPECT_EQ(plan(data, row).out, off.out);
        if (off.out.starts_with("{")) {
            EXPECT_EQ(nlohmann::json::parse(atZero.out)["cells"],
                      nlohmann::json::parse(off.out)["cells"]);
        } else {
            EXPECT_EQ(
                std::regex_replace(atZero.out, std::regex(" \\(fuel factor \\+0\\.0 %\\)"), ""),
                off.out);
        }
    }
    EXPECT_EQ(plan(empty, {}).out, sampleReport());
}

TEST(FlightLogPlanner, RefusesWhatItCannotTake) {
    const TempFolder data;
    struct Row {
        std::vector<std::string> options;
        int status;
        std::string err;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {{"--flight", "0"}, 2, "brimwell-plan: --flight takes the number of a flight of --flights, not \"0\"\n"},
        {{"--flight", "12x"}, 2, "brimwell-plan: --flight takes the number of a flight of --flights, not \"12x\"\n"},
        {{"--flight", "4"}, 2, "brimwell-plan: --flight 4: there is no flight 4 in the log\n"},
        {{"--flights", "--flight", "1"}, 2, "brimwell-plan: --flights, --flight and --flights-csv each read the flight log; give one\n"},
        {{"--flights", "--distance", "400"}, 2, "brimwell-plan: --flights, --flight and --flights-csv read the flight log and plan nothing; give them without the options of a plan\n"},
        {{"--flights-csv", "/nonexistent/f.csv"}, 3, "brimwell-plan: the CSV file /nonexistent/f.csv was not written\n"},
        {{"--fuel-factor", "5.25", "--distance", "400"}, 2, "brimwell-plan: --fuel-factor takes auto, or the percentage more fuel than the tables, -50 to 50 with at most one decimal (4.5, -2), not \"5.25\"\n"},
        {{"--fuel-factor", "-51", "--distance", "400"}, 2, "brimwell-plan: --fuel-factor takes auto, or the percentage more fuel than the tables, -50 to 50 with at most one decimal (4.5, -2), not \"-51\"\n"},
        {{"--fuel-factor", "1e1", "--distance", "400"}, 2, "brimwell-plan: --fuel-factor takes auto, or the percentage more fuel than the tables, -50 to 50 with at most one decimal (4.5, -2), not \"1e1\"\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto run = logged(data, row.options);
        EXPECT_EQ(run.status, row.status) << row.err;
        EXPECT_EQ(run.err, row.err);
    }
    const auto few = plan(data, {"--fuel-factor", "auto"});
    EXPECT_EQ(few.out, sampleReport());
    EXPECT_EQ(few.err,
              "brimwell-plan: --fuel-factor auto: the flight log holds fewer than 3 landed flights "
              "to learn a fuel factor from; planned without one\n");
}

// SIGKILL mid-flight: the log whole, the flight kept to its last reading and unfinished.
TEST(FlightLogPlanner, KeepsAWatchKilledToItsLastReading) {
    const TempFolder data;
    XPlaneStandIn standIn;
    standIn.fly(
        FlightScript(0, 0, 120000).wait(1).flyTo(0, 0.01, 1, 0).flyTo(0, 10, 4, 20000).moments());
    const auto run =
        watch(standIn, data, {"/usr/bin/timeout", "--preserve-status", "-s", "KILL", "1.6"});
    EXPECT_EQ(run.status, 128 + SIGKILL);
    const auto path = data / "brimwell/flights.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    std::string integrity;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0];
            return 0;
        },
        &integrity, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(integrity, "ok");
    const auto listed = nlohmann::json::parse(logged(data, {"--flights", "--json"}).out);
    ASSERT_EQ(listed["flights"].size(), 1U);
    EXPECT_EQ(listed["flights"][0]["landed"], false);
    // Every reading told before the kill is kept, and at most one more, told to nobody.
    const auto shown = logged(data, {"--flight", "1"});
    EXPECT_NE(shown.out.find(" unfinished\n"), std::string::npos) << shown.out;
    const auto readings = [](const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (line.find(" airborne, ") != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    };
    const auto told = readings(run.out);
    const auto kept = readings(shown.out);
    ASSERT_FALSE(told.empty()) << run.out;
    ASSERT_GE(kept.size(), told.size());
    EXPECT_LE(kept.size(), told.size() + 1);
    EXPECT_TRUE(std::equal(told.begin(), told.end(), kept.begin()));
    EXPECT_NE(shown.out.find("\nThe watch ended at "), std::string::npos);
}

// A disk that fills, or a folder that cannot be made: told once, and the watch goes on.
TEST(FlightLogPlanner, WatchesOnWhenTheFlightCannotBeKept) {
    struct Row {
        const char* name;
        bool folderIsAFile;
        rlim_t fileLimit;
    };
    for (const Row& row :
         {Row{"a full disk", false, rlim_t{48} * 1024}, Row{"no folder", true, RLIM_INFINITY}}) {
        const TempFolder data;
        if (row.folderIsAFile) {
            std::ofstream(data / "brimwell").close();
        }
        XPlaneStandIn standIn;
        standIn.fly(flightBurning(1.0).moments());
        const rlim_t limit = row.fileLimit;
        const auto run = watch(standIn, data, {}, [limit] {
            const rlimit fileSize{limit, limit};
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            sigaction(SIGXFSZ, &ignore, nullptr);
            return setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
        });
        EXPECT_EQ(run.status, 0) << row.name << ": " << run.err;
        EXPECT_NE(run.out.find("\nLanded at "), std::string::npos) << row.name;
        EXPECT_EQ(count(run.err, "brimwell-plan: "), 1U) << row.name << ": " << run.err;
        EXPECT_NE(run.err.find(" not being kept"), std::string::npos)
            << row.name << ": " << run.err;
    }
}

// The log held by another program (a writer stopped in its transaction) through a whole watch:
// told once, and the watch keeps its pace; the log taken up again by the next flight.
TEST(FlightLogPlanner, WatchesOnAtItsPaceWhileAnotherHoldsTheLog) {
    const TempFolder data;
    XPlaneStandIn standIn;
    standIn.fly(flightBurning(1.0).moments());
    const auto free = watch(standIn, data);
    ASSERT_EQ(free.status, 0) << free.err;
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((data / "brimwell" / "flights.sqlite").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    standIn.fly(flightBurning(1.0).moments());
    const auto held = watch(standIn, data);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(held.status, 0) << held.err;
    EXPECT_NE(held.out.find("\nLanded at "), std::string::npos);
    EXPECT_EQ(held.err,
              "brimwell-plan: Your flight is not being kept in the flight log: the flight log is "
              "in use: database is locked. The watch goes on.\n");
    // One wait for the log, of its 1.5 s, and no more: every reading after it on time.
    EXPECT_LT(held.took, free.took + std::chrono::milliseconds(3500))
        << free.took.count() << " ms free, " << held.took.count() << " ms held";
    standIn.fly(flightBurning(1.0).moments());
    EXPECT_EQ(watch(standIn, data).err, "");
    EXPECT_EQ(count(logged(data, {"--flights"}).out, ", landed"), 2U);
}

}  // namespace
}  // namespace brimwell::test
