#include "engine/flight_data.h"

#include <algorithm>

#include "base/shown_text.h"
#include "engine/calculation_error.h"
#include "engine/number_text.h"

namespace brimwell::engine {

std::optional<FieldLimit> fieldLimit(std::string_view cell) {
    const auto* const found =
        std::find_if(kFieldLimits.begin(), kFieldLimits.end(),
                     [cell](const FieldLimit& rule) { return rule.cell == cell; });
    if (found == kFieldLimits.end()) {
        return std::nullopt;
    }
    return *found;
}

void filterKey(std::int16_t& characterCode) {
    if (characterCode < 32) {
        return;
    }
    if (characterCode >= '0' && characterCode <= '9') {
        return;
    }
    characterCode = 0;
}

bool isDigitsOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isPlainText(std::string_view text) {
    // Each character that the one rule for outside text replaces becomes a "?" that was not
    // there before, so a text is plain exactly when the rule leaves it as it is.
    return base::shownText(text, text.size()) == text;
}

std::size_t windowLength(std::string_view text) {
    std::size_t units = 0;
    for (const char c : text) {
        // A character starts with a byte that continues none; one of four bytes (beyond the
        // 16-bit range) takes two code units.
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xc0U) != 0x80U ? 1 : 0;
        units += (byte & 0xf8U) == 0xf0U ? 1 : 0;
    }
    return units;
}

bool isRefused(const FieldLimit& rule, std::string_view text) {
    if (text.empty()) {
        return false;
    }
    if (!isDigitsOnly(text)) {
        return true;
    }
    try {
        return toNumber(text) > rule.limit;
    } catch (const CalculationError&) {
        return true;  // a run of digits too long for a double is far above any limit
    }
}

}  // namespace brimwell::engine
