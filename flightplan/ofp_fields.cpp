#include "flightplan/ofp_fields.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <vector>

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

std::variant<OfpFields, std::string> readXml(std::string& data,
                                             std::span<const std::string_view> paths) {
    pugi::xml_document document;
    // Text of an element is kept in the element itself: half the nodes of a navigation log.
    const auto parsed = document.load_buffer_inplace(
        data.data(), data.size(), pugi::parse_default | pugi::parse_embed_pcdata);
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

// Takes the fields out of an OFP's JSON as the parser reads it (nlohmann/json's SAX interface),
// so that nothing else, the navigation log above all, is built: a document of sections, each an
// object of fields or, where it comes several times, an array of such objects.
class FieldCollector final {
  public:
    explicit FieldCollector(std::span<const std::string_view> paths) : m_paths(paths) {}

    // NOLINTBEGIN(readability-identifier-naming): the names the parser calls
    bool null() { return value({}); }
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
        auto& frame = m_frames.back();
        if (frame.field != nullptr) {
            *frame.field = "{...}";  // a field that holds an object of its own
        }
        if (m_frames.size() == 1 && isSection(m_paths, name)) {
            m_anySection = true;
        }
        frame.key = std::move(name);
        return true;
    }
    bool parse_error(std::size_t byte, const std::string& /*token*/,
                     const nlohmann::json::exception& /*error*/) {
        m_brokenAt = byte;
        return false;
    }
    // NOLINTEND(readability-identifier-naming)

    std::size_t brokenAt() const { return m_brokenAt; }
    bool holdsSections() const { return m_anySection; }
    OfpFields& fields() { return m_fields; }

  private:
    struct Frame {
        bool array = false;
        bool first = true;             // the first element of an array, or no element of one
        std::size_t elements = 0;      // of an array, so far
        std::string key;               // of an object, the latest
        std::string* field = nullptr;  // the field an object is the value of
    };

    // The field that a value at the current place is, when it is one the reader maps.
    std::string* field() {
        const auto depth = m_frames.size();
        const bool inSection = depth == 2 && !m_frames[1].array;
        const bool inFirstOfSeveral = depth == 3 && m_frames[1].array && !m_frames[2].array;
        if (!(inSection || inFirstOfSeveral) || !m_frames.back().first) {
            return nullptr;
        }
        auto path = m_frames[0].key + "/" + m_frames.back().key;
        if (std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end() ||
            m_fields.contains(path)) {
            return nullptr;
        }
        return &m_fields[std::move(path)];
    }

    bool value(std::string text) {
        if (auto* const field = this->field()) {
            *field = std::move(text);
        }
        if (!m_frames.empty() && m_frames.back().array) {
            ++m_frames.back().elements;
        }
        return true;
    }

    bool open(bool array) {
        auto* const field = this->field();
        if (field != nullptr && array) {
            *field = "[...]";
        }
        Frame frame;
        frame.array = array;
        frame.field = array ? nullptr : field;
        if (!m_frames.empty() && m_frames.back().array) {
            frame.first = m_frames.back().elements++ == 0;
        }
        m_frames.push_back(std::move(frame));
        return true;
    }

    bool close() {
        m_frames.pop_back();
        return true;
    }

    std::span<const std::string_view> m_paths;
    std::vector<Frame> m_frames;
    OfpFields m_fields;
    bool m_anySection = false;
    std::size_t m_brokenAt = 0;
};

std::variant<OfpFields, std::string> readJson(std::string_view data,
                                              std::span<const std::string_view> paths) {
    FieldCollector collector(paths);
    if (!nlohmann::json::sax_parse(data.begin(), data.end(), &collector)) {
        return "its JSON is broken at byte " + std::to_string(collector.brokenAt());
    }
    if (!collector.holdsSections()) {
        return "its JSON holds none of the sections of a flight plan (params, general, origin, "
               "destination, alternate, weights, fuel)";
    }
    return std::move(collector.fields());
}

}  // namespace

std::variant<OfpFields, std::string> readOfpFields(std::string& data,
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
