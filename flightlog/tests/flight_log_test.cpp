// The flight log through its face, on files of each test's own: what is kept comes back as it
// went in; an earlier schema is migrated, a damaged file moved aside, a newer one left untouched,
// a figure edited out of its range left out; the keeper thins the readings; the fuel factor.

#include "flightlog/flight_log.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "flightlog/flight_keeper.h"
#include "flightlog/fuel_factor.h"
#include "tests/support/temp_folder.h"

namespace brimwell::test {
namespace {

using flightlog::FlightLog;

// One SQL statement run on the file by hand, as a pilot's editor would; its first column's text.
std::string sql(const std::filesystem::path& path, const std::string& statement) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string first;
    sqlite3_exec(
        db, statement.c_str(),
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) = values[0] != nullptr ? values[0] : "NULL";
            return 0;
        },
        &first, nullptr);
    sqlite3_close(db);
    return first;
}

std::string bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

flight::WatchedCheck reading(double time, double fuel, double flown, double toGo,
                             flight::Phase phase = flight::Phase::Airborne) {
    flight::WatchedCheck check;
    check.time = time;
    check.phase = phase;
    check.check.distanceFlown = flown;
    check.check.distanceToGo = toGo;
    check.check.fuelOnBoard = fuel;
    check.check.plannedFuelOnBoard = fuel + 500;
    check.check.plannedLandingFuel = 39352;
    check.check.reserves = 30352;
    check.burnFactor = 1.05;
    check.fuelFlowPerHour = 24000;
    return check;
}

flightlog::PlannedFlight plan(const std::string& origin = "LIRF") {
    flightlog::PlannedFlight planned;
    planned.cells = {{"txtOriginICAO", origin},
                     {"txtDestinationICAO", "KJFK"},
                     {"txtAlternateICAO", "KBOS"},
                     {"txtFPF", "188400"}};
    planned.unit = engine::Unit::Kilograms;
    planned.fixes = {{"DIVKO", 47.5, -8.0, 900, 150000}};
    return planned;
}

// A landed flight from takeoff at `time` with the burn factor given.
std::int64_t landedFlight(FlightLog& log, double time, double burnFactor,
                          std::optional<double> fuelFactor = std::nullopt) {
    auto planned = plan();
    planned.fuelFactor = fuelFactor;
    const auto id = *log.begin(planned, reading(time, 227000, 5, 3995));
    flight::FlightSummary summary{time + 36000, 40000, 187000, 188400, burnFactor, 1};
    EXPECT_TRUE(log.land(id, summary));
    return id;
}

