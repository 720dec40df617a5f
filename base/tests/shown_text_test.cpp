// Outside text as the pilot is shown it: controls of every kind and broken UTF-8 replaced, and
// a long text cut at 200 characters, never inside one.

#include "base/shown_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brimwell::test {
namespace {

using base::shownText;

TEST(ShownText, ReplacesWhatActsInsteadOfShowing) {
    // The bidirectional controls below are the text under test, written as escapes.
    // NOLINTBEGIN(misc-misleading-bidirectional)
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Error: Unknown UserID", "Error: Unknown UserID"},
        {"Zürich – 東京 ✈", "Zürich – 東京 ✈"},
        {"a\nb\rc\td\x1b[2Je\x7f", "a?b?c?d?[2Je?"},
        {"\xc2\x9b" "31m C1 CSI", "?31m C1 CSI"},
        {"\xc2\x85 NEL, \xc2\xa0 no-break space", "? NEL, \xc2\xa0 no-break space"},
        {"\xe2\x80\xae" "RLO \xe2\x80\xad LRO \xe2\x81\xa6 LRI \xe2\x81\xa9 PDI", "?RLO ? LRO ? LRI ? PDI"},
        {"\xd8\x9c ALM \xe2\x80\x8e LRM \xe2\x80\x8f RLM \xe2\x80\xa8 LS", "? ALM ? LRM ? RLM ? LS"},
        {"\xe2\x80\x8d joiner kept", "\xe2\x80\x8d joiner kept"},
        {"\xff\xfe stray, \x80 continuation", "?? stray, ? continuation"},
        {"\xc0\xaf overlong, \xed\xa0\x80 surrogate", "?? overlong, ??? surrogate"},
        {"\xf4\x90\x80\x80 beyond, \xf0\x9f\x9b\xab plane", "???? beyond, \xf0\x9f\x9b\xab plane"},
        {"cut short \xe2\x80", "cut short ??"},
        {std::string("nul\0byte", 8), "nul?byte"},
    };
    // clang-format on
    // NOLINTEND(misc-misleading-bidirectional)
    for (const auto& [outside, shown] : rows) {
        EXPECT_EQ(shownText(outside), shown) << outside;
    }
}

TEST(ShownText, CutsAfterTwoHundredCharactersNeverInsideOne) {
    const std::string message = "Error: No flight plan on file for the specified user";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {message, message},
        {std::string(200, 'x'), std::string(200, 'x')},
        {std::string(201, 'x'), std::string(200, 'x') + "..."},
        {std::string(100000, '\n'), std::string(200, '?') + "..."},
    };
    for (const auto& [outside, shown] : rows) {
        EXPECT_EQ(shownText(outside), shown) << outside.size();
    }
    std::string planes;
    for (int i = 0; i < 250; ++i) {
        planes += "\xe2\x9c\x88";  // three bytes each
    }
    EXPECT_EQ(shownText(planes), planes.substr(0, 600) + "...");
    EXPECT_EQ(shownText("abcdef", 3), "abc...");
}

}  // namespace
}  // namespace brimwell::test
