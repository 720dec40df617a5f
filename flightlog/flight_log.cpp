#include "flightlog/flight_log.h"

#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <functional>
#include <string_view>
#include <system_error>
#include <thread>

#include "base/shown_text.h"
#include "base/utc_text.h"
#include "engine/cell_names.h"
#include "engine/number_text.h"
#include "flightlog/fuel_factor.h"

namespace brimwell::flightlog {

namespace {

// The migrations, one a schema version: step i brings version i to i + 1. A step is never
// changed once released; a change of the schema is a new step.
constexpr std::array<std::string_view, kSchemaVersion> kMigrations = {
    // 1: the flights, their plans, routes, readings and fixes passed.
    R"(CREATE TABLE flights(
         id INTEGER PRIMARY KEY,
         unit TEXT NOT NULL,
         origin TEXT NOT NULL, destination TEXT NOT NULL, alternate TEXT NOT NULL,
         planned_trip_burn REAL NOT NULL, planned_landing_fuel REAL NOT NULL,
         takeoff_time REAL NOT NULL, takeoff_fuel REAL NOT NULL,
         last_time REAL NOT NULL, last_fuel REAL NOT NULL,
         trip_burn REAL, burn_factor REAL,
         landed INTEGER NOT NULL DEFAULT 0);
       CREATE TABLE plan_cells(
         flight INTEGER NOT NULL REFERENCES flights(id) ON DELETE CASCADE,
         name TEXT NOT NULL, text TEXT NOT NULL, PRIMARY KEY(flight, name)) WITHOUT ROWID;
       CREATE TABLE route_fixes(
         flight INTEGER NOT NULL REFERENCES flights(id) ON DELETE CASCADE, seq INTEGER NOT NULL,
         ident TEXT NOT NULL, latitude REAL NOT NULL, longitude REAL NOT NULL,
         leg_nm REAL NOT NULL, planned_fuel REAL, PRIMARY KEY(flight, seq)) WITHOUT ROWID;
       CREATE TABLE readings(
         flight INTEGER NOT NULL REFERENCES flights(id) ON DELETE CASCADE, seq INTEGER NOT NULL,
         time REAL NOT NULL, phase INTEGER NOT NULL, progress_from INTEGER NOT NULL,
         off_route_nm REAL, distance_flown REAL NOT NULL, distance_to_go REAL NOT NULL,
         planned_burn REAL NOT NULL, fuel_on_board REAL NOT NULL,
         planned_fuel_on_board REAL NOT NULL, predicted_landing_fuel REAL NOT NULL,
         planned_landing_fuel REAL NOT NULL, reserves REAL NOT NULL, status INTEGER NOT NULL,
         burn_factor REAL, landing_at_burn REAL, fuel_flow REAL NOT NULL,
         PRIMARY KEY(flight, seq)) WITHOUT ROWID;
       CREATE TABLE fixes_passed(
         flight INTEGER NOT NULL REFERENCES flights(id) ON DELETE CASCADE, seq INTEGER NOT NULL,
         ident TEXT NOT NULL, distance_nm REAL NOT NULL, time REAL NOT NULL,
         fuel_on_board REAL NOT NULL, planned_fuel_on_board REAL NOT NULL, ofp_planned REAL,
         PRIMARY KEY(flight, seq)) WITHOUT ROWID;)",
    // 2: the fuel factor each flight was planned with, so that the factor learnt is the burn
    // against the tables, whatever the plan applied.
    "ALTER TABLE flights ADD COLUMN fuel_factor REAL;",
};

// The ranges a figure read back must lie in, as the watch gives them.
constexpr double kLatestTime = 1e10;  // UTC seconds: beyond the year 2286
constexpr double kMostPounds = engine::kMostFuelOnBoardKg / 0.45359237;
constexpr double kMostNm = engine::kLongestTravelMetres / 1852.0;
constexpr double kMostBurnFactor = 1000;
constexpr double kMostFlowPerHour = 1e8;

bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

// A figure read back that fails its range: the row it is in is left out.
struct BadFigure {};

std::string utcStamp() {
    return base::utcText(static_cast<double>(std::time(nullptr)), "%Y%m%d-%H%M%S", "");
}

}  // namespace

// The connection, and its statements prepared as they are first needed.
struct FlightLog::Database {
    sqlite3* handle = nullptr;
    ~Database() { sqlite3_close_v2(handle); }
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    Database(Database&&) = delete;
    Database& operator=(Database&&) = delete;
};

