#pragma once

// The fields of an OFP that the reader maps, taken out of either of SimBrief's forms. Inside the
// layer only: the mapping to cells is in flight_plan.cpp.

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace brimwell::flightplan {

// "section/name" to the text the OFP wrote there. A field the OFP lacks is absent; an empty
// element (XML) or an empty object (JSON, SimBrief's form of an empty element) is the empty text.
// Where a section comes several times (the alternates), the first one counts.
using OfpFields = std::map<std::string, std::string, std::less<>>;

// The fields of `paths` ("section/name") from an OFP in XML (root element OFP) or JSON (an object
// of sections), or why the data is no OFP ("it is neither XML nor JSON"). XML is parsed in place:
// the data is changed.
std::variant<OfpFields, std::string> readOfpFields(std::string& data,
                                                   std::span<const std::string_view> paths);

}  // namespace brimwell::flightplan
