#include "tests/support/xplane_standin.h"

#include <algorithm>
#include <charconv>
#include <numeric>
#include <random>
#include <stdexcept>

namespace brimwell::test {

namespace {

using nlohmann::json;

constexpr std::string_view kFuel = "sim/flightmodel/weight/m_fuel";
constexpr std::string_view kDatarefs = "/api/v1/datarefs";
constexpr std::string_view kLatitude = "sim/flightmodel/position/latitude";
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

HttpReply error(int status, const std::string& code, const std::string& message) {
    return {.status = status,
            .body = json{{"error_code", code}, {"error_message", message}}.dump()};
}

// A part of a query with its %XX escapes decoded.
std::string decoded(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        unsigned byte = 0;
        const char* const hex = text.data() + at + 1;
        const bool escaped = text[at] == '%' && at + 2 < text.size() &&
                             std::from_chars(hex, hex + 2, byte, 16).ptr == hex + 2;
        out.push_back(escaped ? static_cast<char>(byte) : text[at]);
        at += escaped ? 2 : 0;
    }
    return out;
}

// Whether the request carries the two headers X-Plane asks of every request.
bool asksInJson(const ReceivedRequest& request) {
    const auto accept = request.headers.find("accept");
    const auto type = request.headers.find("content-type");
    return accept != request.headers.end() &&
           accept->second.find("application/json") != std::string::npos &&
           type != request.headers.end() && type->second == "application/json";
}

}  // namespace

XPlaneStandIn::Aircraft XPlaneStandIn::boeing747(double fuelCapacityKg) {
    return {.tankShares = {0.300F, 0.078F, 0.220F, 0.220F, 0.078F, 0.023F, 0.023F, 0.058F, 0},
            .fuelCapacityKg = fuelCapacityKg};
}

XPlaneStandIn::Aircraft XPlaneStandIn::boeing747WithStations(float stationsKg) {
    Aircraft aircraft = boeing747();
    aircraft.stationMaxima = {0.05F, 0.1F, 0.15F, 0.15F, 0.1F, 0.25F, 0.2F, 0, 0};
    for (float& most : aircraft.stationMaxima) {
        most *= stationsKg;
    }
    return aircraft;
}

XPlaneStandIn::Aircraft XPlaneStandIn::twinJet() {
    return {.tankShares = {0.5F, 0.25F, 0.25F, 0, 0, 0, 0, 0, 0}, .fuelCapacityKg = 21000};
}

XPlaneStandIn::XPlaneStandIn(const Aircraft& aircraft, Mode mode,
                             std::vector<Hostility> hostilities)
    : m_mode(mode),
      m_fuelSystem(aircraft.fuelSystem),
      m_stations(std::any_of(aircraft.stationMaxima.begin(), aircraft.stationMaxima.end(),
                             [](float kg) { return kg > 0; })),
      m_listsWritable(aircraft.listsWritable),
      m_hostilities(std::move(hostilities)),
      m_silent(mode == Mode::Stalled),
      m_http([this](const ReceivedRequest& request) { return answer(request); }) {
    // A new run of X-Plane gives its datarefs new ids.
    std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<std::uint64_t> ids(100000000000, 999999999999);
    const auto add = [&](std::string_view name, std::vector<float> value, Request read,
                         Request write = Request::Any) {  // Any: read-only
        if (name != aircraft.missingDataref) {
            m_datarefs.push_back({std::string(name), ids(random), std::move(value), read, write});
        }
    };
    using enum Request;
    const std::lock_guard lock(m_mutex);
    add(kFuel, {900, 4000, 6000, 6000, 4000, 0, 0, 0, 0}, FuelReadBack, FuelWrite);
    add("sim/flightmodel/weight/m_fixed", {1234.5F}, PayloadReadBack, PayloadWrite);
    add("sim/aircraft/overflow/acf_tank_rat", aircraft.tankShares, Shares);
    add("sim/aircraft/weight/acf_m_fuel_tot", {static_cast<float>(aircraft.fuelCapacityKg)},
        Capacity);
    add("sim/flightmodel/weight/m_fuel_total", {0}, FuelTotal);
    add("sim/flightmodel/controls/dist", {0}, Distance);  // metres since the flight's start
    add("sim/aircraft/weight/acf_m_station_max", aircraft.stationMaxima, StationMaxima);
    add("sim/flightmodel/weight/m_stations", std::vector<float>(9, 0.0F), StationsReadBack,
        StationsWrite);
    add(kLatitude, {0}, Latitude);
    add("sim/flightmodel/position/longitude", {0}, FlightState);
    add("sim/cockpit2/engine/indicators/fuel_flow_kg_sec", std::vector<float>(8, 0.0F),
        FlightState);
    add("sim/flightmodel/position/groundspeed", {0}, FlightState);
    add("sim/flightmodel/failures/onground_any", {1}, FlightState);
    add("sim/time/paused", {0}, FlightState);
    add("sim/time/is_in_replay", {0}, FlightState);
    sumTanks();
    sumStations();
}

