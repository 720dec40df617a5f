#pragma once

// The flight of the benchmarks: 4000 nm against 50 knots of head wind at FL350 with 100000 lbs
// of payload, 200 nm to the alternate, 30 minutes of contingency and 19000 lbs at landing.

#include <array>
#include <string_view>
#include <utility>

#include "engine/cell_names.h"

namespace brimwell::bench {

inline constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kSampleCells = {{
    {cell::txtDestinationDistance, "4000"},
    {cell::cmbAlternateDistance, "200"},
    {cell::cmbWindDirection, "Head"},
    {cell::txtWindIntensity, "50"},
    {cell::cmbFlightLevel, "FL350"},
    {cell::txtPayLoad, "100000"},
    {cell::txtContingencyTime, "30"},
    {cell::cmbMLF, "19000"},
}};

// The same flight as options of brimwell-plan.
inline constexpr std::array<const char*, 16> kSampleOptions = {
    "--distance",    "4000", "--alternate-distance", "200",   "--wind-direction", "Head",
    "--wind",        "50",   "--flight-level",       "FL350", "--payload",        "100000",
    "--contingency", "30",   "--min-landing-fuel",   "19000"};

}  // namespace brimwell::bench
