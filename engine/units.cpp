#include "engine/units.h"

#include <algorithm>
#include <cstddef>

#include "engine/calculation_error.h"
#include "engine/number_text.h"

namespace brimwell::engine {

namespace {

constexpr std::array<std::string_view, 2> kMinimumLandingFuelsKilograms = {"8618", "10886"};
static_assert(kMinimumLandingFuelsKilograms.size() == kMinimumLandingFuels.size());

// The payload refuses what weighs more than 140912 lbs. 63916 kg is 140911 lbs and 63917 kg is
// 140913 lbs, so 63916 is the largest kilogram figure that passes, as 140912 is in pounds.
constexpr FieldLimit kPayloadInKilograms{cell::txtPayLoad, 63916.0,
                                         "Payload: please enter a value lower then 63.916"};

// The weight of the text in the other unit, rounded half to even to a whole number; a text that
// is no number, or whose weight is too large to write, as it is.
std::string converted(std::string_view text, Unit to) {
    try {
        const double weight = toNumber(text);
        return toText(roundHalfEven(to == Unit::Kilograms ? weight * kKilogramsPerPound
                                                          : weight / kKilogramsPerPound));
    } catch (const CalculationError&) {
        return std::string(text);
    }
}

}  // namespace

std::string_view unitName(Unit unit) {
    return unit == Unit::Kilograms ? "kg" : "lbs";
}

std::optional<Unit> unitNamed(std::string_view name) {
    for (const Unit unit : {Unit::Pounds, Unit::Kilograms}) {
        if (unitName(unit) == name) {
            return unit;
        }
    }
    return std::nullopt;
}

bool isWeight(std::string_view cell) {
    return cell == cell::cmbMLF || std::find(kWeightTextBoxes.begin(), kWeightTextBoxes.end(),
                                             cell) != kWeightTextBoxes.end();
}

std::span<const std::string_view> minimumLandingFuels(Unit unit) {
    if (unit == Unit::Kilograms) {
        return kMinimumLandingFuelsKilograms;
    }
    return kMinimumLandingFuels;
}

std::string toKilograms(std::string_view pounds) {
    return converted(pounds, Unit::Kilograms);
}

std::string toPounds(std::string_view cell, std::string_view kilograms) {
    if (cell == cell::cmbMLF) {
        const auto* const item = std::find(kMinimumLandingFuelsKilograms.begin(),
                                           kMinimumLandingFuelsKilograms.end(), kilograms);
        if (item != kMinimumLandingFuelsKilograms.end()) {
            return std::string(kMinimumLandingFuels[static_cast<std::size_t>(
                item - kMinimumLandingFuelsKilograms.begin())]);
        }
    }
    return converted(kilograms, Unit::Pounds);
}

std::optional<FieldLimit> fieldLimit(std::string_view cell, Unit unit) {
    if (unit == Unit::Kilograms && cell == cell::txtPayLoad) {
        return kPayloadInKilograms;
    }
    return fieldLimit(cell);
}

}  // namespace brimwell::engine
