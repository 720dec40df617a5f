#include "cli/plan_flights.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <utility>

#include "base/shown_text.h"
#include "base/utc_text.h"
#include "cli/plan_run.h"
#include "cli/plan_watch.h"
#include "engine/fuel_planner.h"
#include "engine/units.h"
#include "flightlog/flight_keeper.h"
#include "flightlog/fuel_factor.h"

namespace brimwell::cli {

namespace {

using Json = nlohmann::ordered_json;

// The most digits an option's number may have.
constexpr std::size_t kLongestNumber = 16;

std::string quotedValue(const std::string& value) {
    return "\"" + base::shownText(value) + "\"";
}

// "2026-12-09 08:10", UTC.
std::string dateText(double time) {
    return base::utcText(time, "%Y-%m-%d %H:%M", "----------");
}

// The log's notice, once, on the error stream.
void tellNotice(const flightlog::FlightLog& log, std::ostream& err) {
    if (!log.notice().empty()) {
        err << "brimwell-plan: " << log.notice() << '\n';
    }
}

std::string percentOf(const std::optional<double>& factor) {
    return factor ? engine::fuelFactorPercent(*factor) : "-";
}

class FlightWords final {
  public:
    explicit FlightWords(engine::Unit unit) : m_unit(unit) {}

    long long whole(double pounds) const { return std::llround(engine::weightIn(pounds, m_unit)); }
    Json weightJson(const std::optional<double>& pounds) const {
        return pounds ? Json(whole(*pounds)) : Json();
    }
    std::string weight(const std::optional<double>& pounds) const {
        return pounds ? std::to_string(whole(*pounds)) + " " + std::string(engine::unitName(m_unit))
                      : "-";
    }

    Json entryJson(const flightlog::FlightEntry& flight) const {
        const auto rounded = [](const std::optional<double>& value) {
            return value ? Json(std::round(*value * 1000) / 1000) : Json();
        };
        Json object;
        object["id"] = flight.id;
        object["takeoff_time"] = std::round(flight.takeoffTime * 1000) / 1000;
        object["origin"] = flight.origin;
        object["destination"] = flight.destination;
        object["alternate"] = flight.alternate;
        object["planned_trip_burn"] = whole(flight.plannedTripBurn);
        object["trip_burn"] = weightJson(flight.tripBurn);
        object["burn_factor"] = rounded(flight.burnFactor);
        object["landing_fuel"] =
            weightJson(flight.landed ? std::optional(flight.lastFuel) : std::nullopt);
        object["planned_landing_fuel"] = whole(flight.plannedLandingFuel);
        object["fuel_factor"] = rounded(flight.fuelFactor);
        object["landed"] = flight.landed;
        return object;
    }

    // "3  2026-12-09 08:10  LIRF → KJFK  trip burn 195936 lbs of 188400 planned (+4.0 %),
    // landing fuel 40000 lbs of 39352 planned, landed"
    std::string entryLine(const flightlog::FlightEntry& flight) const {
        std::string line = std::to_string(flight.id) + "  " + dateText(flight.takeoffTime) + "  " +
                           flight.origin + " \u2192 " + flight.destination + "  trip burn " +
                           weight(flight.tripBurn) + " of " + weight(flight.plannedTripBurn) +
                           " planned (" + percentOf(flight.burnFactor) + "), ";
        line += flight.landed
                    ? "landing fuel " + weight(flight.lastFuel) + " of " +
                          weight(flight.plannedLandingFuel) + " planned, landed"
                    : "fuel " + weight(flight.lastFuel) + " at the last reading, " + "unfinished";
        if (flight.fuelFactor) {
            line += ", planned with fuel factor " + percentOf(flight.fuelFactor);
        }
        return line;
    }

