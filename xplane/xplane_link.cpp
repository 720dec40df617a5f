#include "xplane/xplane_link.h"

#include <httplib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "xplane/fuel_tanks.h"

namespace brimwell {

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr std::string_view kFuel = "sim/flightmodel/weight/m_fuel";
constexpr std::string_view kPayload = "sim/flightmodel/weight/m_fixed";
constexpr std::string_view kShares = "sim/aircraft/overflow/acf_tank_rat";
constexpr std::string_view kCapacity = "sim/aircraft/weight/acf_m_fuel_tot";
constexpr std::array kDatarefs = {kFuel, kPayload, kShares, kCapacity};

// Ends the exchange; what() is the reason for the pilot. Caught in XPlaneLink::load.
class Stop final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A number in the printf format given ("%.3f", "%g").
std::string printed(const char* format, double value) {
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), format, value);
    return length > 0 ? std::string(text.data()) : std::string();
}

std::string shareList(const std::vector<double>& shares) {
    std::string out;
    for (const double share : shares) {
        if (!out.empty()) {
            out += ", ";
        }
        out += printed("%.3f", share);
    }
    return out;
}

std::string percentEncoded(std::string_view text) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4U]);
            out.push_back(kHex[byte & 0x0fU]);
        }
    }
    return out;
}

struct Dataref {
    std::string valuePath;  // /api/v1/datarefs/{id}/value
    bool writable = false;
};

// One exchange with X-Plane: one client, kept alive from request to request, and the deadline.
class Exchange final {
  public:
    Exchange(const XPlaneAddress& address, std::chrono::milliseconds bound)
        : m_address(address),
          m_bound(bound),
          m_deadline(Clock::now() + bound),
          m_client(address.host, address.port) {
        m_client.set_keep_alive(true);
        m_client.set_tcp_nodelay(true);
        m_client.set_default_headers(
            {{"Accept", "application/json"}, {"Content-Type", "application/json"}});
    }

    // The ids of the datarefs, by name, in one request.
    std::map<std::string_view, Dataref> find() {
        std::string target = "/api/v1/datarefs";
        for (const auto name : kDatarefs) {
            target += target.find('?') == std::string::npos ? '?' : '&';
            target += "filter%5Bname%5D=";
            target += percentEncoded(name);
        }
        const json found = get(target, "the list of datarefs");
        std::map<std::string_view, Dataref> datarefs;
        if (!found.is_array()) {
            throw Stop(unexpected("the list of datarefs"));
        }
        for (const auto& entry : found) {
            const auto name = entry.is_object() ? entry.find("name") : entry.end();
            const auto* const wanted =
                name == entry.end() || !name->is_string()
                    ? kDatarefs.end()
                    : std::find(kDatarefs.begin(), kDatarefs.end(), name->get<std::string>());
            if (wanted == kDatarefs.end()) {
                continue;
            }
            const auto id = entry.find("id");
            if (id == entry.end() || !id->is_number_integer()) {
                throw Stop(unexpected("the list of datarefs"));
            }
            const auto writable = entry.find("is_writable");
            datarefs[*wanted] = {
                "/api/v1/datarefs/" + id->dump() + "/value",
                writable != entry.end() && writable->is_boolean() && writable->get<bool>()};
        }
        for (const auto name : kDatarefs) {
            if (!datarefs.contains(name)) {
                throw Stop("X-Plane at " + m_address.url + " has no dataref " + std::string(name) +
                           ". X-Plane 12.1.1 or later is needed: update X-Plane and try again.");
            }
        }
        return datarefs;
    }

    double number(const Dataref& dataref, std::string_view what) {
        const json value = get(dataref.valuePath, what);
        if (!value.is_number()) {
            throw Stop(unexpected(what));
        }
        return value.get<double>();
    }

