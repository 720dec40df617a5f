#pragma once

// Cutting the blanks off the ends of a text, for the reader of flight plans and the HTTP client.

#include <string_view>

namespace brimwell::base {

// The text without the ASCII white space at either end: space, tab, line feed, vertical tab,
// form feed and carriage return.
std::string_view trimmed(std::string_view text);

}  // namespace brimwell::base
