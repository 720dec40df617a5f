#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "engine/calculation_error.h"

namespace brimwell {
namespace {

struct TextNumber {
    const char* text;
    double number;
};

TEST(ToNumber, ReadsTheCommaAsDecimalMarkWithBlanksAndSign) {
    const auto cases = std::to_array<TextNumber>({
        {"380,0", 380.0},
        {"310,1", 310.1},
        {"494088", 494088.0},
        {"  42 ", 42.0},
        {"\t7", 7.0},
        {"-2,5", -2.5},
        {"+12", 12.0},
        {",5", 0.5},
        {"5,", 5.0},
        {"0009000", 9000.0},
        {"-0", 0.0},
        {"97,7", 97.7},
        {"123456,5", 123456.5},
    });
    for (const auto& c : cases) {
        EXPECT_EQ(toNumber(c.text), c.number) << c.text;
    }
}

TEST(ToNumber, RefusesWhatIsNotANumber) {
    for (const char* text : {"", " ", "   ", "-", "+", ",", "1.5", "1 000", "12a", "a12", "1,2,3",
                             "--1", "+-1", "1e5", "0x10", "inf", "nan", "1-", "٣"}) {
        EXPECT_THROW(toNumber(text), CalculationError) << '"' << text << '"';
    }
}

TEST(ToNumber, HugeDigitRunsFailAndTinyFractionsReadAsZero) {
    EXPECT_THROW(toNumber(std::string(400, '9')), CalculationError);
    EXPECT_EQ(toNumber(std::string(300, '9')), 1e300);
    EXPECT_EQ(toNumber("0," + std::string(400, '0') + "1"), 0.0);
}

TEST(ToText, WritesPlainNotationWithAtMostFifteenDigits) {
    const auto cases = std::to_array<TextNumber>({
        {"494088", 494088.0},
        {"17737,5", 17737.5},
        {"-16491,25", -16491.25},
        {"0", 0.0},
        {"0", -0.0},
        {"547,35", 547.35},
        {"0,1", 0.1},
        {"0,3", 0.1 + 0.2},  // 15 significant digits hide the binary error
        {"983,035", 983.035},
        {"1000000000000000", 1e15},
        {"100000000000000000000", 1e20},
        {"0,000001", 1e-6},
        {"123456789012346", 123456789012345.6},
        {"-1", -1.0},
    });
    for (const auto& c : cases) {
        EXPECT_EQ(toText(c.number), c.text) << c.number;
    }
}

TEST(ToText, RefusesInfiniteAndUndefinedValues) {
    EXPECT_THROW(toText(std::numeric_limits<double>::infinity()), CalculationError);
    EXPECT_THROW(toText(-std::numeric_limits<double>::infinity()), CalculationError);
    EXPECT_THROW(toText(std::nan("")), CalculationError);
}

TEST(ToText, RoundTripsThroughToNumber) {
    for (const double value : {1.0 / 3.0, 2.0 / 3.0, 12345.678, -0.001, 1e-12, 8399.999}) {
        const std::string text = toText(value);
        EXPECT_EQ(toText(toNumber(text)), text);
        EXPECT_NEAR(toNumber(text), value, std::fabs(value) * 1e-14);
    }
}

TEST(RoundHalfEven, SendsExactHalvesToTheEvenNeighbour) {
    const auto cases = std::to_array<std::pair<double, double>>({
        {412.5, 412},
        {413.5, 414},
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {1.5, 2},
        {2.4999, 2},
        {2.5001, 3},
        {-0.4, 0},
        {123456.5, 123456},
        {123457.5, 123458},
        {1e20, 1e20},
    });
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
}

TEST(RoundHalfEven, ToDecimalsTakesTheValueAsItIsWritten) {
    const auto cases = std::to_array<std::tuple<double, int, double>>({
        {3.7345, 1, 3.7},
        {0.25, 1, 0.2},
        {0.35, 1, 0.4},
        {-0.25, 1, -0.2},
        {188.44, 1, 188.4},
        {211.15, 1, 211.2},
        {211.05, 1, 211.0},
        {17.8, 1, 17.8},
        {-2.5, 0, -2},
        {0.04, 1, 0.0},
        {0.06, 1, 0.1},
        {1234.5678, 2, 1234.57},
    });
    for (const auto& [value, decimals, rounded] : cases) {
        EXPECT_EQ(roundHalfEven(value, decimals), rounded) << value << " to " << decimals;
    }
}

TEST(ToInt16, RoundsThenChecksTheSigned16BitRange) {
    EXPECT_EQ(toInt16(32767.0), 32767);
    EXPECT_EQ(toInt16(-32768.0), -32768);
    EXPECT_EQ(toInt16(-32768.5), -32768);  // the tie goes to the even -32768
    EXPECT_EQ(toInt16(50.5), 50);
    EXPECT_THROW(toInt16(32767.5), CalculationError);  // rounds to 32768
    EXPECT_THROW(toInt16(32768.0), CalculationError);
    EXPECT_THROW(toInt16(-32769.0), CalculationError);
    EXPECT_THROW(toInt16(std::nan("")), CalculationError);
}

TEST(TextComparison, IsOrdinalWithPrefixesSmaller) {
    EXPECT_TRUE(textLessOrEqual("FL400", "FL410"));
    EXPECT_TRUE(textLessOrEqual("FL410", "FL410"));
    EXPECT_TRUE(textGreater("FL310,1", "FL310"));  // a prefix is the smaller
    EXPECT_TRUE(textGreater("fl350", "FL410"));    // lower case sorts after upper case
    EXPECT_TRUE(textLessOrEqual("", "FL310"));
    EXPECT_TRUE(textGreater("\xc3\xa9", "z"));  // bytes above 127 sort after ASCII
}

TEST(TimeOfDayMinutes, ReadsHoursAndMinutes) {
    EXPECT_EQ(timeOfDayMinutes("17:31"), 1051);
    EXPECT_EQ(timeOfDayMinutes("1:05"), 65);
    EXPECT_EQ(timeOfDayMinutes("0:30"), 30);
    EXPECT_EQ(timeOfDayMinutes("23:59"), 1439);
    for (const char* text : {"", "17", ":30", "1:5", "24:00", "1:60", "a:00", "1:00:00"}) {
        EXPECT_THROW(timeOfDayMinutes(text), CalculationError) << text;
    }
}

}  // namespace
}  // namespace brimwell
