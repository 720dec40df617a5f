#include "links/xplane/xplane_link.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <numeric>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "base/figure_text.h"
#include "base/shown_text.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "links/http/http_client.h"
#include "links/percent_encoded.h"
#include "links/xplane/fuel_tanks.h"

namespace brimwell::links {

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr std::string_view kFuel = "sim/flightmodel/weight/m_fuel";
constexpr std::string_view kPayload = "sim/flightmodel/weight/m_fixed";
constexpr std::string_view kShares = "sim/aircraft/overflow/acf_tank_rat";
constexpr std::string_view kCapacity = "sim/aircraft/weight/acf_m_fuel_tot";
constexpr std::string_view kFuelTotal = "sim/flightmodel/weight/m_fuel_total";
constexpr std::string_view kDistance = "sim/flightmodel/controls/dist";
constexpr std::string_view kStations = "sim/flightmodel/weight/m_stations";
constexpr std::string_view kStationMaxima = "sim/aircraft/weight/acf_m_station_max";
constexpr std::array kLoadDatarefs = {kFuel, kPayload, kShares, kCapacity};
// Asked for on their own: X-Plane answers a list that names a dataref it lacks with 404 alone.
constexpr std::array kStationDatarefs = {kStationMaxima, kStations};
// The watch's reading, and with the aircraft checked the tank layout besides.
constexpr std::string_view kLatitude = "sim/flightmodel/position/latitude";
constexpr std::string_view kLongitude = "sim/flightmodel/position/longitude";
constexpr std::string_view kFuelFlow = "sim/cockpit2/engine/indicators/fuel_flow_kg_sec";
constexpr std::string_view kGroundSpeed = "sim/flightmodel/position/groundspeed";
constexpr std::string_view kOnGround = "sim/flightmodel/failures/onground_any";
constexpr std::string_view kPaused = "sim/time/paused";
constexpr std::string_view kInReplay = "sim/time/is_in_replay";
constexpr std::array kWatchDatarefs = {kLatitude, kLongitude, kFuelTotal, kFuelFlow, kGroundSpeed,
                                       kOnGround, kPaused,    kInReplay,  kDistance};
constexpr std::array kCheckedWatchDatarefs = {kLatitude,    kLongitude, kFuelTotal, kFuelFlow,
                                              kGroundSpeed, kOnGround,  kPaused,    kInReplay,
                                              kDistance,    kShares};
// The engines whose flow a reading tells; and more than any engine burns, kg/s.
constexpr std::size_t kMostEngines = 8;
constexpr double kLargestFlowKgPerSecond = 100;
// Faster over the ground than any aircraft, m/s.
constexpr double kFastestMetresPerSecond = 1000;

// No answer of X-Plane's web API comes near it: a list of four datarefs, nine floats.
constexpr std::size_t kLargestAnswer = std::size_t{64} * 1024;
// Nor is any nested deeper: {"data": [{"id": ...}]}.
constexpr int kDeepestAnswer = 3;
// X-Plane's payload stations, as many as m_stations holds.
constexpr std::size_t kXPlaneStations = 9;
// Larger figures are no aircraft's.
constexpr double kLargestCapacityKg = 1e6;
constexpr double kLongestDistanceM = 1e9;
constexpr double kFigureTolerance = kReadBackToleranceKg;

// Ends the exchange; what() is the reason for the pilot.
class Stop : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// X-Plane has not one of the datarefs asked for.
class Lacking final : public Stop {
  public:
    using Stop::Stop;
};

// The aircraft is not the 747-400.
class OtherAircraft final : public Stop {
  public:
    using Stop::Stop;
};

// The shares as the pilot reads them: at most the nine slots of X-Plane's tanks.
std::string shareList(const std::vector<double>& shares) {
    std::string out;
    for (std::size_t slot = 0; slot < std::min(shares.size(), kXPlaneTanks); ++slot) {
        const double share = shares[slot];
        out += (slot == 0 ? "" : ", ") +
               (share >= 0 && share <= 1 ? base::fixedText(share, 3) : base::figureText(share, 3));
    }
    if (shares.size() > kXPlaneTanks) {
        out += " and " + std::to_string(shares.size() - kXPlaneTanks) + " more";
    }
    return out;
}

// An answer as JSON, or nothing when it is no JSON or nested deeper than X-Plane nests it. The
// parser builds nothing below that depth, and nothing is copied.
std::optional<json> parsed(const std::string& body) {
    bool tooDeep = false;
    const json::parser_callback_t keep = [&tooDeep](int depth, json::parse_event_t event, json&) {
        if ((event == json::parse_event_t::object_start ||
             event == json::parse_event_t::array_start) &&
            depth >= kDeepestAnswer) {
            tooDeep = true;
            return false;
        }
        return true;
    };
    json value = json::parse(body, keep, false);
    if (tooDeep || value.is_discarded()) {
        return std::nullopt;
    }
    return value;
}

struct Dataref {
    std::string valuePath;         // /api/v1/datarefs/{id}/value
    std::optional<bool> writable;  // as X-Plane said, where it did
};

// Throws OtherAircraft unless the tanks' shares are the 747-400's.
void check747(const std::vector<double>& shares) {
    if (!is747TankLayout(shares)) {
        std::vector<double> shares747(kTanks747.size());
        std::transform(kTanks747.begin(), kTanks747.end(), shares747.begin(),
                       [](const Tank747& tank) { return tank.share; });
        throw OtherAircraft("The aircraft loaded in X-Plane is not a 747-400: its tanks take " +
                            shareList(shares) + " of the fuel capacity, the 747-400's take " +
                            shareList(shares747) + ". Load the 747-400 in X-Plane and try again.");
    }
}

// How far a write has come.
enum class Write { NotSent, Sent, Accepted, Refused };

// One exchange with X-Plane, over its transport.
class Exchange final {
  public:
    Exchange(const XPlaneAddress& address, std::chrono::milliseconds bound,
             const XPlaneTransport& transport)
        : m_address(address), m_bound(bound), m_transport(transport) {}