TEST(FlightLog, KeepsAFlightAndGivesItBackAsItWent) {
    const TempFolder folder;
    FlightLog log(folder / "brimwell/flights.sqlite");
    ASSERT_TRUE(log.writable()) << log.notice();
    EXPECT_EQ(log.notice(), "");
    const auto older = landedFlight(log, 1000, 1.0);
    const auto id = *log.begin(plan(), reading(5000, 227000, 5, 3995));
    auto second = reading(5005.5, 226900.5, 6, 3994);
    second.offRouteNm = 51.5;
    second.check.status = engine::FuelStatus::ReservesAtRisk;
    ASSERT_TRUE(log.addReading(id, second, false));
    ASSERT_TRUE(log.addFix(id, {"DIVKO", 900.5, 5005.5, 226900, 226000, 150000, 900}));
    const auto list = log.flights();
    ASSERT_EQ(list.flights.size(), 2U);
    EXPECT_EQ(list.flights[0].id, id);  // newest first
    EXPECT_EQ(list.flights[1].id, older);
    const auto& entry = list.flights[0];
    EXPECT_EQ(entry.origin + entry.destination + entry.alternate, "LIRFKJFKKBOS");
    EXPECT_EQ(entry.plannedTripBurn, 188400);
    EXPECT_EQ(entry.takeoffFuel, 227000);
    EXPECT_EQ(entry.lastTime, 5005.5);
    EXPECT_EQ(*entry.tripBurn, 99.5);
    EXPECT_FALSE(entry.landed);  // unfinished
    EXPECT_TRUE(list.flights[1].landed);
    const auto kept = log.flight(id);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->plan.unit, engine::Unit::Kilograms);
    EXPECT_EQ(kept->plan.cells, plan().cells);
    EXPECT_EQ(kept->plan.fixes, plan().fixes);
    ASSERT_EQ(kept->readings.size(), 2U);
    EXPECT_EQ(*kept->readings[1].offRouteNm, 51.5);
    EXPECT_EQ(kept->readings[1].check.status, engine::FuelStatus::ReservesAtRisk);
    EXPECT_EQ(kept->readings[1].check.difference, -500);
    ASSERT_EQ(kept->fixes.size(), 1U);
    EXPECT_EQ(kept->fixes[0].ident, "DIVKO");
    EXPECT_EQ(kept->fixes[0].difference, 900);
    EXPECT_TRUE(log.remove(older));
    EXPECT_FALSE(log.remove(older));
    EXPECT_EQ(log.flights().flights.size(), 1U);
    EXPECT_EQ(sql(log.path(), "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(sql(log.path(), "SELECT count(*) FROM readings"), "2");  // its rows went with it
}

// Every earlier schema, written as that Brimwell wrote it, is brought to today's, its flights kept.
TEST(FlightLog, MigratesFromEveryEarlierSchema) {
    const std::string version1 =
        "CREATE TABLE flights(id INTEGER PRIMARY KEY, unit TEXT NOT NULL, origin TEXT NOT NULL, "
        "destination TEXT NOT NULL, alternate TEXT NOT NULL, planned_trip_burn REAL NOT NULL, "
        "planned_landing_fuel REAL NOT NULL, takeoff_time REAL NOT NULL, takeoff_fuel REAL NOT "
        "NULL, last_time REAL NOT NULL, last_fuel REAL NOT NULL, trip_burn REAL, burn_factor REAL, "
        "landed INTEGER NOT NULL DEFAULT 0);"
        "CREATE TABLE plan_cells(flight INTEGER NOT NULL, name TEXT NOT NULL, text TEXT NOT NULL, "
        "PRIMARY KEY(flight, name)) WITHOUT ROWID;"
        "CREATE TABLE route_fixes(flight INTEGER NOT NULL, seq INTEGER NOT NULL, ident TEXT NOT "
        "NULL, latitude REAL NOT NULL, longitude REAL NOT NULL, leg_nm REAL NOT NULL, planned_fuel "
        "REAL, PRIMARY KEY(flight, seq)) WITHOUT ROWID;"
        "CREATE TABLE readings(flight INTEGER NOT NULL, seq INTEGER NOT NULL, time REAL NOT NULL, "
        "phase INTEGER NOT NULL, progress_from INTEGER NOT NULL, off_route_nm REAL, distance_flown "
        "REAL NOT NULL, distance_to_go REAL NOT NULL, planned_burn REAL NOT NULL, fuel_on_board "
        "REAL NOT NULL, planned_fuel_on_board REAL NOT NULL, predicted_landing_fuel REAL NOT NULL, "
        "planned_landing_fuel REAL NOT NULL, reserves REAL NOT NULL, status INTEGER NOT NULL, "
        "burn_factor REAL, landing_at_burn REAL, fuel_flow REAL NOT NULL, PRIMARY KEY(flight, "
        "seq)) WITHOUT ROWID;"
        "CREATE TABLE fixes_passed(flight INTEGER NOT NULL, seq INTEGER NOT NULL, ident TEXT NOT "
        "NULL, distance_nm REAL NOT NULL, time REAL NOT NULL, fuel_on_board REAL NOT NULL, "
        "planned_fuel_on_board REAL NOT NULL, ofp_planned REAL, PRIMARY KEY(flight, seq)) WITHOUT "
        "ROWID;"
        "INSERT INTO flights VALUES(7, 'lbs', 'EGLL', 'KJFK', 'KBOS', 150000, 39000, 100, 200000, "
        "30000, 45000, 155000, 1.04, 1);"
        "PRAGMA user_version = 1;";
    struct Row {
        const char* name;
        std::string earlier;
        std::size_t flights;
    };
    for (const Row& row : {Row{"none: an empty file", "", 0}, Row{"1", version1, 1}}) {
        const TempFolder folder;
        const auto path = folder / "flights.sqlite";
        std::ofstream(path).close();
        sql(path, row.earlier);
        FlightLog log(path);
        EXPECT_EQ(log.notice(), "") << row.name;
        EXPECT_EQ(sql(path, "PRAGMA user_version"), "2") << row.name;
        const auto list = log.flights();
        ASSERT_EQ(list.flights.size(), row.flights) << row.name;
        if (row.flights == 1) {
            EXPECT_EQ(list.flights[0].origin, "EGLL");
            EXPECT_EQ(*list.flights[0].burnFactor, 1.04);
            EXPECT_FALSE(list.flights[0].fuelFactor);
        }
        EXPECT_TRUE(landedFlight(log, 500, 1.0) > 0) << row.name;
    }
}

// A file that is no log is moved aside under its own name, told once, and a new log starts.
TEST(FlightLog, MovesADamagedFileAsideAndStartsAgain) {
    struct Row {
        const char* name;
        std::function<void(const std::filesystem::path&)> damage;
    };
    const std::vector<Row> rows = {
        {"no database", [](const auto& path) { std::ofstream(path) << "my fuel notes\n"; }},
        {"a schema below 0",
         [](const auto& path) {
             { FlightLog(path).begin(plan(), reading(1, 2, 3, 4)); }
             sql(path, "PRAGMA user_version = -1");
         }},
        {"its schema overwritten",
         [](const auto& path) {
             { FlightLog(path).begin(plan(), reading(1, 2, 3, 4)); }
             std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(100);
             file << std::string(3000, '\x5a');
         }},
    };
    for (const auto& row : rows) {
        const TempFolder folder;
        const auto path = folder / "flights.sqlite";
        row.damage(path);
        const auto damaged = bytes(path);
        const FlightLog log(path);
        EXPECT_TRUE(log.writable()) << row.name;
        EXPECT_TRUE(std::regex_search(
            log.notice(), std::regex("^The flight log was damaged \\(.+\\); it was moved aside as "
                                     ".*/flights\\.sqlite\\.damaged-20[0-9]{6}-[0-9]{6} and a new "
                                     "log started\\.$")))
            << row.name << ": " << log.notice();
        std::vector<std::filesystem::path> aside;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().filename().string().starts_with("flights.sqlite.damaged-")) {
                aside.push_back(entry.path());
            }
        }
        ASSERT_EQ(aside.size(), 1U) << row.name;
        EXPECT_EQ(bytes(aside[0]), damaged) << row.name;
        EXPECT_EQ(FlightLog(path).notice(), "") << row.name;  // told once
    }
}

