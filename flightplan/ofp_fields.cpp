#include "flightplan/ofp_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <vector>

#include "base/shown_text.h"

namespace brimwell::flightplan {

namespace {

// The most parts an OFP may have: elements, attributes and texts of XML, values of JSON. A
// long-haul OFP with its navigation log has some 10000 elements, twice as many texts. Bounds the
// memory of XML's tree (64 bytes a part) and of the fields' reading alike.
constexpr std::size_t kMostParts = 500000;
// The longest string of JSON, as written; the parser holds it twice. Some hundred times the
// longest of an OFP, its text of the flight plan.
constexpr std::size_t kLongestJsonString = std::size_t{4} * 1024 * 1024;

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

void appendUtf8(std::string& text, char32_t c) {
    const auto byte = [&text](char32_t bits) { text.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xc0U | (c >> 6U));
        byte(0x80U | (c & 0x3fU));
    } else if (c < 0x10000) {
        byte(0xe0U | (c >> 12U));
        byte(0x80U | ((c >> 6U) & 0x3fU));
        byte(0x80U | (c & 0x3fU));
    } else {
        byte(0xf0U | (c >> 18U));
        byte(0x80U | ((c >> 12U) & 0x3fU));
        byte(0x80U | ((c >> 6U) & 0x3fU));
        byte(0x80U | (c & 0x3fU));
    }
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xd800 && unit <= 0xdbff;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xdc00 && unit <= 0xdfff;
}

char32_t fromSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xd800) << 10U) + (low - 0xdc00);
}

// The UTF-8 form of UTF-16 data that starts with its byte order mark; else the byte (from 1) at
// which it is broken: a lone surrogate, or an odd byte at the end.
std::variant<std::string, std::size_t> fromUtf16(std::string_view data, bool bigEndian) {
    const auto unit = [data, bigEndian](std::size_t at) -> char32_t {
        const auto first = static_cast<std::uint8_t>(data[at]);
        const auto second = static_cast<std::uint8_t>(data[at + 1]);
        return bigEndian ? (char32_t{first} << 8U) | second : (char32_t{second} << 8U) | first;
    };
    std::string text;
    text.reserve(data.size());
    for (std::size_t at = 2; at < data.size(); at += 2) {
        if (at + 1 == data.size()) {
            return at + 1;
        }
        char32_t c = unit(at);
        if (isHighSurrogate(c) && at + 3 < data.size() && isLowSurrogate(unit(at + 2))) {
            c = fromSurrogates(c, unit(at + 2));
            at += 2;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            return at + 1;
        }
        appendUtf8(text, c);
    }
    return text;
}

// The element's whole text: the first part of it, which the element keeps itself
// (parse_embed_pcdata), then every text and CDATA part after a comment or a processing
// instruction, which are not kept. An element that holds elements has no text.
OfpField fieldOf(const pugi::xml_node& element) {
    OfpField field{element.value(), true};
    for (const pugi::xml_node part : element.children()) {
        if (part.type() == pugi::node_element) {
            return {"<...>", false};
        }
        field.text += part.value();
    }
    return field;
}

// Where what starts at `at` ends, past `end`; the text's end when it has no `end`.
std::size_t past(std::string_view text, std::size_t at, std::string_view end) {
    const auto found = text.find(end, at);
    return found == std::string_view::npos ? text.size() : found + end.size();
}

// Past the ignored section of a document type that starts at `at`, with the sections it holds.
std::size_t pastIgnored(std::string_view xml, std::size_t at) {
    std::size_t open = 1;
    for (at += 3; at < xml.size() && open > 0;) {
        const auto rest = xml.substr(at);
        const bool opens = rest.starts_with("<![");
        const bool closes = rest.starts_with("]]>");
        open = open + (opens ? 1 : 0) - (closes ? 1 : 0);
        at += opens || closes ? 3 : 1;
    }
    return at;
}

