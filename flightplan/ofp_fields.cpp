#include "flightplan/ofp_fields.h"

#include <algorithm>
#include <cstdint>
#include <pugixml.hpp>

#include "engine/shown_text.h"

namespace brimwell::flightplan {

namespace {

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

std::variant<OfpFields, std::string> readXml(std::string& data,
                                             std::span<const std::string_view> paths) {
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
        return "its root element is <" + shownText(root.name()) + ">, not <OFP>";
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
    return fields;
}

// A JSON text (RFC 8259) read as far as the fields need it: every value is checked, but only the
// fields of `paths` are kept, each string decoded, each number as its text, whatever its size
// (a number no double holds is refused only where a field is read from it). Values below the
// sections are read without recursion, so that no nesting exhausts the stack.
class JsonFields final {
  public:
    JsonFields(std::string_view text, std::span<const std::string_view> paths)
        : m_begin(text.data()),
          m_at(text.data()),
          m_end(text.data() + text.size()),
          m_paths(paths) {}

    // Reads the whole text; false when it is no JSON, brokenAt() saying where.
    bool read() {
        blanks();
        const bool read = at('{') ? members([this](const std::string& key) {
            if (!isSection(m_paths, key)) {
                return skipValue();
            }
            m_anySection = true;
            return section(key);
        })
                                  : skipValue();
        blanks();
        return read && (m_at == m_end || broken());
    }

    // The byte, from 1, at which the text stops being JSON; one past its end when it ends early.
    std::size_t brokenAt() const { return m_brokenAt; }
    bool holdsSections() const { return m_anySection; }
    OfpFields& fields() { return m_fields; }

  private:
    bool at(char c) const { return m_at != m_end && *m_at == c; }
    bool atDigit() const { return m_at != m_end && *m_at >= '0' && *m_at <= '9'; }

    void blanks() {
        while (at(' ') || at('\t') || at('\n') || at('\r')) {
            ++m_at;
        }
    }

    bool broken() {
        m_brokenAt = static_cast<std::size_t>(m_at - m_begin) + 1;
        return false;
    }

    bool skip(char c) {
        blanks();
        if (!at(c)) {
            return broken();
        }
        ++m_at;
        return true;
    }

    // The members of the object at '{': member takes each key and reads its value.
    template <typename Member>
    bool members(const Member& member) {
        ++m_at;
        blanks();
        if (at('}')) {
            ++m_at;
            return true;
        }
        while (true) {
            std::string key;
            if (!skip('"') || !string(&key) || !skip(':') || !member(key)) {
                return false;
            }
            blanks();
            if (!at(',')) {
                return skip('}');
            }
            ++m_at;
        }
    }

    // A section: an object of fields, or an array of them, of which the first counts.
    bool section(const std::string& name) {
        blanks();
        if (at('{')) {
            return fieldsOf(name);
        }
        if (!at('[')) {
            return skipValue();
        }
        ++m_at;
        blanks();
        if (at(']')) {
            ++m_at;
            return true;
        }
        for (bool first = true;; first = false) {
            blanks();
            if (!(first && at('{') ? fieldsOf(name) : skipValue())) {
                return false;
            }
            blanks();
            if (!at(',')) {
                return skip(']');
            }
            ++m_at;
        }
    }

    bool fieldsOf(const std::string& section) {
        return members([this, &section](const std::string& key) {
            std::string path = section + "/" + key;
            if (std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end() ||
                m_fields.contains(path)) {
                return skipValue();
            }
            return field(m_fields[std::move(path)]);
        });
    }

    bool field(OfpField& field) {
        blanks();
        const char* const start = m_at;
        if (at('"')) {
            ++m_at;
            return string(&field.text);
        }
        if (at('{')) {  // an empty one is SimBrief's empty element
            ++m_at;
            blanks();
            if (at('}')) {
                ++m_at;
                return true;
            }
            m_at = start;
            field = {"{...}", false};
        } else if (at('[')) {
            field = {"[...]", false};
        } else if (at('-') || atDigit()) {
            const bool read = number();
            field.text.assign(start, m_at);
            return read;
        } else {
            const bool read = literal();
            field = {std::string(start, m_at), false};
            return read;
        }
        return skipValue();
    }

    // Reads a value of any kind and keeps nothing of it, without recursion: `open` holds the
    // closing bracket of each array and object the value has opened and not yet closed.
    bool skipValue() {
        std::string open;
        while (true) {
            const Step start = startValue(open);
            if (start == Step::Broken) {
                return false;
            }
            if (start == Step::Done) {
                const Step end = endValue(open);
                if (end != Step::More) {
                    return end == Step::Done;
                }
            }
        }
    }

    // How far a step of skipValue got: broken, a value to come, or a value read whole.
    enum class Step { Broken, More, Done };

    // A scalar, or an empty array or object, is read whole (Done); a container with elements is
    // opened, the key of its first member read (More).
    Step startValue(std::string& open) {
        blanks();
        if (!at('{') && !at('[')) {
            return scalar() ? Step::Done : Step::Broken;
        }
        const char close = *m_at == '{' ? '}' : ']';
        ++m_at;
        blanks();
        if (at(close)) {
            ++m_at;
            return Step::Done;
        }
        open.push_back(close);
        return close == ']' || skipKey() ? Step::More : Step::Broken;
    }