    // The ids of the datarefs, by name, in one request. Throws Lacking when X-Plane has not one
    // of them.
    std::map<std::string_view, Dataref> find(std::span<const std::string_view> names) {
        std::string target = "/api/v1/datarefs";
        for (const auto name : names) {
            target += target.find('?') == std::string::npos ? '?' : '&';
            target += "filter%5Bname%5D=" + percentEncoded(name);
        }
        const json found = get(target, "the list of datarefs", names);
        if (!found.is_array()) {
            throw Stop(unexpected("the list of datarefs"));
        }
        std::map<std::string_view, Dataref> datarefs;
        for (const auto& entry : found) {
            const auto name = entry.is_object() ? entry.find("name") : entry.end();
            const auto wanted =
                name == entry.end() || !name->is_string()
                    ? names.end()
                    : std::find(names.begin(), names.end(), name->get<std::string>());
            if (wanted == names.end()) {
                continue;
            }
            const auto id = entry.find("id");
            if (id == entry.end() || !id->is_number_unsigned()) {
                throw Stop(unexpected("the list of datarefs"));
            }
            const auto writable = entry.find("is_writable");
            datarefs[*wanted] = {"/api/v1/datarefs/" + id->dump() + "/value",
                                 writable != entry.end() && writable->is_boolean()
                                     ? std::optional(writable->get<bool>())
                                     : std::nullopt};
        }
        for (const auto name : names) {
            if (!datarefs.contains(name)) {
                throw Lacking(noDataref(name));
            }
        }
        return datarefs;
    }

    double number(const Dataref& dataref, std::string_view what) {
        const json value = get(dataref.valuePath, what);
        if (!value.is_number() || !std::isfinite(value.get<double>())) {
            throw Stop(unexpected(what));
        }
        return value.get<double>();
    }

