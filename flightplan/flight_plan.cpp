#include "flightplan/flight_plan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/shown_text.h"
#include "base/trimmed.h"
#include "engine/calculation_error.h"
#include "engine/cell_limits.h"
#include "engine/cell_names.h"
#include "engine/cell_values.h"
#include "engine/digit_keys.h"
#include "engine/number_text.h"
#include "engine/unit_cells.h"
#include "flightplan/navigation_log.h"
#include "flightplan/ofp_fields.h"

namespace brimwell::flightplan {

namespace {

namespace path {
constexpr std::string_view kUnits = "params/units";
constexpr std::string_view kStatus = "fetch/status";
constexpr std::string_view kOrigin = "origin/icao_code";
constexpr std::string_view kDestination = "destination/icao_code";
constexpr std::string_view kRouteDistance = "general/route_distance";
constexpr std::string_view kAlternate = "alternate/icao_code";
constexpr std::string_view kAlternateDistance = "alternate/distance";
constexpr std::string_view kWind = "general/avg_wind_comp";
constexpr std::string_view kAltitude = "general/initial_altitude";
constexpr std::string_view kPayload = "weights/payload";
constexpr std::string_view kTaxi = "fuel/taxi";
}  // namespace path

// The route's own fields last (navigation_log.h).
constexpr std::array<std::string_view, 13> kPaths = {path::kUnits,
                                                     path::kStatus,
                                                     path::kOrigin,
                                                     path::kDestination,
                                                     path::kRouteDistance,
                                                     path::kAlternate,
                                                     path::kAlternateDistance,
                                                     path::kWind,
                                                     path::kAltitude,
                                                     path::kPayload,
                                                     path::kTaxi,
                                                     kRoutePaths[1],
                                                     kRoutePaths[2]};

// How the pilot knows each cell the reader fills, and the unit of its value.
struct CellLabel {
    std::string_view cell;
    std::string_view label;
    std::string_view unit;
};

constexpr std::array<CellLabel, 10> kLabels = {{
    {engine::cell::txtOriginICAO, "Origin", ""},
    {engine::cell::txtDestinationICAO, "Destination", ""},
    {engine::cell::txtDestinationDistance, "Destination distance", "nm"},
    {engine::cell::txtAlternateICAO, "Alternate", ""},
    {engine::cell::cmbAlternateDistance, "Alternate distance", "nm"},
    {engine::cell::cmbWindDirection, "Wind direction", ""},
    {engine::cell::txtWindIntensity, "Wind", "knots"},
    {engine::cell::cmbFlightLevel, "Flight level", ""},
    {engine::cell::txtPayLoad, "Payload", "lbs"},
    {engine::cell::txtTFB, "Taxi fuel burn off", "lbs"},
}};

CellLabel labelOf(std::string_view cell) {
    const auto* const found = std::find_if(kLabels.begin(), kLabels.end(),
                                           [cell](const CellLabel& l) { return l.cell == cell; });
    return found != kLabels.end() ? *found : CellLabel{cell, cell, ""};
}

// Whether the figure, written as a cell holds it (15 digits), reads back as a number: not so
// near the largest double, where the 15 digits round beyond it, nor infinite.
bool readsBack(double figure) {
    try {
        return std::isfinite(engine::toNumber(engine::toText(figure)));
    } catch (const engine::CalculationError&) {
        return false;
    }
}

// Fills the reading from the fields, cell by cell in the window's focus order.
class Mapping final {
  public:
    Mapping(const OfpFields& fields, FlightPlanReading& reading)
        : m_fields(fields), m_reading(reading) {}

    void airport(std::string_view cell, std::string_view path) {
        const auto code = text(cell, path);
        if (!code) {
            return;
        }
        if (code->size() < 3 || code->size() > 4 ||
            !std::all_of(code->begin(), code->end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
            })) {
            unmapped(cell, path, "is not an airport code of 3 or 4 letters and digits");
            return;
        }
        fill(cell, std::string(*code));
    }

    void destinationDistance() {
        const auto cell = engine::cell::txtDestinationDistance;
        if (const auto nm = nonNegative(cell, path::kRouteDistance);
            nm && withinLimit(cell, path::kRouteDistance, *nm)) {
            fill(cell, engine::toText(*nm));
        }
    }