// Past the document type declaration that starts at `at`, as pugixml passes over it: up to the
// '>' outside the groups it holds, over quoted texts, comments, processing instructions and
// ignored sections.
std::size_t pastDoctype(std::string_view xml, std::size_t at) {
    std::size_t groups = 0;
    for (at += 2; at < xml.size();) {
        const auto rest = xml.substr(at);
        if (rest.starts_with("<![")) {
            at = pastIgnored(xml, at);
        } else if (rest.starts_with("<!--")) {
            at = past(xml, at + 4, "-->");
        } else if (rest.starts_with("<!")) {
            at += 2;
            ++groups;
        } else if (rest.starts_with("<?")) {
            at = past(xml, at + 2, "?>");
        } else if (rest[0] == '"' || rest[0] == '\'') {
            at = past(xml, at + 1, rest.substr(0, 1));
        } else if (rest[0] == '>') {
            if (groups == 0) {
                return at + 1;
            }
            --groups;
            ++at;
        } else {
            ++at;  // a '<' of nothing above is broken XML: pugixml stops there
        }
    }
    return at;
}

// How many nodes pugixml makes of the XML, counted to one past `most`: elements, attributes and
// texts (CDATA sections among them, and the first text of an element, which it keeps in the
// element). What pugixml leaves out is passed over as it passes over it: comments, processing
// instructions and the document type, so that no element hides from the count in them. Where the
// XML is broken the count may be anything from there on: pugixml builds nothing past it.
std::size_t xmlNodes(std::string_view xml, std::size_t most) {
    std::size_t nodes = 0;
    for (std::size_t at = 0; at < xml.size() && nodes <= most;) {
        const auto rest = xml.substr(at);
        if (rest[0] != '<') {
            ++nodes;
            at = std::min(xml.find('<', at), xml.size());
        } else if (rest.starts_with("<!--")) {
            at = past(xml, at + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            ++nodes;
            at = past(xml, at + 9, "]]>");
        } else if (rest.starts_with("<!DOCTYPE")) {
            at = pastDoctype(xml, at);
        } else if (rest.starts_with("<?")) {
            at = past(xml, at + 2, "?>");
        } else if (rest.starts_with("</") || rest.starts_with("<!")) {
            at = past(xml, at + 2, ">");
        } else {  // a start tag: an element, and an attribute for each '=' outside its values
            ++nodes;
            for (++at; at < xml.size() && xml[at] != '>'; ++at) {
                if (xml[at] == '"' || xml[at] == '\'') {
                    at = past(xml, at + 1, xml.substr(at, 1)) - 1;
                } else if (xml[at] == '=') {
                    ++nodes;
                }
            }
            ++at;
        }
    }
    return nodes;
}

bool isName(std::span<const std::string_view> names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void readNavlog(const pugi::xml_node& root, OfpNavlog& navlog) {
    const auto log = root.child("navlog");
    navlog.present = !log.empty();
    for (const pugi::xml_node fix : log.children("fix")) {
        if (navlog.fixes.size() == navlog.most) {
            navlog.more = true;
            return;
        }
        auto& fields = navlog.fixes.emplace_back();
        for (const pugi::xml_node field : fix.children()) {
            if (field.type() == pugi::node_element && isName(navlog.names, field.name()) &&
                !fields.contains(field.name())) {
                fields.emplace(field.name(), fieldOf(field));
            }
        }
    }
}

std::variant<OfpFields, std::string> readXml(std::string& data,
                                             std::span<const std::string_view> paths,
                                             OfpNavlog* navlog) {
    if (xmlNodes(data, kMostParts) > kMostParts) {
        return "it holds more than " + std::to_string(kMostParts) +
               " elements, attributes and texts, far more than any flight plan";
    }
    pugi::xml_document document;
    // Text of an element is kept in the element itself: half the nodes of a navigation log. Blank
    // text is kept too, so that no blank between two comments of a field goes missing.
    const auto parsed = document.load_buffer_inplace(
        data.data(), data.size(),
        pugi::parse_default | pugi::parse_embed_pcdata | pugi::parse_ws_pcdata);
    if (!parsed) {
        return "its XML is broken at byte " + std::to_string(parsed.offset) + " (" +
               parsed.description() + ")";
    }
    const auto root = document.document_element();
    if (std::string_view(root.name()) != "OFP") {
        return "its root element is <" + base::shownText(root.name()) + ">, not <OFP>";
    }
    OfpFields fields;
    for (const auto path : paths) {
        const auto [section, name] = split(path);
        // child() takes the first element of the name: the first of several alternates.
        const auto node = root.child(std::string(section).c_str()).child(std::string(name).c_str());
        if (!node.empty()) {
            fields.emplace(path, fieldOf(node));
        }
    }
    if (navlog != nullptr) {
        readNavlog(root, *navlog);
    }
    return fields;
}

// Takes the fields out of an OFP's JSON as nlohmann/json's parser reads it (its SAX interface),
// so that nothing else is built: a document of sections, each an object of fields or, where it
// comes several times, an array of such objects; and, where asked, the fields of each navlog/fix.
// A field's number is kept as its text, whatever its size.
class FieldCollector final {
  public:
    FieldCollector(std::span<const std::string_view> paths, OfpNavlog* navlog)
        : m_paths(paths), m_navlog(navlog) {}

    // NOLINTBEGIN(readability-identifier-naming): the names the parser calls
    bool null() { return value({"null", false}); }
    bool boolean(bool flag) { return value({flag ? "true" : "false", false}); }
    bool number_integer(std::int64_t number) { return value({std::to_string(number), true}); }
    bool number_unsigned(std::uint64_t number) { return value({std::to_string(number), true}); }
    bool number_float(double /*number*/, const std::string& text) { return value({text, true}); }
    bool string(std::string& text) { return value({std::move(text), true}); }
    bool binary(nlohmann::json::binary_t& /*bytes*/) { return value({"[...]", false}); }
    bool start_object(std::size_t /*elements*/) { return open(false); }
    bool start_array(std::size_t /*elements*/) { return open(true); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool key(std::string& name) {
        auto& frame = m_frames.back();
        if (frame.field != nullptr) {
            *frame.field = {"{...}", false};  // a field that holds an object with members
        }
        if (m_frames.size() == 1 && isSection(m_paths, name)) {
            m_anySection = true;
        }
        frame.key = std::move(name);
        return true;
    }
    bool parse_error(std::size_t byte, const std::string& /*token*/,
                     const nlohmann::json::exception& error) {
        m_brokenAt = byte;
        m_numberTooLarge = error.id == kNumberOverflow;
        return false;
    }
    // NOLINTEND(readability-identifier-naming)

    std::size_t brokenAt() const { return m_brokenAt; }
    // Whether the parser stopped at a number that no double holds, which JSON allows.
    bool numberTooLarge() const { return m_numberTooLarge; }
    bool holdsSections() const { return m_anySection; }
    // Whether the parser stopped at a value past the most an OFP has.
    bool tooManyValues() const { return m_values > kMostParts; }
    OfpFields& fields() { return m_fields; }

  private:
    static constexpr int kNumberOverflow = 406;  // nlohmann/json's out_of_range.406

    struct Frame {
        bool array = false;
        bool fix = false;           // the object of one navlog/fix that is kept
        bool first = true;          // the first element of an array, or no element of one
        std::size_t elements = 0;   // of an array, so far
        std::string key;            // of an object, the latest
        OfpField* field = nullptr;  // the field an object is the value of
    };

    // Whether an object opened here is a fix: navlog/fix itself, or an element of it.
    bool opensFix() const {
        const auto depth = m_frames.size();
        const bool inNavlog = depth >= 2 && m_frames[0].key == "navlog" && !m_frames[1].array &&
                              m_frames[1].key == "fix";
        return inNavlog && (depth == 2 || (depth == 3 && m_frames[2].array));
    }

    // The field that a value at the current place is, when it is one the reader maps.
    OfpField* field() {
        const auto depth = m_frames.size();
        if (depth > 0 && m_frames.back().fix) {
            auto& fix = m_navlog->fixes.back();
            const auto& name = m_frames.back().key;
            if (!isName(m_navlog->names, name) || fix.contains(name)) {
                return nullptr;
            }
            return &fix[name];
        }
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

    bool value(OfpField read) {
        if (++m_values > kMostParts) {
            return false;
        }
        if (auto* const field = this->field()) {
            *field = std::move(read);
        }
        if (!m_frames.empty() && m_frames.back().array) {
            ++m_frames.back().elements;
        }
        return true;
    }

    bool open(bool array) {
        if (++m_values > kMostParts) {
            return false;
        }
        bool fix = false;
        if (m_navlog != nullptr) {
            m_navlog->present = m_navlog->present ||
                                (m_frames.size() == 1 && !array && m_frames[0].key == "navlog");
            if (!array && opensFix()) {
                m_navlog->more = m_navlog->more || m_navlog->fixes.size() == m_navlog->most;
                fix = !m_navlog->more;
                if (fix) {
                    m_navlog->fixes.emplace_back();
                }
            }
        }
        auto* const field = fix ? nullptr : this->field();
        if (field != nullptr) {
            // An empty object is SimBrief's form of an empty element.
            *field = array ? OfpField{"[...]", false} : OfpField{"", true};
        }
        Frame frame;
        frame.array = array;
        frame.fix = fix;
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
    OfpNavlog* m_navlog;
    std::vector<Frame> m_frames;
    OfpFields m_fields;
    std::size_t m_values = 0;
    bool m_anySection = false;
    bool m_numberTooLarge = false;
    std::size_t m_brokenAt = 0;
};

// The text with every number that no double holds written as a string of its digits, which the
// parser takes: JSON sets no bound on numbers, and such a number is refused only where a field is
// read from it. Only numbers are touched, never the text of a string.
std::string withLargeNumbersQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 64);
    bool inString = false;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (inString || (c != '-' && (c < '0' || c > '9'))) {
            inString = c == '"' ? !inString : inString;
            out.push_back(c);
            if (inString && c == '\\' && at + 1 < text.size()) {
                out.push_back(text[++at]);
            }
            ++at;
            continue;
        }
        const auto end = text.find_first_not_of("0123456789+-.eE", at);
        const std::string number(text.substr(at, end - at));
        const bool fits = std::isfinite(std::strtod(number.c_str(), nullptr));
        out += fits ? number : '"' + number + '"';
        at = end == std::string_view::npos ? text.size() : end;
    }
    return out;
}

// The length of the JSON text's longest string, as written (its escapes so).
std::size_t longestString(std::string_view json) {
    std::size_t longest = 0;
    for (auto at = json.find('"'); at < json.size(); at = json.find('"', at + 1)) {
        const auto start = at + 1;
        for (at = start; at < json.size() && json[at] != '"'; at += json[at] == '\\' ? 2 : 1) {
        }
        longest = std::max(longest, std::min(at, json.size()) - start);
    }
    return longest;
}

// The data from `start` on; where it holds a number that no double holds, it becomes the text of
// withLargeNumbersQuoted in its place, so that no two copies are held while it is parsed.
std::variant<OfpFields, std::string> readJson(std::string& data, std::size_t start,
                                              std::span<const std::string_view> paths,
                                              OfpNavlog* navlog) {
    if (longestString(std::string_view(data).substr(start)) > kLongestJsonString) {
        return std::string("it holds a text longer than 4 MiB, longer than any of a flight plan");
    }
    FieldCollector collector(paths, navlog);
    const auto parse = [&collector, &data, &start] {
        const std::string_view text = std::string_view(data).substr(start);
        return nlohmann::json::sax_parse(text.begin(), text.end(), &collector);
    };
    bool parsed = parse();
    if (!parsed && collector.numberTooLarge()) {
        data = withLargeNumbersQuoted(std::string_view(data).substr(start));
        start = 0;
        if (navlog != nullptr) {
            *navlog = {navlog->names, navlog->most, false, false, {}};
        }
        collector = FieldCollector(paths, navlog);
        parsed = parse();
    }
    if (collector.tooManyValues()) {
        return "it holds more than " + std::to_string(kMostParts) +
               " values, far more than any flight plan";
    }
    if (!parsed) {
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
                                                   std::span<const std::string_view> paths,
                                                   OfpNavlog* navlog) {
    const bool bigEndian = data.starts_with("\xfe\xff");
    if (bigEndian || data.starts_with("\xff\xfe")) {
        auto utf8 = fromUtf16(data, bigEndian);
        if (const auto* const brokenAt = std::get_if<std::size_t>(&utf8)) {
            return "its UTF-16 text is broken at byte " + std::to_string(*brokenAt);
        }
        data = std::move(std::get<std::string>(utf8));
    }
    const std::size_t mark = data.starts_with("\xef\xbb\xbf") ? 3 : 0;  // UTF-8's byte order mark
    const std::string_view text = std::string_view(data).substr(mark);
    const auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return std::string(text.empty() ? "it is empty" : "it holds nothing but blanks");
    }
    switch (text[start]) {
        case '<':
            return readXml(data, paths, navlog);
        case '{':
        case '[':
            return readJson(data, mark, paths, navlog);
        default:
            return std::string("it is neither XML nor JSON");
    }
}

}  // namespace brimwell::flightplan