    std::vector<double> numbers(const Dataref& dataref, std::string_view what) {
        const json value = get(dataref.valuePath, what);
        if (!value.is_array() || !std::all_of(value.begin(), value.end(), [](const json& v) {
                return v.is_number() && std::isfinite(v.get<double>());
            })) {
            throw Stop(unexpected(what));
        }
        return value.get<std::vector<double>>();
    }

    // Writes the value; the write is Accepted, or Refused with X-Plane's refusal thrown. Sent
    // stays when no answer came.
    void patch(const Dataref& dataref, const json& data, std::string_view what, Write& write) {
        write = Write::Sent;
        const HttpAnswer answer =
            request(dataref.valuePath, "{\"data\":" + data.dump() + "}", what);
        if (answer.status == 200) {
            write = Write::Accepted;
            return;
        }
        write = Write::Refused;
        checked(answer, what, {});
    }

    std::string timedOut() const {
        return "X-Plane did not answer at " + m_address.url + " " + withinSeconds(m_bound) +
               ". Check that X-Plane is running and not busy loading, then try again.";
    }

    std::string unexpected(std::string_view what) const {
        return "X-Plane's answer to " + std::string(what) + " at " + m_address.url +
               " is not what its web API sends. Try again; if it goes on, update X-Plane.";
    }

  private:
    // The "data" of a GET's answer.
    json get(const std::string& target, std::string_view what,
             std::span<const std::string_view> names = {}) {
        json body = checked(request(target, std::nullopt, what), what, names);
        const auto data = body.is_object() ? body.find("data") : body.end();
        if (data == body.end()) {
            throw Stop(unexpected(what));
        }
        return std::move(*data);
    }

    HttpAnswer request(const std::string& target, const std::optional<std::string>& patchBody,
                       std::string_view what) {
        try {
            HttpAnswer answer = m_transport(target, patchBody ? &*patchBody : nullptr);
            m_firstAnswer = !m_answered;
            m_answered = true;
            return answer;
        } catch (const HttpError& error) {
            throw Stop(failed(error, what));
        }
    }

    std::string failed(const HttpError& error, std::string_view what) const {
        const std::string answerTo =
            "X-Plane's answer to " + std::string(what) + " at " + m_address.url;
        switch (error.failure()) {
            case HttpFailure::TimedOut:
                return timedOut();
            case HttpFailure::NameUnknown:
                return "The computer " + m_address.host + " of the X-Plane address " +
                       m_address.url + " cannot be found. Correct the X-Plane address.";
            case HttpFailure::NotReached:
                if (!m_answered) {
                    return "X-Plane does not answer at " + m_address.url +
                           ". Start X-Plane 12.1.1 or later with the 747-400, or correct the "
                           "X-Plane address.";
                }
                break;
            case HttpFailure::TooLarge:
                return answerTo +
                       " is larger than any answer of its web API. Try again; if it goes on, "
                       "restart X-Plane.";
            case HttpFailure::Encoded:
                return answerTo +
                       " came encoded, which Brimwell never asks for. Try again; if it goes on, "
                       "restart X-Plane.";
            case HttpFailure::Stopped:
                return "The exchange with X-Plane was stopped.";
            case HttpFailure::BrokenOff:
            case HttpFailure::NotTrusted:
                break;
        }
        return "X-Plane at " + m_address.url + " broke off the connection during " +
               std::string(what) + ". Try again.";
    }

