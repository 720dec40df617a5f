#include "flightlog/fuel_factor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/fuel_planner.h"

namespace brimwell::flightlog {

std::optional<FuelFactor> learntFuelFactor(const FlightList& list) {
    std::vector<double> factors;
    for (const auto& flight : list.flights) {
        const auto factor = flight.tableBurnFactor();
        if (flight.landed && factor && *factor >= kFewestFuelFactor && *factor <= kMostFuelFactor) {
            factors.push_back(*factor);
        }
        if (factors.size() == kFactorFlights) {
            break;
        }
    }
    if (factors.size() < kFewestFactorFlights) {
        return std::nullopt;
    }
    std::sort(factors.begin(), factors.end());
    const std::size_t middle = factors.size() / 2;
    const double median =
        factors.size() % 2 == 1 ? factors[middle] : (factors[middle - 1] + factors[middle]) / 2;
    return FuelFactor{median, factors.front(), factors.back(), factors.size()};
}

double FuelFactor::applied() const {
    return 1 + std::round((factor - 1) * 1000) / 1000;
}

std::string factorSentence(const FuelFactor& factor) {
    const std::string median = engine::fuelFactorPercent(factor.factor);
    std::string text = "your last " + std::to_string(factor.flights) + " flights burnt ";
    text += median == "+0.0 %"
                ? "as much as planned"
                : median.substr(1) + (median[0] == '+' ? " more" : " less") + " than planned";
    return text + ", from " + engine::fuelFactorPercent(factor.lowest) + " to " +
           engine::fuelFactorPercent(factor.highest);
}

}  // namespace brimwell::flightlog
