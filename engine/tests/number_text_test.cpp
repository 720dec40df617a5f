// The number-text rule: texts to numbers and back, rounding and the 16-bit conversion.

#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/calculation_error.h"

namespace brimwell::test {
namespace {

using engine::CalculationError;
using engine::roundHalfEven;
using engine::toNumber;
using engine::toText;

TEST(NumberText, ReadsTheCommaAsDecimalMarkAndRefusesTheRest) {
    const std::vector<std::pair<std::string, double>> numbers = {
        {"380,0", 380.0},
        {"  42 ", 42.0},
        {"\t-2,5", -2.5},
        {"+12", 12.0},
        {",5", 0.5},
        {"5,", 5.0},
        {"0009000", 9000.0},
        {std::string(300, '9'), 1e300},
        {"0," + std::string(400, '0') + "1", 0.0}};
    for (const auto& [text, number] : numbers) {
        EXPECT_EQ(toNumber(text), number) << '"' << text << '"';
    }
    for (const std::string& text :
         std::initializer_list<std::string>{std::string(400, '9'), "", " ", "-", ",", "1.5",
                                            "1 000", "12a", "1,2,3", "--1", "1e5", "1-"}) {
        EXPECT_THROW(toNumber(text), CalculationError) << '"' << text << '"';
    }
}

TEST(NumberText, WritesPlainNotationWithAtMostFifteenDigits) {
    const std::vector<std::pair<double, const char*>> texts = {
        {494088.0, "494088"},     {17737.5, "17737,5"},
        {-16491.25, "-16491,25"}, {-0.0, "0"},
        {0.1 + 0.2, "0,3"},       {1e20, "100000000000000000000"},
        {1e-6, "0,000001"},       {123456789012345.6, "123456789012346"}};
    for (const auto& [number, text] : texts) {
        EXPECT_EQ(toText(number), text) << number;
    }
    EXPECT_THROW(toText(INFINITY), CalculationError);
    EXPECT_THROW(toText(NAN), CalculationError);
}

TEST(NumberText, RoundsExactHalvesToTheEvenNeighbour) {
    const std::vector<std::pair<double, double>> whole = {{412.5, 412}, {413.5, 414}, {-2.5, -2},
                                                          {-3.5, -4},   {2.4999, 2},  {2.5001, 3},
                                                          {-0.4, 0},    {1e20, 1e20}};
    for (const auto& [value, rounded] : whole) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
    // The last row is a double below the half that reads "77,95" at 15 digits.
    const std::vector<std::pair<double, double>> tenths = {
        {3.7345, 3.7}, {0.25, 0.2}, {0.35, 0.4},
        {-0.25, -0.2}, {0.06, 0.1}, {72.6 + 214 * (87.6 - 72.6) / 600, 77.9}};
    for (const auto& [value, rounded] : tenths) {
        EXPECT_EQ(roundHalfEven(value, 1), rounded) << value;
    }
    EXPECT_EQ(roundHalfEven(1234.5678, 2), 1234.57);
}

}  // namespace
}  // namespace brimwell::test