    // The answer's JSON, once X-Plane has answered 200; else the reason why not.
    json checked(const HttpAnswer& answer, std::string_view what,
                 std::span<const std::string_view> names) {
        if (m_firstAnswer && answer.status == 403) {
            throw Stop(
                "X-Plane refuses incoming traffic. In X-Plane's Settings, on the Network tab, set "
                "the security policy to one that accepts incoming traffic instead of \"Disable "
                "Incoming Traffic\", then try again.");
        }
        std::optional<json> body = parsed(answer.body);
        if (answer.status != 200) {
            const bool lacking = !names.empty() && body && body->is_object() &&
                                 body->value("error_code", json()) == "invalid_dataref_name";
            if (lacking) {
                throw Lacking(refused(answer.status, body, what, names));
            }
            throw Stop(refused(answer.status, body, what, names));
        }
        if (!body) {
            throw Stop(m_firstAnswer ? notTheWebApi() : unexpected(what));
        }
        return std::move(*body);
    }

    // Why X-Plane answered with another status than 200, in its own words where it gave them.
    std::string refused(long status, const std::optional<json>& body, std::string_view what,
                        std::span<const std::string_view> names) const {
        const json* error = body && body->is_object() ? &*body : nullptr;
        const json code = error != nullptr ? error->value("error_code", json()) : json();
        const json message = error != nullptr ? error->value("error_message", json()) : json();
        const std::string said = message.is_string() ? message.get<std::string>() : "";
        if (code == "invalid_dataref_name" && !names.empty()) {
            const auto named = std::find_if(names.begin(), names.end(), [&said](auto name) {
                return said.find(name) != std::string::npos;
            });
            return named != names.end() ? noDataref(*named) : noDataref(names);
        }
        if (m_firstAnswer && (status == 404 || !body)) {
            return notTheWebApi();
        }
        return "X-Plane refused " + std::string(what) + " (" + std::to_string(status) +
               (said.empty() ? "" : ": " + base::shownText(said)) +
               "). Try again; if it goes on, restart X-Plane.";
    }

    std::string notTheWebApi() const {
        return m_address.url +
               " answers, but not as X-Plane's web API. X-Plane 12.1.1 or later is needed: update "
               "X-Plane, or correct the X-Plane address.";
    }

    std::string noDataref(std::string_view name) const {
        return "X-Plane at " + m_address.url + " has no dataref " + std::string(name) +
               ". X-Plane 12.1.1 or later is needed: update X-Plane and try again.";
    }

    std::string noDataref(std::span<const std::string_view> names) const {
        std::string list;
        for (const auto name : names) {
            list += (list.empty() ? "" : ", ") + std::string(name);
        }
        return "X-Plane at " + m_address.url + " lacks one of the datarefs " + list +
               ". X-Plane 12.1.1 or later is needed: update X-Plane and try again.";
    }

