#include "links/xplane/xplane.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/cells.h"
#include "engine/flight_data.h"
#include "engine/number_text.h"
#include "engine/unit_cells.h"
#include "links/test_setting.h"
#include "links/xplane/xplane_wire.h"

namespace brimwell::links {

namespace {

using nlohmann::json;

constexpr const char* kModuleFile = "brimwell-xplane.so";

// What X-Plane gives back may differ from what was written by the rounding of its floats.
constexpr double kReadBackTolerance = 0.5;  // kg
// Larger masses are no figure of an aircraft; they are told as X-Plane wrote them.
constexpr double kLargestWholeKg = 1e12;

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

bool differs(double written, double read) {
    return !(std::abs(written - read) <= kReadBackTolerance);
}

std::string figure(double written, double read, engine::Unit unit) {
    return differs(written, read)
               ? weightText(written, unit) + " written, " + weightText(read, unit) + " now"
               : weightText(written, unit);
}

// A cell's pound text as the window shows it in the unit.
std::string shownWeight(const std::string& pounds, engine::Unit unit) {
    return (unit == engine::Unit::Kilograms ? engine::toKilograms(pounds) : pounds) + " " +
           std::string(engine::unitName(unit));
}

TankMasses tanksFrom(const json& list) {
    TankMasses tanks{};
    if (!list.is_array() || list.size() != tanks.size()) {
        throw std::runtime_error("a list of tanks is not nine figures");
    }
    for (std::size_t slot = 0; slot < tanks.size(); ++slot) {
        tanks[slot] = list[slot].get<double>();
    }
    return tanks;
}

}  // namespace

bool XPlaneLoaded::changedByAircraft() const {
    for (std::size_t slot = 0; slot < tanksWritten.size(); ++slot) {
        if (differs(tanksWritten[slot], tanksRead[slot])) {
            return true;
        }
    }
    return differs(payloadWritten, payloadRead);
}

std::optional<XPlaneAddress> parseXPlaneUrl(std::string_view url) {
    constexpr std::string_view kScheme = "http://";
    if (!url.starts_with(kScheme)) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(kScheme.size());
    if (rest.ends_with('/')) {
        rest.remove_suffix(1);
    }
    const auto colon = rest.find(':');
    const std::string_view host = rest.substr(0, colon);
    if (host.empty() || !std::all_of(host.begin(), host.end(), isHostCharacter) ||
        host.front() == '-' || host.front() == '.') {
        return std::nullopt;
    }
    int port = 80;
    if (colon != std::string_view::npos) {
        const std::string_view digits = rest.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || !engine::isDigitsOnly(digits)) {
            return std::nullopt;
        }
        port = std::stoi(std::string(digits));
        if (port < 1 || port > 65535) {
            return std::nullopt;
        }
    }
    return XPlaneAddress{std::string(host), port, std::string(url)};
}

std::string weightText(double kg, engine::Unit unit) {
    const double mass = unit == engine::Unit::Kilograms ? kg : kg / engine::kKilogramsPerPound;
    if (!(std::abs(mass) < kLargestWholeKg)) {
        std::array<char, 32> text{};
        const int length = std::snprintf(text.data(), text.size(), "%g", mass);
        return std::string(text.data(), static_cast<std::size_t>(std::max(length, 0))) + " " +
               std::string(engine::unitName(unit));
    }
    return std::to_string(std::llround(mass)) + " " + std::string(engine::unitName(unit));
}

std::chrono::milliseconds xplaneBound() {
    return testSetting("BRIMWELL_TEST_XPLANE_BOUND_MS", kXPlaneBound);
}

std::variant<XPlaneRequest, XPlaneRefused> xplaneRequestFor(const engine::UnitCells& cells,
                                                            const XPlaneAddress& address) {
    const engine::Unit unit = cells.unit();
    XPlaneRequest request{address, 0, 0, xplaneBound(), unit};
    std::string over;
    try {
        request.fuelLbs = engine::toNumber(cells.text(engine::cell::txtFL));
        request.payloadLbs = engine::toNumber(cells.text(engine::cell::txtPayLoad));
        for (const auto& rule : engine::kResultLimits) {
            const std::string text = cells.text(rule.cell);
            if (engine::toNumber(text) > rule.limit) {
                over += over.empty() ? "" : ", ";
                over += std::string(rule.caption) + " " + shownWeight(text, unit) + " (limit " +
                        shownWeight(engine::toText(rule.limit), unit) + ")";
            }
        }
    } catch (const engine::CalculationError&) {
        return XPlaneRefused{
            "There is no finished plan to load into X-Plane. Calculate the plan with all its "
            "flight data first."};
    }
    if (!over.empty()) {
        return XPlaneRefused{"The plan is over the aircraft's limits: " + over +
                             ". Change the flight data until no figure is over its limit, then "
                             "calculate and load again."};
    }
    return request;
}

