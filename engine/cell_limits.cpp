#include "engine/cell_limits.h"

#include <algorithm>

#include "engine/calculation_error.h"
#include "engine/digit_keys.h"
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