namespace {

// One statement, stepped row by row; its columns checked as they are read.
class Statement final {
  public:
    Statement(sqlite3* db, std::string_view sql)
        : m_code(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_statement,
                                    nullptr)) {}
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&&) = delete;
    Statement& operator=(Statement&&) = delete;

    bool ok() const { return m_code == SQLITE_OK || m_code == SQLITE_ROW || m_code == SQLITE_DONE; }
    int code() const { return m_code; }

    Statement& bind(double value) {
        record(sqlite3_bind_double(m_statement, ++m_bound, value));
        return *this;
    }
    Statement& bind(std::int64_t value) {
        record(sqlite3_bind_int64(m_statement, ++m_bound, value));
        return *this;
    }
    Statement& bind(int value) { return bind(static_cast<std::int64_t>(value)); }
    Statement& bind(std::string_view text) {
        record(sqlite3_bind_text(m_statement, ++m_bound, text.data(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bind(const std::optional<double>& value) {
        if (value) {
            return bind(*value);
        }
        record(sqlite3_bind_null(m_statement, ++m_bound));
        return *this;
    }

    // The next row; false at the end or on a failure (ok() tells which).
    bool step() {
        if (!ok() || m_code == SQLITE_DONE) {
            return false;
        }
        m_code = sqlite3_step(m_statement);
        return m_code == SQLITE_ROW;
    }
    bool run() {
        step();
        return m_code == SQLITE_DONE || m_code == SQLITE_ROW;
    }

    double real(int column, double low, double high) const {
        const int type = sqlite3_column_type(m_statement, column);
        if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) {
            throw BadFigure{};
        }
        const double value = sqlite3_column_double(m_statement, column);
        if (!within(value, low, high)) {
            throw BadFigure{};
        }
        return value;
    }
    std::optional<double> optionalReal(int column, double low, double high) const {
        if (sqlite3_column_type(m_statement, column) == SQLITE_NULL) {
            return std::nullopt;
        }
        return real(column, low, high);
    }
    std::int64_t raw(int column) const { return sqlite3_column_int64(m_statement, column); }
    std::int64_t integer(int column, std::int64_t low, std::int64_t high) const {
        if (sqlite3_column_type(m_statement, column) != SQLITE_INTEGER) {
            throw BadFigure{};
        }
        const auto value = sqlite3_column_int64(m_statement, column);
        if (value < low || value > high) {
            throw BadFigure{};
        }
        return value;
    }
    // A text as the pilot may be shown it: cleaned of control characters, cut.
    std::string text(int column) const {
        const auto* const bytes = sqlite3_column_text(m_statement, column);
        if (bytes == nullptr) {
            throw BadFigure{};
        }
        return base::shownText(
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): SQLite's text type
            std::string_view(reinterpret_cast<const char*>(bytes),
                             static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))));
    }

  private:
    void record(int code) {
        if (code != SQLITE_OK && ok()) {
            m_code = code;
        }
    }

    sqlite3_stmt* m_statement = nullptr;
    int m_code = SQLITE_OK;
    int m_bound = 0;
};

