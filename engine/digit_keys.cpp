#include "engine/digit_keys.h"

#include <algorithm>

namespace brimwell::engine {

bool isAcceptedKey(char32_t character) {
    return character < U' ' || (character >= U'0' && character <= U'9');
}

bool isDigitsOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace brimwell::engine
