#pragma once

// The fixed values of the flight data: the items of the drop-down lists, the start values of
// the input cells, and the entry rules of the numeric cells (digits only; three of them with an
// upper limit). The window and the headless planner apply the same rules.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/cell_names.h"

namespace brimwell::engine {

inline constexpr std::string_view kApplicationTitle = "Brimwell v2.0";
inline constexpr std::string_view kFailureMessage = "Please enter all Flight Data or check limits";

// Basic operation empty weight of the aircraft, lbs (the fixed text of txtBOW).
inline constexpr std::string_view kBasicOperationEmptyWeight = "394088";
// Start value of txtTFB, the taxi fuel burn off, lbs.
inline constexpr std::string_view kDefaultTaxiFuel = "2000";

// Items of the drop-down lists, in their order.
inline constexpr std::array<std::string_view, 5> kAlternateDistances = {"100", "200", "300", "400",
                                                                        "500"};
inline constexpr std::array<std::string_view, 3> kWindDirections = {"Head", "Tail", "NoWind"};
inline constexpr std::array<std::string_view, 11> kFlightLevels = {
    "FL410", "FL400", "FL390", "FL380", "FL370", "FL360",
    "FL350", "FL340", "FL330", "FL320", "FL310"};
inline constexpr std::array<std::string_view, 2> kMinimumLandingFuels = {"19000", "24000"};

// The five cells that take digits only.
inline constexpr std::array kDigitCells = {cell::txtDestinationDistance, cell::txtWindIntensity,
                                           cell::txtPayLoad, cell::txtContingencyTime,
                                           cell::txtTFB};

// An upper limit of a numeric cell, inclusive, with the warning shown for a value above it.
struct FieldLimit {
    std::string_view cell;
    double limit;
    std::string_view warning;
};

inline constexpr std::array<FieldLimit, 3> kFieldLimits = {{
    {cell::txtDestinationDistance, 8400.0, "Distance: please enter a value lower then 8400"},
    {cell::txtWindIntensity, 1000.0, "Wind: hey, don't you think it's too strong?"},
    {cell::txtPayLoad, 140912.0, "Payload: please enter a value lower then 140.912"},
}};

// The limit of a cell, if it has one.
std::optional<FieldLimit> fieldLimit(std::string_view cell);

// An aircraft limit of a result cell, lbs: Calculate turns the cell red above it (equal is not
// red), with the caption of the cell's row in the schematic.
struct ResultLimit {
    std::string_view cell;
    double limit;
    std::string_view caption;
};

inline constexpr std::array<ResultLimit, 5> kResultLimits = {{
    {cell::txtZFW, 535000.0, "Zero Fuel Weight"},
    {cell::txtPLW, 630000.0, "Planned Landing Weight"},
    {cell::txtGTW, 875000.0, "Planned Gross Takeoff Weight"},
    {cell::txtTW, 877000.0, "Planned Taxi-Out Weight"},
    {cell::txtFL, 382336.0, "TOTAL FUEL LOAD"},
}};

// The key filter of the numeric cells: control characters (below 32) and the digits pass;
// any other character code is set to 0, which drops the character.
void filterKey(std::int16_t& characterCode);

// Whether a text holds nothing but the digits 0 to 9 (the empty text does).
bool isDigitsOnly(std::string_view text);

// The most characters a text box of the window holds, counted as the window counts them (in
// UTF-16 code units): the limit of Qt's line edit.
inline constexpr std::size_t kLongestCellText = 32767;

// Whether a text box can hold the text: UTF-8 without a control character of any kind (line
// breaks, tabs, escapes, bidirectional controls: whatever base/shown_text.h replaces). The
// window refuses any other text pasted into a text box; the planner refuses it as an option.
bool isPlainText(std::string_view text);

// The length of UTF-8 text as the window counts it, in UTF-16 code units.
std::size_t windowLength(std::string_view text);

// The validation of a limited cell: the empty text passes; digits up to the limit pass; a value
// above it is refused. So is any text that is not a run of digits, which can only arrive by
// pasting. Returns true when the value is refused.
bool isRefused(const FieldLimit& rule, std::string_view text);

}  // namespace brimwell::engine
