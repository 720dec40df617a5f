// The entry rules of the numeric flight-data cells: the key filter and the upper limits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/cell_names.h"
#include "engine/flight_data.h"

namespace brimwell {
namespace {

TEST(EntryRules, TheKeyFilterLetsDigitsAndControlCharactersThrough) {
    for (const int code : {48, 57, 0, 8, 13, 22, 31}) {  // digits and control characters
        auto KeyAscii = static_cast<std::int16_t>(code);
        filterKey(KeyAscii);
        EXPECT_EQ(KeyAscii, code);
    }
    for (const int code : {32, 47, 58, 44, 46, 45, 97, 127, 233, 32767}) {
        auto KeyAscii = static_cast<std::int16_t>(code);
        filterKey(KeyAscii);
        EXPECT_EQ(KeyAscii, 0) << code;
    }
}

TEST(EntryRules, DistanceWindAndPayloadRefuseWhatIsAboveTheLimitOrNoWholeNumber) {
    struct Row {
        std::string_view cell;
        std::string text;
        bool refused;
    };
    const std::vector<Row> rows = {
        {cell::txtDestinationDistance, "8400", false},
        {cell::txtDestinationDistance, "8401", true},
        {cell::txtDestinationDistance, "0009000", true},
        {cell::txtDestinationDistance, "0008400", false},
        {cell::txtDestinationDistance, "", false},
        {cell::txtWindIntensity, "1000", false},
        {cell::txtWindIntensity, "1001", true},
        {cell::txtPayLoad, "140912", false},
        {cell::txtPayLoad, "140913", true},
        {cell::txtPayLoad, std::string(500, '9'), true},
        {cell::txtDestinationDistance, "12,5", true},
        {cell::txtDestinationDistance, "-5", true},
        {cell::txtWindIntensity, " 50 ", true},
        {cell::txtPayLoad, "1e3", true},
    };
    for (const auto& row : rows) {
        const auto rule = fieldLimit(row.cell);
        ASSERT_TRUE(rule.has_value()) << row.cell;
        EXPECT_EQ(isRefused(*rule, row.text), row.refused) << row.cell << " \"" << row.text << '"';
    }
    for (const auto name : {cell::txtContingencyTime, cell::txtTFB, cell::cmbFlightLevel}) {
        EXPECT_FALSE(fieldLimit(name).has_value()) << name;
    }
}

}  // namespace
}  // namespace brimwell