TEST(FlightLog, LeavesALogOfANewerBrimwellUntouched) {
    const TempFolder folder;
    const auto path = folder / "flights.sqlite";
    { landedFlight(*std::make_unique<FlightLog>(path), 100, 1.02); }
    sql(path, "PRAGMA user_version = 3");
    sql(path, "PRAGMA wal_checkpoint(TRUNCATE)");
    const auto before = bytes(path);
    FlightLog log(path);
    EXPECT_EQ(log.notice(),
              "The flight log was written by a newer Brimwell (schema 3); this one only reads it "
              "and keeps no flight. Update Brimwell to keep your flights.");
    EXPECT_FALSE(log.writable());
    EXPECT_EQ(log.flights().flights.size(), 1U);
    EXPECT_FALSE(log.begin(plan(), reading(1, 2, 3, 4)));
    EXPECT_FALSE(log.remove(1));
    EXPECT_EQ(bytes(path), before);
}

TEST(FlightLog, TellsAFolderThatCannotBeMade) {
    const TempFolder folder;
    std::ofstream(folder / "file").close();
    FlightLog log(folder / "file/brimwell/flights.sqlite");
    EXPECT_FALSE(log.readable());
    EXPECT_TRUE(log.notice().starts_with("Your flights are not being kept: the flight log "))
        << log.notice();
    std::vector<std::string> told;
    flightlog::FlightKeeper keeper(log, plan(), [&](const std::string& t) { told.push_back(t); });
    keeper.reading({1, flight::Phase::Airborne, reading(1, 2, 3, 4), ""});
    EXPECT_FALSE(keeper.id());
}

