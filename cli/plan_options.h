#pragma once

// The options of brimwell-plan. Each flight-data option fills the cell of the window that it
// names, under the window's own input rules: the five numeric cells take digits only, distance,
// wind and payload refuse a value above their limit with the window's warning, and a drop-down
// cell takes only an item of its list. With --units kg the weights are kilograms, the payload's
// limit and the minimum landing fuel's list those of the window in kilograms. A value that no cell
// of the window can hold (a line break or another control character, more than the window's
// longest text) is refused with the cell named.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/plan_serve.h"
#include "engine/units.h"
#include "links/xplane/xplane_address.h"

namespace brimwell::cli {

// --every: the interval of --watch's readings, seconds.
inline constexpr double kDefaultEverySeconds = 5;
inline constexpr double kFewestEverySeconds = 0.2;
inline constexpr double kMostEverySeconds = 60;

// --fuel-factor: the factor learnt from the flight log, or the one given.
struct FuelFactorOption {
    bool learnt = false;
    double factor = 1;
};

struct PlanRequest {
    // Cell name and text, in the order given, in `unit`; each cell once, as it was given last.
    std::vector<std::pair<std::string_view, std::string>> cells;
    engine::Unit unit = engine::Unit::Pounds;
    bool correction = false;
    bool json = false;
    bool help = false;
    bool version = false;
    std::optional<std::string> pdfPath;
    std::optional<std::string> ofpPath;       // "-" is standard input
    std::optional<std::string> simbriefUser;  // whose latest flight plan to fetch from SimBrief
    bool sendToXPlane = false;
    bool fuelCheck = false;
    bool watch = false;
    double everySeconds = kDefaultEverySeconds;  // --every, the interval of --watch's readings
    std::optional<ServeAddress> serve;           // --serve, where --watch shows the flight
    links::XPlaneAddress xplane = *links::parseXPlaneUrl(links::kDefaultXPlaneUrl);
    // The flight log (cli/plan_flights.h): --flights, --flight ID, --flights-csv FILE, and
    // --fuel-factor auto (learnt) or PERCENT (the factor, 1.05 for 5).
    bool flights = false;
    std::optional<std::int64_t> flightId;
    std::optional<std::string> flightsCsv;
    std::optional<FuelFactorOption> fuelFactor;
};

// An option that cannot be taken: what() is the message for the pilot.
class OptionError final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Accepts "--name value" and "--name=value"; an
// option given twice counts as given last. Throws OptionError for an unknown option, a missing
// value or a value the cell refuses, unless --help or --version is asked for.
PlanRequest parsePlanOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string planUsage();

}  // namespace brimwell::cli