nlohmann::json XPlaneStandIn::Dataref::json() const {
    return value.size() != 1 ? nlohmann::json(value) : nlohmann::json(value.front());
}

std::map<std::string, json> XPlaneStandIn::values() const {
    const std::lock_guard lock(m_mutex);
    std::map<std::string, json> values;
    for (const auto& dataref : m_datarefs) {
        values[dataref.name] = dataref.json();
    }
    return values;
}

void XPlaneStandIn::setValue(const std::string& name, const nlohmann::json& value) {
    const std::lock_guard lock(m_mutex);
    Dataref* const dataref = named(name);
    if (dataref == nullptr) {
        throw std::invalid_argument("the X-Plane stand-in has no dataref " + name);
    }
    dataref->value =
        value.is_array() ? value.get<std::vector<float>>() : std::vector<float>{value.get<float>()};
    if (name == kFuel) {
        sumTanks();
    }
    sumStations();
}

void XPlaneStandIn::setSilent(bool silent) {
    const std::lock_guard lock(m_mutex);
    m_silent = silent;
}

void XPlaneStandIn::fly(std::vector<FlightMoment> moments) {
    const std::lock_guard lock(m_mutex);
    m_script = std::move(moments);
    m_flown = 0;
}

std::size_t XPlaneStandIn::momentsFlown() const {
    const std::lock_guard lock(m_mutex);
    return m_flown;
}

bool XPlaneStandIn::nextMoment() {
    if (m_script.empty()) {
        return false;
    }
    const FlightMoment& moment = m_script[std::min(m_flown, m_script.size() - 1)];
    m_flown = std::min(m_flown + 1, m_script.size());
    const auto set = [this](std::string_view name, std::vector<float> value) {
        if (Dataref* const dataref = named(name)) {
            dataref->value = std::move(value);
        }
    };
    const auto figure = [](double value) { return std::vector<float>{static_cast<float>(value)}; };
    const auto flag = [](bool value) { return std::vector<float>{value ? 1.0F : 0.0F}; };
    set(kLatitude, figure(moment.latitude));
    set("sim/flightmodel/position/longitude", figure(moment.longitude));
    set("sim/flightmodel/weight/m_fuel_total", figure(moment.fuelOnBoardKg));
    std::vector<float> flows(8, 0.0F);
    std::fill_n(flows.begin(), 4, static_cast<float>(moment.fuelFlowKgPerSecond));
    set("sim/cockpit2/engine/indicators/fuel_flow_kg_sec", flows);
    set("sim/flightmodel/position/groundspeed",
        figure(moment.groundSpeedKnots * kMetresPerSecondPerKnot));
    set("sim/flightmodel/failures/onground_any", flag(moment.onGround));
    set("sim/time/paused", flag(moment.paused));
    set("sim/time/is_in_replay", flag(moment.inReplay));
    set("sim/flightmodel/controls/dist", figure(moment.distanceTravelledMetres));
    return moment.silent;
}

XPlaneStandIn::Dataref* XPlaneStandIn::named(std::string_view name) {
    const auto found = std::find_if(m_datarefs.begin(), m_datarefs.end(),
                                    [&](const Dataref& dataref) { return dataref.name == name; });
    return found == m_datarefs.end() ? nullptr : &*found;
}

void XPlaneStandIn::sumStations() {
    const Dataref* const stations = named("sim/flightmodel/weight/m_stations");
    Dataref* const payload = named("sim/flightmodel/weight/m_fixed");
    if (m_stations && stations != nullptr && payload != nullptr) {
        payload->value = {static_cast<float>(
            std::accumulate(stations->value.begin(), stations->value.end(), 0.0))};
    }
}

void XPlaneStandIn::sumTanks() {
    const Dataref* const tanks = named(kFuel);
    Dataref* const total = named("sim/flightmodel/weight/m_fuel_total");
    if (tanks != nullptr && total != nullptr) {
        total->value = {std::accumulate(tanks->value.begin(), tanks->value.end(), 0.0F)};
    }
}

