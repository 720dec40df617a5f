#include "flightplan/ofp_fields.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

namespace brimwell::flightplan {

namespace {

constexpr std::size_t kLongestNameShown = 40;

struct Path {
    std::string_view section;
    std::string_view name;
};

Path split(std::string_view path) {
    const auto slash = path.find('/');
    return {path.substr(0, slash), path.substr(slash + 1)};
}

bool isSection(std::span<const std::string_view> paths, std::string_view section) {
    return std::any_of(paths.begin(), paths.end(),
                       [section](std::string_view path) { return split(path).section == section; });
}

std::variant<OfpFields, std::string> readXml(std::string_view data,
                                             std::span<const std::string_view> paths) {
    pugi::xml_document document;
    const auto parsed = document.load_buffer(data.data(), data.size());
    if (!parsed) {
        return "its XML is broken at byte " + std::to_string(parsed.offset) + " (" +
               parsed.description() + ")";
    }
    const auto root = document.document_element();
    if (std::string_view(root.name()) != "OFP") {
        return "its root element is <" + std::string(root.name()).substr(0, kLongestNameShown) +
               ">, not <OFP>";
    }
    OfpFields fields;
    for (const auto path : paths) {
        const auto [section, name] = split(path);
        // child() takes the first element of the name: the first of several alternates.
        const auto node = root.child(std::string(section).c_str()).child(std::string(name).c_str());
        if (!node.empty()) {
            fields.emplace(path, node.child_value());
        }
    }
    return fields;
}

std::string jsonText(const nlohmann::json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_null() || (value.is_object() && value.empty())) {
        return {};
    }
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::variant<OfpFields, std::string> readJson(std::string_view data,
                                              std::span<const std::string_view> paths) {
    // Only the sections the reader maps are kept; the rest (the navigation log above all) is
    // read past without being built.
    const auto keep = [paths](int depth, nlohmann::json::parse_event_t event,
                              const nlohmann::json& parsed) {
        return depth != 1 || event != nlohmann::json::parse_event_t::key ||
               isSection(paths, parsed.get_ref<const std::string&>());
    };
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(data.begin(), data.end(), keep);
    } catch (const nlohmann::json::exception& error) {
        const auto* const parseError = dynamic_cast<const nlohmann::json::parse_error*>(&error);
        return "its JSON is broken" +
               (parseError != nullptr ? " at byte " + std::to_string(parseError->byte) : "");
    }
    if (!document.is_object() || document.empty()) {
        return "its JSON holds none of the sections of a flight plan (params, general, origin, "
               "destination, alternate, weights, fuel)";
    }
    OfpFields fields;
    for (const auto path : paths) {
        const auto [sectionName, name] = split(path);
        const auto section = document.find(sectionName);
        if (section == document.end()) {
            continue;
        }
        // Several alternates come as an array of sections; the first one counts.
        const auto& first = section->is_array() && !section->empty() ? section->front() : *section;
        if (!first.is_object()) {
            continue;
        }
        if (const auto field = first.find(name); field != first.end()) {
            fields.emplace(path, jsonText(*field));
        }
    }
    return fields;
}

}  // namespace

std::variant<OfpFields, std::string> readOfpFields(std::string_view data,
                                                   std::span<const std::string_view> paths) {
    std::string_view text = data;
    if (text.starts_with("\xef\xbb\xbf")) {
        text.remove_prefix(3);  // a UTF-8 byte order mark
    }
    const auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return std::string(text.empty() ? "it is empty" : "it holds nothing but blanks");
    }
    switch (text[start]) {
        case '<':
            return readXml(data, paths);
        case '{':
        case '[':
            return readJson(text, paths);
        default:
            return std::string("it is neither XML nor JSON");
    }
}

}  // namespace brimwell::flightplan
