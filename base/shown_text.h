#pragma once

// Text from outside Brimwell (a flight plan, SimBrief, X-Plane, the print spooler) as the pilot
// is shown it: one rule for every message that quotes one, so that whatever it holds cannot
// move the cursor, start an escape, turn the text's direction, break the line or run on.

#include <cstddef>
#include <string>
#include <string_view>

namespace brimwell::base {

// The longest outside text shown, in characters; a longer one is cut there and ends in "...".
inline constexpr std::size_t kLongestShownText = 200;

// The text with every C0 control (line feeds and tabs among them), DEL, every C1 control, the
// bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), the line
// and paragraph separators, and each byte that is not part of valid UTF-8 replaced by "?"; cut
// after `longest` characters with "..." (never inside a character).
std::string shownText(std::string_view outside, std::size_t longest = kLongestShownText);

// A web address as the pilot is shown it, whatever it holds: shownText of it, with whatever
// stands between its scheme and its last "@" (a user name and password) as "...":
// "http://...@host:8086".
std::string shownAddress(std::string_view address);

}  // namespace brimwell::base
