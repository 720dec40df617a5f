#include "tests/support/flight_plan_file.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <sstream>

namespace brimwell::test {

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Sections = std::vector<std::pair<std::string, Fields>>;

// clang-format off
Sections sampleSections() {
    return {
        {"fetch", {{"userid", "123456"}, {"static_id", ""}, {"status", "Success"}}},
        {"params", {{"request_id", "98765432"}, {"units", "lbs"}, {"airac", "2405"}}},
        {"general", {{"icao_airline", "BRW"}, {"flight_number", "1"}, {"initial_altitude", "35000"},
                     {"avg_wind_comp", "-50"}, {"avg_wind_dir", "270"}, {"gc_distance", "3729"},
                     {"route_distance", "4000"}, {"air_distance", "4412"}}},
        {"origin", {{"icao_code", "LIRF"}, {"iata_code", "FCO"}, {"plan_rwy", "16R"}}},
        {"destination", {{"icao_code", "KJFK"}, {"iata_code", "JFK"}, {"plan_rwy", "31L"}}},
        {"alternate", {{"icao_code", "KBOS"}, {"iata_code", "BOS"}, {"distance", "200"}}},
        {"fuel", {{"taxi", "2000"}, {"enroute_burn", "188400"}, {"plan_ramp", "229752"}}},
        {"weights", {{"payload", "100000"}, {"pax_count", "380"}, {"est_zfw", "494088"}}},
    };
}

Fields navlogFix(std::size_t i) {
    const auto n = std::to_string(i);
    return {{"ident", "WP" + n}, {"name", "WAYPOINT " + n}, {"type", "wpt"}, {"frequency", ""},
            {"pos_lat", "41." + n}, {"pos_long", "-12." + n}, {"stage", "CRZ"}, {"via_airway", "NATA"},
            {"is_sid_star", "0"}, {"distance", "52"}, {"track_true", "287"}, {"track_mag", "291"},
            {"heading_true", "281"}, {"heading_mag", "285"}, {"altitude_feet", "35000"},
            {"ind_airspeed", "283"}, {"true_airspeed", "489"}, {"mach", "0.85"}, {"mach_thousandths", "850"},
            {"wind_component", "-50"}, {"groundspeed", "439"}, {"time_leg", "427"}, {"time_total", n + "00"},
            {"fuel_flow", "23810"}, {"fuel_leg", "2824"}, {"fuel_totalused", n + "000"},
            {"fuel_min_onboard", "41200"}, {"fuel_plan_onboard", "45800"}, {"oat", "-52"},
            {"oat_isa_dev", "4"}, {"wind_dir", "268"}, {"wind_spd", "57"}, {"shear", "2"},
            {"tropopause_feet", "36120"}, {"ground_height", "0"}, {"mora", "1600"}, {"fir", "LIRR"},
            {"fir_units", "N"}, {"fir_valid_levels", ""}};
}
// clang-format on

void apply(Sections& sections, const std::string& path, const std::optional<std::string>& text) {
    const auto slash = path.find('/');
    const auto section = path.substr(0, slash);
    const auto name = path.substr(slash + 1);
    auto found = std::find_if(sections.begin(), sections.end(),
                              [&](const auto& s) { return s.first == section; });
    if (found == sections.end()) {
        found = sections.insert(sections.end(), {section, {}});
    }
    auto& fields = found->second;
    const auto field =
        std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.first == name; });
    if (!text) {
        fields.erase(field, field == fields.end() ? field : field + 1);
    } else if (field == fields.end()) {
        fields.emplace_back(name, *text);
    } else {
        field->second = *text;
    }
}

std::string jsonText(const Sections& sections, const Sections& navlog) {
    // Values are strings; an empty element is an empty object; a repeated one an array.
    const auto object = [](const Fields& fields) {
        auto out = nlohmann::ordered_json::object();
        for (const auto& [name, text] : fields) {
            out[name] =
                text.empty() ? nlohmann::ordered_json::object() : nlohmann::ordered_json(text);
        }
        return out;
    };
    auto root = nlohmann::ordered_json::object();
    for (const auto& [name, fields] : sections) {
        if (!root.contains(name)) {
            root[name] = object(fields);
        } else {
            if (!root[name].is_array()) {
                root[name] = nlohmann::ordered_json::array({root[name]});
            }
            root[name].push_back(object(fields));
        }
    }
    auto fixes = nlohmann::ordered_json::array();
    for (const auto& fix : navlog) {
        fixes.push_back(object(fix.second));
    }
    root["navlog"] = {{"fix", fixes}};
    return root.dump(1, '\t', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string xmlText(const Sections& sections, const Sections& navlog) {
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    auto root = document.append_child("OFP");
    const auto append = [](pugi::xml_node parent, const Sections& children) {
        for (const auto& [name, fields] : children) {
            auto section = parent.append_child(name.c_str());
            for (const auto& [field, text] : fields) {
                section.append_child(field.c_str()).text().set(text.c_str());
            }
        }
    };
    append(root, sections);
    append(root.append_child("navlog"), navlog);
    std::ostringstream out;
    document.save(out, " ");
    return out.str();
}

}  // namespace

std::string ofpText(const OfpSpec& spec) {
    Sections sections = sampleSections();
    for (const auto& [path, text] : spec.fields) {
        apply(sections, path, text);
    }
    const auto first = std::find_if(sections.begin(), sections.end(),
                                    [](const auto& s) { return s.first == "alternate"; });
    const auto at = first - sections.begin();
    const int alternates = first == sections.end() ? 0 : spec.alternates;
    for (int i = 1; i < alternates; ++i) {
        const Fields alternate = {{"icao_code", "KEW" + std::string(1, static_cast<char>('A' + i))},
                                  {"distance", std::to_string(80 * i)}};
        sections.insert(sections.begin() + at + i, {"alternate", alternate});
    }
    Sections navlog;
    for (std::size_t i = 0; i < spec.navlogFixes; ++i) {
        navlog.emplace_back("fix", navlogFix(i));
    }
    return spec.json ? jsonText(sections, navlog) : xmlText(sections, navlog);
}

}  // namespace brimwell::test