    std::vector<double> numbers(const Dataref& dataref, std::string_view what) {
        const json value = get(dataref.valuePath, what);
        if (!value.is_array() ||
            !std::all_of(value.begin(), value.end(), [](const json& v) { return v.is_number(); })) {
            throw Stop(unexpected(what));
        }
        return value.get<std::vector<double>>();
    }

    void patch(const Dataref& dataref, const json& data, std::string_view what) {
        cutTimeouts();
        const json body = {{"data", data}};
        answer(m_client.Patch(dataref.valuePath, body.dump(), "application/json"), what);
    }

  private:
    // The "data" of a GET's answer.
    json get(const std::string& target, std::string_view what) {
        cutTimeouts();
        const json body = answer(
            m_client.Get(target, [this](std::uint64_t, std::uint64_t) { return !pastDeadline(); }),
            what);
        const auto data = body.is_object() ? body.find("data") : body.end();
        if (data == body.end()) {
            throw Stop(unexpected(what));
        }
        return *data;
    }

    // The answer's JSON, once X-Plane has answered 200; else the reason why not.
    json answer(const httplib::Result& result, std::string_view what) {
        if (!result) {
            if (pastDeadline() || result.error() == httplib::Error::ConnectionTimeout) {
                throw Stop(timedOut());
            }
            if (result.error() == httplib::Error::Connection && !m_answered) {
                throw Stop("X-Plane does not answer at " + m_address.url +
                           ". Start X-Plane 12.1.1 or later with the 747-400, or correct the "
                           "X-Plane address.");
            }
            throw Stop("X-Plane at " + m_address.url + " broke off the connection during " +
                       std::string(what) + ". Try again.");
        }
        const bool firstAnswer = !m_answered;
        m_answered = true;
        if (firstAnswer && result->status == 403) {
            throw Stop(
                "X-Plane refuses incoming traffic. In X-Plane's Settings, on the Network tab, set "
                "the security policy to one that accepts incoming traffic instead of \"Disable "
                "Incoming Traffic\", then try again.");
        }
        json body = json::parse(result->body, nullptr, false);
        if (firstAnswer && (result->status == 404 || body.is_discarded())) {
            throw Stop(m_address.url +
                       " answers, but not as X-Plane's web API. X-Plane 12.1.1 or later is "
                       "needed: update X-Plane, or correct the X-Plane address.");
        }
        if (result->status != 200) {
            const auto message = body.is_object() ? body.find("error_message") : body.end();
            throw Stop(
                "X-Plane refused " + std::string(what) + " (" + std::to_string(result->status) +
                (message != body.end() && message->is_string() ? ": " + message->get<std::string>()
                                                               : std::string()) +
                "). Try again; if it goes on, restart X-Plane.");
        }
        return body;
    }

    std::string unexpected(std::string_view what) const {
        return "X-Plane's answer to " + std::string(what) + " at " + m_address.url +
               " is not what its web API sends. Try again; if it goes on, update X-Plane.";
    }

    std::string timedOut() const {
        return "X-Plane did not answer at " + m_address.url + " within " +
               printed("%g", static_cast<double>(m_bound.count()) / 1000) +
               " seconds. Check that X-Plane is running and not busy loading, then try again.";
    }

    bool pastDeadline() const { return Clock::now() >= m_deadline; }

    void cutTimeouts() {
        // Rounded up, so that a timeout ends after the deadline, never a little before it.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now()) +
                          std::chrono::milliseconds(1);
        if (pastDeadline()) {
            throw Stop(timedOut());
        }
        m_client.set_connection_timeout(left);
        m_client.set_read_timeout(left);
        m_client.set_write_timeout(left);
    }

    const XPlaneAddress& m_address;
    std::chrono::milliseconds m_bound;
    Clock::time_point m_deadline;
    httplib::Client m_client;
    bool m_answered = false;  // whether X-Plane's web API has answered once
};

// What has been written when the exchange stops, told after the reason.
enum class Written { Nothing, FuelUnderWay, PayloadUnderWay, Both };