    const XPlaneAddress& m_address;
    std::chrono::milliseconds m_bound;
    const XPlaneTransport& m_transport;
    bool m_answered = false;     // whether X-Plane has answered once
    bool m_firstAnswer = false;  // whether the answer at hand is the first
};

// The payload over the aircraft's payload stations, where it has them: X-Plane then keeps m_fixed
// their sum, so the payload goes to m_stations, each station its share by its maximum.
struct PayloadStations {
    std::optional<Dataref> dataref;  // m_stations; none where the aircraft has no station
    std::vector<double> payload;     // kg, by station
};

PayloadStations payloadStations(Exchange& exchange, double payloadKg, engine::Unit unit) {
    std::map<std::string_view, Dataref> datarefs;
    try {
        datarefs = exchange.find(kStationDatarefs);
    } catch (const Lacking&) {
        return {};  // an X-Plane without them has no stations to keep m_fixed from
    }
    const auto maxima = exchange.numbers(datarefs.at(kStationMaxima), "the payload stations");
    if (maxima.size() != kXPlaneStations) {
        throw Stop(exchange.unexpected("the payload stations"));
    }
    if (!std::all_of(maxima.begin(), maxima.end(),
                     [](double kg) { return kg >= 0 && kg <= kLargestCapacityKg; })) {
        std::string list;
        for (const double kg : maxima) {
            list += (list.empty() ? "" : ", ") + base::figureText(kg);
        }
        throw Stop("The 747-400 in X-Plane reports payload stations of at most " + list +
                   " kg. Load the 747-400 in X-Plane again.");
    }
    const double stationsKg = std::accumulate(maxima.begin(), maxima.end(), 0.0);
    if (stationsKg == 0) {
        return {};  // all of 0 kg: the aircraft has none
    }
    if (payloadKg > stationsKg) {
        throw Stop("The payload of " + weightText(payloadKg, unit) +
                   " does not fit the payload stations of X-Plane's 747-400, which hold " +
                   weightText(stationsKg, unit) + ". Plan with less payload, then load again.");
    }
    PayloadStations stations{datarefs.at(kStations), std::vector<double>(maxima.size())};
    std::transform(maxima.begin(), maxima.end(), stations.payload.begin(),
                   [&](double most) { return std::min(most, payloadKg * (most / stationsKg)); });
    return stations;
}

// What has been written when the exchange stops, told after the reason; readBack: both were
// read back, but what came back is no figure.
std::string afterWrites(Write fuel, Write payload, bool readBack) {
    if (fuel == Write::Sent) {
        return " The fuel may or may not have been written: check it in X-Plane, or load again.";
    }
    if (fuel != Write::Accepted) {
        return "";
    }
    switch (payload) {
        case Write::NotSent:
        case Write::Refused:
            return " The fuel was written; the payload was not: check the fuel in X-Plane, or "
                   "load again.";
        case Write::Sent:
            return " The fuel was written; the payload may or may not have been: check it in "
                   "X-Plane, or load again.";
        case Write::Accepted:
            break;
    }
    return readBack ? " The fuel and the payload were written: check them in X-Plane."
                    : " The fuel and the payload were written but not read back: check them in "
                      "X-Plane.";
}

// Why a figure read back is none the aircraft can hold: empty when it is one. stations: the
// payload stations read back, none where the aircraft has none.
std::string notAFigure(const std::vector<double>& tanks, const TankMasses& capacities,
                       const std::vector<double>& stations, double payload) {
    for (std::size_t slot = 0; slot < tanks.size(); ++slot) {
        if (!(tanks[slot] >= -kFigureTolerance &&
              tanks[slot] <= capacities[slot] + kFigureTolerance)) {
            return "X-Plane's read-back is not a fuel figure: " +
                   std::string(kTanks747[slot].name) + " reads " + base::figureText(tanks[slot]) +
                   " kg, which is not between 0 and its capacity of " +
                   base::fixedText(capacities[slot], 0) + " kg.";
        }
    }
    const double limit =
        engine::fieldLimit(engine::cell::txtPayLoad)->limit * engine::kKilogramsPerPound;
    const auto within = [limit](double kg) {
        return kg >= -kFigureTolerance && kg <= limit + kFigureTolerance;
    };
    const auto notPayload = [limit](const std::string& what, double kg) {
        return "X-Plane's read-back is not a payload figure: " + what + " reads " +
               base::figureText(kg) + " kg, which is not between 0 and the 747-400's limit of " +
               base::fixedText(limit, 0) + " kg.";
    };
    for (std::size_t station = 0; station < stations.size(); ++station) {
        if (!within(stations[station])) {
            return notPayload("payload station " + std::to_string(station + 1), stations[station]);
        }
    }
    return within(payload) ? "" : notPayload("the payload", payload);
}

}  // namespace

XPlaneTransport xplaneOverHttp(const XPlaneAddress& address, std::chrono::milliseconds bound,
                               LinkControl& control) {
    auto client = std::make_shared<HttpClient>(
        control,
        HttpOptions{false, {"Accept: application/json", "Content-Type: application/json"}});
    return
        [client, base = "http://" + address.host + ":" + std::to_string(address.port),
         deadline = Clock::now() + bound](const std::string& target, const std::string* patchBody) {
            const HttpLimits limits{deadline, kLargestAnswer};
            return patchBody != nullptr ? client->patch(base + target, *patchBody, limits)
                                        : client->get(base + target, limits);
        };
}