    // The list's next item at or above the distance: the conservative choice.
    void alternateDistance() {
        const auto cell = engine::cell::cmbAlternateDistance;
        const auto nm = nonNegative(cell, path::kAlternateDistance);
        if (!nm) {
            return;
        }
        const auto* const item =
            std::find_if(engine::kAlternateDistances.begin(), engine::kAlternateDistances.end(),
                         [nm](std::string_view listed) { return engine::toNumber(listed) >= *nm; });
        if (item == engine::kAlternateDistances.end()) {
            unmapped(cell, path::kAlternateDistance,
                     "is farther than the list's largest, " +
                         std::string(engine::kAlternateDistances.back()) + " nm");
            return;
        }
        fill(cell, std::string(*item), std::nullopt,
             engine::toNumber(*item) == *nm
                 ? ""
                 : "rounded up from " + engine::toText(*nm) + " nm to the list's " +
                       std::string(*item) + " nm");
    }

    // Knots along the route: positive helps (Tail), negative retards (Head).
    void wind() {
        const auto knots = number(engine::cell::cmbWindDirection, path::kWind);
        if (!knots) {
            auto intensity = m_reading.unmapped.back();
            intensity.cell = engine::cell::txtWindIntensity;
            m_reading.unmapped.push_back(std::move(intensity));
            return;
        }
        fill(engine::cell::cmbWindDirection,
             std::string(*knots > 0 ? "Tail" : (*knots < 0 ? "Head" : "NoWind")));
        const double speed = *knots < 0 ? -*knots : *knots;
        if (withinLimit(engine::cell::txtWindIntensity, path::kWind, speed)) {
            fill(engine::cell::txtWindIntensity, engine::toText(speed));
        }
    }

    void flightLevel() {
        const auto cell = engine::cell::cmbFlightLevel;
        const auto feet = number(cell, path::kAltitude);
        if (!feet) {
            return;
        }
        const std::string range = std::string(engine::kFlightLevels.back()) + " to " +
                                  std::string(engine::kFlightLevels.front());
        const auto lowest = engine::toNumber(engine::kFlightLevels.back().substr(2)) * 100;
        const auto highest = engine::toNumber(engine::kFlightLevels.front().substr(2)) * 100;
        if (*feet < lowest || *feet > highest) {
            unmapped(cell, path::kAltitude, "is outside the list's flight levels " + range);
            return;
        }
        const auto hundreds = std::to_string(static_cast<int>(*feet) / 100);
        const auto level = "FL" + hundreds;
        if (static_cast<int>(*feet) % 100 != 0 ||
            std::find(engine::kFlightLevels.begin(), engine::kFlightLevels.end(), level) ==
                engine::kFlightLevels.end()) {
            unmapped(cell, path::kAltitude,
                     "is not one of the list's flight levels (" + range + ", every 1000 feet)");
            return;
        }
        fill(cell, level);
    }

    // A weight in the OFP's unit, judged by the cell's limit in that unit and then filled in
    // whole pounds.
    void weight(std::string_view cell, std::string_view path) {
        const auto figure = nonNegative(cell, path);
        if (!figure) {
            return;
        }
        const auto* const units = value(path::kUnits);
        if (units == nullptr || (units->text != "lbs" && units->text != "kgs")) {
            unmapped(cell, path,
                     "has no unit: " + std::string(path::kUnits) +
                         (units == nullptr ? " is missing"
                                           : " \"" + base::shownText(units->text) +
                                                 "\" is neither lbs nor kgs"));
            return;
        }
        const engine::Unit unit =
            units->text == "kgs" ? engine::Unit::Kilograms : engine::Unit::Pounds;
        if (!withinLimit(cell, path, *figure, unit)) {
            return;
        }
        const bool kilograms = unit == engine::Unit::Kilograms;
        const double pounds =
            kilograms ? engine::roundHalfEven(*figure / engine::kKilogramsPerPound) : *figure;
        if (!readsBack(*figure) || !readsBack(pounds)) {
            unmapped(cell, path, "is too large a number");
            return;
        }
        fill(cell, engine::toText(pounds),
             kilograms ? std::optional(engine::toText(*figure)) : std::nullopt);
    }

  private:
    const OfpField* value(std::string_view path) const {
        const auto found = m_fields.find(path);
        return found == m_fields.end() ? nullptr : &found->second;
    }

    void fill(std::string_view cell, std::string text,
              std::optional<std::string> kilograms = std::nullopt, std::string note = {}) {
        m_reading.filled.push_back({cell, std::move(text), std::move(kilograms), std::move(note)});
    }

