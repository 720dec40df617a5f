#include "report/report_lines.h"

#include "engine/cell_names.h"
#include "engine/fuel_planner.h"

namespace brimwell::report {

ReportLines buildReportLines(const engine::CellReader& cells, engine::Unit unit,
                             std::optional<double> fuelFactor) {
    const auto v = [&cells](std::string_view name) { return cells.text(name); };
    const std::string weight = " " + std::string(engine::unitName(unit));
    namespace c = engine::cell;
    return ReportLines{
        "Boeing 747-400 - Fuel Planning Schematic",
        "----------------------------------------",
        "",
        "*************** Flight Data ****************",
        "Origin: " + v(c::txtOriginICAO),
        "Destination: " + v(c::txtDestinationICAO) + " distance: " + v(c::txtDestinationDistance) +
            " nm",
        "Alternate: " + v(c::txtAlternateICAO) + " distance: " + v(c::cmbAlternateDistance) + " nm",
        "Prevalent Wind: " + v(c::cmbWindDirection) + " - " + v(c::txtWindIntensity) + " Knots",
        "Flight Level: " + v(c::cmbFlightLevel),
        "Payload: " + v(c::txtPayLoad) + weight,
        "Contingency Time: " + v(c::txtContingencyTime) + " minutes",
        "Wind Distance Correction: " + v(c::txtDistWinCorr) + " nm",
        "",
        "********** Fuel Planning Schematic **********",
        "(+) Basic Operation Empty Weight: " + v(c::txtBOW) + weight,
        "(+) Payload: " + v(c::txtPayLoadDuplicate) + weight,
        "(=) Zero Fuel Weight: " + v(c::txtZFW) + weight,
        "",
        "(+) Zero Fuel Weight: " + v(c::txtZFWDuplicate) + weight,
        "(+) Minimum Landing Fuel: " + v(c::cmbMLF) + weight,
        "(+) Alternate Fuel: " + v(c::txtAF) + weight,
        "(+) Contingency Fuel: " + v(c::txtCF) + weight,
        "(=) Planned Landing Weight: " + v(c::txtPLW) + weight,
        "",
        "(+) Planned Landing Weight: " + v(c::txtPLWDuplicate) + weight,
        "(+) Flight Plan Fuel: " + v(c::txtFPF) + weight +
            (fuelFactor ? " (fuel factor " + engine::fuelFactorPercent(*fuelFactor) + ")" : ""),
        "(=) Planned Gross Takeoff Weight: " + v(c::txtGTW) + weight,
        "",
        "(+) Planned Gross Takeoff Weight: " + v(c::txtGTWDuplicate) + weight,
        "(+) Taxi Fuel Burn Off: " + v(c::txtTFB) + weight,
        "(=) Planned Taxi-Out Weight: " + v(c::txtTW) + weight,
        "",
        "TOTAL FUEL LOAD: " + v(c::txtFL) + weight,
        "Extimated Time to Arrive (ETA): " + v(c::txtETA) + " hh:mm",
        "Optimal Initial Cruise Altitude: " + v(c::txtICA) + " feet",
        "",
        "*************** Good Flight! (Q.Z.) *************",
    };
}

}  // namespace brimwell::report