bool execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Turning a new log to WAL mode takes the file to itself for a moment; another Brimwell opening it
// at that moment is told busy at once, without the busy handler, so it tries again within the
// busy timeout.
bool walMode(sqlite3* db) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    while (!execute(db, "PRAGMA journal_mode=WAL")) {
        const int code = sqlite3_errcode(db) & 0xff;
        if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || Clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A transaction, rolled back unless committed.
class Transaction final {
  public:
    explicit Transaction(sqlite3* db) : m_db(db), m_open(execute(db, "BEGIN IMMEDIATE")) {}
    ~Transaction() {
        if (m_open) {
            execute(m_db, "ROLLBACK");
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    Transaction(Transaction&&) = delete;
    Transaction& operator=(Transaction&&) = delete;

    bool open() const { return m_open; }
    bool commit() {
        m_open = m_open && !execute(m_db, "COMMIT");
        return !m_open;
    }

  private:
    sqlite3* m_db;
    bool m_open;
};

std::string unitText(engine::Unit unit) {
    return std::string(engine::unitName(unit));
}

constexpr const char* kReadingColumns =
    "time, phase, progress_from, off_route_nm, distance_flown, distance_to_go, planned_burn, "
    "fuel_on_board, planned_fuel_on_board, predicted_landing_fuel, planned_landing_fuel, "
    "reserves, status, burn_factor, landing_at_burn, fuel_flow";

void bindReading(Statement& statement, const flight::WatchedCheck& watched) {
    const auto& check = watched.check;
    statement.bind(watched.time)
        .bind(static_cast<int>(watched.phase))
        .bind(static_cast<int>(watched.progressFrom))
        .bind(watched.offRouteNm)
        .bind(check.distanceFlown)
        .bind(check.distanceToGo)
        .bind(check.plannedBurn)
        .bind(check.fuelOnBoard)
        .bind(check.plannedFuelOnBoard)
        .bind(check.predictedLandingFuel)
        .bind(check.plannedLandingFuel)
        .bind(check.reserves)
        .bind(static_cast<int>(check.status))
        .bind(watched.burnFactor)
        .bind(watched.predictedLandingFuelAtCurrentBurn)
        .bind(watched.fuelFlowPerHour);
}

flight::WatchedCheck readReading(const Statement& row) {
    flight::WatchedCheck watched;
    watched.time = row.real(0, 0, kLatestTime);
    watched.phase =
        static_cast<flight::Phase>(row.integer(1, static_cast<int>(flight::Phase::BeforeTakeoff),
                                               static_cast<int>(flight::Phase::Landed)));
    watched.progressFrom = static_cast<flight::ProgressFrom>(row.integer(2, 0, 1));
    watched.offRouteNm = row.optionalReal(3, 0, kMostNm);
    auto& check = watched.check;
    check.distanceFlown = row.real(4, 0, kMostNm);
    check.distanceToGo = row.real(5, 0, kMostNm);
    check.plannedBurn = row.real(6, 0, kMostPounds);
    check.fuelOnBoard = row.real(7, 0, kMostPounds);
    check.plannedFuelOnBoard = row.real(8, -kMostPounds, kMostPounds);
    check.difference = check.fuelOnBoard - check.plannedFuelOnBoard;
    check.predictedLandingFuel = row.real(9, -kMostPounds, kMostPounds);
    check.plannedLandingFuel = row.real(10, 0, kMostPounds);
    check.reserves = row.real(11, 0, kMostPounds);
    check.margin = check.predictedLandingFuel - check.plannedLandingFuel;
    check.status = static_cast<engine::FuelStatus>(row.integer(12, 0, 2));
    watched.burnFactor = row.optionalReal(13, 0, kMostBurnFactor);
    watched.predictedLandingFuelAtCurrentBurn = row.optionalReal(14, -kMostPounds, kMostPounds);
    watched.fuelFlowPerHour = row.real(15, 0, kMostFlowPerHour);
    return watched;
}

constexpr const char* kEntryColumns =
    "id, takeoff_time, takeoff_fuel, origin, destination, alternate, planned_trip_burn, "
    "planned_landing_fuel, last_time, last_fuel, trip_burn, burn_factor, fuel_factor, landed, "
    "unit";

FlightEntry readEntry(const Statement& row) {
    FlightEntry entry;
    entry.id = row.integer(0, 1, INT64_MAX);
    entry.takeoffTime = row.real(1, 0, kLatestTime);
    entry.takeoffFuel = row.real(2, 0, kMostPounds);
    entry.origin = row.text(3);
    entry.destination = row.text(4);
    entry.alternate = row.text(5);
    entry.plannedTripBurn = row.real(6, 0, kMostPounds);
    entry.plannedLandingFuel = row.real(7, 0, kMostPounds);
    entry.lastTime = row.real(8, entry.takeoffTime, kLatestTime);
    entry.lastFuel = row.real(9, 0, kMostPounds);
    entry.tripBurn = row.optionalReal(10, -kMostPounds, kMostPounds);
    entry.burnFactor = row.optionalReal(11, 0, kMostBurnFactor);
    entry.fuelFactor = row.optionalReal(12, kFewestFuelFactor, kMostFuelFactor);
    entry.landed = row.integer(13, 0, 1) == 1;
    return entry;
}

// The schema read first: a file that is no database, or whose first page is damaged, fails
// here with its code. Both statements end before anything is written.
struct SchemaRead {
    int code = SQLITE_OK;
    int version = 0;
};

SchemaRead readSchema(sqlite3* handle) {
    SchemaRead read;
    Statement check(handle, "SELECT count(*) FROM sqlite_schema");
    read.code = check.step() ? SQLITE_OK : check.code();
    Statement versionRead(handle, "PRAGMA user_version");
    read.version = versionRead.step() ? static_cast<int>(versionRead.raw(0)) : 0;
    return read;
}

}  // namespace

std::optional<double> FlightEntry::tableBurnFactor() const {
    if (!burnFactor) {
        return std::nullopt;
    }
    return *burnFactor * fuelFactor.value_or(1.0);
}

PlannedFlight plannedFlight(const engine::CellReader& poundCells, engine::Unit unit,
                            const std::optional<flightplan::Route>& route,
                            std::optional<double> fuelFactor) {
    PlannedFlight plan;
    plan.unit = unit;
    plan.fuelFactor = fuelFactor;
    engine::cell::forEachPlanCell([&](std::string_view name) {
        plan.cells.emplace(std::string(name), poundCells.text(name));
    });
    if (route) {
        plan.fixes = route->fixes;
    }
    return plan;
}

std::filesystem::path FlightLog::defaultPath() {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    const char* const data = std::getenv("XDG_DATA_HOME");
    // NOLINTNEXTLINE(concurrency-mt-unsafe): as above
    const char* const home = std::getenv("HOME");
    std::filesystem::path folder;
    if (data != nullptr && *data == '/') {
        folder = data;
    } else {
        folder = std::filesystem::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return folder / "brimwell" / "flights.sqlite";
}

FlightLog::FlightLog(std::filesystem::path path) : m_path(std::move(path)) {
    open();
}

FlightLog::~FlightLog() = default;

bool FlightLog::readable() const {
    return m_db != nullptr;
}

bool FlightLog::failed(const std::string& what) {
    m_problem = what + (m_db ? std::string(": ") + sqlite3_errmsg(m_db->handle) : std::string());
    if (m_db && sqlite3_errcode(m_db->handle) == SQLITE_BUSY) {
        // Held by another program beyond the whole wait (a writer stopped in its transaction):
        // the next writes try once each, so that such a log costs one wait and not one a reading.
        sqlite3_busy_timeout(m_db->handle, 0);
    }
    return false;
}

void FlightLog::waitAgain() {
    sqlite3_busy_timeout(m_db->handle, kBusyTimeoutMs);
}

bool FlightLog::openFile(bool create) {
    m_db = std::make_unique<Database>();
    const int flags = (create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) |
                      SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(m_path.c_str(), &m_db->handle, flags, nullptr) != SQLITE_OK) {
        return false;
    }
    sqlite3_extended_result_codes(m_db->handle, 1);
    sqlite3_busy_timeout(m_db->handle, kBusyTimeoutMs);
    return true;
}

void FlightLog::moveAside(const std::string& why) {
    m_db.reset();
    const std::string base = m_path.string() + ".damaged-" + utcStamp();
    std::string aside = base;
    // Never over an earlier one moved aside in the same second.
    for (int n = 2; std::filesystem::exists(aside); ++n) {
        aside = base + "-" + std::to_string(n);
    }
    std::error_code error;
    std::filesystem::rename(m_path, aside, error);
    if (error) {
        m_notice = "The flight log " + base::shownText(m_path.string()) + " is damaged (" + why +
                   ") and could not be moved aside: " + error.message() +
                   ". Your flights are not being kept.";
        return;
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        std::filesystem::rename(m_path.string() + suffix, aside + suffix, error);
    }
    m_notice = "The flight log was damaged (" + why + "); it was moved aside as " +
               base::shownText(aside) + " and a new log started.";
}

void FlightLog::open() {
    std::error_code error;
    std::filesystem::create_directories(m_path.parent_path(), error);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!openFile(true)) {
            const std::string why = m_db != nullptr && m_db->handle != nullptr
                                        ? sqlite3_errmsg(m_db->handle)
                                        : "it cannot be opened";
            m_db.reset();
            m_notice = "Your flights are not being kept: the flight log " +
                       base::shownText(m_path.string()) + " cannot be opened (" + why + ").";
            return;
        }
        const auto [code, version] = readSchema(m_db->handle);
        if ((code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT || version < 0) {
            moveAside(version < 0 ? "its schema version is below 0" : sqlite3_errstr(code));
            continue;
        }
        if (code != SQLITE_OK) {
            m_db.reset();
            m_notice = "Your flights are not being kept: the flight log " +
                       base::shownText(m_path.string()) + " cannot be read (" +
                       sqlite3_errstr(code) + ").";
            return;
        }
        if (version > kSchemaVersion) {
            openFile(false);
            m_readOnly = true;
            m_notice = "The flight log was written by a newer Brimwell (schema " +
                       std::to_string(version) +
                       "); this one only reads it and keeps no flight. Update Brimwell to keep "
                       "your flights.";
            return;
        }
        // In WAL mode, NORMAL loses no transaction to a program killed, only to the machine
        // losing power, and then the log is still whole: a reading is not worth a disk flush.
        if (!walMode(m_db->handle) || !execute(m_db->handle, "PRAGMA synchronous=NORMAL") ||
            !execute(m_db->handle, "PRAGMA foreign_keys=ON")) {
            failed("the flight log cannot be written");
        }
        if (!m_problem.empty() || !migrate(version)) {
            m_readOnly = true;
            m_notice = "Your flights are not being kept: " + m_problem + ".";
        }
        return;
    }
}

bool FlightLog::migrate(int version) {
    if (version == kSchemaVersion) {
        return true;
    }
    Transaction transaction(m_db->handle);
    if (!transaction.open()) {
        return failed("the flight log is in use");
    }
    // Read again inside the transaction: another program may have migrated it meanwhile.
    {
        Statement again(m_db->handle, "PRAGMA user_version");
        version = again.step() ? static_cast<int>(again.raw(0)) : version;
    }
    for (auto step = static_cast<std::size_t>(version); step < kMigrations.size(); ++step) {
        if (!execute(m_db->handle, std::string(kMigrations.at(step)).c_str())) {
            return failed("the flight log could not be brought to schema " +
                          std::to_string(step + 1));
        }
    }
    const std::string setVersion = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
    if (!execute(m_db->handle, setVersion.c_str()) || !transaction.commit()) {
        return failed("the flight log could not be written");
    }
    return true;
}

std::optional<std::int64_t> FlightLog::begin(const PlannedFlight& plan,
                                             const flight::WatchedCheck& first) {
    if (!writable()) {
        failed("the flight log is not open for writing");
        return std::nullopt;
    }
    auto* const db = m_db->handle;
    Transaction transaction(db);
    if (!transaction.open()) {
        failed("the flight log is in use");
        return std::nullopt;
    }
    waitAgain();
    const auto cell = [&plan](std::string_view name) {
        const auto found = plan.cells.find(name);
        return found == plan.cells.end() ? std::string() : found->second;
    };
    // The plan's figures as the engine wrote them; a cell it left empty counts 0.
    const auto number = [&](std::string_view name) {
        try {
            return engine::toNumber(cell(name));
        } catch (const std::exception&) {
            return 0.0;
        }
    };
    Statement flight(db,
                     "INSERT INTO flights(unit, origin, destination, alternate, "
                     "planned_trip_burn, planned_landing_fuel, takeoff_time, takeoff_fuel, "
                     "last_time, last_fuel, fuel_factor) VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    flight.bind(unitText(plan.unit))
        .bind(cell(engine::cell::txtOriginICAO))
        .bind(cell(engine::cell::txtDestinationICAO))
        .bind(cell(engine::cell::txtAlternateICAO))
        .bind(number(engine::cell::txtFPF))
        .bind(first.check.plannedLandingFuel)
        .bind(first.time)
        .bind(first.check.fuelOnBoard)
        .bind(first.time)
        .bind(first.check.fuelOnBoard)
        .bind(plan.fuelFactor);
    if (!flight.run()) {
        failed("the flight could not be kept");
        return std::nullopt;
    }
    const std::int64_t id = sqlite3_last_insert_rowid(db);
    bool written = true;
    for (const auto& [name, text] : plan.cells) {
        Statement row(db, "INSERT INTO plan_cells VALUES(?,?,?)");
        written = written && row.bind(id).bind(name).bind(text).run();
    }
    int seq = 0;
    for (const auto& fix : plan.fixes) {
        Statement row(db, "INSERT INTO route_fixes VALUES(?,?,?,?,?,?,?)");
        written = written && row.bind(id)
                                 .bind(seq++)
                                 .bind(fix.ident)
                                 .bind(fix.latitude)
                                 .bind(fix.longitude)
                                 .bind(fix.legNm)
                                 .bind(fix.plannedFuelOnBoard)
                                 .run();
    }
    Statement reading(db, std::string("INSERT INTO readings(flight, seq, ") + kReadingColumns +
                              ") VALUES(?,0,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    reading.bind(id);
    bindReading(reading, first);
    if (!written || !reading.run() || !transaction.commit()) {
        failed("the flight could not be kept");
        return std::nullopt;
    }
    return id;
}

bool FlightLog::addReading(std::int64_t id, const flight::WatchedCheck& check, bool replaceLast) {
    if (!writable()) {
        return failed("the flight log is not open for writing");
    }
    auto* const db = m_db->handle;
    Transaction transaction(db);
    if (!transaction.open()) {
        return failed("the flight log is in use");
    }
    waitAgain();
    std::int64_t seq = 0;
    {
        Statement last(db, "SELECT max(seq) FROM readings WHERE flight = ?");
        last.bind(id);
        seq = last.step() ? last.raw(0) : 0;
    }
    Statement reading(db, std::string("INSERT OR REPLACE INTO readings(flight, seq, ") +
                              kReadingColumns + ") VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    reading.bind(id).bind(replaceLast ? seq : seq + 1);
    bindReading(reading, check);
    Statement flight(db,
                     "UPDATE flights SET last_time = ?, last_fuel = ?, "
                     "trip_burn = takeoff_fuel - ?, burn_factor = ? WHERE id = ?");
    flight.bind(check.time)
        .bind(check.check.fuelOnBoard)
        .bind(check.check.fuelOnBoard)
        .bind(check.burnFactor)
        .bind(id);
    if (!reading.run() || !flight.run() || !transaction.commit()) {
        return failed("the reading could not be kept");
    }
    return true;
}

bool FlightLog::addFix(std::int64_t id, const flight::PassedFix& fix) {
    if (!writable()) {
        return failed("the flight log is not open for writing");
    }
    Statement row(m_db->handle,
                  "INSERT INTO fixes_passed SELECT ?, coalesce(max(seq) + 1, 0), ?, ?, ?, ?, ?, ? "
                  "FROM fixes_passed WHERE flight = ?");
    row.bind(id)
        .bind(fix.ident)
        .bind(fix.distanceNm)
        .bind(fix.time)
        .bind(fix.fuelOnBoard)
        .bind(fix.plannedFuelOnBoard)
        .bind(fix.ofpPlannedFuelOnBoard)
        .bind(id);
    return row.run() || failed("the fix passed could not be kept");
}

bool FlightLog::land(std::int64_t id, const flight::FlightSummary& summary) {
    if (!writable()) {
        return failed("the flight log is not open for writing");
    }
    Statement row(m_db->handle,
                  "UPDATE flights SET landed = 1, last_time = ?, last_fuel = ?, "
                  "trip_burn = ?, burn_factor = ? WHERE id = ?");
    row.bind(summary.time)
        .bind(summary.fuelOnBoard)
        .bind(summary.tripBurn)
        .bind(summary.burnFactor)
        .bind(id);
    return row.run() || failed("the landing could not be kept");
}

bool FlightLog::remove(std::int64_t id) {
    if (!writable()) {
        return failed("the flight log is not open for writing");
    }
    Statement row(m_db->handle, "DELETE FROM flights WHERE id = ?");
    row.bind(id);
    return (row.run() && sqlite3_changes(m_db->handle) == 1) ||
           failed("flight " + std::to_string(id) + " could not be deleted");
}

FlightList FlightLog::flights() const {
    FlightList list;
    if (!readable()) {
        return list;
    }
    Statement rows(m_db->handle, std::string("SELECT ") + kEntryColumns +
                                     " FROM flights ORDER BY takeoff_time "
                                     "DESC, id DESC");
    while (rows.step()) {
        try {
            list.flights.push_back(readEntry(rows));
        } catch (const BadFigure&) {
            ++list.leftOut;
        }
    }
    if (!rows.ok()) {
        m_problem = std::string("the flight log could not be read: ") + sqlite3_errstr(rows.code());
    }
    return list;
}

std::optional<KeptFlight> FlightLog::flight(std::int64_t id) const {
    if (!readable()) {
        return std::nullopt;
    }
    auto* const db = m_db->handle;
    KeptFlight kept;
    Statement entry(db, std::string("SELECT ") + kEntryColumns + " FROM flights WHERE id = ?");
    entry.bind(id);
    if (!entry.step()) {
        m_problem = "there is no flight " + std::to_string(id) + " in the log";
        return std::nullopt;
    }
    try {
        kept.entry = readEntry(entry);
        kept.plan.unit = engine::unitNamed(entry.text(14)).value_or(engine::Unit::Pounds);
        kept.plan.fuelFactor = kept.entry.fuelFactor;
    } catch (const BadFigure&) {
        m_problem = "flight " + std::to_string(id) + " holds a figure out of its range";
        return std::nullopt;
    }
    Statement cells(db, "SELECT name, text FROM plan_cells WHERE flight = ?");
    cells.bind(id);
    while (cells.step()) {
        try {
            kept.plan.cells.emplace(cells.text(0), cells.text(1));
        } catch (const BadFigure&) {
            ++kept.leftOut;
        }
    }
    const auto each = [&](const std::string& sql,
                          const std::function<void(const Statement&)>& read) {
        Statement rows(db, sql);
        rows.bind(id);
        while (rows.step()) {
            try {
                read(rows);
            } catch (const BadFigure&) {
                ++kept.leftOut;
            }
        }
    };
    each(
        "SELECT ident, latitude, longitude, leg_nm, planned_fuel FROM route_fixes WHERE flight = "
        "? ORDER BY seq",
        [&](const Statement& row) {
            kept.plan.fixes.push_back({row.text(0), row.real(1, -90, 90), row.real(2, -180, 180),
                                       row.real(3, 0, kMostNm),
                                       row.optionalReal(4, 0, kMostPounds)});
        });
    each(std::string("SELECT ") + kReadingColumns + " FROM readings WHERE flight = ? ORDER BY seq",
         [&](const Statement& row) { kept.readings.push_back(readReading(row)); });
    each(
        "SELECT ident, distance_nm, time, fuel_on_board, planned_fuel_on_board, ofp_planned FROM "
        "fixes_passed WHERE flight = ? ORDER BY seq",
        [&](const Statement& row) {
            flight::PassedFix fix;
            fix.ident = row.text(0);
            fix.distanceNm = row.real(1, 0, kMostNm);
            fix.time = row.real(2, 0, kLatestTime);
            fix.fuelOnBoard = row.real(3, 0, kMostPounds);
            fix.plannedFuelOnBoard = row.real(4, -kMostPounds, kMostPounds);
            fix.ofpPlannedFuelOnBoard = row.optionalReal(5, 0, kMostPounds);
            fix.difference = fix.fuelOnBoard - fix.plannedFuelOnBoard;
            kept.fixes.push_back(fix);
        });
    return kept;
}

std::string flightsCsv(const FlightList& list) {
    std::string csv =
        "id,takeoff_utc,origin,destination,alternate,planned_trip_burn_lbs,trip_burn_lbs,"
        "burn_factor,landing_fuel_lbs,planned_landing_fuel_lbs,fuel_factor,landed\n";
    // A text field quoted, its quotes doubled; one that a spreadsheet would take for a formula
    // is led by an apostrophe.
    const auto field = [](const std::string& text) {
        std::string out = "\"";
        if (!text.empty() &&
            std::string_view("=+-@").find(text.front()) != std::string_view::npos) {
            out += '\'';
        }
        for (const char c : text) {
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        }
        return out + "\"";
    };
    const auto number = [](const std::optional<double>& value, int decimals) {
        if (!value) {
            return std::string();
        }
        std::array<char, 32> text{};
        (void)std::snprintf(text.data(), text.size(), "%.*f", decimals, *value);
        return std::string(text.data());
    };
    for (const auto& flight : list.flights) {
        csv += std::to_string(flight.id) + "," +
               base::utcText(flight.takeoffTime, "%Y-%m-%dT%H:%M:%SZ", "") + "," +
               field(flight.origin) + "," + field(flight.destination) + "," +
               field(flight.alternate) + "," + number(flight.plannedTripBurn, 0) + "," +
               number(flight.tripBurn, 0) + "," + number(flight.burnFactor, 3) + "," +
               number(flight.landed ? std::optional(flight.lastFuel) : std::nullopt, 0) + "," +
               number(flight.plannedLandingFuel, 0) + "," + number(flight.fuelFactor, 3) + "," +
               (flight.landed ? "landed" : "unfinished") + "\n";
    }
    return csv;
}

}  // namespace brimwell::flightlog