// A figure edited by hand out of what a watch can give leaves its row out, counted; never a crash.
TEST(FlightLog, LeavesOutAFigureOutOfItsRange) {
    struct Row {
        const char* name;
        std::string edit;
        std::size_t flights, readings, leftOut;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"as written", "", 2, 2, 0},
        {"fuel beyond any tank", "UPDATE flights SET takeoff_fuel = 1e300 WHERE id = 2", 1, 0, 1},
        {"fuel as a text", "UPDATE flights SET last_fuel = 'lots' WHERE id = 2", 1, 0, 1},
        {"a negative trip fuel", "UPDATE flights SET planned_trip_burn = -1 WHERE id = 2", 1, 0, 1},
        {"landed as 2", "UPDATE flights SET landed = 2 WHERE id = 2", 1, 0, 1},
        {"a reading before 1970", "UPDATE readings SET time = -5 WHERE seq = 1", 2, 1, 1},
        {"a phase of none", "UPDATE readings SET phase = 9 WHERE seq = 1", 2, 1, 1},
        {"an infinite burn factor", "UPDATE readings SET burn_factor = 9e999 WHERE seq = 1", 2, 1, 1},
        {"an origin with a line break", "UPDATE flights SET origin = 'LI' || char(10) || 'RF'", 2, 2, 0},
    };
    // clang-format on
    for (const auto& row : rows) {
        const TempFolder folder;
        FlightLog log(folder / "flights.sqlite");
        landedFlight(log, 100, 1.0);
        const auto id = *log.begin(plan(), reading(500, 227000, 5, 3995));
        log.addReading(id, reading(505, 226000, 6, 3994), false);
        sql(log.path(), row.edit);
        const auto list = log.flights();
        EXPECT_EQ(list.flights.size(), row.flights) << row.name;
        EXPECT_EQ(list.leftOut, row.flights == 2 ? 0 : 1) << row.name;
        const auto kept = log.flight(id);
        EXPECT_EQ(kept ? kept->readings.size() : 0, row.readings) << row.name;
        EXPECT_EQ(kept ? kept->leftOut : 1, row.leftOut) << row.name;
        EXPECT_EQ(list.flights.back().origin.find('\n'), std::string::npos) << row.name;
    }
}