std::string afterWrites(Written written) {
    switch (written) {
        case Written::Nothing:
            return "";
        case Written::FuelUnderWay:
            return " The fuel may or may not have been written: check it in X-Plane, or load "
                   "again.";
        case Written::PayloadUnderWay:
            return " The fuel was written; the payload may or may not have been: check it in "
                   "X-Plane, or load again.";
        case Written::Both:
            return " The fuel and the payload were written but not read back: check them in "
                   "X-Plane.";
    }
    return "";
}

}  // namespace

XPlaneLink::XPlaneLink(XPlaneAddress address, std::chrono::milliseconds bound, Unit unit)
    : m_address(std::move(address)), m_bound(bound), m_unit(unit) {}

XPlaneOutcome XPlaneLink::load(double fuelKg, double payloadKg) const {
    Written written = Written::Nothing;
    try {
        Exchange exchange(m_address, m_bound);
        const auto datarefs = exchange.find();
        const auto shares = exchange.numbers(datarefs.at(kShares), "the tank layout");
        const double capacity = exchange.number(datarefs.at(kCapacity), "the fuel capacity");
        if (!is747TankLayout(shares)) {
            std::vector<double> shares747(kTanks747.size());
            std::transform(kTanks747.begin(), kTanks747.end(), shares747.begin(),
                           [](const Tank747& tank) { return tank.share; });
            throw Stop("The aircraft loaded in X-Plane is not a 747-400: its tanks take " +
                       shareList(shares) + " of the fuel capacity, the 747-400's take " +
                       shareList(shares747) + ". Load the 747-400 in X-Plane and try again.");
        }
        if (!(capacity > 0 && std::isfinite(capacity))) {
            throw Stop("The 747-400 in X-Plane reports a fuel capacity of " +
                       printed("%g", capacity) + " kg. Load the 747-400 in X-Plane again.");
        }
        TankMasses capacities{};
        for (std::size_t slot = 0; slot < capacities.size(); ++slot) {
            capacities[slot] = shares[slot] * capacity;
        }
        const SpreadFuel spread = spreadFuel(fuelKg, capacities);
        if (spread.leftOver > 0) {
            const SpreadFuel full = spreadFuel(capacity, capacities);
            throw Stop("The total fuel load of " + weightText(fuelKg, m_unit) +
                       " does not fit the tanks of X-Plane's 747-400, which hold " +
                       weightText(capacity - full.leftOver, m_unit) +
                       ". Plan with less fuel, then load again.");
        }
        for (const auto& [name, what] : {std::pair{kFuel, "the fuel"}, {kPayload, "the payload"}}) {
            if (!datarefs.at(name).writable) {
                throw Stop("X-Plane does not let " + std::string(what) + " be written (" +
                           std::string(name) + " is read-only). Try again with the 747-400.");
            }
        }

        written = Written::FuelUnderWay;
        exchange.patch(datarefs.at(kFuel), spread.tanks, "the fuel");
        written = Written::PayloadUnderWay;
        exchange.patch(datarefs.at(kPayload), payloadKg, "the payload");
        written = Written::Both;

        XPlaneLoaded loaded{spread.tanks, {}, payloadKg, 0};
        const auto tanksRead = exchange.numbers(datarefs.at(kFuel), "the fuel");
        if (tanksRead.size() != loaded.tanksRead.size()) {
            throw Stop("X-Plane gave back " + std::to_string(tanksRead.size()) +
                       " tanks instead of " + std::to_string(loaded.tanksRead.size()) + ".");
        }
        std::copy(tanksRead.begin(), tanksRead.end(), loaded.tanksRead.begin());
        loaded.payloadRead = exchange.number(datarefs.at(kPayload), "the payload");
        return loaded;
    } catch (const Stop& stop) {
        return XPlaneRefused{stop.what() + afterWrites(written)};
    } catch (const std::exception& failure) {
        return XPlaneRefused{std::string("The X-Plane link failed: ") + failure.what() + "." +
                             afterWrites(written)};
    }
}

}  // namespace brimwell
