#include <string>

#include "engine/calculation_error.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/number_text.h"
#include "engine/unit_cells.h"
#include "links/xplane/xplane.h"

namespace brimwell::links {

namespace {

// A cell's pound text as the window shows it in the unit.
std::string shownWeight(const std::string& pounds, engine::Unit unit) {
    return (unit == engine::Unit::Kilograms ? engine::toKilograms(pounds) : pounds) + " " +
           std::string(engine::unitName(unit));
}

}  // namespace

Outcome<XPlaneRequest> xplaneRequestFor(const engine::UnitCells& cells,
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
        return Refused{
            "There is no finished plan to load into X-Plane. Calculate the plan with all its "
            "flight data first."};
    }
    if (!over.empty()) {
        return Refused{"The plan is over the aircraft's limits: " + over +
                       ". Change the flight data until no figure is over its limit, then "
                       "calculate and load again."};
    }
    return request;
}

}  // namespace brimwell::links
