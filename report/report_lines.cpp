#include "report/report_lines.h"

#include "engine/cell_names.h"

namespace brimwell {

ReportLines buildReportLines(const CellReader& cells) {
    const auto v = [&cells](std::string_view name) { return cells.text(name); };
    namespace c = cell;
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
        "Payload: " + v(c::txtPayLoad) + " lbs",
        "Contingency Time: " + v(c::txtContingencyTime) + " minutes",
        "Wind Distance Correction: " + v(c::txtDistWinCorr) + " nm",
        "",
        "********** Fuel Planning Schematic **********",
        "(+) Basic Operation Empty Weight: " + v(c::txtBOW) + " lbs",
        "(+) Payload: " + v(c::txtPayLoadDuplicate) + " lbs",
        "(=) Zero Fuel Weight: " + v(c::txtZFW) + " lbs",
        "",
        "(+) Zero Fuel Weight: " + v(c::txtZFWDuplicate) + " lbs",
        "(+) Minimum Landing Fuel: " + v(c::cmbMLF) + " lbs",
        "(+) Alternate Fuel: " + v(c::txtAF) + " lbs",
        "(+) Contingency Fuel: " + v(c::txtCF) + " lbs",
        "(=) Planned Landing Weight: " + v(c::txtPLW) + " lbs",
        "",
        "(+) Planned Landing Weight: " + v(c::txtPLWDuplicate) + " lbs",
        "(+) Flight Plan Fuel: " + v(c::txtFPF) + " lbs",
        "(=) Planned Gross Takeoff Weight: " + v(c::txtGTW) + " lbs",
        "",
        "(+) Planned Gross Takeoff Weight: " + v(c::txtGTWDuplicate) + " lbs",
        "(+) Taxi Fuel Burn Off: " + v(c::txtTFB) + " lbs",
        "(=) Planned Taxi-Out Weight: " + v(c::txtTW) + " lbs",
        "",
        "TOTAL FUEL LOAD: " + v(c::txtFL) + " lbs",
        "Extimated Time to Arrive (ETA): " + v(c::txtETA) + " hh:mm",
        "Optimal Initial Cruise Altitude: " + v(c::txtICA) + " feet",
        "",
        "*************** Good Flight! (Q.Z.) *************",
    };
}

}  // namespace brimwell
