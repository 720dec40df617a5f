#include "links/xplane/xplane.h"

#include <cmath>
#include <string>

#include "base/figure_text.h"

namespace brimwell::links {

namespace {

// Larger masses are no figure of an aircraft; they are told as X-Plane wrote them.
constexpr double kLargestWholeKg = 1e12;

bool differs(double written, double read) {
    return !(std::abs(written - read) <= kReadBackToleranceKg);
}

std::string figure(double written, double read, engine::Unit unit) {
    return differs(written, read)
               ? weightText(written, unit) + " written, " + weightText(read, unit) + " now"
               : weightText(written, unit);
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

std::string weightText(double kg, engine::Unit unit) {
    const double mass = unit == engine::Unit::Kilograms ? kg : kg / engine::kKilogramsPerPound;
    if (!(std::abs(mass) < kLargestWholeKg)) {
        return base::figureText(mass) + " " + std::string(engine::unitName(unit));
    }
    return std::to_string(std::llround(mass)) + " " + std::string(engine::unitName(unit));
}

std::string describe(const XPlaneOutcome& outcome, engine::Unit unit) {
    if (!outcome.done()) {
        return outcome.refused().reason;
    }
    const XPlaneLoaded& loaded = outcome.value();
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

}  // namespace brimwell::links
