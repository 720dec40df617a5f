#include "flightplan/route.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "engine/fuel_check.h"
#include "engine/number_text.h"
#include "engine/shown_text.h"
#include "engine/units.h"

namespace brimwell::flightplan {

namespace {

constexpr std::size_t kLongestIdent = 16;
// Longer than half the way round the earth, which no leg of a route is; nm.
constexpr double kLongestLeg = 12'000;

// What the OFP wrote for a fix, field by field; none where it wrote nothing.
struct RawFix {
    std::optional<std::string> ident, latitude, longitude, distance, fuel;
};

struct RawRoute {
    std::optional<std::string> units, originLatitude, originLongitude;
    bool hasNavlog = false;
    std::vector<RawFix> fixes;
    bool tooMany = false;
};

std::optional<std::string>* fieldOf(RawFix& fix, std::string_view name) {
    return name == "ident"               ? &fix.ident
           : name == "pos_lat"           ? &fix.latitude
           : name == "pos_long"          ? &fix.longitude
           : name == "distance"          ? &fix.distance
           : name == "fuel_plan_onboard" ? &fix.fuel
                                         : nullptr;
}

std::optional<std::string>* fieldOf(RawRoute& route, std::string_view section,
                                    std::string_view name) {
    if (section == "origin") {
        return name == "pos_lat"    ? &route.originLatitude
               : name == "pos_long" ? &route.originLongitude
                                    : nullptr;
    }
    return section == "params" && name == "units" ? &route.units : nullptr;
}

void addFix(RawRoute& route) {
    if (route.fixes.size() == kMostRouteFixes) {
        route.tooMany = true;
    } else {
        route.fixes.emplace_back();
    }
}

std::variant<RawRoute, std::string> fromXml(std::string_view data) {
    pugi::xml_document document;
    if (!document.load_buffer(data.data(), data.size(), pugi::parse_default, pugi::encoding_auto)) {
        return std::string("its XML is broken");
    }
    const auto root = document.child("OFP");
    RawRoute route;
    const auto text = [](const pugi::xml_node& node) -> std::optional<std::string> {
        return node.empty() ? std::nullopt : std::optional<std::string>(node.text().get());
    };
    route.units = text(root.child("params").child("units"));
    route.originLatitude = text(root.child("origin").child("pos_lat"));
    route.originLongitude = text(root.child("origin").child("pos_long"));
    const auto navlog = root.child("navlog");
    route.hasNavlog = !navlog.empty();
    for (const auto fix : navlog.children("fix")) {
        addFix(route);
        if (route.tooMany) {
            break;
        }
        for (const auto field : fix.children()) {
            if (auto* const slot = fieldOf(route.fixes.back(), field.name())) {
                *slot = text(field);
            }
        }
    }
    return route;
}

// Collects the route's fields as nlohmann/json's parser reads an OFP (its SAX interface): the
// sections origin and params, and navlog/fix, an array of objects or, for one fix, an object.
class RouteCollector final {
  public:
    // NOLINTBEGIN(readability-identifier-naming): the names the parser calls
    bool null() { return value("null"); }
    bool boolean(bool flag) { return value(flag ? "true" : "false"); }
    bool number_integer(std::int64_t number) { return value(std::to_string(number)); }
    bool number_unsigned(std::uint64_t number) { return value(std::to_string(number)); }
    bool number_float(double /*number*/, const std::string& text) { return value(text); }
    bool string(std::string& text) { return value(std::move(text)); }
    bool binary(nlohmann::json::binary_t& /*bytes*/) { return value("[...]"); }
    bool start_object(std::size_t /*elements*/) { return open(false); }
    bool start_array(std::size_t /*elements*/) { return open(true); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool key(std::string& name) {
        if (m_depth <= kDeepest) {
            m_frames[m_depth - 1].key = std::move(name);
        }
        return true;
    }
    bool parse_error(std::size_t byte, const std::string& /*token*/,
                     const nlohmann::json::exception& /*error*/) {
        m_brokenAt = byte;
        return false;
    }
    // NOLINTEND(readability-identifier-naming)

    std::size_t brokenAt() const { return m_brokenAt; }
    RawRoute& route() { return m_route; }

  private:
    static constexpr std::size_t kDeepest = 5;  // frames kept; deeper ones are only counted

    struct Frame {
        bool array = false;
        bool fix = false;  // the object of one fix
        std::string key;
    };

    // The slot of a value at the current place, when the route reads it.
    std::optional<std::string>* slot() {
        if (m_depth == 2 && !m_frames[1].array) {
            return fieldOf(m_route, m_frames[0].key, m_frames[1].key);
        }
        if (m_depth >= 1 && m_depth <= kDeepest && m_frames[m_depth - 1].fix) {
            return fieldOf(m_route.fixes.back(), m_frames[m_depth - 1].key);
        }
        return nullptr;
    }

    // Whether an object opened here is a fix: navlog/fix itself, or an element of it.
    bool opensFix() const {
        const bool inNavlog = m_depth >= 2 && m_frames[0].key == "navlog" && !m_frames[1].array &&
                              m_frames[1].key == "fix";
        return inNavlog && (m_depth == 2 || (m_depth == 3 && m_frames[2].array));
    }

    bool value(std::string text) {
        if (auto* const field = slot()) {
            *field = std::move(text);
        }
        return true;
    }

    bool open(bool array) {
        if (m_depth == 2 && m_frames[0].key == "navlog") {
            m_route.hasNavlog = true;
        }
        const bool fix = !array && opensFix();
        if (fix) {
            addFix(m_route);
        }
        if (auto* const field = slot()) {
            *field = array ? "[...]" : "";  // an empty object is SimBrief's empty element
        }
        if (m_depth < kDeepest) {
            m_frames[m_depth] = Frame{array, fix && !m_route.tooMany, {}};
        }
        ++m_depth;
        return true;
    }

    bool close() {
        --m_depth;
        return true;
    }

    std::array<Frame, kDeepest> m_frames{};
    std::size_t m_depth = 0;
    RawRoute m_route;
    std::size_t m_brokenAt = 0;
};

template <typename Iterator>
std::variant<RawRoute, std::string> fromJson(Iterator first, Iterator last) {
    RouteCollector collector;
    if (!nlohmann::json::sax_parse(first, last, &collector)) {
        return "its JSON is broken at character " + std::to_string(collector.brokenAt());
    }
    return std::move(collector.route());
}

// The UTF-16 text after its byte order mark.
std::u16string utf16(std::string_view data, bool bigEndian) {
    std::u16string text;
    text.reserve(data.size() / 2);
    for (std::size_t at = 2; at + 1 < data.size(); at += 2) {
        const auto first = static_cast<std::uint8_t>(data[at]);
        const auto second = static_cast<std::uint8_t>(data[at + 1]);
        text.push_back(
            static_cast<char16_t>(bigEndian ? (first << 8U) | second : (second << 8U) | first));
    }
    return text;
}

std::variant<RawRoute, std::string> raw(std::string_view data) {
    const bool bigEndian = data.starts_with("\xfe\xff");
    if (bigEndian || data.starts_with("\xff\xfe")) {
        const auto text = utf16(data, bigEndian);
        const auto start = text.find_first_not_of(u" \t\r\n");
        if (start != std::u16string::npos && text[start] == u'<') {
            return fromXml(data);
        }
        return fromJson(text.begin(), text.end());
    }
    const auto start = data.find_first_not_of(" \t\r\n\xef\xbb\xbf");
    if (start != std::string_view::npos && data[start] == '<') {
        return fromXml(data);
    }
    return fromJson(data.begin(), data.end());
}

// A decimal number ("41.800278", "-73.7789") within the bounds, or none.
std::optional<double> number(const std::optional<std::string>& text, double lowest,
                             double highest) {
    if (!text) {
        return std::nullopt;
    }
    std::string_view digits = *text;
    const auto first = digits.find_first_not_of(" \t\r\n");
    digits = first == std::string_view::npos
                 ? std::string_view()
                 : digits.substr(first, digits.find_last_not_of(" \t\r\n") - first + 1);
    double value = 0;
    const auto* const end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, value);
    if (digits.empty() || result.ec != std::errc() || result.ptr != end ||
        !(value >= lowest && value <= highest)) {
        return std::nullopt;
    }
    return value;
}

// The field's reason for leaving the route out: missing, or not a number within its bounds.
std::string unread(std::string_view field, const std::optional<std::string>& text,
                   std::string_view what) {
    if (!text) {
        return std::string(field) + " is missing";
    }
    return std::string(field) + " \"" + engine::shownText(*text, 40) + "\" is not " +
           std::string(what);
}

// The fix at `place` in the log, from 1, its fuel in the OFP's unit; or why it is not read.
std::variant<RouteFix, std::string> fixOf(const RawFix& fix, std::size_t place,
                                          const std::optional<std::string>& units) {
    const auto at = [place](std::string_view field) {
        return "fix " + std::to_string(place) + "'s " + std::string(field);
    };
    RouteFix read;
    read.ident = engine::shownText(fix.ident.value_or(""), kLongestIdent);
    const auto latitude = number(fix.latitude, -90, 90);
    const auto longitude = number(fix.longitude, -180, 180);
    const auto leg = number(fix.distance, 0, kLongestLeg);
    if (!latitude || !longitude || !leg) {
        return !latitude    ? unread(at("pos_lat"), fix.latitude, "a latitude")
               : !longitude ? unread(at("pos_long"), fix.longitude, "a longitude")
                            : unread(at("distance"), fix.distance, "a leg's distance");
    }
    read.latitude = *latitude;
    read.longitude = *longitude;
    read.legNm = *leg;
    const bool kilograms = units == "kgs";
    const double most = engine::kMostFuelOnBoardKg / (kilograms ? 1 : engine::kKilogramsPerPound);
    if (const auto fuel = number(fix.fuel, 0, most); fuel && (kilograms || units == "lbs")) {
        read.plannedFuelOnBoard =
            engine::roundHalfEven(kilograms ? *fuel / engine::kKilogramsPerPound : *fuel);
    }
    return read;
}

std::variant<Route, std::string> routeOf(const RawRoute& raw) {
    Route route;
    const auto latitude = number(raw.originLatitude, -90, 90);
    const auto longitude = number(raw.originLongitude, -180, 180);
    if (!latitude || !longitude) {
        return latitude ? unread("origin/pos_long", raw.originLongitude, "a longitude")
                        : unread("origin/pos_lat", raw.originLatitude, "a latitude");
    }
    route.originLatitude = *latitude;
    route.originLongitude = *longitude;
    if (!raw.hasNavlog || raw.fixes.empty()) {
        return std::string(raw.hasNavlog ? "its navigation log holds no fix"
                                         : "the flight plan has no navigation log");
    }
    if (raw.tooMany) {
        return "its navigation log holds more than " + std::to_string(kMostRouteFixes) +
               " fixes, more than any flight's";
    }
    double length = 0;
    for (const auto& fix : raw.fixes) {
        auto read = fixOf(fix, route.fixes.size() + 1, raw.units);
        if (auto* const why = std::get_if<std::string>(&read)) {
            return std::move(*why);
        }
        route.fixes.push_back(std::move(std::get<RouteFix>(read)));
        length += route.fixes.back().legNm;
    }
    if (length == 0) {
        return std::string("its navigation log's legs measure 0 nm");
    }
    return route;
}

}  // namespace

std::variant<Route, std::string> readRoute(std::string_view data) {
    auto read = raw(data);
    std::variant<Route, std::string> route = std::string();
    if (const auto* const why = std::get_if<std::string>(&read)) {
        route = *why;
    } else {
        route = routeOf(std::get<RawRoute>(read));
    }
    if (auto* const why = std::get_if<std::string>(&route)) {
        *why = "The route is left out: " + *why + ".";
    }
    return route;
}

}  // namespace brimwell::flightplan
