#pragma once

// What a text box of the window can hold: how long a text may be, counted as the window counts
// it (UTF-16 code units), and which texts it refuses. The planner refuses the same as options.

#include <cstddef>
#include <string_view>

namespace brimwell::engine {

// The most characters a text box holds, in UTF-16 code units: the limit of Qt's line edit.
inline constexpr std::size_t kLongestCellText = 32767;

// Whether a text box can hold the text: UTF-8 without a control character of any kind (line
// breaks, tabs, escapes, bidirectional controls: whatever base/shown_text.h replaces).
bool isPlainText(std::string_view text);

// The length of UTF-8 text in UTF-16 code units.
std::size_t windowLength(std::string_view text);

}  // namespace brimwell::engine
