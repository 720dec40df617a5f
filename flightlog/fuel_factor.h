#pragma once

// The pilot's fuel factor, learnt from the log: the median burn of the last kFactorFlights
// landed flights against the tables' trip fuel (the burn factor of each, times the fuel factor
// its plan was made with), from at least kFewestFactorFlights, with their spread. Applying it is
// the pilot's choice: the flight plan fuel is then the tables' trip fuel times the factor.

#include <cstddef>
#include <optional>
#include <string>

#include "flightlog/flight_log.h"

namespace brimwell::flightlog {

inline constexpr std::size_t kFactorFlights = 10;
inline constexpr std::size_t kFewestFactorFlights = 3;
// The factors a pilot may give or the log may teach: −50 % to +50 %.
inline constexpr double kFewestFuelFactor = 0.5;
inline constexpr double kMostFuelFactor = 1.5;

struct FuelFactor {
    double factor = 1;  // 1.042 for 4.2 % more than planned
    double lowest = 1;
    double highest = 1;
    std::size_t flights = 0;
    // The factor applied to a plan: as the pilot reads it, to the tenth of a percent.
    double applied() const;
};

// The factor of the flights (newest first); none from fewer than kFewestFactorFlights landed
// flights with a burn factor within the range.
std::optional<FuelFactor> learntFuelFactor(const FlightList& list);

// "your last 7 flights burnt 4.2 % more than planned, from +1.1 % to +6.0 %" ("less", "as much
// as planned").
std::string factorSentence(const FuelFactor& factor);

}  // namespace brimwell::flightlog