  private:
    engine::Unit m_unit;
};

Json factorJson(const std::optional<flightlog::FuelFactor>& factor) {
    if (!factor) {
        return nullptr;
    }
    const auto rounded = [](double value) { return std::round(value * 10000) / 10000; };
    return {
        {"factor", rounded(factor->factor)}, {"percent", engine::fuelFactorPercent(factor->factor)},
        {"lowest", rounded(factor->lowest)}, {"highest", rounded(factor->highest)},
        {"flights", factor->flights},        {"sentence", flightlog::factorSentence(*factor)}};
}

std::string factorLine(const std::optional<flightlog::FuelFactor>& factor) {
    if (!factor) {
        return "No fuel factor yet: it is learnt from " +
               std::to_string(flightlog::kFewestFactorFlights) + " landed flights or more.";
    }
    std::string sentence = flightlog::factorSentence(*factor);
    sentence.front() = 'Y';
    return sentence + ".";
}

int listFlights(const PlanRequest& request, const flightlog::FlightLog& log, std::ostream& out) {
    const auto list = log.flights();
    const auto factor = flightlog::learntFuelFactor(list);
    const FlightWords words(request.unit);
    if (request.json) {
        auto flights = Json::array();
        for (const auto& flight : list.flights) {
            flights.push_back(words.entryJson(flight));
        }
        Json object;
        object["units"] = engine::unitName(request.unit);
        object["flights"] = std::move(flights);
        object["left_out"] = list.leftOut;
        object["fuel_factor"] = factorJson(factor);
        out << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
        return kExitPlanned;
    }
    for (const auto& flight : list.flights) {
        out << words.entryLine(flight) << '\n';
    }
    if (list.flights.empty()) {
        out << "No flights in the log yet.\n";
    }
    if (list.leftOut > 0) {
        out << list.leftOut << (list.leftOut == 1 ? " flight" : " flights")
            << " left out: a figure out of its range.\n";
    }
    out << factorLine(factor) << '\n';
    return kExitPlanned;
}

int showFlight(const PlanRequest& request, const flightlog::FlightLog& log, std::ostream& out,
               std::ostream& err) {
    const auto kept = log.flight(*request.flightId);
    if (!kept) {
        err << "brimwell-plan: --flight " << *request.flightId << ": " << log.problem() << '\n';
        return kExitRefused;
    }
    const FlightWords words(request.unit);
    if (request.json) {
        out << Json{{"flight", words.entryJson(kept->entry)}}.dump(-1, ' ', false,
                                                                   Json::error_handler_t::replace)
            << '\n';
    } else {
        out << words.entryLine(kept->entry) << '\n';
    }
    tellKeptFlight(*kept, request.unit, request.json, out);
    return kExitPlanned;
}

}  // namespace

std::int64_t flightIdOption(const std::string& value) {
    std::int64_t id = 0;
    const auto* const end = value.data() + value.size();
    if (value.empty() || value.size() > kLongestNumber ||
        std::from_chars(value.data(), end, id).ptr != end || id < 1) {
        throw OptionError("--flight takes the number of a flight of --flights, not " +
                          quotedValue(value));
    }
    return id;
}

FuelFactorOption fuelFactorOption(const std::string& value) {
    if (value == "auto") {
        return {true, 1};
    }
    // A plain decimal, signed or not, at most one decimal: "5", "+4.5", "-2".
    const std::string_view digits = std::string_view(value).substr(
        !value.empty() && (value[0] == '+' || value[0] == '-') ? 1 : 0);
    const auto point = digits.find('.');
    const bool plain = !digits.empty() && digits.size() <= kLongestNumber &&
                       std::all_of(digits.begin(), digits.end(),
                                   [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) &&
                       std::count(digits.begin(), digits.end(), '.') <= 1 && digits[0] != '.' &&
                       (point == std::string_view::npos || point + 2 == digits.size());
    double percent = 0;
    if (!plain ||
        std::from_chars(digits.data(), digits.data() + digits.size(), percent).ec != std::errc{} ||
        percent > 50) {
        throw OptionError(
            "--fuel-factor takes auto, or the percentage more fuel than the tables, -50 to 50 "
            "with at most one decimal (4.5, -2), not " +
            quotedValue(value));
    }
    return {false, 1 + (value[0] == '-' ? -percent : percent) / 100};
}

void refuseLogConflicts(const PlanRequest& request) {
    const int asked =
        (request.flights ? 1 : 0) + (request.flightId ? 1 : 0) + (request.flightsCsv ? 1 : 0);
    if (asked > 1) {
        throw OptionError(
            "--flights, --flight and --flights-csv each read the flight log; give one");
    }
    const bool planned = !request.cells.empty() || request.ofpPath || request.simbriefUser ||
                         request.pdfPath || request.sendToXPlane || request.fuelCheck ||
                         request.watch || request.correction || request.fuelFactor;
    if (asked == 1 && planned) {
        throw OptionError(
            "--flights, --flight and --flights-csv read the flight log and plan nothing; give "
            "them without the options of a plan");
    }
}

std::string flightsHelp() {
    return "\nEvery flight that --watch follows is kept from takeoff in the flight log,\n"
           "$XDG_DATA_HOME/brimwell/flights.sqlite (~/.local/share/brimwell/ when it is unset),\n"
           "which the window shares: its plan, route, readings (one a minute in cruise, every one\n"
           "near takeoff and landing), the fixes passed and the landing. --flights lists them "
           "(with\n"
           "--json as one object: \"flights\", \"fuel_factor\"); --flight ID shows one as --watch\n"
           "told it. The fuel factor is the median burn of the last 10 landed flights against the\n"
           "tables' trip fuel, from 3 at least; --fuel-factor auto plans with it, and then the\n"
           "report, the PDF page and the JSON object's \"fuel_factor\" say so. Without\n"
           "--fuel-factor every figure is the tables'. A log that cannot be kept, is damaged "
           "(moved\n"
           "aside as flights.sqlite.damaged-YYYYMMDD-HHMMSS) or comes from a newer Brimwell is\n"
           "told on the error stream, and the watch goes on.\n";
}

bool asksForTheLog(const PlanRequest& request) {
    return request.flights || request.flightId || request.flightsCsv;
}

int answerFromTheLog(const PlanRequest& request, std::ostream& out, std::ostream& err) {
    const flightlog::FlightLog log;
    tellNotice(log, err);
    if (request.flightId) {
        return showFlight(request, log, out, err);
    }
    if (request.flightsCsv) {
        std::ofstream file(*request.flightsCsv, std::ios::binary | std::ios::trunc);
        file << flightlog::flightsCsv(log.flights());
        if (!file.flush()) {
            err << "brimwell-plan: the CSV file " << base::shownText(*request.flightsCsv)
                << " was not written\n";
            return kExitNotWritten;
        }
        return kExitPlanned;
    }
    return listFlights(request, log, out);
}

std::optional<AppliedFuelFactor> appliedFuelFactor(const PlanRequest& request, std::ostream& err) {
    if (!request.fuelFactor) {
        return std::nullopt;
    }
    if (!request.fuelFactor->learnt) {
        return AppliedFuelFactor{request.fuelFactor->factor, std::nullopt};
    }
    const flightlog::FlightLog log;
    tellNotice(log, err);
    const auto learnt = flightlog::learntFuelFactor(log.flights());
    if (!learnt) {
        err << "brimwell-plan: --fuel-factor auto: the flight log holds fewer than "
            << flightlog::kFewestFactorFlights
            << " landed flights to learn a fuel factor from; planned without one\n";
        return std::nullopt;
    }
    return AppliedFuelFactor{learnt->applied(), flightlog::factorSentence(*learnt)};
}

nlohmann::ordered_json appliedFactorJson(const AppliedFuelFactor& applied) {
    return {{"factor", applied.factor},
            {"percent", engine::fuelFactorPercent(applied.factor)},
            {"from", applied.sentence ? "flight log" : "option"},
            {"sentence", applied.sentence ? Json(*applied.sentence) : Json()}};
}

struct KeptWatch::Parts {
    flightlog::FlightLog log;
    flightlog::FlightKeeper keeper;
    Parts(flightlog::PlannedFlight plan, std::ostream& err)
        : keeper(log, std::move(plan),
                 [&err](const std::string& told) { err << "brimwell-plan: " << told << '\n'; }) {}
};

KeptWatch::KeptWatch(flightlog::PlannedFlight plan, std::ostream& err)
    : m_parts(std::make_unique<Parts>(std::move(plan), err)) {
    tellNotice(m_parts->log, err);
}

KeptWatch::~KeptWatch() = default;

flight::FlightListener& KeptWatch::listener() {
    return m_parts->keeper;
}

}  // namespace brimwell::cli