    void unmapped(std::string_view cell, std::string_view path, std::string reason) {
        const auto* const written = value(path);
        m_reading.unmapped.push_back(
            {cell, std::string(path), written == nullptr ? "" : written->text, std::move(reason)});
    }

    // The field's text without surrounding blanks; none when it is missing or empty.
    std::optional<std::string_view> text(std::string_view cell, std::string_view path) {
        const auto* const written = value(path);
        if (written == nullptr) {
            unmapped(cell, path, "is missing");
            return std::nullopt;
        }
        if (!written->isValue) {
            unmapped(cell, path, "is not a text or a number");
            return std::nullopt;
        }
        const auto text = base::trimmed(written->text);
        if (text.empty()) {
            unmapped(cell, path, "is empty");
            return std::nullopt;
        }
        return text;
    }

    // A whole number, with an optional sign.
    std::optional<double> number(std::string_view cell, std::string_view path) {
        const auto text = this->text(cell, path);
        if (!text) {
            return std::nullopt;
        }
        const auto sign = text->find_first_not_of("+-");
        if (sign > 1 || !engine::isDigitsOnly(text->substr(sign))) {  // npos: signs alone
            unmapped(cell, path, "is not a whole number");
            return std::nullopt;
        }
        double number = 0;
        const auto digits = text->substr(sign);
        if (std::from_chars(digits.data(), digits.data() + digits.size(), number).ec !=
            std::errc()) {
            unmapped(cell, path, "is too large a number");
            return std::nullopt;
        }
        return text->starts_with('-') ? -number : number;
    }

    std::optional<double> nonNegative(std::string_view cell, std::string_view path) {
        const auto number = this->number(cell, path);
        if (number && *number < 0) {
            unmapped(cell, path, "is below 0");
            return std::nullopt;
        }
        return number;
    }

    // The window's entry limit of the cell in the unit (engine/units.h), where it has one.
    bool withinLimit(std::string_view cell, std::string_view path, double value,
                     engine::Unit unit = engine::Unit::Pounds) {
        const auto limit = engine::fieldLimit(cell, unit);
        if (!limit || value <= limit->limit) {
            return true;
        }
        const auto label = labelOf(cell);
        unmapped(cell, path,
                 "is above the window's limit of " + engine::toText(limit->limit) + " " +
                     std::string(label.unit == "lbs" ? engine::unitName(unit) : label.unit));
        return false;
    }

    const OfpFields& m_fields;
    FlightPlanReading& m_reading;
};

FlightPlanReading refused(std::string message) {
    FlightPlanReading reading;
    reading.refusal = std::move(message);
    return reading;
}

std::string notAFlightPlan(std::string_view name) {
    return base::shownText(name) + " is not a SimBrief flight plan (OFP): ";
}

FlightPlanReading tooLarge(std::string_view name) {
    return refused(notAFlightPlan(name) + "it is larger than 32 MiB, more than any flight plan");
}

// Reads an OFP of at most kLargestFlightPlan bytes, XML in place: the data is changed.
FlightPlanReading readOwned(std::string data, std::string_view name) {
    auto navlog = navlogToRead();
    auto read = readOfpFields(data, kPaths, &navlog);
    if (const auto* const why = std::get_if<std::string>(&read)) {
        return refused(notAFlightPlan(name) + *why);
    }
    const auto& fields = std::get<OfpFields>(read);
    if (const auto status = fields.find(path::kStatus);
        status != fields.end() && base::trimmed(status->second.text) != "Success") {
        return refused(base::shownText(name) + " holds no flight plan: SimBrief answered \"" +
                       base::shownText(status->second.text) + "\"");
    }

    FlightPlanReading reading;
    const auto units = fields.find(path::kUnits);
    reading.kilograms = units != fields.end() && units->second.text == "kgs";
    if (auto route = routeOf(fields, navlog); auto* const found = std::get_if<Route>(&route)) {
        reading.route = std::move(*found);
    } else {
        reading.routeLeftOut = std::move(std::get<std::string>(route));
    }
    Mapping mapping(fields, reading);
    mapping.airport(engine::cell::txtOriginICAO, path::kOrigin);
    mapping.airport(engine::cell::txtDestinationICAO, path::kDestination);
    mapping.destinationDistance();
    mapping.airport(engine::cell::txtAlternateICAO, path::kAlternate);
    mapping.alternateDistance();
    mapping.wind();
    mapping.flightLevel();
    mapping.weight(engine::cell::txtPayLoad, path::kPayload);
    mapping.weight(engine::cell::txtTFB, path::kTaxi);
    return reading;
}

std::string why(int error) {
    return std::generic_category().message(error);
}

// Reads what the descriptor gives to its end or to one chunk past the bound.
FlightPlanReading readDescriptor(int descriptor, std::string_view name) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return refused(base::shownText(name) + " cannot be read: " + why(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        return refused(base::shownText(name) + " is a folder, not a flight plan file");
    }
    // A file known to be too large is not read at all; others (a pipe) are read to the bound.
    const auto size = S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) : 0;
    if (size > kLargestFlightPlan) {
        return tooLarge(name);
    }
    constexpr std::size_t kChunk = std::size_t{64} * 1024;
    std::string data;
    data.reserve(size + kChunk);
    while (data.size() <= kLargestFlightPlan) {
        const std::size_t had = data.size();
        data.resize(had + kChunk);
        const ::ssize_t got = ::read(descriptor, &data[had], kChunk);
        data.resize(had + static_cast<std::size_t>(std::max<::ssize_t>(got, 0)));
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            return refused(base::shownText(name) + " cannot be read: " + why(errno));
        }
    }
    if (data.size() > kLargestFlightPlan) {
        return tooLarge(name);
    }
    return readOwned(std::move(data), name);
}

}  // namespace

