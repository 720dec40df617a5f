#pragma once

// The fields of an OFP that the reader maps, taken out of either of SimBrief's forms. Inside the
// layer only: the mapping to cells is in flight_plan.cpp.

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brimwell::flightplan {

// What the OFP wrote in a field: its whole text, or something that is no value of a field at all
// (JSON's true, false, null, an array or an object with members; an XML element that holds
// elements), told as "true", "null", "[...]", "{...}" or "<...>".
struct OfpField {
    std::string text;
    bool isValue = true;
};

// "section/name" to what the OFP wrote there. A field the OFP lacks is absent; an empty element
// (XML) or an empty object (JSON, SimBrief's form of an empty element) is the empty text. An XML
// element's text is the whole of it, its text and CDATA parts together, what comments and
// processing instructions split left out; a JSON number is its text as written, whatever its
// size. Where a section comes several times (the alternates), the first one counts.
using OfpFields = std::map<std::string, OfpField, std::less<>>;

// The fixes of the navigation log, taken in the same pass as the fields: each navlog/fix in the
// log's order (in JSON an array of objects or, for one fix, an object), its fields of `names` by
// name as OfpFields holds them ("ident" to what the fix wrote), at most `most` of them.
struct OfpNavlog {
    std::span<const std::string_view> names;  // asked
    std::size_t most = 0;                     // asked
    bool present = false;                     // the OFP has a navlog section
    bool more = false;                        // it held more than `most` fixes
    std::vector<OfpFields> fixes;
};

// The fields of `paths` ("section/name") from an OFP in XML (root element OFP) or JSON (an object
// of sections), in UTF-8, or in UTF-16 with its byte order mark, or why the data is no OFP ("it
// is neither XML nor JSON"; more parts than any OFP has: 500000 elements, attributes and texts
// of XML, or values of JSON, or a JSON string longer than 4 MiB); and the navigation log's fixes
// into `navlog` where it is given. The data is changed: XML is parsed in place.
std::variant<OfpFields, std::string> readOfpFields(std::string& data,
                                                   std::span<const std::string_view> paths,
                                                   OfpNavlog* navlog = nullptr);

}  // namespace brimwell::flightplan
