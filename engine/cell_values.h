#pragma once

// The fixed values of the flight data's cells: the start values of the input cells and the
// items of the drop-down lists. The window and the headless planner offer the same.

#include <array>
#include <string_view>

namespace brimwell::engine {

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

}  // namespace brimwell::engine