// Two hours at a reading every 5 s: all of the first ten minutes and the last 100 nm, one a
// minute between, and the last reading whatever it is.
TEST(FlightKeeper, ThinsCruiseToOneAMinuteAndKeepsTheLast) {
    const TempFolder folder;
    FlightLog log(folder / "flights.sqlite");
    flightlog::FlightKeeper keeper(log, plan(), [](const std::string&) {});
    keeper.reading({0, flight::Phase::BeforeTakeoff,
                    reading(0, 230000, 0, 900, flight::Phase::BeforeTakeoff), ""});
    EXPECT_FALSE(keeper.id());  // not airborne yet
    for (int t = 5; t <= 7200; t += 5) {
        const double flown = t / 8.0;  // 450 kt
        keeper.reading(
            {double(t), flight::Phase::Airborne, reading(t, 230000 - t, flown, 900 - flown), ""});
    }
    const auto kept = log.flight(*keeper.id());
    ASSERT_TRUE(kept);
    std::size_t early = 0;
    std::size_t late = 0;
    std::size_t cruise = 0;
    double last = 0;
    for (const auto& r : kept->readings) {
        const bool near = r.time < 605 || r.check.distanceToGo <= 100;
        early += r.time < 605 ? 1 : 0;
        late += r.check.distanceToGo <= 100 ? 1 : 0;
        cruise += near ? 0 : 1;
        // The last in cruise may be nearer its last but one: it was the newest reading then.
        EXPECT_TRUE(near || r.time - last >= 60 || r.time == 6395) << r.time;
        last = r.time;
    }
    EXPECT_EQ(early, 120U);
    EXPECT_EQ(late, 161U);  // 100 nm at 450 kt, from 6400 s
    EXPECT_NEAR(static_cast<double>(cruise), (6400 - 600) / 60.0, 2);
    EXPECT_EQ(kept->readings.back().time, 7200);
}

TEST(FuelFactor, IsTheMedianOfTheLastTenLandedFlights) {
    struct Row {
        const char* name;
        std::vector<double> newestFirst;  // landed flights' burn factors; 0: unfinished
        std::string told;                 // "" for none
        std::optional<double> fuelFactor = std::nullopt;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"three", {1.04, 1.06, 1.05}, "your last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.0 %"},
        {"two", {1.04, 1.06}, ""},
        {"two and an unfinished", {1.04, 0, 1.06}, ""},
        {"four: between the middle two", {1.011, 1.042, 1.06, 1.03}, "your last 4 flights burnt 3.6 % more than planned, from +1.1 % to +6.0 %"},
        {"less", {0.97, 0.98, 0.99}, "your last 3 flights burnt 2.0 % less than planned, from -3.0 % to -1.0 %"},
        {"as planned", {1.0, 1.0, 1.0}, "your last 3 flights burnt as much as planned, from +0.0 % to +0.0 %"},
        {"beyond half: left out", {1.04, 1.06, 1.05, 2.5}, "your last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.0 %"},
        {"the last ten only", {1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 0.9, 0.9}, "your last 10 flights burnt 10.0 % more than planned, from +10.0 % to +10.0 %"},
        {"planned with +5 %", {1.0, 0.99, 1.01}, "your last 3 flights burnt 5.0 % more than planned, from +4.0 % to +6.1 %", 1.05},
    };
    // clang-format on
    for (const auto& row : rows) {
        flightlog::FlightList list;
        for (const double factor : row.newestFirst) {
            flightlog::FlightEntry entry;
            entry.landed = factor != 0;
            entry.burnFactor = factor != 0 ? std::optional(factor) : std::optional(1.2);
            entry.fuelFactor = row.fuelFactor;
            list.flights.push_back(entry);
        }
        const auto learnt = flightlog::learntFuelFactor(list);
        EXPECT_EQ(learnt ? flightlog::factorSentence(*learnt) : "", row.told) << row.name;
    }
}

TEST(FlightLog, WritesCsvThatASpreadsheetTakesAsText) {
    const TempFolder folder;
    FlightLog log(folder / "flights.sqlite");
    auto planned = plan("=HYPERLINK(\"x\")");
    const auto id = *log.begin(planned, reading(86400, 227000, 5, 3995));
    log.land(id, {90000, 40000.4, 187000, 188400, 1.0415, 1});
    EXPECT_EQ(flightlog::flightsCsv(log.flights()),
              "id,takeoff_utc,origin,destination,alternate,planned_trip_burn_lbs,trip_burn_lbs,"
              "burn_factor,landing_fuel_lbs,planned_landing_fuel_lbs,fuel_factor,landed\n"
              "1,1970-01-02T00:00:00Z,\"'=HYPERLINK(\"\"x\"\")\",\"KJFK\",\"KBOS\",188400,187000,"
              "1.042,40000,39352,,landed\n");
}

}  // namespace
}  // namespace brimwell::test
