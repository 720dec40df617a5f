// The key filter of the numeric flight-data cells. Their limits are checked through the window
// and through brimwell-plan's options, which both apply them.

#include <gtest/gtest.h>

#include <cstdint>

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

}  // namespace
}  // namespace brimwell