XPlaneOutcome loadIntoXPlane(const XPlaneRequest& request, LinkControl& control) {
    return wire::loadOutcome(callLink(kModuleFile, wire::loadRequest(request), control));
}

std::variant<engine::FuelReading, XPlaneRefused> readXPlane(const XPlaneAddress& address,
                                                            std::chrono::milliseconds bound,
                                                            LinkControl& control) {
    return wire::readOutcome(callLink(kModuleFile, wire::readRequest(address, bound), control));
}

std::string describe(const XPlaneOutcome& outcome, engine::Unit unit) {
    if (const auto* refused = std::get_if<XPlaneRefused>(&outcome)) {
        return refused->reason;
    }
    const auto& loaded = std::get<XPlaneLoaded>(outcome);
    double fuel = 0;
    for (const double tank : loaded.tanksWritten) {
        fuel += tank;
    }
    std::string out = "X-Plane's 747-400 is loaded with " + weightText(fuel, unit) +
                      " of fuel and " + weightText(loaded.payloadWritten, unit) + " of payload" +
                      (loaded.changedByAircraft()
                           ? "; the aircraft has changed some of it since it was written:\n"
                           : ":\n");
    for (std::size_t slot = 0; slot < kTanks747.size(); ++slot) {
        if (!kTanks747[slot].name.empty()) {
            out += "  " + std::string(kTanks747[slot].name) + ": " +
                   figure(loaded.tanksWritten[slot], loaded.tanksRead[slot], unit) + "\n";
        }
    }
    out += "  payload: " + figure(loaded.payloadWritten, loaded.payloadRead, unit) + "\n";
    return out;
}

namespace wire {

std::string loadRequest(const XPlaneRequest& request) {
    return json{{"operation", "load"},
                {"url", request.address.url},
                {"bound_ms", request.bound.count()},
                {"fuel_kg", request.fuelLbs * engine::kKilogramsPerPound},
                {"payload_kg", request.payloadLbs * engine::kKilogramsPerPound},
                {"unit", engine::unitName(request.unit)}}
        .dump();
}

std::string readRequest(const XPlaneAddress& address, std::chrono::milliseconds bound) {
    return json{{"operation", "read"}, {"url", address.url}, {"bound_ms", bound.count()}}.dump();
}

std::string outcome(const XPlaneOutcome& outcome) {
    if (const auto* refused = std::get_if<XPlaneRefused>(&outcome)) {
        return json{{"refusal", refused->reason},
                    {"fuel_accepted", refused->fuelAccepted},
                    {"payload_accepted", refused->payloadAccepted}}
            .dump();
    }
    const auto& loaded = std::get<XPlaneLoaded>(outcome);
    return json{{"tanks_written", loaded.tanksWritten},
                {"tanks_read", loaded.tanksRead},
                {"payload_written", loaded.payloadWritten},
                {"payload_read", loaded.payloadRead}}
        .dump();
}

std::string reading(const engine::FuelReading& reading) {
    return json{{"fuel_kg", reading.fuelOnBoardKg}, {"distance_m", reading.distanceTravelledMetres}}
        .dump();
}

// The module and the face are built together: an answer they do not agree on is a fault of the
// installation, told as such.
XPlaneOutcome loadOutcome(const LinkAnswer& answer) {
    if (!answer.done) {
        return XPlaneRefused{answer.text};
    }
    try {
        const json parsed = json::parse(answer.text);
        if (parsed.contains("refusal")) {
            return XPlaneRefused{parsed.at("refusal").get<std::string>(),
                                 parsed.at("fuel_accepted").get<bool>(),
                                 parsed.at("payload_accepted").get<bool>()};
        }
        return XPlaneLoaded{
            tanksFrom(parsed.at("tanks_written")), tanksFrom(parsed.at("tanks_read")),
            parsed.at("payload_written").get<double>(), parsed.at("payload_read").get<double>()};
    } catch (const std::exception& failure) {
        return XPlaneRefused{std::string("The X-Plane link gave an answer Brimwell cannot read (") +
                             failure.what() + "). Reinstall Brimwell."};
    }
}

std::variant<engine::FuelReading, XPlaneRefused> readOutcome(const LinkAnswer& answer) {
    if (!answer.done) {
        return XPlaneRefused{answer.text};
    }
    try {
        const json parsed = json::parse(answer.text);
        return engine::FuelReading{parsed.at("fuel_kg").get<double>(),
                                   parsed.at("distance_m").get<double>()};
    } catch (const std::exception& failure) {
        return XPlaneRefused{std::string("The X-Plane link gave an answer Brimwell cannot read (") +
                             failure.what() + "). Reinstall Brimwell."};
    }
}

}  // namespace wire

}  // namespace brimwell::links
