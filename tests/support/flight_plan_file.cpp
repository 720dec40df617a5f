#include "tests/support/flight_plan_file.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <sstream>

namespace brimwell::test {

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Sections = std::vector<std::pair<std::string, Fields>>;
using Fixes = std::vector<Fields>;

// clang-format off
Sections sampleSections() {
    return {{"fetch", {{"userid", "123456"}, {"status", "Success"}}},
            {"params", {{"request_id", "98765432"}, {"units", "lbs"}}},
            {"general", {{"initial_altitude", "35000"}, {"avg_wind_comp", "-50"}, {"avg_wind_dir", "270"},
                         {"gc_distance", "3729"}, {"route_distance", "4000"}, {"air_distance", "4412"}}},
            {"origin", {{"icao_code", "LIRF"}, {"iata_code", "FCO"}, {"pos_lat", "41.8"}, {"pos_long", "12.25"}}},
            {"destination", {{"icao_code", "KJFK"}, {"iata_code", "JFK"}}},
            {"alternate", {{"icao_code", "KBOS"}, {"iata_code", "BOS"}, {"distance", "200"}}},
            {"alternate", {{"icao_code", "KEWR"}, {"iata_code", "EWR"}, {"distance", "90"}}},
            {"fuel", {{"taxi", "2000"}, {"enroute_burn", "188400"}}},
            {"weights", {{"payload", "100000"}, {"est_zfw", "494088"}}}};
}
Fixes sampleNavlog() {
    return {{{"ident", "DIVKO"}, {"pos_lat", "47.5"}, {"pos_long", "-8.0"}, {"distance", "1000"}, {"fuel_plan_onboard", "180000"}},
            {{"ident", "50N020W"}, {"pos_lat", "50.0"}, {"pos_long", "-20.0"}, {"distance", "2000"}, {"fuel_plan_onboard", "90000"}},
            {{"ident", "KJFK"}, {"pos_lat", "40.64"}, {"pos_long", "-73.78"}, {"distance", "1000"}, {"fuel_plan_onboard", "40000"}}};
}
// clang-format on

// The field goes to the end of its section, where it is replaced.
void apply(Sections& sections, const std::string& path, const std::optional<std::string>& text) {
    const auto slash = path.find('/');
    const auto name = path.substr(slash + 1);
    auto& fields = std::find_if(sections.begin(), sections.end(), [&](const auto& s) {
                       return s.first == path.substr(0, slash);
                   })->second;
    std::erase_if(fields, [&](const auto& f) { return f.first == name; });
    if (text) {
        fields.emplace_back(name, *text);
    }
}

// Values are strings; an empty element is an empty object; a repeated one an array.
std::string jsonText(const Sections& sections, const Fixes& fixes) {
    auto root = nlohmann::ordered_json::object();
    for (const auto& [name, fields] : sections) {
        auto section = nlohmann::ordered_json::object();
        for (const auto& [field, text] : fields) {
            section[field] =
                text.empty() ? nlohmann::ordered_json::object() : nlohmann::ordered_json(text);
        }
        if (!root.contains(name)) {
            root[name] = std::move(section);
        } else if (root[name].is_array()) {
            root[name].push_back(std::move(section));
        } else {
            root[name] = {root[name], std::move(section)};
        }
    }
    auto log = nlohmann::ordered_json::array();
    for (const auto& fix : fixes) {
        auto& element = log.emplace_back(nlohmann::ordered_json::object());
        for (const auto& [field, text] : fix) {
            element[field] = text;
        }
    }
    if (!fixes.empty()) {
        root["navlog"]["fix"] = fixes.size() == 1 ? log[0] : log;
    }
    return root.dump(1, '\t', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string xmlText(const Sections& sections, const Fixes& fixes) {
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    auto root = document.append_child("OFP");
    for (const auto& [name, fields] : sections) {
        auto section = root.append_child(name.c_str());
        for (const auto& [field, text] : fields) {
            section.append_child(field.c_str()).text().set(text.c_str());
        }
    }
    auto log = root.append_child("navlog");
    for (const auto& fix : fixes) {
        auto element = log.append_child("fix");
        for (const auto& [field, text] : fix) {
            element.append_child(field.c_str()).text().set(text.c_str());
        }
    }
    if (fixes.empty()) {
        root.remove_child(log);
    }
    std::ostringstream out;
    document.save(out, " ");
    return out.str();
}

}  // namespace

std::string ofpText(const OfpChanges& changes) {
    Sections sections = sampleSections();
    for (const auto& [path, text] : changes.fields) {
        apply(sections, path, text);
    }
    const Fixes fixes = changes.navlog.value_or(sampleNavlog());
    return changes.json ? jsonText(sections, fixes) : xmlText(sections, fixes);
}

}  // namespace brimwell::test
