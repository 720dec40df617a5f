#pragma once

// The cells that take digits only, and the key filter that keeps anything else out of them as it
// is typed. The window and the headless planner apply the same rule.

#include <array>
#include <string_view>

#include "engine/cell_names.h"

namespace brimwell::engine {

// The five cells that take digits only.
inline constexpr std::array kDigitCells = {cell::txtDestinationDistance, cell::txtWindIntensity,
                                           cell::txtPayLoad, cell::txtContingencyTime,
                                           cell::txtTFB};

// Whether the key filter of a digit cell lets a typed character through: the control characters
// (below U+0020: Backspace, Enter...) and the digits 0 to 9 pass; any other character is dropped.
bool isAcceptedKey(char32_t character);

// Whether a text holds nothing but the digits 0 to 9 (the empty text does).
bool isDigitsOnly(std::string_view text);

}  // namespace brimwell::engine
