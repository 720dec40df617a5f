#include "flightlog/fuel_factor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace brimwell::flightlog {

namespace {

// Tenths of a percent, rounded half away from zero, as the pilot reads them.
long long tenths(double factor) {
    return std::llround((factor - 1) * 1000);
}

std::string tenthsText(long long value, bool sign) {
    std::array<char, 32> text{};
    const long long size = value < 0 ? -value : value;
    (void)std::snprintf(text.data(), text.size(), "%s%lld.%lld %%",
                        !sign ? "" : (value < 0 ? "-" : "+"), size / 10, size % 10);
    return text.data();
}

}  // namespace

std::optional<FuelFactor> learntFuelFactor(const FlightList& list) {
    std::vector<double> factors;
    for (const auto& flight : list.flights) {
        const auto factor = flight.tableBurnFactor();
        if (flight.landed && factor && *factor >= kFewestFuelFactor &&
            *factor <= kMostFuelFactor) {
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
    const double median = factors.size() % 2 == 1 ? factors[middle]
                                                   : (factors[middle - 1] + factors[middle]) / 2;
    return FuelFactor{median, factors.front(), factors.back(), factors.size()};
}

std::string percentText(double factor) {
    return tenthsText(tenths(factor), true);
}

std::string factorSentence(const FuelFactor& factor) {
    const long long median = tenths(factor.factor);
    std::string text = "your last " + std::to_string(factor.flights) + " flights burnt ";
    text += median == 0 ? "as much as planned"
                        : tenthsText(median, false) + (median > 0 ? " more" : " less") +
                              " than planned";
    return text + ", from " + percentText(factor.lowest) + " to " + percentText(factor.highest);
}

}  // namespace brimwell::flightlog
