#include "xplane/xplane_load.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <string>

#include "engine/calculation_error.h"
#include "engine/cell_names.h"
#include "engine/cells.h"
#include "engine/flight_data.h"
#include "engine/number_text.h"
#include "engine/unit_cells.h"
#include "modules/module_loader.h"
#include "xplane/xplane_module.h"

namespace brimwell {

namespace {

// What X-Plane gives back may differ from what was written by the rounding of its floats.
constexpr double kReadBackTolerance = 0.5;  // kg

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

std::chrono::milliseconds bound() {
    // Only the tests set it, to try the bound in less than five seconds.
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing sets the environment while Brimwell runs
    if (const char* text = std::getenv("BRIMWELL_TEST_XPLANE_BOUND_MS"); text != nullptr) {
        return std::chrono::milliseconds(std::strtol(text, nullptr, 10));
    }
    return std::chrono::milliseconds(5000);
}

bool differs(double written, double read) {
    return !(std::abs(written - read) <= kReadBackTolerance);
}

std::string figure(double written, double read, Unit unit) {
    return differs(written, read)
               ? weightText(written, unit) + " written, " + weightText(read, unit) + " now"
               : weightText(written, unit);
}

// A cell's pound text as the window shows it in the unit.
std::string shownWeight(const std::string& pounds, Unit unit) {
    return (unit == Unit::Kilograms ? toKilograms(pounds) : pounds) + " " +
           std::string(unitName(unit));
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
        if (digits.empty() || digits.size() > 5 || !isDigitsOnly(digits)) {
            return std::nullopt;
        }
        port = std::stoi(std::string(digits));
        if (port < 1 || port > 65535) {
            return std::nullopt;
        }
    }
    return XPlaneAddress{std::string(host), port, std::string(url)};
}

std::string weightText(double kg, Unit unit) {
    return std::to_string(std::llround(unit == Unit::Kilograms ? kg : kg / kKilogramsPerPound)) +
           " " + std::string(unitName(unit));
}

std::variant<XPlaneRequest, XPlaneRefused> xplaneRequestFor(const UnitCells& cells,
                                                            const XPlaneAddress& address) {
    const Unit unit = cells.unit();
    XPlaneRequest request{address, 0, 0, bound(), unit};
    std::string over;
    try {
        request.fuelLbs = toNumber(cells.text(cell::txtFL));
        request.payloadLbs = toNumber(cells.text(cell::txtPayLoad));
        for (const auto& rule : kResultLimits) {
            const std::string text = cells.text(rule.cell);
            if (toNumber(text) > rule.limit) {
                over += over.empty() ? "" : ", ";
                over += std::string(rule.caption) + " " + shownWeight(text, unit) + " (limit " +
                        shownWeight(toText(rule.limit), unit) + ")";
            }
        }
    } catch (const CalculationError&) {
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

XPlaneOutcome loadIntoXPlane(const XPlaneRequest& request) {
    try {
        const auto load = moduleFunction<XPlaneModuleEntry>(kXPlaneModuleFile, kXPlaneModuleEntry);
        XPlaneOutcome outcome = XPlaneRefused{};
        load(request, outcome);
        return outcome;
    } catch (const std::exception& failure) {
        return XPlaneRefused{std::string("The X-Plane link cannot be started: ") + failure.what() +
                             ". Reinstall Brimwell."};
    }
}

std::string describe(const XPlaneOutcome& outcome, Unit unit) {
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

}  // namespace brimwell
