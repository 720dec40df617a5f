#pragma once

// The flight-plan reader: a SimBrief operational flight plan (OFP), in either form SimBrief serves
// (XML with the root element OFP, or the JSON of json=v2), read into the window's input cells.
//
// It reads the airports, the route distance, the alternate's distance, the average wind component,
// the initial altitude, the payload and the taxi fuel, and gives each as the text its cell takes
// under the window's own rules (engine/cell_limits.h). What does not fit a cell is not guessed: it
// is listed with the value the OFP wrote and the reason, and that cell keeps what it had; a
// number is judged by the cell's limit in the unit the OFP gives it, before it is converted, so
// that no figure reaches the cells that the engine cannot hold. Data that is no OFP at all is one
// refusal and nothing else. Nothing here throws.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/units.h"
#include "flightplan/route.h"

namespace brimwell::engine {
class UnitCells;
}

namespace brimwell::flightplan {

// No real OFP is larger, not even one with the navigation log of the longest flight; bytes.
inline constexpr std::size_t kLargestFlightPlan = std::size_t{32} * 1024 * 1024;

struct FilledCell {
    std::string_view cell;  // a name of engine/cell_names.h
    std::string text;       // the cell's text in the window's terms; weights in whole lbs
    // A weight read from a kgs OFP: the OFP's own figure, whole kg.
    std::optional<std::string> kilograms;
    // Where the value was changed to fit, for the pilot ("rounded up from 187 nm to the list's
    // 200 nm"); else empty.
    std::string note;
    friend bool operator==(const FilledCell&, const FilledCell&) = default;
};

struct UnmappedField {
    std::string_view cell;  // the cell that keeps what it had
    std::string field;      // "general/initial_altitude"
    std::string value;      // as the OFP wrote it; empty when missing
    std::string reason;     // "is outside the list's flight levels FL310 to FL410"
    friend bool operator==(const UnmappedField&, const UnmappedField&) = default;
};

struct FlightPlanReading {
    // The data is no OFP: one clear message; nothing else is set.
    std::optional<std::string> refusal;
    std::vector<FilledCell> filled;  // in the window's focus order
    std::vector<UnmappedField> unmapped;
    bool kilograms = false;  // params/units is "kgs"
    // The route of its navigation log (flightplan/route.h); none, with the reason in words in
    // routeLeftOut, where the log cannot be read.
    std::optional<Route> route;
    std::string routeLeftOut;
};

// Reads an OFP held in memory. A refusal names the data as `name` ("plan.xml", "SimBrief's
// answer").
FlightPlanReading readFlightPlan(std::string_view data, std::string_view name = "The data");
// Reads an OFP from an open file descriptor (standard input, 0) to its end, at most
// kLargestFlightPlan bytes; more, a folder, or a descriptor that cannot be read is a refusal.
FlightPlanReading readFlightPlanFrom(int descriptor, std::string_view name);
// Reads an OFP file; a file it cannot read, or one larger than kLargestFlightPlan, is a refusal.
FlightPlanReading readFlightPlanFile(const std::string& path);

// SimBrief's own word on a fetch that brought no flight plan: the fetch/status of the OFP it sent
// instead ("Error: Unknown UserID"), without surrounding blanks; nullopt when the data holds none.
std::optional<std::string> simbriefStatus(std::string_view data);

// One line for the pilot each, shared by the window's summary and the planner's error stream:
// "Alternate distance: 200 nm (rounded up from 187 nm to the list's 200 nm)",
// "Flight level not filled: general/initial_altitude "29000" is outside the list's ...".
// What they quote of the flight plan is shown by the one rule for outside text
// (base/shown_text.h).
// A weight is told in `unit`, with the flight plan's own figure where that is in the other unit:
// "Payload: 138891 lbs (63000 kg in the flight plan)".
std::string describe(const FilledCell& filled, engine::Unit unit = engine::Unit::Pounds);
std::string describe(const UnmappedField& unmapped);

// Puts the value into its cell: a weight the flight plan gave in kilograms shows that figure
// itself while the cells show kilograms (UnitCells::setWeight), any other as its text in pounds.
void fill(engine::UnitCells& cells, const FilledCell& filled);

}  // namespace brimwell::flightplan
