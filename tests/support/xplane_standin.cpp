#include "tests/support/xplane_standin.h"

#include <algorithm>
#include <random>
#include <regex>

namespace brimwell::test {

namespace {

using nlohmann::json;

void answerError(httplib::Response& response, int status, const std::string& message) {
    response.status = status;
    const json error = {{"error_code", status}, {"error_message", message}};
    response.set_content(error.dump(), "application/json");
}

}  // namespace

XPlaneStandIn::Aircraft XPlaneStandIn::boeing747(double fuelCapacityKg) {
    return {
        {0.300F, 0.078F, 0.220F, 0.220F, 0.078F, 0.023F, 0.023F, 0.058F, 0}, fuelCapacityKg, {}};
}

XPlaneStandIn::Aircraft XPlaneStandIn::twinJet() {
    return {{0.5F, 0.25F, 0.25F, 0, 0, 0, 0, 0, 0}, 21000, {}};
}

XPlaneStandIn::XPlaneStandIn(const Aircraft& aircraft, Mode mode)
    : m_mode(mode), m_fuelSystem(aircraft.fuelSystem) {
    // A new run of X-Plane gives its datarefs new ids.
    std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<std::uint64_t> ids(100000000000, 999999999999);
    const auto add = [&](const char* name, bool writable, bool array, std::vector<float> value) {
        m_datarefs.push_back({name, ids(random), writable, array, std::move(value)});
    };
    add("sim/flightmodel/weight/m_fuel", true, true, {900, 4000, 6000, 6000, 4000, 0, 0, 0, 0});
    add("sim/flightmodel/weight/m_fixed", true, false, {1234.5F});
    add("sim/aircraft/overflow/acf_tank_rat", false, true, aircraft.tankShares);
    add("sim/aircraft/weight/acf_m_fuel_tot", false, false,
        {static_cast<float>(aircraft.fuelCapacityKg)});
    // Every path and method comes to serve(), with its body read.
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        serve(request, response);
    };
    m_http.server().Get(".*", handler).Patch(".*", handler).Post(".*", handler).Put(".*", handler);
    m_http.start();
}

XPlaneStandIn::~XPlaneStandIn() {
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_ending.notify_all();
}

nlohmann::json XPlaneStandIn::Dataref::json() const {
    return array ? nlohmann::json(value) : nlohmann::json(value.front());
}

std::map<std::string, json> XPlaneStandIn::values() const {
    const std::lock_guard lock(m_mutex);
    std::map<std::string, json> values;
    for (const auto& dataref : m_datarefs) {
        values[dataref.name] = dataref.json();
    }
    return values;
}

void XPlaneStandIn::serve(const httplib::Request& request, httplib::Response& response) {
    if (m_mode == Mode::NoWebApi) {
        response.status = 404;
        return response.set_content("<html><body>Not Found</body></html>", "text/html");
    }
    if (m_mode == Mode::Stalled) {
        std::unique_lock lock(m_mutex);
        m_ending.wait(lock, [this] { return m_ended; });
    }
    if (m_mode == Mode::IncomingTrafficDisabled) {
        return answerError(response, 403, "Incoming traffic is disabled");
    }
    if (request.get_header_value("Accept").find("application/json") == std::string::npos ||
        request.get_header_value("Content-Type") != "application/json") {
        return answerError(response, 400, "Accept and Content-Type must be application/json");
    }
    const std::lock_guard lock(m_mutex);
    if (request.method == "GET" && request.path == "/api/v1/datarefs") {
        json data = json::array();
        const auto [first, last] = request.params.equal_range("filter[name]");
        for (const auto& dataref : m_datarefs) {
            if (first == last || std::any_of(first, last, [&](const auto& filter) {
                    return filter.second == dataref.name;
                })) {
                data.push_back({{"id", dataref.id},
                                {"name", dataref.name},
                                {"value_type", dataref.array ? "float_array" : "float"},
                                {"is_writable", dataref.writable}});
            }
        }
        return response.set_content(json{{"data", data}}.dump(), "application/json");
    }
    value(request, response);
}

void XPlaneStandIn::value(const httplib::Request& request, httplib::Response& response) {
    static const std::regex kValuePath(R"(/api/v1/datarefs/(\d+)/value)");
    std::smatch match;
    const auto dataref = std::find_if(m_datarefs.begin(), m_datarefs.end(), [&](const auto& d) {
        return std::regex_match(request.path, match, kValuePath) &&
               match[1].str() == std::to_string(d.id);
    });
    if (dataref == m_datarefs.end() || (request.method != "GET" && request.method != "PATCH")) {
        return answerError(response, 404, "No such dataref or resource: " + request.path);
    }
    if (request.method == "GET") {
        return response.set_content(json{{"data", dataref->json()}}.dump(), "application/json");
    }
    if (!dataref->writable) {
        return answerError(response, 403, dataref->name + " is read-only");
    }
    // A number for a number; an array is written whole: as many numbers as it holds.
    const json body = json::parse(request.body, nullptr, false);
    const json data = body.is_object() ? body.value("data", json()) : json();
    const bool numbers =
        std::all_of(data.begin(), data.end(), [](auto& v) { return v.is_number(); });
    if (dataref->array ? !data.is_array() || data.size() != dataref->value.size() || !numbers
                       : !data.is_number()) {
        return answerError(response, 400, "Invalid value for " + dataref->name);
    }
    dataref->value =
        dataref->array ? data.get<std::vector<float>>() : std::vector<float>{data.get<float>()};
    if (dataref->name == "sim/flightmodel/weight/m_fuel" && m_fuelSystem) {
        m_fuelSystem(dataref->value);  // the aircraft's fuel system, right after the write
    }
    response.set_content("null", "application/json");
}

}  // namespace brimwell::test
