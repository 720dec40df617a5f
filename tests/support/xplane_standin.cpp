#include "tests/support/xplane_standin.h"

#include <algorithm>
#include <random>
#include <regex>
#include <utility>

namespace brimwell::test {

namespace {

using nlohmann::json;

void answerError(httplib::Response& response, int status, const std::string& code,
                 const std::string& message) {
    response.status = status;
    response.set_content(json{{"error_code", code}, {"error_message", message}}.dump(),
                         "application/json");
}

bool hasHeader(const httplib::Request& request, const char* name, const char* value) {
    return request.get_header_value(name).find(value) != std::string::npos;
}

// X-Plane holds its datarefs as floats.
json asFloats(const json& value) {
    if (value.is_array()) {
        json floats = json::array();
        for (const auto& element : value) {
            floats.push_back(static_cast<float>(element.get<double>()));
        }
        return floats;
    }
    return static_cast<float>(value.get<double>());
}

// Whether data may replace value: a number for a number; for an array, an array of as many
// numbers, every element written at once.
bool fits(const json& data, const json& value) {
    const auto isNumber = [](const json& v) { return v.is_number(); };
    if (value.is_array()) {
        return data.is_array() && data.size() == value.size() &&
               std::all_of(data.begin(), data.end(), isNumber);
    }
    return data.is_number();
}

}  // namespace

XPlaneStandIn::Aircraft XPlaneStandIn::boeing747(double fuelCapacityKg) {
    return {{0.300, 0.078, 0.220, 0.220, 0.078, 0.023, 0.023, 0.058, 0.0}, fuelCapacityKg};
}

XPlaneStandIn::Aircraft XPlaneStandIn::twinJet() {
    return {{0.5, 0.25, 0.25, 0, 0, 0, 0, 0, 0}, 21000};
}

XPlaneStandIn::XPlaneStandIn(const Aircraft& aircraft, Mode mode) : m_mode(mode) {
    // A new run of X-Plane gives its datarefs new ids.
    std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<std::uint64_t> ids(100000000000, 999999999999);
    const auto add = [&](std::string name, bool writable, const json& value) {
        m_datarefs.push_back({std::move(name), ids(random), writable, asFloats(value)});
    };
    add("sim/flightmodel/weight/m_fuel", true, {900, 4000, 6000, 6000, 4000, 0, 0, 0, 0});
    add("sim/flightmodel/weight/m_fixed", true, 1234.5);
    add("sim/aircraft/overflow/acf_tank_rat", false, aircraft.tankShares);
    add("sim/aircraft/weight/acf_m_fuel_tot", false, aircraft.fuelCapacityKg);
    add("sim/aircraft/weight/acf_m_max", false, 396893);

    // Every path and method comes to serve(), with its body read.
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        serve(request, response);
    };
    m_http.server().Get(".*", handler).Patch(".*", handler).Post(".*", handler).Put(".*", handler);
    m_http.start();
}

void XPlaneStandIn::setFuelSystem(std::function<void(std::vector<double>&)> afterWrite) {
    const std::lock_guard lock(m_mutex);
    m_fuelSystem = std::move(afterWrite);
}

std::map<std::string, json> XPlaneStandIn::values() const {
    const std::lock_guard lock(m_mutex);
    std::map<std::string, json> values;
    for (const auto& dataref : m_datarefs) {
        values[dataref.name] = dataref.value;
    }
    return values;
}

void XPlaneStandIn::serve(const httplib::Request& request, httplib::Response& response) {
    if (m_mode == Mode::NoWebApi) {
        response.status = 404;
        response.set_content("<html><body>Not Found</body></html>", "text/html");
        return;
    }
    if (m_mode == Mode::IncomingTrafficDisabled) {
        return answerError(response, 403, "forbidden", "Incoming traffic is disabled");
    }
    if (!hasHeader(request, "Accept", "application/json") ||
        request.get_header_value("Content-Type") != "application/json") {
        return answerError(response, 400, "bad_request",
                           "Accept and Content-Type must be application/json");
    }
    const std::lock_guard lock(m_mutex);
    if (request.method == "GET" && request.path == "/api/v1/datarefs") {
        return list(request, response);
    }
    value(request, response);
}

void XPlaneStandIn::list(const httplib::Request& request, httplib::Response& response) const {
    json data = json::array();
    const auto [first, last] = request.params.equal_range("filter[name]");
    for (const auto& dataref : m_datarefs) {
        if (first == last || std::any_of(first, last, [&](const auto& filter) {
                return filter.second == dataref.name;
            })) {
            data.push_back({{"id", dataref.id},
                            {"name", dataref.name},
                            {"value_type", dataref.value.is_array() ? "float_array" : "float"},
                            {"is_writable", dataref.writable}});
        }
    }
    response.set_content(json{{"data", data}}.dump(), "application/json");
}

void XPlaneStandIn::value(const httplib::Request& request, httplib::Response& response) {
    static const std::regex kValuePath(R"(/api/v1/datarefs/(\d+)/value)");
    std::smatch match;
    if (!std::regex_match(request.path, match, kValuePath) ||
        (request.method != "GET" && request.method != "PATCH")) {
        return answerError(response, 404, "not_found", "No such resource: " + request.path);
    }
    auto dataref = std::find_if(m_datarefs.begin(), m_datarefs.end(), [&](const Dataref& d) {
        return std::to_string(d.id) == match[1].str();
    });
    if (dataref == m_datarefs.end()) {
        return answerError(response, 404, "dataref_not_found",
                           "No dataref with id " + match[1].str());
    }
    if (request.method == "GET") {
        return response.set_content(json{{"data", dataref->value}}.dump(), "application/json");
    }
    if (!dataref->writable) {
        return answerError(response, 403, "dataref_read_only", dataref->name + " is read-only");
    }
    const json body = json::parse(request.body, nullptr, false);
    if (!body.is_object() || !body.contains("data") || !fits(body["data"], dataref->value)) {
        return answerError(response, 400, "invalid_value", "Invalid value for " + dataref->name);
    }
    dataref->value = asFloats(body["data"]);
    if (dataref->name == "sim/flightmodel/weight/m_fuel" && m_fuelSystem) {
        auto tanks = dataref->value.get<std::vector<double>>();
        m_fuelSystem(tanks);
        dataref->value = asFloats(tanks);
    }
    response.set_content("null", "application/json");
}

}  // namespace brimwell::test