    // After a value: the next element after a comma (More), or the end of each container that
    // ends here, until none is open (Done).
    Step endValue(std::string& open) {
        while (!open.empty()) {
            blanks();
            if (at(',')) {
                ++m_at;
                return open.back() == ']' || skipKey() ? Step::More : Step::Broken;
            }
            if (!at(open.back())) {
                broken();
                return Step::Broken;
            }
            ++m_at;
            open.pop_back();
        }
        return Step::Done;
    }

    bool skipKey() { return skip('"') && string(nullptr) && skip(':'); }

    bool scalar() {
        if (at('"')) {
            ++m_at;
            return string(nullptr);
        }
        return at('-') || atDigit() ? number() : literal();
    }

    bool literal() {
        const std::string_view rest(m_at, static_cast<std::size_t>(m_end - m_at));
        for (const std::string_view word : {"true", "false", "null"}) {
            if (rest.starts_with(word)) {
                m_at += word.size();
                return true;
            }
        }
        return broken();
    }

    bool digits() {
        const char* const start = m_at;
        while (atDigit()) {
            ++m_at;
        }
        return m_at != start || broken();
    }

    bool number() {
        if (at('-')) {
            ++m_at;
        }
        if (at('0')) {
            ++m_at;
        } else if (!digits()) {
            return false;
        }
        if (at('.')) {
            ++m_at;
            if (!digits()) {
                return false;
            }
        }
        if (at('e') || at('E')) {
            ++m_at;
            if (at('+') || at('-')) {
                ++m_at;
            }
            return digits();
        }
        return true;
    }

    // The rest of a string after its opening quote, decoded into text where it is kept.
    bool string(std::string* text) {
        while (m_at != m_end) {
            const char* const run = m_at;
            while (m_at != m_end && *m_at != '"' && *m_at != '\\' &&
                   static_cast<std::uint8_t>(*m_at) >= 0x20) {
                ++m_at;
            }
            if (text != nullptr) {
                text->append(run, m_at);
            }
            if (at('"')) {
                ++m_at;
                return true;
            }
            if (!at('\\')) {
                break;  // a control character, or the end
            }
            ++m_at;
            if (!escape(text)) {
                return false;
            }
        }
        return broken();
    }

    bool escape(std::string* text) {
        constexpr std::string_view kEscapes = "\"\\/bfnrt";
        constexpr std::string_view kMeanings = "\"\\/\b\f\n\r\t";
        const auto escaped = m_at == m_end ? std::string_view::npos : kEscapes.find(*m_at);
        if (escaped != std::string_view::npos) {
            ++m_at;
            if (text != nullptr) {
                text->push_back(kMeanings[escaped]);
            }
            return true;
        }
        char32_t c = 0;
        if (!codeUnit(c)) {
            return false;
        }
        if (isHighSurrogate(c)) {
            if (!at('\\')) {
                return broken();
            }
            ++m_at;
            char32_t low = 0;
            if (!codeUnit(low)) {
                return false;
            }
            if (!isLowSurrogate(low)) {
                return broken();
            }
            c = fromSurrogates(c, low);
        } else if (isLowSurrogate(c)) {
            return broken();
        }
        if (text != nullptr) {
            appendUtf8(*text, c);
        }
        return true;
    }

    // "u" and four hexadecimal digits.
    bool codeUnit(char32_t& unit) {
        if (!at('u')) {
            return broken();
        }
        ++m_at;
        constexpr std::string_view kHex = "0123456789abcdef";
        for (int i = 0; i < 4; ++i, ++m_at) {
            const char c = m_at == m_end ? 'x' : *m_at;
            const auto digit =
                kHex.find(c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c);
            if (digit == std::string_view::npos) {
                return broken();
            }
            unit = unit * 16 + static_cast<char32_t>(digit);
        }
        return true;
    }

    const char* m_begin;
    const char* m_at;
    const char* m_end;
    std::span<const std::string_view> m_paths;
    OfpFields m_fields;
    bool m_anySection = false;
    std::size_t m_brokenAt = 0;
};

std::variant<OfpFields, std::string> readJson(std::string_view data,
                                              std::span<const std::string_view> paths) {
    JsonFields json(data, paths);
    if (!json.read()) {
        return "its JSON is broken at byte " + std::to_string(json.brokenAt());
    }
    if (!json.holdsSections()) {
        return "its JSON holds none of the sections of a flight plan (params, general, origin, "
               "destination, alternate, weights, fuel)";
    }
    return std::move(json.fields());
}

}  // namespace

std::variant<OfpFields, std::string> readOfpFields(std::string& data,
                                                   std::span<const std::string_view> paths) {
    const bool bigEndian = data.starts_with("\xfe\xff");
    if (bigEndian || data.starts_with("\xff\xfe")) {
        auto utf8 = fromUtf16(data, bigEndian);
        if (const auto* const brokenAt = std::get_if<std::size_t>(&utf8)) {
            return "its UTF-16 text is broken at byte " + std::to_string(*brokenAt);
        }
        data = std::move(std::get<std::string>(utf8));
    }
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