XPlaneOutcome loadXPlane(const XPlaneAddress& address, std::chrono::milliseconds bound,
                         engine::Unit unit, double fuelKg, double payloadKg,
                         const XPlaneTransport& transport) {
    Write fuel = Write::NotSent;
    Write payload = Write::NotSent;
    bool readBack = false;
    const auto refusal = [&](const std::string& reason) {
        XPlaneRefused refused;
        refused.reason = reason + afterWrites(fuel, payload, readBack);
        refused.fuelAccepted = fuel == Write::Accepted;
        refused.payloadAccepted = payload == Write::Accepted;
        return XPlaneOutcome(std::move(refused));
    };
    try {
        Exchange exchange(address, bound, transport);
        const auto datarefs = exchange.find(kLoadDatarefs);
        const auto shares = exchange.numbers(datarefs.at(kShares), "the tank layout");
        const double capacity = exchange.number(datarefs.at(kCapacity), "the fuel capacity");
        check747(shares);
        if (!(capacity > 0 && capacity <= kLargestCapacityKg)) {
            throw Stop("The 747-400 in X-Plane reports a fuel capacity of " +
                       base::figureText(capacity) + " kg. Load the 747-400 in X-Plane again.");
        }
        TankMasses capacities{};
        for (std::size_t slot = 0; slot < capacities.size(); ++slot) {
            capacities[slot] = shares[slot] * capacity;
        }
        const SpreadFuel spread = spreadFuel(fuelKg, capacities);
        if (spread.leftOver > 0) {
            const SpreadFuel full = spreadFuel(capacity, capacities);
            throw Stop("The total fuel load of " + weightText(fuelKg, unit) +
                       " does not fit the tanks of X-Plane's 747-400, which hold " +
                       weightText(capacity - full.leftOver, unit) +
                       ". Plan with less fuel, then load again.");
        }

        const PayloadStations stations = payloadStations(exchange, payloadKg, unit);
        const Dataref& payloadDataref =
            stations.dataref ? *stations.dataref : datarefs.at(kPayload);

        for (const auto& [dataref, name, what] :
             {std::tuple{&datarefs.at(kFuel), kFuel, "the fuel"},
              {&payloadDataref, stations.dataref ? kStations : kPayload, "the payload"}}) {
            if (dataref->writable == false) {
                throw Stop("X-Plane does not let " + std::string(what) + " be written (" +
                           std::string(name) + " is read-only). Try again with the 747-400.");
            }
        }

        exchange.patch(datarefs.at(kFuel), spread.tanks, "the fuel", fuel);
        exchange.patch(payloadDataref, stations.dataref ? json(stations.payload) : json(payloadKg),
                       "the payload", payload);

        XPlaneLoaded loaded{spread.tanks, {}, payloadKg, 0};
        const auto tanksRead = exchange.numbers(datarefs.at(kFuel), "the fuel");
        if (tanksRead.size() != loaded.tanksRead.size()) {
            throw Stop("X-Plane gave back " + std::to_string(tanksRead.size()) +
                       " tanks instead of " + std::to_string(loaded.tanksRead.size()) + ".");
        }
        const auto stationsRead = stations.dataref ? exchange.numbers(payloadDataref, "the payload")
                                                   : std::vector<double>();
        if (stationsRead.size() != stations.payload.size()) {
            throw Stop("X-Plane gave back " + std::to_string(stationsRead.size()) +
                       " payload stations instead of " + std::to_string(stations.payload.size()) +
                       ".");
        }
        loaded.payloadRead = exchange.number(datarefs.at(kPayload), "the payload");
        readBack = true;
        if (const std::string why =
                notAFigure(tanksRead, capacities, stationsRead, loaded.payloadRead);
            !why.empty()) {
            throw Stop(why);
        }
        std::copy(tanksRead.begin(), tanksRead.end(), loaded.tanksRead.begin());
        return loaded;
    } catch (const Stop& stop) {
        return refusal(stop.what());
    } catch (const std::exception& failure) {
        return refusal(std::string("The X-Plane link failed: ") + failure.what() + ".");
    }
}

