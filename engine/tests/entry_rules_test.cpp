// The entry rules of the numeric flight-data cells: the key filter and the upper limits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "param_name.h"

namespace brimwell {
namespace {

struct KeyCase {
    const char* name;
    std::int16_t code;
    bool passes;
};

class KeyFilter : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyFilter, LetsDigitsAndControlCharactersThrough) {
    std::int16_t KeyAscii = GetParam().code;
    filterKey(KeyAscii);
    EXPECT_EQ(KeyAscii, GetParam().passes ? GetParam().code : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyFilter,
    ::testing::Values(
        KeyCase{"Zero", '0', true}, KeyCase{"Nine", '9', true}, KeyCase{"Backspace", 8, true},
        KeyCase{"Enter", 13, true}, KeyCase{"Escape", 27, true}, KeyCase{"Copy", 3, true},
        KeyCase{"Paste", 22, true}, KeyCase{"Cut", 24, true}, KeyCase{"UnitSeparator", 31, true},
        KeyCase{"Space", ' ', false}, KeyCase{"Slash", '/', false}, KeyCase{"Colon", ':', false},
        KeyCase{"Dot", '.', false}, KeyCase{"Comma", ',', false}, KeyCase{"Minus", '-', false},
        KeyCase{"Plus", '+', false}, KeyCase{"LetterA", 'a', false}, KeyCase{"LetterE", 'E', false},
        KeyCase{"Delete", 127, false}, KeyCase{"LatinSmallEWithAcute", 233, false},
        KeyCase{"LargestCode", 32767, false}),
    ParamName());

TEST(KeyFilter, TypingLettersDotAndMinusAmongDigitsLeavesTheDigits) {
    std::string cellText;
    for (const char typed : std::string("12a.5-")) {
        std::int16_t KeyAscii = static_cast<unsigned char>(typed);
        filterKey(KeyAscii);
        if (KeyAscii != 0) {
            cellText += static_cast<char>(KeyAscii);
        }
    }
    EXPECT_EQ(cellText, "125");
}

TEST(FieldLimits, OnlyDistanceWindAndPayloadHaveOne) {
    for (const auto name : kDigitCells) {
        const bool limited = name == cell::txtDestinationDistance ||
                             name == cell::txtWindIntensity || name == cell::txtPayLoad;
        EXPECT_EQ(fieldLimit(name).has_value(), limited) << name;
    }
    EXPECT_FALSE(fieldLimit(cell::txtOriginICAO).has_value());
    EXPECT_FALSE(fieldLimit(cell::cmbFlightLevel).has_value());
}

struct ValidationCase {
    const char* name;
    std::string_view cell;
    std::string text;
    bool refused;
};

class Validation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(Validation, RefusesOnlyValuesAboveTheLimitOrTextThatIsNoWholeNumber) {
    const auto rule = fieldLimit(GetParam().cell);
    ASSERT_TRUE(rule.has_value());
    EXPECT_EQ(isRefused(*rule, GetParam().text), GetParam().refused);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Validation,
    ::testing::Values(
        ValidationCase{"DistanceAtLimit", cell::txtDestinationDistance, "8400", false},
        ValidationCase{"DistanceAbove", cell::txtDestinationDistance, "8401", true},
        ValidationCase{"LeadingZerosCountForNothing", cell::txtDestinationDistance, "0009000",
                       true},
        ValidationCase{"LeadingZerosWithin", cell::txtDestinationDistance, "0008400", false},
        ValidationCase{"EmptyDistancePasses", cell::txtDestinationDistance, "", false},
        ValidationCase{"ZeroPasses", cell::txtDestinationDistance, "0", false},
        ValidationCase{"WindAtLimit", cell::txtWindIntensity, "1000", false},
        ValidationCase{"WindAbove", cell::txtWindIntensity, "1001", true},
        ValidationCase{"PayloadAtLimit", cell::txtPayLoad, "140912", false},
        ValidationCase{"PayloadAbove", cell::txtPayLoad, "140913", true},
        ValidationCase{"EndlessDigitsAreAboveTheLimit", cell::txtPayLoad, std::string(500, '9'),
                       true},
        // Text that can only arrive by pasting is refused, whatever number it might mean.
        ValidationCase{"PastedDecimalComma", cell::txtDestinationDistance, "12,5", true},
        ValidationCase{"PastedDot", cell::txtDestinationDistance, "12.5", true},
        ValidationCase{"PastedNegative", cell::txtDestinationDistance, "-5", true},
        ValidationCase{"PastedBlanks", cell::txtWindIntensity, " 50 ", true},
        ValidationCase{"PastedLetters", cell::txtPayLoad, "abc", true},
        ValidationCase{"PastedExponent", cell::txtPayLoad, "1e3", true},
        ValidationCase{"PastedNonAscii", cell::txtPayLoad, "\xc3\xa9", true}),
    ParamName());

}  // namespace
}  // namespace brimwell
