#pragma once

// A time as a text of the UTC clock, by a strftime format: "14:05:09", "2026-12-09 08:10".

#include <string>
#include <string_view>

namespace brimwell::base {

// The time (UTC seconds since 1970, the fraction dropped) by the format, or `otherwise` for a time
// that is no date of the calendar.
std::string utcText(double time, const char* format, std::string_view otherwise);

}  // namespace brimwell::base
