// The route reader fed with arbitrary bytes, and the watch of the sample flight along what it
// read. The route, where there is one, holds 1 to kMostRouteFixes fixes on the earth, legs of
// finite length adding up to more than 0 and idents fit to show; else one line says why it is left
// out. Flown over each fix and back, the watch measures every checked reading within the plan's
// distance and never backwards. The sanitizers catch the rest.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "base/shown_text.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "flight/flight_watch.h"
#include "flightplan/route.h"
#include "tests/support/plan.h"

namespace {

using namespace brimwell;

engine::FuelPlanLine samplePlan() {
    engine::MemoryCells cells;
    test::RecordingSink sink;
    engine::FuelPlanner planner(cells, sink);
    test::enter(cells, test::samplePlan());
    if (!planner.calculate()) {
        std::abort();
    }
    return std::get<engine::FuelPlanLine>(engine::FuelPlanLine::read(cells));
}

bool sound(const flightplan::Route& route) {
    double length = 0;
    bool fixes = !route.fixes.empty() && route.fixes.size() <= flightplan::kMostRouteFixes;
    for (const auto& fix : route.fixes) {
        length += fix.legNm;
        fixes = fixes && std::abs(fix.latitude) <= 90 && std::abs(fix.longitude) <= 180 &&
                fix.legNm >= 0 && std::isfinite(fix.legNm) &&
                base::shownText(fix.ident) == fix.ident && fix.ident.size() <= 80 &&
                (!fix.plannedFuelOnBoard || *fix.plannedFuelOnBoard >= 0);
    }
    return fixes && length > 0 && std::isfinite(length);
}

// Flies over every fix, then back over the first: no check goes backwards or beyond the plan.
bool flownSoundly(const flightplan::Route& route) {
    static const auto plan = samplePlan();
    flight::FlightWatch watch(samplePlan(), route);
    flight::Reading reading;
    reading.fuelOnBoardKg = 100'000;
    const auto over = [&](double latitude, double longitude) {
        reading.latitude = latitude;
        reading.longitude = longitude;
        reading.time += 5;
        watch.read(reading);
    };
    for (const auto& fix : route.fixes) {
        over(fix.latitude, fix.longitude);
    }
    over(route.fixes.front().latitude, route.fixes.front().longitude);
    double before = 0;
    for (const auto& check : watch.checks()) {
        const double flown = check.check.distanceFlown;
        if (flown < before || flown > plan.destinationDistance() ||
            check.check.distanceToGo + flown != plan.destinationDistance()) {
            return false;
        }
        before = flown;
    }
    return watch.checks().size() == route.fixes.size() + 1 &&
           watch.fixesPassed().size() <= route.fixes.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto read = flightplan::readRoute(input);
    if (const auto* const why = std::get_if<std::string>(&read)) {
        if (!why->starts_with("The route is left out: ") ||
            why->find_first_of("\r\n") != std::string::npos) {
            std::abort();
        }
        return 0;
    }
    const auto& route = std::get<flightplan::Route>(read);
    if (!sound(route) || !flownSoundly(route)) {
        std::abort();
    }
    return 0;
}