HttpReply XPlaneStandIn::answer(const ReceivedRequest& request) {
    const std::lock_guard lock(m_mutex);
    if (m_silent) {
        return {.misbehaviour = Misbehaviour::Silent};
    }
    const auto query = request.target.find('?');
    const std::string path = request.target.substr(0, query);
    const auto dataref = std::find_if(m_datarefs.begin(), m_datarefs.end(), [&](const auto& d) {
        return path == std::string(kDatarefs) + "/" + std::to_string(d.id) + "/value";
    });
    const bool get = request.method == "GET";
    const Request kind = path == kDatarefs             ? Request::DatarefList
                         : dataref == m_datarefs.end() ? Request::Any
                         : get                         ? dataref->read
                                                       : dataref->write;
    const auto hostile = std::find_if(
        m_hostilities.begin(), m_hostilities.end(),
        [kind](auto& row) { return row.request == Request::Any || row.request == kind; });
    if (hostile != m_hostilities.end()) {
        return hostile->reply;
    }
    if (m_mode == Mode::NoWebApi) {
        return {.status = 404,
                .body = "<html><body>Not Found</body></html>",
                .contentType = "text/html"};
    }
    if (m_mode == Mode::IncomingTrafficDisabled) {
        return error(403, "incoming_traffic_disabled", "Incoming traffic is disabled");
    }
    if (!asksInJson(request)) {
        return error(400, "bad_request", "Accept and Content-Type must be application/json");
    }
    if (get && path == kDatarefs) {
        return list(query == std::string::npos ? "" : request.target.substr(query + 1));
    }
    if (dataref == m_datarefs.end() || (!get && request.method != "PATCH")) {
        return error(404, path.starts_with(kDatarefs) ? "invalid_dataref_id" : "route_not_found",
                     "No such dataref or resource: " + path);
    }
    if (get && dataref->name == kLatitude && nextMoment()) {
        return {.misbehaviour = Misbehaviour::Silent};
    }
    return get ? HttpReply{.status = 200, .body = json{{"data", dataref->json()}}.dump()}
               : write(*dataref, request.body);
}

HttpReply XPlaneStandIn::list(const std::string& query) {
    std::vector<std::string> names;  // filter[name]=…, each
    for (std::size_t start = 0; start < query.size();) {
        const auto end = std::min(query.find('&', start), query.size());
        const auto field = std::string_view(query).substr(start, end - start);
        const auto equals = std::min(field.find('='), field.size());
        if (decoded(field.substr(0, equals)) == "filter[name]") {
            names.push_back(decoded(field.substr(std::min(equals + 1, field.size()))));
        }
        start = end + 1;
    }
    for (const auto& name : names) {
        if (named(name) == nullptr) {
            return error(404, "invalid_dataref_name", "No dataref named " + name);
        }
    }
    json data = json::array();
    for (const auto& dataref : m_datarefs) {
        if (names.empty() || std::find(names.begin(), names.end(), dataref.name) != names.end()) {
            json entry = {{"id", dataref.id},
                          {"name", dataref.name},
                          {"value_type", dataref.value.size() != 1 ? "float_array" : "float"}};
            if (m_listsWritable) {
                entry["is_writable"] = dataref.write != Request::Any;
            }
            data.push_back(entry);
        }
    }
    return {.status = 200, .body = json{{"data", data}}.dump()};
}

HttpReply XPlaneStandIn::write(Dataref& dataref, const std::string& body) {
    if (dataref.write == Request::Any) {
        return error(403, "dataref_not_writable", dataref.name + " is read-only");
    }
    // A number for a number; an array is written whole: as many numbers as it holds.
    const json parsed = json::parse(body, nullptr, false);
    const json data = parsed.is_object() ? parsed.value("data", json()) : json();
    const bool array = dataref.value.size() != 1;
    if (array ? !data.is_array() || data.size() != dataref.value.size() ||
                    !std::all_of(data.begin(), data.end(), [](auto& v) { return v.is_number(); })
              : !data.is_number()) {
        return error(400, "invalid_value", "Invalid value for " + dataref.name);
    }
    dataref.value = array ? data.get<std::vector<float>>() : std::vector<float>{data.get<float>()};
    if (dataref.name == kFuel) {
        if (m_fuelSystem) {
            m_fuelSystem(dataref.value);  // the aircraft's fuel system, right after the write
        }
        sumTanks();
    }
    sumStations();
    return {.status = 200, .body = "null"};
}

}  // namespace brimwell::test