FlightPlanReading readFlightPlan(std::string_view data, std::string_view name) {
    if (data.size() > kLargestFlightPlan) {
        return tooLarge(name);
    }
    return readOwned(std::string(data), name);
}

FlightPlanReading readFlightPlanFrom(int descriptor, std::string_view name) {
    return readDescriptor(descriptor, name);
}

FlightPlanReading readFlightPlanFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return refused(base::shownText(path) + " cannot be opened: " + why(errno));
    }
    auto reading = readDescriptor(descriptor, path);
    ::close(descriptor);
    return reading;
}

std::optional<std::string> simbriefStatus(std::string_view data) {
    if (data.size() > kLargestFlightPlan) {
        return std::nullopt;
    }
    std::string owned(data);
    constexpr std::array kStatus = {path::kStatus};
    const auto read = readOfpFields(owned, kStatus);
    const auto* const fields = std::get_if<OfpFields>(&read);
    const auto status =
        fields != nullptr ? fields->find(path::kStatus) : OfpFields::const_iterator();
    if (fields == nullptr || status == fields->end() ||
        base::trimmed(status->second.text).empty()) {
        return std::nullopt;
    }
    return std::string(base::trimmed(status->second.text));
}

std::string describe(const FilledCell& filled, engine::Unit unit) {
    const auto label = labelOf(filled.cell);
    const bool weight = label.unit == "lbs";
    const bool inKilograms = weight && unit == engine::Unit::Kilograms;
    std::string line = std::string(label.label) + ": ";
    if (inKilograms) {
        line +=
            base::shownText(filled.kilograms.value_or(engine::toKilograms(filled.text))) + " kg";
    } else {
        line += base::shownText(filled.text);
        if (!label.unit.empty()) {
            line.append(" ").append(label.unit);
        }
    }
    // The flight plan's own figure, where the cell shows it in the other unit.
    if (weight && inKilograms != filled.kilograms.has_value()) {
        line += " (" + base::shownText(inKilograms ? filled.text : *filled.kilograms) +
                (inKilograms ? " lbs" : " kg") + " in the flight plan)";
    }
    if (!filled.note.empty()) {
        line.append(" (").append(filled.note).append(")");
    }
    return line;
}

void fill(engine::UnitCells& cells, const FilledCell& filled) {
    if (filled.kilograms) {
        cells.setWeight(filled.cell, filled.text, *filled.kilograms);
    } else {
        cells.setText(filled.cell, filled.text);
    }
}

std::string describe(const UnmappedField& unmapped) {
    std::string line = std::string(labelOf(unmapped.cell).label) + " not filled: " + unmapped.field;
    if (!unmapped.value.empty()) {
        line += " \"" + base::shownText(unmapped.value) + "\"";
    }
    return line + " " + unmapped.reason;
}

}  // namespace brimwell::flightplan