XPlaneFlightOutcome readXPlaneFlightNow(const XPlaneAddress& address,
                                        std::chrono::milliseconds bound, bool checkAircraft,
                                        const XPlaneTransport& transport) {
    const auto notA = [](const std::string& what, const std::string& named, double figure,
                         std::string_view unit) {
        return Stop("X-Plane's reading is not " + what + ": " + named + " reads " +
                    base::figureText(figure) + std::string(unit) + ".");
    };
    try {
        Exchange exchange(address, bound, transport);
        const auto datarefs =
            checkAircraft ? exchange.find(kCheckedWatchDatarefs) : exchange.find(kWatchDatarefs);
        if (checkAircraft) {
            check747(exchange.numbers(datarefs.at(kShares), "the tank layout"));
        }
        XPlaneFlightReading reading;
        reading.latitude = exchange.number(datarefs.at(kLatitude), "the latitude");
        reading.longitude = exchange.number(datarefs.at(kLongitude), "the longitude");
        reading.fuelOnBoardKg = exchange.number(datarefs.at(kFuelTotal), "the fuel on board");
        auto flows = exchange.numbers(datarefs.at(kFuelFlow), "the fuel flow");
        flows.resize(std::min(flows.size(), kMostEngines));
        reading.fuelFlowKgPerSecond = std::move(flows);
        reading.groundSpeedMetresPerSecond =
            exchange.number(datarefs.at(kGroundSpeed), "the ground speed");
        reading.onGround =
            exchange.number(datarefs.at(kOnGround), "whether it is on the ground") != 0;
        reading.paused = exchange.number(datarefs.at(kPaused), "whether it is paused") != 0;
        reading.inReplay = exchange.number(datarefs.at(kInReplay), "whether it replays") != 0;
        reading.distanceTravelledMetres =
            exchange.number(datarefs.at(kDistance), "the distance flown");
        reading.time =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        if (!(std::abs(reading.latitude) <= 90)) {
            throw notA("a latitude", "the latitude", reading.latitude, " degrees");
        }
        if (!(std::abs(reading.longitude) <= 180)) {
            throw notA("a longitude", "the longitude", reading.longitude, " degrees");
        }
        if (!(reading.fuelOnBoardKg >= -kFigureTolerance &&
              reading.fuelOnBoardKg <= kLargestCapacityKg)) {
            throw notA("a fuel figure", "the fuel on board", reading.fuelOnBoardKg, " kg");
        }
        reading.fuelOnBoardKg = std::max(reading.fuelOnBoardKg, 0.0);
        for (const double flow : reading.fuelFlowKgPerSecond) {
            if (!(flow >= 0 && flow <= kLargestFlowKgPerSecond)) {
                throw notA("a fuel flow", "an engine's fuel flow", flow, " kg/s");
            }
        }
        if (!(reading.groundSpeedMetresPerSecond >= 0 &&
              reading.groundSpeedMetresPerSecond <= kFastestMetresPerSecond)) {
            throw notA("a ground speed", "the ground speed", reading.groundSpeedMetresPerSecond,
                       " m/s");
        }
        if (!(reading.distanceTravelledMetres >= 0 &&
              reading.distanceTravelledMetres <= kLongestDistanceM)) {
            throw notA("a distance", "the distance flown", reading.distanceTravelledMetres, " m");
        }
        return reading;
    } catch (const OtherAircraft& other) {
        XPlaneFlightRefused refused;
        refused.reason = other.what();
        refused.otherAircraft = true;
        return refused;
    } catch (const std::exception& failure) {
        XPlaneFlightRefused refused;
        refused.reason = failure.what();
        return refused;
    }
}

}  // namespace brimwell::links
